// record, replay, attr and invoke as a tester runs them on the host's own
// objects: the steps recorded from user input, read back, and the errors of
// bad input.
#include "CliTestSupport.h"

#include <fstream>

namespace {

using namespace cli_test;

const std::string kForm = std::string(TALLOWICK_EXAMPLES_DIR) + "/form.html";

class StepCommandsTest : public TallowickCliTest {
protected:
  void SetUp() override {
    TallowickCliTest::SetUp();
    ASSERT_EQ(Tallowick("register libTallowickIE.so").status, 0);
  }
  std::string WriteSteps(const std::string &text) {
    fs::path file = folder_ / "steps.txt";
    std::ofstream(file) << text;
    return file.string();
  }
};

TEST_F(StepCommandsTest, RecordedUserInputReplaysOnAFreshPage) {
  Outcome recorded = Tallowick("record " + kForm +
                               " type txtName 'Bo \"B\" \\' select ddlCountry ' Italy '"
                               " check chkGift click imgLogo");
  ASSERT_EQ(recorded.status, 0) << recorded.output;
  EXPECT_EQ(recorded.output, "WebEdit \"txtName\" Set 6=\"Bo \\\"B\\\" \\\\\"\n"
                             "WebList \"ddlCountry\" Set 6=\"Italy\"\n"
                             "WebCheckBox \"chkGift\" Click\n"
                             "Image \"Logo\" Click\n");

  Outcome replayed = Tallowick("replay " + kForm + " " + WriteSteps(recorded.output));
  EXPECT_EQ(replayed.status, 0) << replayed.output;
  EXPECT_EQ(replayed.output, "WebEdit \"txtName\" Set 6=\"Bo \\\"B\\\" \\\\\" ok\n"
                             "WebList \"ddlCountry\" Set 6=\"Italy\" ok\n"
                             "WebCheckBox \"chkGift\" Click ok\n"
                             "Image \"Logo\" Click ok\n");
}

TEST_F(StepCommandsTest, ReplayStopsAtTheFailingStepAndNamesIt) {
  Outcome run = Tallowick("replay " + kForm + " " +
                          WriteSteps("# comment lines and blank lines are skipped\n\n"
                                     "WebList \"ddlCountry\" Set 6=\"Italy\"\n"
                                     "WebList \"ddlCountry\" Set 6=\"Spain\"\n"
                                     "WebEdit \"txtName\" Set 6=\"never\"\n"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("WebList \"ddlCountry\" Set 6=\"Italy\" ok\n"), std::string::npos);
  EXPECT_NE(run.output.find("WebList \"ddlCountry\" Set 6=\"Spain\" failed: the list has no "
                            "option 'Spain'"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("never\" ok"), std::string::npos) << run.output;

  Outcome missing =
      Tallowick("replay " + kForm + " " + WriteSteps("WebEdit \"nobody\" Set 6=\"x\"\n"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("no WebEdit \"nobody\" on the page"), std::string::npos)
      << missing.output;
}

TEST_F(StepCommandsTest, MalformedStepsAreRefusedBeforeAnythingRuns) {
  const char *const bad[] = {
      "WebEdit txtName Set\n",           // name not quoted
      "WebEdit \"txtName\n",             // no closing quote
      "WebEdit \"txtName\"\n",           // no method
      "WebEdit \"txtName\" Set 6\n",     // entry without value
      "WebEdit \"txtName\" Set x=1\n",   // id not a number
      "WebEdit \"txtName\" Set 6=abc\n", // bare word
      "WebEdit \"txtName\" Set 6=(1,2,3)\n",
      "WebEdit \"txtName\" Set 6=\"a\\q\"\n",
  };
  for (const char *line : bad) {
    Outcome run = Tallowick("replay " + kForm + " " + WriteSteps(std::string("\n") + line));
    EXPECT_EQ(run.status, 2) << line << run.output;
    EXPECT_EQ(run.output.rfind("tallowick: line 2: ", 0), 0u) << line << run.output;
    EXPECT_EQ(run.output.find(" ok\n"), std::string::npos) << line << run.output;
  }
}

TEST_F(StepCommandsTest, AttrAndInvokeReachOneObject) {
  Outcome value = Tallowick("attr " + kForm + " txtName 6");
  EXPECT_EQ(value.status, 0) << value.output;
  EXPECT_EQ(value.output, "VT_BSTR \"Ann\"\n");
  Outcome byClass = Tallowick("attr " + kForm + " WebList:0 6");
  EXPECT_EQ(byClass.output, "VT_BSTR \"France\"\n");

  Outcome invoked = Tallowick("invoke " + kForm + " chkGift CALL_EVENT 64=click");
  EXPECT_EQ(invoked.status, 0) << invoked.output;
  EXPECT_EQ(invoked.output.rfind("HRESULT 0x00000000\nreturn 0x00000000\n", 0), 0u)
      << invoked.output;
  EXPECT_NE(invoked.output.find("64=\"click\""), std::string::npos);
}

TEST_F(StepCommandsTest, BadInputGivesOneLineAndTheRightExitCode) {
  struct Case {
    std::string args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"frobnicate", 2, "unknown command 'frobnicate'"},
      {"attr " + kForm + " ghost 6", 1, "no object named 'ghost'"},
      {"attr " + kForm + " WebEdit:7 6", 1, "no object WebEdit:7 (2 of class WebEdit)"},
      {"attr " + kForm + " txtName six", 2, "usage: tallowick attr"},
      {"attr " + kForm + " txtName 9999", 1, "attribute 9999 of 'txtName' failed: 0x80004005"},
      {"invoke " + kForm + " txtName Frobnicate", 2, "unknown method 'Frobnicate' for WebEdit"},
      {"invoke " + kForm + " txtName Set 6", 2, "an entry is ID=VALUE, not '6'"},
      {"record " + kForm + " click nowhere", 2, "click nowhere: no element matches 'nowhere'"},
      {"record " + kForm + " click 'Panel1 >> txtName'", 1, "'Panel1' holds no view-link"},
      {"record " + kForm + " type chkGift hello", 1, "'chkGift' is no text field"},
      {"record " + kForm + " wiggle txtName", 2, "unknown action 'wiggle'"},
      {"record " + kForm + " type txtName", 2, "action 'type' needs a selector and a text"},
      {"inspect /no/such/page.html", 1, "cannot load page '/no/such/page.html'"},
      {"replay " + kForm + " /no/such/steps.txt", 1, "cannot read steps from /no/such/steps.txt"},
  };
  for (const Case &c : cases) {
    Outcome run = Tallowick(c.args);
    EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.args << "\n" << run.output;
  }
}

} // namespace

// tallowick's page commands given URLs of the example ASP.NET site.
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "AspNetServer.h"
#include "CommandOutput.h"

namespace {

namespace fs = std::filesystem;
using tallowick::test::AspNetServer;

fs::path BinFolder() {
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, n)).parent_path();
}

using Outcome = CommandOutcome;

class HttpCliTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tallowick-http-cli-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    if (std::string why = AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    ASSERT_TRUE(server_.Start()) << server_.Error();
    ASSERT_EQ(Tallowick("register libTallowickIE.so").status, 0);
  }
  void TearDown() override { fs::remove_all(folder_); }

  Outcome Tallowick(const std::string &args) {
    return RunCommand((BinFolder() / "tallowick").string() + " --registry " +
                      (folder_ / "registry.reg").string() + " " + args);
  }

  AspNetServer server_;
  fs::path folder_;
};

TEST_F(HttpCliTest, TreeOfAServedPage) {
  Outcome tree = Tallowick("tree " + server_.Url("TwoCalendars.aspx"));
  ASSERT_EQ(tree.status, 0) << tree.output;
  EXPECT_EQ(tree.output.rfind("Page \"Two calendars\" kit 0 rtid 1;0;0;1\n", 0), 0u) << tree.output;
  EXPECT_NE(tree.output.find("\"Start\""), std::string::npos) << tree.output;
  EXPECT_NE(tree.output.find("\"End\""), std::string::npos) << tree.output;
  EXPECT_NE(tree.output.find("HtmlCell \"February 2010\""), std::string::npos) << tree.output;
}

TEST_F(HttpCliTest, FailedFetchesAreClearErrors) {
  Outcome error = Tallowick("tree " + server_.Url("Error.aspx"));
  EXPECT_EQ(error.status, 1);
  EXPECT_EQ(error.output, "tallowick: " + server_.Url("Error.aspx") +
                              " answered 500 Internal Server Error (error 0x800C0008)\n");

  Outcome dom = Tallowick("dom " + server_.Url("Missing.aspx"));
  EXPECT_EQ(dom.status, 1);
  EXPECT_EQ(dom.output, "tallowick: " + server_.Url("Missing.aspx") +
                            " answered 404 Not Found (error 0x800C0006)\n");

  std::string stopped = server_.Url("Calendar.aspx");
  server_.Stop();
  Outcome refused = Tallowick("tree " + stopped);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.output.rfind("tallowick: cannot fetch " + stopped + ": ", 0), 0u)
      << refused.output;
  EXPECT_NE(refused.output.find("(error 0x800C0004)"), std::string::npos) << refused.output;
}

TEST_F(HttpCliTest, EvalFollowsAPostbackOverHttp) {
  std::string url = server_.Url("Calendar.aspx");
  Outcome before = Tallowick("eval " + url + " \"document.getElementById('Selection').innerText\"");
  EXPECT_EQ(before.status, 0) << before.output;
  EXPECT_EQ(before.output, "VT_BSTR \"5-Jan-2010 (1)\"\n");

  // Link 17 of the page is the day link of 8 January 2010 (after the two
  // month links, the month selector and two weeks of a selector and 7 days).
  Outcome after = Tallowick("eval " + url +
                            " \"document.getElementById('Selection').innerText + ' ' + "
                            "location.href\" --click a:17");
  EXPECT_EQ(after.status, 0) << after.output;
  EXPECT_EQ(after.output, "VT_BSTR \"8-Jan-2010 (1) " + url + "\"\n");

  Outcome dom = Tallowick("dom " + url);
  EXPECT_EQ(dom.status, 0) << dom.output;
  EXPECT_NE(dom.output.find("Calendar1"), std::string::npos) << dom.output;
}

} // namespace

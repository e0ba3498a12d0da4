// The tallowick program as a user runs it: its own process, a registry file of
// the test's, exit codes and output.
#include "CliTestSupport.h"

namespace {

using namespace cli_test;
namespace fs = std::filesystem;

TEST_F(TallowickCliTest, KitInfoReportsTheKitAsTheHostSeesIt) {
  Outcome unregistered = Tallowick("kit-info");
  EXPECT_EQ(unregistered.status, 1);
  EXPECT_NE(unregistered.output.find("tallowick register libTallowickIE.so"), std::string::npos)
      << unregistered.output;

  Outcome registered = Tallowick("register libTallowickIE.so");
  EXPECT_EQ(registered.status, 0);
  EXPECT_EQ(registered.output, "DllRegisterServer: 0x00000000\n");

  Outcome info = Tallowick("kit-info --json");
  EXPECT_EQ(info.status, 0) << info.output;
  EXPECT_EQ(info.output,
            "{\"kitId\":4,\"kitName\":\"Tallowick for IE\",\"webClasses\":["
            "{\"id\":1025,\"name\":\"WbfTabStrip\"},{\"id\":1026,\"name\":\"WbfToolbar\"},"
            "{\"id\":1027,\"name\":\"WbfTreeView\"},{\"id\":1028,\"name\":\"WbfCalendar\"},"
            "{\"id\":1029,\"name\":\"WbfGrid\"},{\"id\":1030,\"name\":\"WbfUltraGrid\"},"
            "{\"id\":1032,\"name\":\"WbfUltraGridInner\"},{\"id\":1033,\"name\":\"WbfTVLink\"}],"
            "\"received\":{\"factory\":true,\"requestsHandler\":true,\"callbacker\":true},"
            "\"callbacks\":[{\"name\":\"DummyExitPoint\",\"priority\":1}],\"request1025\":"
            "\"0x00000000\"}\n");

  Outcome text = Tallowick("kit-info");
  EXPECT_EQ(text.status, 0) << text.output;
  EXPECT_NE(
      text.output.find("\ncallbacks:   DummyExitPoint priority 1;\nrequest1025: 0x00000000\n"),
      std::string::npos)
      << text.output;
}

TEST_F(TallowickCliTest, RegistrationCommandsAndExport) {
  EXPECT_EQ(Tallowick("register libTallowickIE.so").status, 0);
  EXPECT_EQ(Tallowick("register libTallowickIE.so").status, 0);
  Outcome first = Tallowick("unregister libTallowickIE.so");
  EXPECT_EQ(first.status, 0); // S_FALSE succeeds
  EXPECT_EQ(first.output, "DllUnregisterServer: 0x00000001\n");

  Outcome exported = Tallowick(
      "registry export 'HKEY_CLASSES_ROOT\\CLSID\\{DFD0DCE1-9E27-43F5-85FB-995F3453720E}'");
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.output.rfind("REGEDIT4\n", 0), 0u) << exported.output;
  EXPECT_NE(exported.output.find("\"RefCount\"=dword:00000001"), std::string::npos);
  EXPECT_NE(exported.output.find("@=\"libTallowickIE.so\""), std::string::npos);

  EXPECT_EQ(Tallowick("unregister libTallowickIE.so").output, "DllUnregisterServer: 0x00000000\n");
  EXPECT_EQ(
      Tallowick(
          "registry export 'HKEY_CLASSES_ROOT\\CLSID\\{DFD0DCE1-9E27-43F5-85FB-995F3453720E}'")
          .status,
      1);
}

TEST_F(TallowickCliTest, BadInputGivesAClearMessageAndExitOne) {
  Outcome missing = Tallowick("register /no/such/module.so");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("cannot load module '/no/such/module.so'"), std::string::npos);

  Outcome noExports = Tallowick("register libtallowick_platform.so");
  EXPECT_EQ(noExports.status, 1);
  EXPECT_NE(noExports.output.find("does not export DllRegisterServer"), std::string::npos);

  // A registry file that cannot be written: the failed step's HRESULT, nothing half-written.
  fs::create_directories(folder_ / "registry.reg"); // a folder where the file should be
  Outcome unwritable = Tallowick("register libTallowickIE.so");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.output.rfind("DllRegisterServer: 0x8", 0), 0u) << unwritable.output;

  EXPECT_EQ(Tallowick("--setting novalue kit-info").status, 2);
  EXPECT_EQ(Tallowick("no-such-command").status, 2);
}

TEST_F(TallowickCliTest, DomPrintsTheTreeWithFramesNested) {
  auto write = [&](const char *name, const char *html) {
    FILE *file = fopen((folder_ / name).string().c_str(), "w");
    ASSERT_NE(file, nullptr);
    fputs(html, file);
    fclose(file);
  };
  write("top.html", "<frameset><frame src='inner.html'><frame src='gone.html'></frameset>");
  write("inner.html", "<body><ie:TabStrip id='ts' class='a b'><ie:Tab/></ie:TabStrip>"
                      "<table><tr><td>x</td></tr></table></body>");
  Outcome dom = Tallowick("dom " + (folder_ / "top.html").string());
  EXPECT_EQ(dom.status, 0) << dom.output;
  EXPECT_EQ(dom.output, "HTML\n"
                        "  HEAD\n"
                        "  FRAMESET\n"
                        "    FRAME\n"
                        "      HTML\n"
                        "        HEAD\n"
                        "        BODY\n"
                        "          TabStrip#ts.a.b\n"
                        "            Tab\n"
                        "          TABLE\n"
                        "            TBODY\n"
                        "              TR\n"
                        "                TD\n"
                        "    FRAME\n"
                        "      HTML\n"
                        "        HEAD\n"
                        "        BODY\n");
  Outcome geometry = Tallowick("dom " + (folder_ / "inner.html").string() + " --geometry");
  EXPECT_EQ(geometry.status, 0);
  EXPECT_NE(geometry.output.find("  BODY [8,8,1016,30]\n"), std::string::npos) << geometry.output;
  EXPECT_NE(geometry.output.find("        TD [10,10,20,28]\n"), std::string::npos)
      << geometry.output;

  Outcome missing = Tallowick("dom " + (folder_ / "none.html").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("cannot load page"), std::string::npos);
  EXPECT_EQ(Tallowick("dom").status, 2);
}

TEST_F(TallowickCliTest, TreePrintsTheAgentObjectsOfAPage) {
  const std::string examples = TALLOWICK_EXAMPLES_DIR;
  Outcome plain = Tallowick("tree " + examples + "/form.html");
  EXPECT_EQ(plain.status, 0) << plain.output;
  // Without a registered kit the tree says so on standard error first.
  const std::string note = "tallowick: no kit registered (tallowick register libTallowickIE.so); "
                           "the tree has the host's classes only\n";
  ASSERT_EQ(plain.output.rfind(note, 0), 0u) << plain.output;
  EXPECT_EQ(plain.output.substr(note.size()),
            "Page \"Order form\" kit 0 rtid 1;0;0;1\n"
            "  Frame \"Order form\" kit 0 rtid 1;1;0;0\n"
            "    WebElement \"Panel1\" kit 0 rtid 1;1;1;0\n"
            "      WebEdit \"txtName\" kit 0 rtid 1;1;2;0\n"
            "      WebList \"ddlCountry\" kit 0 rtid 1;1;3;0\n"
            "      WebElement \"rblShip\" kit 0 rtid 1;1;4;0\n"
            "        WebRadioGroup \"rblShip\" kit 0 rtid 1;1;5;0\n"
            "      WebCheckBox \"chkGift\" kit 0 rtid 1;1;6;0\n"
            "      WebEdit \"txtNotes\" kit 0 rtid 1;1;7;0\n"
            "      Image \"Logo\" kit 0 rtid 1;1;8;0\n"
            "      WebButton \"Order\" kit 0 rtid 1;1;9;0\n");
  ASSERT_EQ(Tallowick("register libTallowickIE.so").status, 0);
  Outcome json = Tallowick("tree --json " + examples + "/frames.html");
  EXPECT_EQ(json.status, 0) << json.output;
  EXPECT_EQ(json.output.find("no kit registered"), std::string::npos) << json.output;
  EXPECT_EQ(
      json.output.rfind("{\"class\":\"Page\",\"name\":\"Frames\",\"kitId\":0,\"rtid\":\"1;0;0;1\","
                        "\"children\":[{\"class\":\"Frame\",\"name\":\"Frames\",\"kitId\":0,"
                        "\"rtid\":\"1;1;0;0\",\"children\":[{\"class\":\"Frame\",\"name\":\"nav\","
                        "\"kitId\":0,\"rtid\":\"1;2;0;0\",\"children\":[{\"class\":\"Link\","
                        "\"name\":\"Orders\",\"kitId\":0,\"rtid\":\"1;2;1;0\",\"children\":[]},",
                        0),
      0u)
      << json.output;
  EXPECT_EQ(json.output.substr(json.output.size() - 8), "[]}]}]}\n") << json.output;
  size_t opened = 0, closed = 0;
  for (char c : json.output) {
    opened += c == '{' || c == '[';
    closed += c == '}' || c == ']';
  }
  EXPECT_EQ(opened, closed);

  EXPECT_EQ(Tallowick("tree").status, 2);
  EXPECT_EQ(Tallowick("tree a.html b.html").status, 2);
  Outcome missing = Tallowick("tree " + (folder_ / "none.html").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("cannot load page"), std::string::npos);
}

TEST_F(TallowickCliTest, EvalPrintsTheResultAsAVariant) {
  FILE *file = fopen((folder_ / "page.html").string().c_str(), "w");
  ASSERT_NE(file, nullptr);
  fputs("<body><button id='b' onclick='clicks++'>b</button><p>one</p><p>two</p>"
        "<table><tr><td id='cell' onmousedown='seen += \"down\" + event.button'"
        " onmouseup='seen += \" up\"' onclick='seen += \" click\"'>c</td></tr></table>"
        "<script>var clicks = 0; var seen = ''; var grid = { rows: [1, 2] };</script></body>",
        file);
  fclose(file);
  std::string page = (folder_ / "page.html").string();
  auto eval = [&](const std::string &args) { return Tallowick("eval " + page + " " + args); };
  EXPECT_EQ(eval("'1 + 2'").output, "VT_I4 3\n");
  EXPECT_EQ(eval("'clicks' --click b").output, "VT_I4 1\n");
  EXPECT_EQ(eval("--click '#b' 'clicks + 0.5'").output, "VT_R8 1.5\n");
  // A user's click: mousedown (left button) and mouseup come before it.
  EXPECT_EQ(eval("seen --click cell").output, "VT_BSTR \"down1 up click\"\n");
  EXPECT_EQ(eval("'document.getElementsByTagName(\"P\")[1].innerText'").output,
            "VT_BSTR \"two\"\n");
  EXPECT_EQ(eval("'grid.rows'").output, "VT_DISPATCH\n");
  EXPECT_EQ(eval("'grid.none'").output, "VT_EMPTY\n");
  EXPECT_EQ(eval("'clicks == 0'").output, "VT_BOOL true\n");
  Outcome error = eval("'grid.rows.nope()'");
  EXPECT_EQ(error.status, 1);
  EXPECT_NE(error.output.find("script error: TypeError"), std::string::npos) << error.output;
  EXPECT_EQ(eval("'1' --click p:5").status, 2);
  EXPECT_EQ(eval("'1' --click p:1").status, 0);
  EXPECT_EQ(Tallowick("eval " + (folder_ / "none.html").string() + " 1").status, 1);
  EXPECT_EQ(Tallowick("eval " + page).status, 2);
}

} // namespace

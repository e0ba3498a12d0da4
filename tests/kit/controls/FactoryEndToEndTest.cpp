// The registered kit end to end through the tallowick program: the host's
// tree of each example page holds the kit's control objects and dynamic
// objects, and a user's click at a realistic place in each control is
// recorded as one step of that control. The program runs as a child process
// on the test's own registry; the kit's leaks are checked in-process by the
// other factory tests, so the children run without leak detection.
#include "KitTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FactoryGeneratedPage.h"

namespace {

const std::filesystem::path kPages = std::filesystem::path(TALLOWICK_SOURCE_DIR) / "examples/pages";

std::filesystem::path ProgramFolder() {
  wchar_t path[4096] = {};
  GetModuleFileNameW(nullptr, path, 4096);
  return std::filesystem::path(path).parent_path();
}

class FactoryEndToEndTest : public KitRegistryTest {
protected:
  void SetUp() override {
    KitRegistryTest::SetUp();
    int status = 0;
    Run({"register", "libTallowickIE.so"}, &status);
    ASSERT_EQ(status, 0);
    std::ofstream(folder_ / "Generated.aspx.html") << factory_pages::GeneratedPage(600);
  }

  static std::string Quote(const std::string &text) {
    std::string out = "'";
    for (char c : text)
      out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
  }
  // The program's standard output; *status its exit code.
  std::string Run(const std::vector<std::string> &args, int *status) {
    std::string command = Quote((ProgramFolder() / "tallowick").string());
    for (const std::string &arg : args)
      command += " " + Quote(arg);
    FILE *pipe = popen((command + " 2>/dev/null").c_str(), "r");
    std::string out;
    if (pipe == nullptr)
      return out;
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0)
      out.append(buffer, read);
    int raw = pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
  }
  std::string TreeJson(const std::filesystem::path &page) {
    int status = -1;
    std::string json = Run({"tree", page.string(), "--json"}, &status);
    EXPECT_EQ(status, 0) << page;
    return json;
  }
  std::vector<std::string> Record(const std::filesystem::path &page, const std::string &selector) {
    int status = -1;
    std::istringstream out(Run({"record", page.string(), "click", selector}, &status));
    EXPECT_EQ(status, 0) << selector;
    std::vector<std::string> steps;
    for (std::string line; std::getline(out, line);)
      steps.push_back(line);
    return steps;
  }
  static std::string KitObject(const std::string &webClass, const std::string &name) {
    return "{\"class\":\"" + webClass + "\",\"name\":\"" + name + "\",\"kitId\":4,";
  }
  std::filesystem::path Generated() const { return folder_ / "Generated.aspx.html"; }
};

TEST_F(FactoryEndToEndTest, TreesOfTheExamplePagesHoldTheKitObjects) {
  EXPECT_NE(TreeJson(kPages / "tabstrip-behavior.html").find(KitObject("WbfTabStrip", "TabStrip1")),
            std::string::npos);
  std::string toolbar = TreeJson(kPages / "toolbar.html");
  EXPECT_NE(toolbar.find(KitObject("WbfToolbar", "Toolbar1")), std::string::npos);
  EXPECT_NE(toolbar.find(KitObject("WbfToolbar", "Toolbar2")), std::string::npos);
  std::string tree = TreeJson(kPages / "treeview.html");
  EXPECT_NE(tree.find(KitObject("WbfTreeView", "TreeView1")), std::string::npos);
  EXPECT_NE(tree.find("{\"class\":\"WbfTVLink\",\"name\":\"Help\",\"kitId\":4,\"rtid\":\"1;2;"),
            std::string::npos)
      << "a node link of the view-link document, marked -3";
  std::string ultra = TreeJson(kPages / "ultragrid.html");
  EXPECT_NE(ultra.find(KitObject("WbfUltraGrid", "UltraWebGrid1")), std::string::npos);
  EXPECT_NE(ultra.find("{\"class\":\"WbfUltraGridInner\""), std::string::npos);

  std::string saved = TreeJson(kPages / "Controls.aspx.html");
  for (const auto &[webClass, name] :
       std::vector<std::pair<std::string, std::string>>{{"WbfTabStrip", "TabStrip1"},
                                                        {"WbfToolbar", "Toolbar1"},
                                                        {"WbfTreeView", "TreeView1"},
                                                        {"WbfTVLink", "Help"},
                                                        {"WbfCalendar", "Calendar1"},
                                                        {"WbfGrid", "Grid1"},
                                                        {"WbfUltraGrid", "UltraWebGrid1"}})
    EXPECT_NE(saved.find(KitObject(webClass, name)), std::string::npos) << webClass;

  std::string generated = TreeJson(Generated());
  for (const char *block : {"0", "1"}) {
    EXPECT_NE(generated.find(KitObject("WbfGrid", std::string("Grid") + block)), std::string::npos);
    EXPECT_NE(generated.find(KitObject("WbfCalendar", std::string("Calendar") + block)),
              std::string::npos);
    EXPECT_NE(generated.find(KitObject("WbfUltraGrid", std::string("UltraGrid") + block)),
              std::string::npos);
  }
}

TEST_F(FactoryEndToEndTest, AClickInsideEachControlIsOneStepOfThatControl) {
  EXPECT_EQ(Record(kPages / "tabstrip-behavior.html", "#TabStrip1 >> #tab2"),
            std::vector<std::string>{"WbfTabStrip \"TabStrip1\" SelectTab 6=\"Summary\""});
  EXPECT_EQ(Record(kPages / "toolbar.html", "#Toolbar1 >> #btnNew"),
            std::vector<std::string>{"WbfToolbar \"Toolbar1\" ClickButton 6=\"New\""});
  EXPECT_EQ(Record(Generated(), "a:20"),
            std::vector<std::string>{"WbfCalendar \"Calendar0\" SelectDay 16386=\"1-Jan-2010\""})
      << "the calendar's first of January";
  EXPECT_EQ(Record(Generated(), "input:1"),
            std::vector<std::string>{"WbfGrid \"Grid0\" ClickCell 66=2 68=2 6=\"Tea 1\" 16389=1"})
      << "the text box of the grid's first data row";
  EXPECT_EQ(Record(kPages / "ultragrid.html", "td:10"),
            std::vector<std::string>{"WbfUltraGrid \"UltraWebGrid1\" ClickCell 66=\"0,0\" "
                                     "68=\"Orders,Amount\" 16400=16391 16392=0"});
  EXPECT_EQ(Record(kPages / "treeview.html", "#TreeView1 >> span:1"),
            std::vector<std::string>{"WbfTreeView \"TreeView1\" SelectNode 16388=\"Mail;Inbox\""})
      << "a node's text";
}

} // namespace

// The tester's loop on the kit's controls: record what a user does, replay the
// steps on a fresh load of the page, and see the same control state; inspect
// as JSON and as a picture.
#include "CliTestSupport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cctype>
#include <cstring>
#include <fstream>

#include "AspNetServer.h"

namespace {

using namespace cli_test;
using tallowick::test::AspNetServer;

const std::string kControls = std::string(TALLOWICK_EXAMPLES_DIR) + "/Controls.aspx.html";

class RoundTripTest : public TallowickCliTest {
protected:
  void SetUp() override {
    TallowickCliTest::SetUp();
    ASSERT_EQ(Tallowick("register libTallowickIE.so").status, 0);
  }
  std::string Save(const std::string &name, const std::string &text) {
    fs::path file = folder_ / name;
    std::ofstream(file) << text;
    return file.string();
  }
  // Records ACTIONS on PAGE and replays the steps on a fresh load, with
  // EXTRA (--inspect, --eval ...) after the replay; both must succeed.
  Outcome RecordAndReplay(const std::string &page, const std::string &actions,
                          const std::string &expectedSteps, const std::string &extra) {
    Outcome recorded = Tallowick("record " + page + " " + actions);
    EXPECT_EQ(recorded.status, 0) << recorded.output;
    EXPECT_EQ(recorded.output, expectedSteps);
    Outcome replayed =
        Tallowick("replay " + page + " " + Save("steps.txt", recorded.output) + " " + extra);
    EXPECT_EQ(replayed.status, 0) << replayed.output;
    return replayed;
  }
  static void ExpectLine(const Outcome &run, const std::string &line) {
    EXPECT_NE(run.output.find(line + "\n"), std::string::npos) << line << "\n" << run.output;
  }
};

TEST_F(RoundTripTest, ViewLinkControlsReachTheSameState) {
  Outcome replayed = RecordAndReplay(
      kControls,
      "click 'TabStrip1 >> tab2' click 'Toolbar1 >> btnOpen2' select 'Toolbar1 >> select:0' Red"
      " type 'Toolbar1 >> input:0' 'a \"b\"; <c>' click 'TreeView1 >> span:3'"
      " click 'TreeView1 >> input:0'",
      "WbfTabStrip \"TabStrip1\" SelectTab 6=\"Summary\"\n"
      "WbfToolbar \"Toolbar1\" ClickButton 6=\"#7\"\n"
      "WbfToolbar \"Toolbar1\" SelectListOption 6=\"Red\" 16389=0\n"
      "WbfToolbar \"Toolbar1\" SetTextBoxValue 6=\"a \\\"b\\\"; <c>\" 16389=0\n"
      "WbfTreeView \"TreeView1\" SelectNode 16388=\"Mail;Inbox;Yesterday\"\n"
      "WbfTreeView \"TreeView1\" SetNodeCheck 16388=\"Mail;Inbox\" 6=true\n",
      "--inspect --eval \"var t = document.getElementById('Toolbar1');"
      " t.getItem(4).getAttribute('selectedIndex') + '|' + t.getItem(9).getAttribute('value')"
      " + '|' + document.getElementById('TreeView1').getTreeNode('0.0').getAttribute('checked')\"");
  ExpectLine(replayed, "  16387 selected = \"Summary\"");
  ExpectLine(replayed, "  16387 selected = \"Mail;Inbox;Yesterday\"");
  ExpectLine(replayed, "VT_BSTR \"1|a \\\"b\\\"; <c>|true\"");
}

TEST_F(RoundTripTest, UltraGridCellAndCheckBox) {
  Outcome replayed = RecordAndReplay(
      kControls, "click UltraWebGrid1rc_2_1 uncheck UltraWebGrid1rc_0_0_cb",
      "WbfUltraGrid \"UltraWebGrid1\" ClickCell 66=\"2\" 68=\"Customers,Name\" 16400=16391 "
      "16392=0\n"
      "WbfUltraGrid \"UltraWebGrid1\" SetCell 66=\"0\" 68=\"Customers,Id\" 16400=16392 6=false "
      "16392=0\n",
      "--eval \"igtbl_getActiveCell('UltraWebGrid1').Element.id + ' ' +"
      " document.getElementById('UltraWebGrid1rc_0_0_cb').checked\"");
  ExpectLine(replayed, "VT_BSTR \"UltraWebGrid1rc_0_0 false\"");
}

class ServerRoundTripTest : public RoundTripTest {
protected:
  void SetUp() override {
    if (std::string why = AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    RoundTripTest::SetUp();
    ASSERT_TRUE(server_.Start()) << server_.Error();
  }
  AspNetServer server_;
};

// Calendar1 of Calendar.aspx shows January 2010: links 0 and 1 move the month,
// 2 selects it, then each week is its selector and its seven days (a:11 is
// the week of 3 January, a:17 the 8th).
TEST_F(ServerRoundTripTest, CalendarDaysWeeksMonthsAndMonthLinksThroughPostbacks) {
  const std::string page = server_.Url("Calendar.aspx");
  Outcome day =
      RecordAndReplay(page, "click Calendar1/a:17",
                      "WbfCalendar \"Calendar1\" SelectDay 16386=\"8-Jan-2010\"\n", "--inspect");
  ExpectLine(day, "  16386 selected date = \"8-Jan-2010\"");
  ExpectLine(day, "  16385 selection kind = \"Day\"");

  Outcome month = RecordAndReplay(
      page, "click Calendar1/a:2",
      "WbfCalendar \"Calendar1\" SelectRange 16386=\"1-Jan-2010\" 16385=\"Month\" 6=31\n",
      "--inspect");
  ExpectLine(month, "  16386 selected date = \"1-Jan-2010\"");
  ExpectLine(month, "  16385 selection kind = \"Month\"");

  Outcome week = RecordAndReplay(
      page, "click Calendar1/a:11",
      "WbfCalendar \"Calendar1\" SelectRange 16386=\"3-Jan-2010\" 16385=\"Week\"\n", "--inspect");
  ExpectLine(week, "  16386 selected date = \"3-Jan-2010\"");

  Outcome moved =
      RecordAndReplay(page, "click Calendar1/a:1 click Calendar1/a:0 click Calendar1/a:0",
                      "WbfCalendar \"Calendar1\" ClickNextMonth\n"
                      "WbfCalendar \"Calendar1\" ClickPrevMonth\n"
                      "WbfCalendar \"Calendar1\" ClickPrevMonth\n",
                      "--inspect");
  ExpectLine(moved, "  16 title = \"December 2009\"");
}

TEST_F(ServerRoundTripTest, DataGridTextBoxAndCheckBoxOfAPagedGrid) {
  Outcome replayed = RecordAndReplay(
      server_.Url("DataGrid.aspx"),
      "type Grid1_ctl03_NameBox 'Big \"bellows\"' uncheck Grid1_ctl03_StockBox",
      "WbfGrid \"Grid1\" SetCell 66=3 68=2 6=\"Big \\\"bellows\\\"\" 16389=1\n"
      "WbfGrid \"Grid1\" SetCell 66=3 68=4 6=false 16389=1\n",
      "--inspect --eval \"document.getElementById('Grid1_ctl03_NameBox').value + '|' +"
      " document.getElementById('Grid1_ctl03_StockBox').checked\"");
  ExpectLine(replayed, "  67 rows = 5");
  ExpectLine(replayed, "VT_BSTR \"Big \\\"bellows\\\"|false\"");
}

TEST_F(ServerRoundTripTest, InvokeFollowsThePostbackAndInspectsWhereItEnds) {
  Outcome run = Tallowick("invoke " + server_.Url("Calendar.aspx") +
                          " Calendar1 SelectDay '16386=\"12-Jan-2010\"' --then-inspect");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.rfind("HRESULT 0x00000000\nreturn 0x00000000\n", 0), 0u) << run.output;
  ExpectLine(run, "  16386 selected date = \"12-Jan-2010\"");

  Outcome unreachable = Tallowick("inspect http://127.0.0.1:1/Nothing.aspx");
  EXPECT_EQ(unreachable.status, 1);
  EXPECT_NE(unreachable.output.find("http://127.0.0.1:1/Nothing.aspx"), std::string::npos)
      << unreachable.output;
}

// A small JSON reader: true when the whole text is one JSON value.
class JsonReader {
public:
  explicit JsonReader(const std::string &text) : text_(text) {}
  bool Valid() {
    bool ok = Value();
    Space();
    return ok && at_ == text_.size();
  }

private:
  void Space() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
      ++at_;
  }
  bool Take(char c) {
    Space();
    if (at_ >= text_.size() || text_[at_] != c)
      return false;
    ++at_;
    return true;
  }
  bool String() {
    if (!Take('"'))
      return false;
    while (at_ < text_.size() && text_[at_] != '"') {
      if (static_cast<unsigned char>(text_[at_]) < 0x20)
        return false;
      at_ += text_[at_] == '\\' ? 2 : 1;
    }
    return Take('"');
  }
  bool Number() {
    size_t start = at_;
    while (at_ < text_.size() && std::strchr("-+.eE0123456789", text_[at_]) != nullptr)
      ++at_;
    return at_ > start;
  }
  template <class Item> bool List(char open, char close, Item item) {
    if (!Take(open))
      return false;
    if (Take(close))
      return true;
    do {
      if (!item())
        return false;
    } while (Take(','));
    return Take(close);
  }
  bool Value() {
    Space();
    if (at_ >= text_.size())
      return false;
    char c = text_[at_];
    if (c == '"')
      return String();
    if (c == '[')
      return List('[', ']', [this] { return Value(); });
    if (c == '{')
      return List('{', '}', [this] { return String() && Take(':') && Value(); });
    for (const char *word : {"true", "false", "null"}) {
      if (text_.compare(at_, std::strlen(word), word) == 0) {
        at_ += std::strlen(word);
        return true;
      }
    }
    return Number();
  }
  const std::string &text_;
  size_t at_ = 0;
};

TEST_F(RoundTripTest, InspectJsonIsValidAndNestsTheKitObjects) {
  Outcome json = Tallowick("inspect " + kControls + " --json");
  ASSERT_EQ(json.status, 0) << json.output;
  EXPECT_TRUE(JsonReader(json.output).Valid()) << json.output;
  for (const char *top : {"{\"class\":\"WbfTabStrip\",\"name\":\"TabStrip1\"",
                          "\"attributes\":{\"16\":\"January 2010\",\"16384\":\"DayWeekMonth\","
                          "\"16385\":\"Day\",\"16386\":\"5-Jan-2010\"}",
                          "\"16395\":true,\"16396\":true,\"16397\":false", "\"122\":11",
                          "{\"class\":\"WbfUltraGridInner\""})
    EXPECT_NE(json.output.find(top), std::string::npos) << top;
  EXPECT_FALSE(JsonReader("[{\"a\":1,}]").Valid());
  EXPECT_FALSE(JsonReader("[1] 2").Valid());
}

// Each kit object's outline in the picture sits at its rectangle (70).
TEST_F(RoundTripTest, InspectSvgOutlinesSitAtTheObjectsRectangles) {
  fs::path svg = folder_ / "page.svg";
  Outcome run = Tallowick("inspect " + kControls + " --svg " + svg.string());
  ASSERT_EQ(run.status, 0) << run.output;
  xmlDocPtr document = xmlReadFile(svg.c_str(), nullptr, XML_PARSE_NONET);
  ASSERT_NE(document, nullptr);
  xmlNodePtr root = xmlDocGetRootElement(document);
  ASSERT_STREQ(reinterpret_cast<const char *>(root->name), "svg");
  int outlines = 0;
  for (xmlNodePtr group = root->children; group != nullptr; group = group->next) {
    xmlChar *kind = xmlGetProp(group, BAD_CAST "class");
    bool kit = kind != nullptr && xmlStrEqual(kind, BAD_CAST "kit");
    xmlFree(kind);
    if (!kit)
      continue;
    xmlChar *name = xmlGetProp(group, BAD_CAST "data-name");
    std::string objectName = reinterpret_cast<const char *>(name);
    xmlFree(name);
    if (objectName != "Calendar1" && objectName != "Grid1" && objectName != "TabStrip1")
      continue;
    xmlNodePtr rect = group->children;
    while (rect != nullptr && rect->type != XML_ELEMENT_NODE)
      rect = rect->next;
    ASSERT_NE(rect, nullptr);
    auto number = [&](const char *attribute) {
      xmlChar *value = xmlGetProp(rect, BAD_CAST attribute);
      long n = value != nullptr ? std::atol(reinterpret_cast<const char *>(value)) : -1;
      xmlFree(value);
      return n;
    };
    long x = number("x"), y = number("y");
    std::string expected = "(" + std::to_string(x) + "," + std::to_string(y) + "," +
                           std::to_string(x + number("width")) + "," +
                           std::to_string(y + number("height")) + ")\n";
    EXPECT_EQ(Tallowick("attr " + kControls + " " + objectName + " 70").output, expected)
        << objectName;
    ++outlines;
  }
  xmlFreeDoc(document);
  EXPECT_EQ(outlines, 3);
}

} // namespace

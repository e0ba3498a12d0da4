// The grid object on grids of the page-side client library: recognition,
// the two object conventions and row separators, counts, grid settings,
// table data, texts of rows and columns, and the markup cleaner.
#include "UltraGridTestSupport.h"

namespace {

std::vector<std::wstring> Values(IWebAttrVal *list) {
  std::vector<std::wstring> out;
  UINT size = 0;
  if (list != nullptr)
    list->GetSize(&size);
  for (UINT i = 0; i < size; ++i) {
    CQilComPtr<IWebVariant> value;
    CQilVariant variant;
    list->GetValue(i, &value);
    if (value)
      value->ToVariant(&variant);
    if (variant.vt != VT_BSTR && FAILED(variant.ChangeType(VT_BSTR)))
      out.push_back(L"<?>");
    else
      out.push_back(variant.bstrVal != nullptr ? variant.bstrVal : L"");
  }
  return out;
}

constexpr char kThreeRows[] = R"({
  convention: "%s", separator: "%s",
  bands: [{key: "Items", columns: [{key: "A"}, {key: "B"}, {key: "C"}]}],
  rows: [{cells: ["a1", 2, "c1"]}, {cells: ["a2", null, "c2"]}, {cells: [null, 3.5, ""]}]
})";

std::string ThreeRows(const char *convention, const char *separator) {
  std::string text = kThreeRows;
  text.replace(text.find("%s"), 2, convention);
  text.replace(text.find("%s"), 2, separator);
  return text;
}

} // namespace

TEST_F(UltraGridTest, RecognisesTheLibrarysGridsAndNothingLikeThem) {
  ShowScript(
      R"(igtbl_renderGrid("G1", )" + std::string(kCustomers) + R"(, "holder");)",
      R"(<table id="B1_main"><tbody id="b"><tr><td><div id="B1_div">x</div></td></tr></tbody></table>
<table id="B2_main"><tbody><tr><td><div id="B2_div">x</div></td></tr></tbody>
<tbody><tr><td>y</td></tr></tbody></table>
<table id="B3_main_main"><tr><td><div id="B3_main_div">x</div></td></tr></table>
<table id="B4_main"><tr><td><div id="B4_other">x</div></td></tr></table>
<table id="B5_main"><tr id="r"><td><div id="B5_div">x</div></td></tr>
<tr><td>a</td><td><div id="B5_div">x</div></td></tr></table>
<table id="B6_main"><tr><td id="c"><div id="B6_div">x</div></td></tr></table>
<table id="B7_main"><tr><td></td></tr><tr><td><span>s</span><div id="B7_div">x</div></td></tr></table>
<table id="_main"><tr><td><div id="_div">x</div></td></tr></table>)");
  EXPECT_TRUE(CWfUltraGrid::IsUltraGrid(Element(L"G1_main")));
  EXPECT_TRUE(CWfUltraGrid::IsUltraGrid(Element(L"B7_main"))); // a later row may qualify
  EXPECT_TRUE(CWfUltraGrid::IsUltraGrid(Element(L"_main")));   // an empty grid name
  for (LPCOLESTR id :
       {L"B1_main", L"B2_main", L"B3_main_main", L"B4_main", L"B5_main", L"B6_main", L"holder"})
    EXPECT_FALSE(CWfUltraGrid::IsUltraGrid(Element(id))) << tallowick::platform::Narrow(id);
  EXPECT_FALSE(CWfUltraGrid::IsUltraGrid(nullptr));
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(grid->GetAttr(0, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"WbfUltraGrid");
  EXPECT_EQ(grid->GetAttr(146, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"G1");
  // The cells inside are the factory's dynamic objects.
  LONG inner = 0;
  ASSERT_TRUE(TreeAO(L"G1rc_0_1"));
  EXPECT_EQ(TreeAO(L"G1rc_0_1")->GetRecordableClass(&inner), S_OK);
  EXPECT_EQ(inner, 1032);
  CQilComPtr<IWebObjSelfEventConfig> events;
  ASSERT_EQ(events.QueryFrom(grid), S_OK);
  LONG state = 0;
  EXPECT_EQ(events->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
}

// Both object conventions and both separators: the same rows, counts and
// data, read with the scripts of the convention the page offers.
TEST_F(UltraGridTest, TableDataInEveryConventionAndSeparator) {
  for (const char *convention : {"page", "global"}) {
    for (const char *separator : {"r", "_r"}) {
      SCOPED_TRACE(std::string(convention) + " " + separator);
      ShowGrid("G1", ThreeRows(convention, separator));
      CQilComPtr<IWebObj2> grid = Grid(L"G1");
      ASSERT_TRUE(grid);
      CQilComPtr<IWebAttrVal> value;
      EXPECT_EQ(grid->GetAttr(67, nullptr, &value), S_OK);
      EXPECT_EQ(Long(value), 3);
      EXPECT_EQ(grid->GetAttr(69, nullptr, &value), S_OK);
      EXPECT_EQ(Long(value), 3);
      CQilComPtr<IWebInfo> request = Request();
      EXPECT_EQ(Invoke(grid, GET_TABLE_DATA, request), S_OK);
      EXPECT_EQ(request->GetReturnValue(), S_OK);
      EXPECT_EQ(EntryLong(request, 66), 3);
      EXPECT_EQ(EntryLong(request, 606), 3);
      std::vector<std::vector<std::wstring>> rows;
      for (LONG k = 10001; k <= 10003; ++k) {
        CQilComPtr<IWebAttrVal> row;
        EXPECT_EQ(request->GetAttrValueByName(k, &row), S_OK);
        rows.push_back(Values(row));
      }
      EXPECT_EQ(rows[0], (std::vector<std::wstring>{L"a1", L"2", L"c1"}));
      EXPECT_EQ(rows[1], (std::vector<std::wstring>{L"a2", L"c2"})); // the empty cell closes up
      EXPECT_EQ(rows[2], (std::vector<std::wstring>{L"3.5", L""}));
      EXPECT_FALSE(HasEntry(request, 10004));
    }
  }
}

TEST_F(UltraGridTest, GridSettingsAreTrueOnlyForOne) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  LONG flag = -1;
  for (auto [id, expected] :
       {std::pair{16395L, 1L}, std::pair{16396L, 0L}, std::pair{16397L, 0L}}) {
    EXPECT_EQ(Lookup(grid, id, nullptr, value), 1) << id;
    ASSERT_TRUE(value);
    EXPECT_EQ(value->GetBoolValue(0, &flag), S_OK);
    EXPECT_EQ(flag != 0 ? 1L : 0L, expected) << id;
  }
  // The global convention's grid object answers the same.
  ShowGrid("G2", R"({convention: "global", allowSort: 1,
    bands: [{key: "B", columns: [{key: "A"}]}], rows: [{cells: [1]}]})");
  grid = Grid(L"G2");
  ASSERT_TRUE(grid);
  EXPECT_EQ(Lookup(grid, 16396, nullptr, value), 1);
  EXPECT_EQ(value->GetBoolValue(0, &flag), S_OK);
  EXPECT_NE(flag, 0);
}

TEST_F(UltraGridTest, ScriptFailuresAnswerNoCounts) {
  // The grid's markup without the client library: no script object answers.
  Show(R"(<html><body><table id="G9_main"><tr><td><div id="G9_div">x</div></td></tr></table>
</body></html>)");
  CQilComPtr<IWebObj2> grid = Grid(L"G9");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(grid->GetAttr(67, nullptr, &value), E_FAIL);
  EXPECT_EQ(grid->GetAttr(69, nullptr, &value), E_FAIL);
  EXPECT_EQ(Lookup(grid, 16395, nullptr, value), 0);
  EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"0")}), value), 0);
  CQilComPtr<IWebInfo> request = Request();
  EXPECT_EQ(Invoke(grid, GET_TABLE_DATA, request), E_FAIL);
  EXPECT_EQ(request->GetReturnValue(), E_FAIL);
  IWebInfo *none = nullptr;
  EXPECT_EQ(grid->InvokeMethod(GET_TABLE_DATA, &none), E_INVALIDARG);
  EXPECT_EQ(grid->InvokeMethod(GET_TABLE_DATA, nullptr), E_INVALIDARG);
}

TEST_F(UltraGridTest, MarkupCleaner) {
  struct Case {
    LPCOLESTR text, cleaned;
  };
  for (const Case &c : {
           Case{L"Total<br>12", L"Total 12"},
           Case{L"Cu<b>stom</b>er", L"Customer"},
           Case{L"<b>Name</b>", L"Name"}, // a leading tag is cleaned like the others
           Case{L"a<B><I>x</I></B>", L"ax"},
           Case{L"<P>one</P>two<BR/>three", L" one two three"},
           Case{L"<img src=\"up.gif\">Up<a href=\"x\">link</a>", L"Uplink"},
           Case{L"<span>kept</span>", L"<span>kept</span>"},
           Case{L"a < b", L"a < b"},
           Case{L"open<", L"open<"},
           Case{L"", L""},
       })
    EXPECT_EQ(CWfUltraGrid::CleanMarkup(c.text), c.cleaned) << tallowick::platform::Narrow(c.text);
}

TEST_F(UltraGridTest, ScriptLiteralEscaping) {
  EXPECT_EQ(CWfUltraGrid::EscapeForScript(L"G'\\1\"x"), L"G\\'\\\\1\\\"x");
  EXPECT_EQ(CWfUltraGrid::EscapeForScript(L"a\nb\r\x2028"), L"a\\u000ab\\u000d\\u2028");
}

// A grid whose name holds a quote and a backslash: every script addresses
// that very grid, and a name made to close the literal runs nothing.
TEST_F(UltraGridTest, PageDerivedTextsAreEscapedInScripts) {
  ShowScript(
      R"(igtbl_renderGrid("G'\\1", {bands: [{key: "K'\\", columns: [{key: "A"}, {key: "B"}]}],
      rows: [{cells: [1, "x"]}, {cells: [2, "y"]}]}, "holder");
    document.getElementById("holder2").innerHTML = '<table id="x\');window.hacked=1;(\'_main"><tr>' +
      '<td><div id="x\');window.hacked=1;(\'_div">x</div></td></tr></table>';)",
      R"(<div id="holder2"></div>)");
  CQilComPtr<IWebObj2> grid = Grid(L"G'\\1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(grid->GetAttr(67, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 2);
  CQilComPtr<IWebInfo> request = Request();
  EXPECT_EQ(Invoke(grid, GET_TABLE_DATA, request), S_OK);
  EXPECT_EQ(EntryLong(request, 66), 2);
  EXPECT_EQ(Lookup(grid, 16395, nullptr, value), 1); // the grid object through the window

  CQilComPtr<IHTMLElement> cell = Element(L"G'\\1rc_1_1");
  ASSERT_TRUE(cell);
  CQilComPtr<IWebInfo> record = Record(grid, cell);
  EXPECT_EQ(EntryString(record, 66), L"1");
  EXPECT_EQ(EntryString(record, 68), L"B");
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(cell)));

  CQilComPtr<IWebObj2> hostile = Grid(L"x');window.hacked=1;('");
  ASSERT_TRUE(hostile);
  EXPECT_EQ(hostile->GetAttr(67, nullptr, &value), E_FAIL);
  EXPECT_EQ(Lookup(hostile, 16396, nullptr, value), 0);
  EXPECT_EQ(Invoke(hostile, GET_TABLE_DATA, Request()), E_FAIL);
  EXPECT_EQ(Eval(L"typeof window.hacked").bstrVal, std::wstring(L"undefined"));
}

TEST_F(UltraGridTest, RowExpansionStates) {
  ShowGrid("G1", R"({bands: [{key: "P", columns: [{key: "A"}]}, {key: "C", columns: [{key: "B"}]}],
    rows: [{cells: [1], rows: [{cells: [2]}]},
           {cells: [3], expandable: false},
           {cells: [4], expandable: 5},
           {cells: [5], expandable: "true", expanded: true, rows: [{cells: [6]}]},
           {cells: [7], rows: [{cells: [8]}]}]})");
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  struct Case {
    LPCOLESTR rowText;
    LONG state;
  };
  // Row 0 was never expanded: getExpanded answers nothing.
  for (const Case &c : {Case{L"0", 2}, Case{L"1", 0}, Case{L"2", -1}, Case{L"3", 1}}) {
    EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(c.rowText)}), value), 1);
    EXPECT_EQ(Long(value), c.state) << tallowick::platform::Narrow(c.rowText);
  }
  EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"9")}), value), 0);
  EXPECT_EQ(Lookup(grid, 16398, nullptr, value), 0);
  // Expanding and collapsing with the row's own image.
  Element(L"G1r_4_img")->click();
  EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"4")}), value), 1);
  EXPECT_EQ(Long(value), 1);
  Element(L"G1r_4_img")->click();
  EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"4")}), value), 1);
  EXPECT_EQ(Long(value), 2);

  // The global convention: the row's Expanded property.
  ShowGrid("G2", R"({convention: "global", bands: [{key: "P", columns: [{key: "A"}]},
    {key: "C", columns: [{key: "B"}]}],
    rows: [{cells: [1], rows: [{cells: [2]}]}, {cells: [3], expanded: true, rows: [{cells: [4]}]}]})");
  grid = Grid(L"G2");
  ASSERT_TRUE(grid);
  EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"0")}), value), 1);
  EXPECT_EQ(Long(value), 2);
  EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"1")}), value), 1);
  EXPECT_EQ(Long(value), 1);
}

// The row text 0,2 is the level key 0_2: a TR's level attribute, else the
// part of its id after the first "_" (the second for "_r" ids).
TEST_F(UltraGridTest, LevelKeyByLevelAttributeAndById) {
  const std::string nested =
      R"(bands: [{key: "P", columns: [{key: "A"}]}, {key: "C", columns: [{key: "B"}]}],
    rows: [{cells: [1], expanded: true, rows: [{cells: [2]}, {cells: [3]},
      {cells: [4], expandable: false}]}]})";
  struct Case {
    const char *name;
    std::string options;
    LONG found;
  };
  for (const Case &c : {Case{"G1", "{", 1}, Case{"G2", "{separator: \"_r\", ", 1},
                        Case{"ctl00_G", "{levels: true, ", 1}, Case{"ctl00_H", "{", 0}}) {
    SCOPED_TRACE(c.name);
    ShowGrid(c.name, c.options + nested);
    CQilComPtr<IWebObj2> grid = Grid(tallowick::platform::Widen(c.name));
    ASSERT_TRUE(grid);
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(Lookup(grid, 16398, Data({CQilVariant(L"0,2")}), value), c.found);
    if (c.found == 1) {
      EXPECT_EQ(Long(value), 0);
    }
  }
}

TEST_F(UltraGridTest, ColumnTextsAndSortStates) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  struct Case {
    CQilVariant column;
    LONG result, state;
  };
  for (const Case &c : {
           Case{CQilVariant(L"Name"), 1, 1},          // key, sort indicator 1
           Case{CQilVariant(L"Customer"), 1, 1},      // cleaned header text
           Case{CQilVariant(L"Total 12"), 1, 0},      // header text without key
           Case{CQilVariant(L"Orders,Amount"), 1, 3}, // band key; header click action 1
           Case{CQilVariant(L"Orders,Order"), 1, 0},
           Case{CQilVariant(L"Nowhere,Amount"), 0, 0}, // no band carries the key
           Case{CQilVariant(L"Amount"), 0, 0},         // band 0 has no such column
           Case{CQilVariant(LONG{2}), 1, 0},           // a number names a column of band 0
           Case{CQilVariant(LONG{7}), 0, 0},
           Case{CQilVariant(true), 0, 0},
       }) {
    CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrVal();
    data->AddVariant(c.column);
    EXPECT_EQ(Lookup(grid, 16399, data, value), c.result) << Values(data)[0];
    if (c.result == 1) {
      EXPECT_EQ(Long(value), c.state) << Values(data)[0];
    }
  }
  // Sorting allowed on the whole grid: every column answers 3.
  Eval(L"oG1.AllowSort = 2");
  EXPECT_EQ(Lookup(grid, 16399, Data({CQilVariant(L"Name")}), value), 1);
  EXPECT_EQ(Long(value), 3);
}

// A key equal to the text wins over an earlier column whose header text
// equals it.
TEST_F(UltraGridTest, KeysAreComparedBeforeHeaderTexts) {
  ShowGrid("G1", R"({bands: [{key: "B", columns: [{key: "X", headerText: "Code", sortIndicator: 1},
    {key: "Code", headerText: "Other", sortIndicator: 2}, {key: "", headerText: "Free"}]}],
    rows: [{cells: [1, 2, 3]}]})");
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(Lookup(grid, 16399, Data({CQilVariant(L"Code")}), value), 1);
  EXPECT_EQ(Long(value), 2);
  EXPECT_EQ(Found(grid, Data({CQilVariant(L""), CQilVariant(L"Code"), CQilVariant(LONG{68})})),
            IdText(TreeAO(L"G1c_0_1")));
  EXPECT_EQ(Found(grid, Data({CQilVariant(L""), CQilVariant(L"Free"), CQilVariant(LONG{68})})),
            IdText(TreeAO(L"G1c_0_2")));
}

// Row and column texts of cells in one band and in several, in both
// conventions: the grid's own reading, through the recorded step.
TEST_F(UltraGridTest, RowAndColumnTextsOfCells) {
  for (const char *convention : {"page", "global"}) {
    SCOPED_TRACE(convention);
    ShowGrid("G1", Customers(convention));
    CQilComPtr<IWebObj2> grid = Grid(L"G1");
    ASSERT_TRUE(grid);
    struct Case {
      LPCOLESTR cell, row, column;
    };
    for (const Case &c : {Case{L"G1rc_1_1", L"1", L"Customers,Name"},
                          Case{L"G1rc_2_2", L"2", L"Customers,Total 12"},
                          Case{L"G1rc_0_1_1", L"0,1", L"Orders,Amount"},
                          Case{L"G1rc_2_0_0", L"2,0", L"Orders,OrderId"}}) {
      CQilComPtr<IWebInfo> record = Record(grid, Element(c.cell));
      EXPECT_EQ(EntryString(record, 66), c.row) << tallowick::platform::Narrow(c.cell);
      EXPECT_EQ(EntryString(record, 68), c.column) << tallowick::platform::Narrow(c.cell);
    }
  }
}

// Recording clicks inside a grid of the client library, each recorded step
// handed back as attribute 78 data to find the element again; the other
// inner element lookups; scrolling a point into view.
#include "UltraGridTestSupport.h"

namespace {

constexpr char kSeparated[] = R"({
  convention: "global", separator: "_r", rowSelectors: true, addNew: true,
  bands: [{key: "Tasks", columns: [{key: "Done", type: 3}, {key: "Title"}]}],
  rows: [{cells: [false, "Write"]}, {cells: [true, "Test"]}]
})";

} // namespace

// A click on a plain cell and on a check box in a cell, in both conventions.
TEST_F(UltraGridTest, CellClicksRoundTrip) {
  for (const char *convention : {"page", "global"}) {
    SCOPED_TRACE(convention);
    ShowGrid("G1", Customers(convention));
    CQilComPtr<IWebObj2> grid = Grid(L"G1");
    ASSERT_TRUE(grid);

    CQilComPtr<IHTMLElement> cell = Element(L"G1rc_1_1");
    HRESULT hr = E_UNEXPECTED;
    CQilComPtr<IWebInfo> record = Record(grid, cell, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(EntryLong(record, 16400), 16391);
    EXPECT_EQ(EntryString(record, 66), L"1");
    EXPECT_EQ(EntryString(record, 68), L"Customers,Name");
    EXPECT_EQ(EntryId(record, 48), IdText(grid));
    EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(cell)));

    CQilComPtr<IHTMLElement> box = Element(L"G1rc_2_0_cb");
    record = Record(grid, box, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(EntryLong(record, 16400), 16392);
    EXPECT_EQ(EntryString(record, 66), L"2");
    EXPECT_EQ(EntryString(record, 68), L"Customers,Id");
    EXPECT_EQ(EntryId(record, 48), IdText(TreeAO(box)));
    CQilComPtr<IWebAttrVal> checked;
    EXPECT_EQ(TreeAO(box)->GetAttr(17, nullptr, &checked), S_OK);
    CQilComPtr<IWebAttrVal> recorded;
    ASSERT_EQ(record->GetAttrValueByName(6, &recorded), S_OK);
    EXPECT_EQ(recorded->Compare(checked, 0, 0), S_OK);
    EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(box)));
  }
}

// With the separator "_r" a cell's id begins with the grid name and "_rc";
// an id that begins with the grid name and "rc" is no cell of it.
TEST_F(UltraGridTest, UnderscoreSeparatorCellsRoundTrip) {
  ShowGrid("T", kSeparated);
  CQilComPtr<IWebObj2> grid = Grid(L"T");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement> cell = Element(L"T_rc_1_1");
  ASSERT_TRUE(cell);
  CQilComPtr<IWebInfo> record = Record(grid, cell);
  EXPECT_EQ(EntryLong(record, 16400), 16391);
  EXPECT_EQ(EntryString(record, 66), L"1");
  EXPECT_EQ(EntryString(record, 68), L"Title");
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(cell)));
  CQilComPtr<IHTMLElement> box = Element(L"T_rc_0_0_cb");
  record = Record(grid, box);
  EXPECT_EQ(EntryLong(record, 16400), 16392);
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(box)));

  // The same cell renamed with the other separator's prefix is no cell: a
  // cell of a row is taken as the row's expansion cell.
  cell->put_id(CQilBstr(L"Trc_1_1"));
  HRESULT hr = E_UNEXPECTED;
  record = Record(grid, cell, &hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(EntryLong(record, 16400), 66);
  EXPECT_FALSE(HasEntry(record, 68));
  // A header renamed so: nothing recognises it.
  CQilComPtr<IHTMLElement> header = Element(L"T_c_0_1");
  header->put_id(CQilBstr(L"Tc_0_1"));
  record = Record(grid, header, &hr);
  EXPECT_EQ(hr, S_FALSE);
  EXPECT_FALSE(HasEntry(record, 16400));
  EXPECT_EQ(EntryId(record, 48), IdText(grid));
}

TEST_F(UltraGridTest, RowSelectorsAndExpansionCellsRoundTrip) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement> selector = Element(L"G1l_0_1");
  Press(selector, L"onclick", true);
  CQilComPtr<IWebInfo> record = Record(grid, selector);
  EXPECT_EQ(EntryLong(record, 16400), 66);
  EXPECT_EQ(EntryString(record, 66), L"0,1");
  EXPECT_EQ(EntryLong(record, 16392), 1);
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(selector)));

  // The expansion cell: its state, and the image inside found again.
  CQilComPtr<IHTMLElement> image = Element(L"G1r_2_img");
  CQilComPtr<IHTMLElement> expansion;
  ASSERT_EQ(image->get_parentElement(&expansion), S_OK);
  record = Record(grid, expansion);
  EXPECT_EQ(EntryLong(record, 16400), 66);
  EXPECT_EQ(EntryString(record, 66), L"2");
  EXPECT_EQ(EntryLong(record, 16392), 0);
  EXPECT_EQ(EntryLong(record, 6), 1);
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(image)));
  // A part other than 0 and 1 finds nothing.
  EXPECT_EQ(Found(grid, Data({CQilVariant(L"2"), CQilVariant(L""), CQilVariant(LONG{66}),
                              CQilVariant(LONG{2})})),
            L"<not found>");
}

TEST_F(UltraGridTest, GroupRowsSelectorsAndCheckBoxes) {
  ShowGrid("G1", R"({bands: [{key: "B", columns: [{key: "A"}]}],
    rows: [{group: "North", rows: [{cells: [1]}, {cells: [2]}]}, {group: "South", rows: [{cells: [3]}]}]})");
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement> box = Element(L"G1grc1_cb");
  CQilComPtr<IWebInfo> record = Record(grid, box);
  EXPECT_EQ(EntryLong(record, 16400), 66);
  EXPECT_EQ(EntryString(record, 66), L"1");
  EXPECT_EQ(EntryLong(record, 16392), 1);
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(box)));
  CQilComPtr<IHTMLElement> expander = Element(L"G1grc0_0");
  record = Record(grid, expander);
  EXPECT_EQ(EntryLong(record, 16392), 0);
  EXPECT_EQ(EntryLong(record, 6), 2);
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(L"G1gr_0_img")));
  // The cells under a group carry the group's level.
  record = Record(grid, Element(L"G1rc_1_0_0"));
  EXPECT_EQ(EntryString(record, 66), L"1,0");
  EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(L"G1rc_1_0_0")));
}

TEST_F(UltraGridTest, ColumnHeadersRoundTrip) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  struct Case {
    LPCOLESTR header, text;
    LONG state;
  };
  for (const Case &c :
       {Case{L"G1c_0_1", L"Customers,Name", 1}, Case{L"G1c_0_2", L"Customers,Total 12", 0},
        Case{L"G1c_1_1", L"Orders,Amount", 3}}) {
    CQilComPtr<IWebInfo> record = Record(grid, Element(c.header));
    EXPECT_EQ(EntryLong(record, 16400), 68);
    EXPECT_EQ(EntryString(record, 68), c.text);
    EXPECT_EQ(EntryLong(record, 6), c.state);
    EXPECT_EQ(EntryLong(record, 13), 0);
    EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(c.header)));
  }
}

// The add-new area: table cells in the page convention, DIVs in the global
// one; recorded by the band key and found again by it.
TEST_F(UltraGridTest, AddNewRowsRoundTrip) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement> entry = Element(L"G1an_1");
  CQilComPtr<IWebInfo> record = Record(grid, entry);
  EXPECT_EQ(EntryLong(record, 16400), 16393);
  EXPECT_EQ(EntryString(record, 66), L"Orders");
  CQilComPtr<IWebAttrVal> data =
      Data({CQilVariant(L"Orders"), CQilVariant(L""), CQilVariant(LONG{16393})});
  EXPECT_EQ(Found(grid, data), IdText(TreeAO(entry)));
  EXPECT_EQ(Found(grid, Data({CQilVariant(L"Nobody"), CQilVariant(L""), CQilVariant(LONG{16393})})),
            L"<not found>");

  ShowGrid("T", kSeparated);
  grid = Grid(L"T");
  ASSERT_TRUE(grid);
  entry = Element(L"T_an_0");
  CQilBstr tag;
  entry->get_tagName(&tag);
  EXPECT_STREQ(tag.Text(), L"DIV");
  record = Record(grid, entry);
  EXPECT_EQ(EntryString(record, 66), L"Tasks");
  EXPECT_EQ(Found(grid, Data({CQilVariant(L"Tasks"), CQilVariant(L""), CQilVariant(LONG{16393})})),
            IdText(TreeAO(entry)));
}

TEST_F(UltraGridTest, GroupByAnswerIsTheGridsChildObject) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement> box = Element(L"G1_groupBox");
  CQilComPtr<IHTMLElement> row;
  ASSERT_EQ(box->get_parentElement(&row), S_OK);
  std::wstring answer =
      Found(grid, Data({CQilVariant(L""), CQilVariant(L""), CQilVariant(LONG{16394})}));
  EXPECT_EQ(answer, IdText(TreeAO(row)));
  EXPECT_NE(answer, IdText(TreeAO(box)));
  ShowGrid("G2", R"({bands: [{key: "B", columns: [{key: "A"}]}], rows: [{cells: [1]}]})");
  EXPECT_EQ(
      Found(Grid(L"G2"), Data({CQilVariant(L""), CQilVariant(L""), CQilVariant(LONG{16394})})),
      L"<not found>");
}

// Editing a cell: the editor names the cell it edits; the editor found
// again by the column's type.
TEST_F(UltraGridTest, CellEditorsRoundTrip) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  struct Case {
    LPCOLESTR cell, editor, column;
  };
  for (const Case &c : {Case{L"G1rc_0_1", L"G1_tb", L"Customers,Name"},
                        Case{L"G1rc_2_2", L"G1_vl", L"Customers,Total 12"}}) {
    Press(Element(c.cell), L"ondblclick");
    CQilComPtr<IHTMLElement> editor = Element(c.editor);
    std::wstring current;
    CQilVariant attribute;
    ASSERT_EQ(editor->getAttribute(CQilBstr(L"currentCell"), 0, &attribute), S_OK);
    ASSERT_EQ(attribute.vt, VT_BSTR);
    EXPECT_STREQ(attribute.bstrVal, c.cell);
    CQilComPtr<IWebInfo> record = Record(grid, editor);
    EXPECT_EQ(EntryLong(record, 16400), 16392);
    EXPECT_EQ(EntryId(record, 48), IdText(TreeAO(editor)));
    EXPECT_EQ(EntryString(record, 68), c.column);
    EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(editor)));
  }
  CQilComPtr<IWebInfo> record = Record(grid, Element(L"G1_tb"));
  EXPECT_EQ(EntryString(record, 66), L"0");
  EXPECT_EQ(EntryString(record, 6), L"Alfreds");
  // A check box column's "editor" is the check box in the cell.
  EXPECT_EQ(Found(grid, Data({CQilVariant(L"1"), CQilVariant(L"Id"), CQilVariant(LONG{16392}),
                              CQilVariant(LONG{-1})})),
            IdText(TreeAO(L"G1rc_1_0_cb")));
  EXPECT_EQ(Found(grid, Data({CQilVariant(L"1"), CQilVariant(L"Id"), CQilVariant(LONG{16392}),
                              CQilVariant(LONG{-2})})),
            L"<not found>");
  EXPECT_EQ(Found(grid, Data({CQilVariant(L"1"), CQilVariant(L"Id"), CQilVariant(LONG{16392}),
                              CQilVariant(LONG{1})})),
            L"<not found>");
}

// A click on the grid's own table or DIV records the active cell, which
// follows a left-button mousedown; without one, the active row.
TEST_F(UltraGridTest, ActiveCellFollowsMouseDown) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement> div = Element(L"G1_div");
  CQilComPtr<IWebInfo> record = Record(grid, div);
  EXPECT_EQ(EntryLong(record, 16400), 16400);
  EXPECT_EQ(EntryString(record, 66), L"");
  EXPECT_EQ(EntryString(record, 68), L"");
  Press(Element(L"G1rc_0_1_1"));
  record = Record(grid, div);
  EXPECT_EQ(EntryString(record, 66), L"0,1");
  EXPECT_EQ(EntryString(record, 68), L"Orders,Amount");
  Press(Element(L"G1l_2"));
  record = Record(grid, div);
  EXPECT_EQ(EntryString(record, 66), L"2");
  EXPECT_EQ(EntryString(record, 68), L"");
  // A click event alone activates nothing.
  CQilComPtr<IHTMLElement3> cell;
  ASSERT_EQ(cell.QueryFrom(Element(L"G1rc_1_1")), S_OK);
  VARIANT_BOOL notCancelled = VARIANT_FALSE;
  cell->fireEvent(CQilBstr(L"onmousedown"), nullptr, &notCancelled);
  record = Record(grid, div);
  EXPECT_EQ(EntryString(record, 66), L"2");
}

TEST_F(UltraGridTest, RecordingNeedsACellOfTheGridsOwnTable) {
  ShowScript(R"(igtbl_renderGrid("G1", )" + std::string(kCustomers) + R"(, "holder");)",
             R"(<table id="other"><tr><td id="outside">x</td></tr></table>)");
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  HRESULT hr = S_OK;
  Record(grid, Element(L"outside"), &hr);
  EXPECT_EQ(hr, E_FAIL);
  Record(grid, Element(L"G1_main"), &hr);
  EXPECT_EQ(hr, E_FAIL);
  IWebInfo *none = nullptr;
  tagWIEventData event{};
  EXPECT_EQ(grid->FillRecordInformation(Element(L"G1rc_0_1"), event, &none), E_POINTER);
  // A cell of a nested table inside the grid still counts.
  CQilComPtr<IWebInfo> record = Record(grid, Element(L"G1an_0"), &hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(EntryLong(record, 16400), 16393);
}

// Steps recorded by the host for clicks inside the grid.
TEST_F(UltraGridTest, HostRecordsTheGridsSteps) {
  ShowGrid("G1", kCustomers);
  ASSERT_TRUE(Grid(L"G1"));
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Press(Element(L"G1rc_1_1"), L"onclick");
  LONG count = 0;
  ASSERT_EQ(browser_->GetStepCount(&count), S_OK);
  ASSERT_EQ(count, 1);
  CQilComPtr<IWebInfo> record;
  CQilBstr text;
  ASSERT_EQ(browser_->GetStep(0, &text, &record), S_OK);
  EXPECT_EQ(std::wstring(text.Text()).rfind(L"WbfUltraGrid ", 0), 0u)
      << tallowick::platform::Narrow(text.Text());
  EXPECT_EQ(EntryLong(record, 16400), 16391);
  EXPECT_EQ(EntryString(record, 68), L"Customers,Name");
}

TEST_F(UltraGridTest, ScrollPointIntoView) {
  ShowGrid("G1", R"({width: 120, height: 50,
    bands: [{key: "B", columns: [{key: "A"}, {key: "B"}, {key: "C"}, {key: "D"}, {key: "E"}]}],
    rows: [{cells: ["aaaaaaaaaaaa", "bbbbbbbbbbbb", "cccccccccccc", "dddddddddddd", "eeee"]},
           {cells: [1]}, {cells: [2]}, {cells: [3]}, {cells: [4]}, {cells: [5]}, {cells: [6]}]})");
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IHTMLElement2> div;
  ASSERT_EQ(div.QueryFrom(Element(L"G1_div")), S_OK);
  LONG width = 0;
  LONG height = 0;
  div->get_clientWidth(&width);
  div->get_clientHeight(&height);
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);
  auto scrollTo = [&](LONG left, LONG top) {
    div->put_scrollLeft(left);
    div->put_scrollTop(top);
  };
  auto scroll = [&](LONG x, LONG y) {
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrLong(143, x, 1);
    request->InsertAttrLong(144, y, 1);
    EXPECT_EQ(Invoke(grid, SCROLL_POINT_INTO_VIEW, request), S_OK);
    EXPECT_EQ(request->GetReturnValue(), S_OK);
    LONG left = -1;
    LONG top = -1;
    div->get_scrollLeft(&left);
    div->get_scrollTop(&top);
    return std::pair<LONG, LONG>{left, top};
  };
  scrollTo(20, 10);
  ASSERT_EQ(scroll(20 + width, 10 + height), (std::pair<LONG, LONG>{20, 10})); // edges are inside
  EXPECT_EQ(scroll(5, 12), (std::pair<LONG, LONG>{5, 10})); // left: only scrollLeft
  scrollTo(20, 10);
  EXPECT_EQ(scroll(30, 10 + height + 5), (std::pair<LONG, LONG>{20, 10 + height + 5})); // below
  // A missing point or no scrolling element: E_FAIL in the request.
  CQilComPtr<IWebInfo> request = Request();
  request->InsertAttrLong(143, 1, 1);
  EXPECT_EQ(Invoke(grid, SCROLL_POINT_INTO_VIEW, request), E_FAIL);
  EXPECT_EQ(request->GetReturnValue(), E_FAIL);
  Element(L"G1_div")->put_id(CQilBstr(L"renamed"));
  request = Request();
  request->InsertAttrLong(143, 1, 1);
  request->InsertAttrLong(144, 1, 1);
  EXPECT_EQ(Invoke(grid, SCROLL_POINT_INTO_VIEW, request), E_FAIL);
  EXPECT_EQ(request->GetReturnValue(), E_FAIL);
}

// A grid without rows keeps the "r" ids its headers show: its header
// clicks are recorded; a grid of "_r" ids without rows takes "_r".
TEST_F(UltraGridTest, GridWithoutRowsKeepsItsSeparator) {
  for (const char *separator : {"r", "_r"}) {
    SCOPED_TRACE(separator);
    ShowGrid("G1", std::string("{separator: \"") + separator +
                       "\", bands: [{key: \"B\", columns: [{key: \"A\"}]}], rows: []}");
    CQilComPtr<IWebObj2> grid = Grid(L"G1");
    ASSERT_TRUE(grid);
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(grid->GetAttr(67, nullptr, &value), E_FAIL);
    LPCOLESTR header = separator[0] == 'r' ? L"G1c_0_0" : L"G1_c_0_0";
    CQilComPtr<IWebInfo> record = Record(grid, Element(header));
    EXPECT_EQ(EntryLong(record, 16400), 68);
    EXPECT_EQ(EntryString(record, 68), L"A");
    EXPECT_EQ(Found(grid, LookupData(record)), IdText(TreeAO(header)));
  }
}

// Replaying a click on a cell that the lookup found: the element object's
// click delivers the left-button mousedown, so the cell becomes active.
TEST_F(UltraGridTest, ReplayedClickActivatesTheFoundCell) {
  ShowGrid("G1", kCustomers);
  CQilComPtr<IWebObj2> grid = Grid(L"G1");
  ASSERT_TRUE(grid);
  CQilComPtr<IWebAttrVal> data = Data({CQilVariant(L"2"), CQilVariant(L"Customers,Name"),
                                       CQilVariant(LONG{16391}), CQilVariant(LONG{0})});
  ASSERT_EQ(Found(grid, data), IdText(TreeAO(L"G1rc_2_1")));
  CQilComPtr<IWebObj2> cell;
  ASSERT_EQ(CreateWebObject<CIE4Obj>(&cell, Element(L"G1rc_2_1").Get(), TopFrame().Get()), S_OK);
  CQilComPtr<IWebInfo> click = Request();
  click->InsertAttrString(64, CQilBstr(L"click"), 1);
  EXPECT_EQ(Invoke(cell, CALL_EVENT, click), S_OK);
  EXPECT_EQ(click->GetReturnValue(), S_OK);
  CQilComPtr<IWebInfo> record = Record(grid, Element(L"G1_div"));
  EXPECT_EQ(EntryString(record, 66), L"2");
  EXPECT_EQ(EntryString(record, 68), L"Customers,Name");
}

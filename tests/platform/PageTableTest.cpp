// Tables as IE reports them: rows across sections with the implied TBODY,
// row and cell indexes, spans, and the table attributes grids are read by.
#include "PageTestSupport.h"

namespace {

constexpr const char *kGrid = R"html(<table id="grid" border="1" rules="all" cellspacing="0">
<caption>Orders</caption>
<thead><tr id="h"><th>Id</th><th>Name</th></tr></thead>
<tfoot><tr id="f"><td colspan="2">Total</td></tr></tfoot>
<tbody><tr id="r1"><td>1</td><td id="c12">Ann</td></tr><tr id="r2"><td>2</td><td>Bob</td></tr></tbody>
</table>
<table id="plain"><tr id="p1"><td>x</td><td id="px" rowspan="3">y</td></tr></table>)html";

class PageTable : public ::testing::Test {
protected:
  Ptr<IHTMLDocument2> doc = LoadHtml(kGrid);
  template <class I> Ptr<I> El(const wchar_t *id) { return ById(doc.get(), id).As<I>(); }
};

std::wstring RowId(IHTMLElementCollection *rows, LONG i) {
  Ptr<IDispatch> row;
  rows->item(Var(i).v, Var().v, &row);
  return Id(row.get());
}

TEST_F(PageTable, RowsRunHeadBodiesFoot) {
  Ptr<IHTMLTable> table = El<IHTMLTable>(L"grid");
  ASSERT_TRUE(table);
  Ptr<IHTMLElementCollection> rows;
  ASSERT_EQ(S_OK, table->get_rows(&rows));
  ASSERT_EQ(4, Length(rows.get()));
  EXPECT_EQ(L"h", RowId(rows.get(), 0));
  EXPECT_EQ(L"r1", RowId(rows.get(), 1));
  EXPECT_EQ(L"r2", RowId(rows.get(), 2));
  EXPECT_EQ(L"f", RowId(rows.get(), 3));

  Ptr<IHTMLTableSection> head, foot;
  ASSERT_EQ(S_OK, table->get_tHead(&head));
  ASSERT_EQ(S_OK, table->get_tFoot(&foot));
  EXPECT_TRUE(head && foot);
  Ptr<IHTMLTableCaption> caption;
  ASSERT_EQ(S_OK, table->get_caption(&caption));
  EXPECT_TRUE(caption);
  Var border;
  ASSERT_EQ(S_OK, table->get_border(&border.v));
  EXPECT_EQ(L"1", border.Text());
  Ptr<IHTMLElementCollection> cells;
  ASSERT_EQ(S_OK, El<IHTMLTable2>(L"grid")->get_cells(&cells));
  EXPECT_EQ(7, Length(cells.get()));
}

TEST_F(PageTable, ImpliedTbodyHoldsDirectRows) {
  Ptr<IHTMLTable> table = El<IHTMLTable>(L"plain");
  Ptr<IHTMLElementCollection> bodies;
  ASSERT_EQ(S_OK, table->get_tBodies(&bodies));
  ASSERT_EQ(1, Length(bodies.get()));
  Ptr<IHTMLElement> parent;
  ASSERT_EQ(S_OK, ById(doc.get(), L"p1")->get_parentElement(&parent));
  EXPECT_EQ(L"TBODY", Tag(parent.get()));
}

TEST_F(PageTable, RowAndCellIndexes) {
  LONG index = -1;
  ASSERT_EQ(S_OK, El<IHTMLTableRow>(L"r2")->get_rowIndex(&index));
  EXPECT_EQ(2, index);
  ASSERT_EQ(S_OK, El<IHTMLTableRow>(L"r2")->get_sectionRowIndex(&index));
  EXPECT_EQ(1, index);
  ASSERT_EQ(S_OK, El<IHTMLTableRow>(L"f")->get_rowIndex(&index));
  EXPECT_EQ(3, index);
  ASSERT_EQ(S_OK, El<IHTMLTableRow>(L"f")->get_sectionRowIndex(&index));
  EXPECT_EQ(0, index);
  ASSERT_EQ(S_OK, El<IHTMLTableCell>(L"c12")->get_cellIndex(&index));
  EXPECT_EQ(1, index);

  Ptr<IHTMLElementCollection> cells;
  ASSERT_EQ(S_OK, El<IHTMLTableRow>(L"f")->get_cells(&cells));
  ASSERT_EQ(1, Length(cells.get()));
  Ptr<IDispatch> total;
  ASSERT_EQ(S_OK, cells->item(Var(LONG{0}).v, Var().v, &total));
  LONG span = 0;
  ASSERT_EQ(S_OK, total.As<IHTMLTableCell>()->get_colSpan(&span));
  EXPECT_EQ(2, span);
  ASSERT_EQ(S_OK, El<IHTMLTableCell>(L"c12")->get_colSpan(&span));
  EXPECT_EQ(1, span);
  ASSERT_EQ(S_OK, El<IHTMLTableCell>(L"px")->get_rowSpan(&span));
  EXPECT_EQ(3, span);
  EXPECT_EQ(E_INVALIDARG, El<IHTMLTableCell>(L"px")->put_colSpan(0));
}

TEST_F(PageTable, RowsStayLiveUnderMutation) {
  Ptr<IHTMLElementCollection> rows;
  ASSERT_EQ(S_OK, El<IHTMLTable>(L"grid")->get_rows(&rows));
  ASSERT_EQ(S_OK, ById(doc.get(), L"r1")
                      ->insertAdjacentHTML(Bstr(L"afterEnd"),
                                           Bstr(L"<tr id='new'><td>9</td><td>Zed</td></tr>")));
  ASSERT_EQ(5, Length(rows.get()));
  EXPECT_EQ(L"new", RowId(rows.get(), 2));
  LONG index = -1;
  ASSERT_EQ(S_OK, El<IHTMLTableRow>(L"new")->get_rowIndex(&index));
  EXPECT_EQ(2, index);
}

} // namespace

// The table object and the detection utility among the host's own objects:
// a kit factory added to a host browser makes grid and panel objects with the
// element's frame as parent, as the host asks for them; requests, children
// and recording then run against the host's tree.
#include "WebObjTestSupport.h"

#include <msxml2.h>

#include <set>
#include <vector>

#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "recognition/WfKitUtil.h"
#include "support/QilSafeArray.h"
#include "tallowick/Strings.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE4Table.h"
#include "webobj/RecordConfig.h"

namespace {

constexpr LONG kGridClass = 1029;
constexpr LONG kTabStripClass = 1025;
constexpr wchar_t kPagesDir[] = TALLOWICK_SOURCE_DIR L"/examples/pages";

// A grid as the grid objects are made: a table object with the kit's class.
class CGrid : public CAOEventConnection<CIE4Table> {
public:
  CGrid(IUnknown *element, IWebObj2 *parent) : CAOEventConnection<CIE4Table>(element, parent) {
    SetWebClass(kGridClass);
    NameWebFormsEventConfiguration();
  }
};

class CPanel : public CAOEventConnection<CIE4Obj> {
public:
  CPanel(IUnknown *element, IWebObj2 *parent) : CAOEventConnection<CIE4Obj>(element, parent) {
    SetWebClass(kTabStripClass);
    NameWebFormsEventConfiguration();
  }
};

// The kit's factory, claiming TABLEs of class "grid", TabStrip elements and
// elements of class "panel"; the record AO is the kit factory's own choice.
class CTestFactory final : public CTallowickFactoryIE {
protected:
  CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent) override {
    CQilComPtr<IHTMLElement> html;
    CQilBstr tag;
    CQilBstr className;
    if (FAILED(html.QueryFrom(element)) || !html || FAILED(html->get_tagName(&tag)))
      return {};
    html->get_className(&className);
    CQilComPtr<IWebObj2> ao;
    std::wstring_view kind = className.Text();
    if (lstrcmpiW(tag.Text(), L"TABLE") == 0 && kind == L"grid")
      CreateWebObject<CGrid>(&ao, element, parent);
    else if (lstrcmpiW(tag.Text(), L"TabStrip") == 0 || kind == L"panel")
      CreateWebObject<CPanel>(&ao, element, parent);
    return ao;
  }
};

constexpr char kGridPage[] = R"(<html><body><form>
<table id="orders" class="grid"><caption>Orders</caption>
<tr><td>Tea</td><td> 2 </td><td><input type="text" name="qty" value="5"></td></tr>
<tr><td>Milk</td></tr>
</table>
<table id="find" class="grid">
<tr><td>a</td><td>b</td></tr>
<tr><td>c</td><td>d</td><td>e</td></tr>
<tr><td>x</td><td>y</td><td>target</td><td>z</td></tr>
</table>
<table id="plain"><tr><td>p</td></tr></table>
</form></body></html>)";

class TableInTreeTest : public KitTreeTest {
protected:
  void SetUp() override {
    KitTreeTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartBrowser<CTestFactory>());
  }
  void TearDown() override { KitTreeTest::TearDown(); }

  void Show(const std::string &html, LPCOLESTR url = L"http://test/page.aspx") {
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, url, &document_), S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
  }
  // The tree's object for an element of the page.
  CQilComPtr<IWebObj2> TreeAO(IHTMLElement *element, IWebObj2 *frame = nullptr) {
    return HostServices::GetHostAO(element, frame != nullptr ? frame : TopFrame().Get(),
                                   VARIANT_FALSE);
  }
  CQilComPtr<IWebObj2> TreeAO(LPCOLESTR id) { return TreeAO(Element(id)); }
  // The grids of the grid page, shown.
  void ShowGrids(CQilComPtr<IWebObj2> &find, CQilComPtr<IWebObj2> &orders) {
    Show(kGridPage);
    find = TreeAO(L"find");
    orders = TreeAO(L"orders");
    ASSERT_TRUE(CWfKitUtil::IsKitAO(find));
    ASSERT_TRUE(CWfKitUtil::IsKitAO(orders));
  }
  CQilComPtr<IHTMLElement> Cell(LPCOLESTR table, LONG row, LONG column) {
    CQilComPtr<IHTMLTable> html;
    CQilComPtr<IHTMLElementCollection> rows;
    CQilComPtr<IDispatch> rowItem;
    CQilComPtr<IHTMLTableRow> tableRow;
    CQilComPtr<IHTMLElementCollection> cells;
    CQilComPtr<IDispatch> cellItem;
    CQilComPtr<IHTMLElement> cell;
    if (SUCCEEDED(html.QueryFrom(Element(table))) && html && SUCCEEDED(html->get_rows(&rows)) &&
        SUCCEEDED(rows->item(CQilVariant(row), CQilVariant(LONG{0}), &rowItem)) &&
        SUCCEEDED(tableRow.QueryFrom(rowItem)) && tableRow &&
        SUCCEEDED(tableRow->get_cells(&cells)) &&
        SUCCEEDED(cells->item(CQilVariant(column), CQilVariant(LONG{0}), &cellItem)))
      cell.QueryFrom(cellItem);
    return cell;
  }
  static std::vector<std::wstring> Strings(IWebAttrVal *value) {
    std::vector<std::wstring> out;
    UINT size = 0;
    if (value != nullptr)
      value->GetSize(&size);
    for (UINT i = 0; i < size; ++i)
      out.push_back(String(value, i));
    return out;
  }
  static LONG EntryLong(IWebInfo *request, LONG name) {
    LONG number = -12345;
    request->GetLongValueByName(name, &number);
    return number;
  }
  static CQilComPtr<IWebInfo> RowRequest(LONG row, LONG column, LPCOLESTR text) {
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrLong(66, row, 1);
    request->InsertAttrLong(68, column, 1);
    if (text != nullptr)
      request->InsertAttrString(3, CQilBstr(text), 1);
    return request;
  }
  LONG StepCount() {
    LONG count = -1;
    EXPECT_EQ(browser_->GetStepCount(&count), S_OK);
    return count;
  }
  std::wstring Step(LONG index) {
    CQilBstr text;
    if (FAILED(browser_->GetStep(index, &text, nullptr)))
      return L"<none>";
    return text.Text();
  }
  static void Fire(IHTMLElement *element, LPCOLESTR event) {
    CQilComPtr<IHTMLElement3> element3;
    ASSERT_EQ(element3.QueryFrom(element), S_OK);
    VARIANT_BOOL notCancelled = VARIANT_FALSE;
    element3->fireEvent(CQilBstr(event), nullptr, &notCancelled);
  }
};

TEST_F(TableInTreeTest, GridTakesTheTablesPlaceWithTheFrameAsParent) {
  Show(kGridPage);
  CQilComPtr<IWebObj2> grid = TreeAO(L"orders");
  ASSERT_TRUE(grid);
  LONG webClass = 0;
  grid->GetRecordableClass(&webClass);
  EXPECT_EQ(webClass, kGridClass);
  CQilComPtr<IWebObj2> parentFrame;
  ASSERT_EQ(grid->GetParentFrame(&parentFrame), S_OK);
  EXPECT_EQ(parentFrame.Get(), TopFrame().Get());
  CQilComPtr<IWebObj2> plain = TreeAO(L"plain");
  ASSERT_TRUE(plain);
  EXPECT_FALSE(CWfKitUtil::IsKitAO(plain));
}

TEST_F(TableInTreeTest, RegularChildrenAreTheHostsRowObjects) {
  Show(kGridPage);
  CQilComPtr<IWebObj2> grid = TreeAO(L"find");
  ASSERT_TRUE(grid);
  CQilComPtr<IFilterStruct> regular = HostServices::NewFilterStruct();
  ASSERT_EQ(regular->put_filter(ONLY_REGULAR_OBJECTS), S_OK);
  SAFEARRAY *children = nullptr;
  ASSERT_EQ(grid->GetDirectChildren(regular, &children), S_OK);
  ASSERT_NE(children, nullptr);
  CQilSafeArray list;
  CQilVariant holder;
  holder.vt = VT_ARRAY | VT_VARIANT;
  holder.parray = children;
  list.FromVariant(holder);
  ASSERT_EQ(list.Count(), 3u);
  for (LONG r = 0; r < 3; ++r) {
    CQilComPtr<IUnknown> entry;
    ASSERT_EQ(list.ReadInterface(&entry), S_OK);
    CQilComPtr<IWebObj2> row;
    ASSERT_EQ(row.QueryFrom(entry), S_OK);
    EXPECT_EQ(row->CompareClass(2), S_OK) << r;
    CQilComPtr<IUnknown> wrapped;
    ASSERT_EQ(row->GetWrappedElement(&wrapped), S_OK);
    CQilComPtr<IHTMLElement> cell = Cell(L"find", r, 0);
    CQilComPtr<IHTMLElement> rowElement;
    ASSERT_EQ(cell->get_parentElement(&rowElement), S_OK);
    EXPECT_TRUE(rowElement.IsSameObject(wrapped)) << r;
    EXPECT_EQ(row.Get(), TreeAO(rowElement).Get()) << r; // the tree's own object
  }
  LONG count = 0;
  EXPECT_EQ(grid->GetDirectChildCount(0, &count), S_OK);
  EXPECT_EQ(count, 3);
}

TEST_F(TableInTreeTest, CellIdsAndNameComeFromTheObjectsInside) {
  CQilComPtr<IWebObj2> find;
  CQilComPtr<IWebObj2> orders;
  ASSERT_NO_FATAL_FAILURE(ShowGrids(find, orders));
  // 15: cell n of the last row.
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(find->GetAttr(15, HostServices::NewWebAttrValLong(3), &value), S_OK);
  EXPECT_EQ(IdText(value), IdText(TreeAO(Cell(L"find", 2, 2))));
  EXPECT_NE(IdText(value), L"<none>");
  value.Release();
  EXPECT_EQ(find->GetAttr(15, nullptr, &value), S_OK); // n defaults to 1
  EXPECT_EQ(IdText(value), IdText(TreeAO(Cell(L"find", 2, 0))));
  value.Release();
  EXPECT_EQ(find->GetAttr(15, HostServices::NewWebAttrValLong(5), &value), S_OK);
  EXPECT_EQ(IdText(value), L"<none>");

  // 78: the cell at a 1-based row and column; found or not is the HRESULT.
  CQilComPtr<IWebAttrVal> position = HostServices::NewWebAttrValLong(2);
  position->AddLong(3);
  value.Release();
  EXPECT_EQ(find->GetAttrEx(78, position, &value), 1);
  EXPECT_EQ(IdText(value), IdText(TreeAO(Cell(L"find", 1, 2))));
  CQilComPtr<IWebAttrVal> beyond = HostServices::NewWebAttrValLong(1);
  beyond->AddLong(3);
  value.Release();
  EXPECT_EQ(find->GetAttrEx(78, beyond, &value), 0);
  EXPECT_EQ(IdText(value), L"<none>");

  // 2: the first named object inside that is no row, cell or WebElement.
  value.Release();
  EXPECT_EQ(orders->GetAttr(2, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"qty");
  value.Release();
  EXPECT_EQ(find->GetAttr(2, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"WebTable");
  // 146: the caption first, else the first non-blank text of a cell.
  value.Release();
  EXPECT_EQ(orders->GetAttrEx(146, nullptr, &value), 1);
  EXPECT_EQ(String(value), L"Orders");
  value.Release();
  EXPECT_EQ(find->GetAttrEx(146, nullptr, &value), 1);
  EXPECT_EQ(String(value), L"a");
}

TEST_F(TableInTreeTest, TableDataListsEveryRowsCellTexts) {
  Show(kGridPage);
  CQilComPtr<IWebObj2> orders = TreeAO(L"orders");
  ASSERT_TRUE(orders);
  CQilComPtr<IWebInfo> request = Request();
  EXPECT_EQ(Invoke(orders, GET_TABLE_DATA, request), 1);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  CQilComPtr<IWebAttrVal> first;
  CQilComPtr<IWebAttrVal> second;
  ASSERT_EQ(request->GetAttrValueByName(10001, &first), S_OK);
  ASSERT_EQ(request->GetAttrValueByName(10002, &second), S_OK);
  EXPECT_EQ(Strings(first), (std::vector<std::wstring>{L"Tea", L"2", L""}));
  EXPECT_EQ(Strings(second), (std::vector<std::wstring>{L"Milk"}));
  CQilComPtr<IWebAttrVal> third;
  EXPECT_NE(request->GetAttrValueByName(10003, &third), S_OK);
  EXPECT_EQ(EntryLong(request, 66), 2);
  EXPECT_EQ(EntryLong(request, 606), 3);
}

TEST_F(TableInTreeTest, CellDataAndColumnsByPosition) {
  Show(kGridPage);
  CQilComPtr<IWebObj2> find = TreeAO(L"find");
  ASSERT_TRUE(find);
  CQilComPtr<IWebInfo> cell = RowRequest(3, 3, nullptr);
  EXPECT_EQ(Invoke(find, GET_TABLE_CELL_DATA, cell), 1);
  EXPECT_EQ(cell->GetReturnValue(), S_OK);
  CQilBstr text;
  EXPECT_EQ(cell->GetStringValueByName(3, &text), S_OK);
  EXPECT_STREQ(text.Text(), L"target");
  CQilComPtr<IWebInfo> column = RowRequest(3, 0, nullptr);
  EXPECT_EQ(Invoke(find, GET_TABLE_COLUMN, column), 1);
  EXPECT_EQ(EntryLong(column, 68), 4);
}

TEST_F(TableInTreeTest, RowWithCellText) {
  CQilComPtr<IWebObj2> find;
  CQilComPtr<IWebObj2> orders;
  ASSERT_NO_FATAL_FAILURE(ShowGrids(find, orders));
  constexpr HRESULT kOutOfRange = static_cast<HRESULT>(0x80040211);
  struct Case {
    IWebObj2 *table;
    LONG row, column;
    LPCOLESTR text;
    HRESULT result;
    LONG found;
  };
  // Column 0 tries as many cells as the start row has: "target" lies beyond
  // the two cells of row 1, and a shorter row is tried as far as it goes.
  for (const Case &c :
       {Case{find, 1, 0, L"x", S_OK, 3}, Case{find, 1, 0, L"target", S_OK, -1},
        Case{find, 3, 3, L"target", S_OK, 3}, Case{find, 2, 2, L"d", S_OK, 2},
        Case{find, 3, 1, L"d", S_OK, -1}, Case{find, 1, 0, L"absent", S_OK, -1},
        Case{find, 0, 1, L"c", S_OK, 2}, Case{orders, 1, 0, L"Milk", S_OK, 2},
        Case{find, 1, 3, L"e", kOutOfRange, 0}, Case{find, 4, 1, L"e", kOutOfRange, 0}}) {
    CQilComPtr<IWebInfo> request = RowRequest(c.row, c.column, c.text);
    EXPECT_EQ(Invoke(c.table, GET_ROW_WITH_CELLTEXT, request), 1);
    EXPECT_EQ(request->GetReturnValue(), c.result) << c.row << "," << c.column;
    if (c.result != S_OK)
      continue;
    EXPECT_EQ(EntryLong(request, 66), c.found) << c.row << "," << c.column;
    UINT size = 0;
    request->GetSize(&size);
    EXPECT_EQ(size, 1u);
  }
}

TEST_F(TableInTreeTest, RecordAOStopsAtAFrame) {
  std::wstring url = std::wstring(L"file://") + kPagesDir + L"/kitframe.html";
  Show(R"(<html><body><div class="panel" id="panel"><span id="inside">in</span>
<iframe id="inner" src="frames/nav.html" width="200" height="100"></iframe></div>
<a id="out" href="o.html">out</a></body></html>)",
       url.c_str());
  CQilComPtr<IWebObj2> frame = TopFrame();
  CQilComPtr<IWebObj2> panel = TreeAO(L"panel");
  ASSERT_TRUE(CWfKitUtil::IsKitAO(panel));
  CQilComPtr<IWebObj2> inside = TreeAO(L"inside");
  ASSERT_TRUE(inside);
  EXPECT_EQ(CWfKitUtil::Instance().FindRecordAO(inside, frame).Get(), panel.Get());
  EXPECT_FALSE(CWfKitUtil::Instance().FindRecordAO(TreeAO(L"out"), frame));

  // An object in the inner frame: its walk ends at the frame under the panel.
  CQilComPtr<IWebObj2> innerFrame = TreeAO(L"inner");
  ASSERT_TRUE(innerFrame);
  ASSERT_EQ(innerFrame->CompareClass(21), S_OK);
  CQilComPtr<IWebObj2> frameParent;
  ASSERT_EQ(innerFrame->GetParent(&frameParent), S_OK);
  EXPECT_EQ(frameParent.Get(), panel.Get());
  CQilComPtr<IHTMLDocument2> innerDocument;
  CQilComPtr<IUnknown> innerDocumentUnknown;
  CQilComPtr<IWIFrameAO> frameServices;
  ASSERT_EQ(frameServices.QueryFrom(innerFrame), S_OK);
  ASSERT_EQ(frameServices->GetDocument(&innerDocumentUnknown), S_OK);
  ASSERT_EQ(innerDocument.QueryFrom(innerDocumentUnknown), S_OK);
  CQilComPtr<IHTMLElementCollection> links;
  CQilComPtr<IDispatch> linkItem;
  CQilComPtr<IHTMLElement> link;
  ASSERT_EQ(innerDocument->get_links(&links), S_OK);
  ASSERT_EQ(links->item(CQilVariant(LONG{0}), CQilVariant(LONG{0}), &linkItem), S_OK);
  ASSERT_EQ(link.QueryFrom(linkItem), S_OK);
  CQilComPtr<IWebObj2> linkAO = TreeAO(link, innerFrame);
  ASSERT_TRUE(linkAO);
  EXPECT_FALSE(CWfKitUtil::Instance().FindRecordAO(linkAO, innerFrame));
  EXPECT_FALSE(CWfKitUtil::Instance().FindRecordAO(linkAO, nullptr));
}

TEST_F(TableInTreeTest, RecordAOOfAViewLinkElementIsItsOwner) {
  std::wstring url = std::wstring(L"file://") + kPagesDir + L"/strip.html";
  Show("<html xmlns:tw><head><?IMPORT namespace=\"tw\" "
       "implementation=\"behaviors/tabstrip.htc\"?></head><body>"
       "<tw:TabStrip id=\"TabStrip1\"><tw:Tab>General</tw:Tab><tw:Tab>Details</tw:Tab>"
       "</tw:TabStrip></body></html>",
       url.c_str());
  CQilComPtr<IWebObj2> strip = TreeAO(L"TabStrip1");
  ASSERT_TRUE(CWfKitUtil::IsKitAO(strip));
  CQilComPtr<IHTMLDocument2> viewLinkDocument;
  ASSERT_EQ(tallowick::platform::GetViewLinkDocument(Element(L"TabStrip1"), &viewLinkDocument),
            S_OK);
  CQilComPtr<IHTMLDocument3> document3;
  ASSERT_EQ(document3.QueryFrom(viewLinkDocument), S_OK);
  CQilComPtr<IHTMLElement> tab;
  ASSERT_EQ(document3->getElementById(CQilBstr(L"tab1"), &tab), S_OK);
  ASSERT_TRUE(tab);
  CQilComPtr<IWebObj2> cell = HostServices::GetHostAO(tab, strip, VARIANT_FALSE);
  ASSERT_TRUE(cell);
  CQilComPtr<IWebRunTimeID> id;
  LONG type = 0;
  ASSERT_EQ(cell->GetId(&id), S_OK);
  id->GetInnerObjTypeId(&type);
  ASSERT_EQ(type, -3);
  CQilComPtr<IWebObj2> viewLinkFrame;
  ASSERT_EQ(cell->GetParentFrame(&viewLinkFrame), S_OK);
  EXPECT_EQ(viewLinkFrame->CompareClass(28), S_OK);
  EXPECT_EQ(CWfKitUtil::Instance().FindRecordAO(cell, viewLinkFrame).Get(), strip.Get());

  // Recorded through the host: the strip records the click on its tab.
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Fire(tab, L"onclick");
  ASSERT_EQ(StepCount(), 1);
  EXPECT_EQ(Step(0).rfind(L"WbfTabStrip ", 0), 0u) << tallowick::platform::Narrow(Step(0));
}

TEST_F(TableInTreeTest, GridRecordsThroughTheHostWithTheShippedEventConfiguration) {
  Show(kGridPage);
  CQilComPtr<IWebObj2> orders = TreeAO(L"orders");
  ASSERT_TRUE(orders);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Fire(Cell(L"orders", 1, 0), L"onclick");
  Fire(Cell(L"orders", 0, 0), L"ondblclick"); // not an event of WbfGrid
  Fire(Cell(L"plain", 0, 0), L"onclick");     // a plain table records nothing
  ASSERT_EQ(StepCount(), 1);
  std::wstring step = Step(0);
  EXPECT_EQ(step.rfind(L"WbfGrid \"Orders\" onclick", 0), 0u) << tallowick::platform::Narrow(step);
  CQilComPtr<IWebInfo> record;
  ASSERT_EQ(browser_->GetStep(0, nullptr, &record), S_OK);
  CQilComPtr<IWebAttrVal> name;
  bool named = orders->GetAttr(6, nullptr, &name) == S_OK;
  CQilComPtr<IWebAttrVal> recorded;
  EXPECT_EQ(SUCCEEDED(record->GetAttrValueByName(6, &recorded)), named);
}

// The shipped event configuration names exactly the kit's web classes.
TEST_F(TableInTreeTest, ShippedEventConfigurationListsTheKitsClasses) {
  CQilComPtr<IXMLDOMDocument> document;
  ASSERT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                             reinterpret_cast<void **>(&document)),
            S_OK);
  document->put_async(VARIANT_FALSE);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(
      document->load(
          CQilVariant(TALLOWICK_SOURCE_DIR L"/examples/config/WebFormsEventConfiguration.xml"),
          &loaded),
      S_OK);
  ASSERT_EQ(loaded, VARIANT_TRUE);
  CQilComPtr<IXMLDOMNodeList> classes;
  ASSERT_EQ(document->getElementsByTagName(CQilBstr(L"Class"), &classes), S_OK);
  LONG length = 0;
  classes->get_length(&length);
  std::set<std::wstring> named;
  for (LONG i = 0; i < length; ++i) {
    CQilComPtr<IXMLDOMNode> node;
    CQilComPtr<IXMLDOMElement> element;
    CQilVariant name;
    ASSERT_EQ(classes->get_item(i, &node), S_OK);
    ASSERT_EQ(element.QueryFrom(node), S_OK);
    ASSERT_EQ(element->getAttribute(CQilBstr(L"Name"), &name), S_OK);
    ASSERT_EQ(name.vt, VT_BSTR);
    named.insert(name.bstrVal);
    CQilComPtr<IXMLDOMNodeList> events;
    LONG eventCount = 0;
    ASSERT_EQ(element->getElementsByTagName(CQilBstr(L"Event"), &events), S_OK);
    events->get_length(&eventCount);
    EXPECT_GT(eventCount, 0) << i;
  }
  std::set<std::wstring> expected;
  for (const KitWebClass &webClass : kKitWebClasses)
    expected.insert(webClass.name);
  EXPECT_EQ(named, expected);
  EXPECT_EQ(length, 6);
}

} // namespace

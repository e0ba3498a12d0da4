// The DataGrid object on grids as ASP.NET renders them: recognition, its
// attributes, and the recording of the controls in its cells through the
// host's own object tree, each recorded step found again by attribute 78.
#include "WebObjTestSupport.h"

#include <AspNetServer.h>

#include <string>
#include <vector>

#include "controls/WfGrid.h"
#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "recognition/WfKitUtil.h"
#include "support/QilSafeArray.h"
#include "tallowick/Strings.h"
#include "webobj/RecordConfig.h"

namespace {

constexpr LONG kGridClass = 1029;
constexpr wchar_t kPagesDir[] = TALLOWICK_SOURCE_DIR L"/examples/pages";
constexpr wchar_t kShippedConfiguration[] =
    TALLOWICK_SOURCE_DIR L"/examples/config/WebFormsConfiguration.xml";
constexpr wchar_t kAspxUrl[] = L"http://test/Orders/Grid.aspx";

// The configuration the test factory recognises grids with.
const CIEConfigurationObject *g_configuration = nullptr;

// The kit's factory making DataGrid objects of the TABLEs that pass the
// recognition test; the record AO is the kit factory's own choice.
class CGridFactory final : public CTallowickFactoryIE {
protected:
  CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent) override {
    CQilComPtr<IHTMLElement> html;
    CQilBstr tag;
    CQilComPtr<IWebObj2> ao;
    if (FAILED(html.QueryFrom(element)) || !html || FAILED(html->get_tagName(&tag)) ||
        lstrcmpiW(tag.Text(), L"TABLE") != 0)
      return ao;
    bool grid = g_configuration != nullptr ? CWfGrid::IsGrid(html, *g_configuration)
                                           : CWfGrid::IsGrid(html);
    if (grid)
      CreateWebObject<CWfGrid>(&ao, element, parent);
    return ao;
  }
};

// A configuration prepared as the kit prepares its own, from the shipped file.
class CTestConfiguration : public CIEConfigurationObject {
public:
  CTestConfiguration() {
    Reserve(2);
    SetSpecifierIndex(L"Grid_Main", 0);
    SetSpecifierIndex(L"Grid_Rules", 1);
  }
};

// What a recorded step says about the control it names.
struct Recorded {
  LONG row = -1, column = -1, position = -1;
  std::wstring value;
  std::wstring id; // of entry 48
};

class DataGridTest : public KitTreeTest {
protected:
  void SetUp() override {
    KitTreeTest::SetUp();
    ASSERT_EQ(configuration_.LoadFromFile(kShippedConfiguration), S_OK);
    g_configuration = &configuration_;
    CQilComPtr<IWIKitFactoryEx> factory;
    ASSERT_EQ(CreateFactory(reinterpret_cast<void **>(&factory)), S_OK);
    ASSERT_NO_FATAL_FAILURE(StartBrowserWith(factory));
  }
  void TearDown() override {
    g_configuration = nullptr;
    KitTreeTest::TearDown();
  }

  // The factory the browser asks: here one that recognises grids with the
  // test's configuration.
  virtual HRESULT CreateFactory(void **factory) {
    return CreateKitObject<CGridFactory>(nullptr, IID_IWIKitFactoryEx, factory);
  }

  void Show(const std::string &html, LPCOLESTR url = kAspxUrl) {
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, url, &document_), S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
  }
  void ShowFile(LPCOLESTR name, LPCOLESTR url = kAspxUrl) {
    ASSERT_EQ(tallowick::platform::LoadPageFromFile(std::wstring(kPagesDir) + L"/" + name, url,
                                                    &document_),
              S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
  }
  CQilComPtr<IWebObj2> TreeAO(IHTMLElement *element) {
    return HostServices::GetHostAO(element, TopFrame().Get(), VARIANT_FALSE);
  }
  CQilComPtr<IWebObj2> Grid() {
    CQilComPtr<IWebObj2> grid = TreeAO(Element(L"DataGrid1"));
    EXPECT_TRUE(CWfKitUtil::IsKitAO(grid));
    return grid;
  }
  // The cell at a 0-based row and column of a table.
  CQilComPtr<IHTMLElement> Cell(IHTMLElement *table, LONG row, LONG column) {
    CQilComPtr<IHTMLTable> html;
    CQilComPtr<IHTMLElementCollection> rows;
    CQilComPtr<IDispatch> rowItem;
    CQilComPtr<IHTMLTableRow> tableRow;
    CQilComPtr<IHTMLElementCollection> cells;
    CQilComPtr<IDispatch> cellItem;
    CQilComPtr<IHTMLElement> cell;
    if (SUCCEEDED(html.QueryFrom(table)) && html && SUCCEEDED(html->get_rows(&rows)) &&
        SUCCEEDED(rows->item(CQilVariant(row), CQilVariant(LONG{0}), &rowItem)) &&
        SUCCEEDED(tableRow.QueryFrom(rowItem)) && tableRow &&
        SUCCEEDED(tableRow->get_cells(&cells)) &&
        SUCCEEDED(cells->item(CQilVariant(column), CQilVariant(LONG{0}), &cellItem)))
      cell.QueryFrom(cellItem);
    return cell;
  }
  CQilComPtr<IHTMLElement> Cell(LONG row, LONG column) {
    return Cell(Element(L"DataGrid1"), row, column);
  }
  // The n-th element of a tag inside an element.
  static CQilComPtr<IHTMLElement> Inside(IHTMLElement *element, LPCOLESTR tag, LONG n) {
    CQilComPtr<IDispatch> all;
    CQilComPtr<IHTMLElementCollection> collection;
    CQilComPtr<IDispatch> tagged;
    CQilComPtr<IHTMLElementCollection> ofTag;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> found;
    if (element != nullptr && SUCCEEDED(element->get_all(&all)) &&
        SUCCEEDED(collection.QueryFrom(all)) && collection &&
        SUCCEEDED(collection->tags(CQilVariant(tag), &tagged)) &&
        SUCCEEDED(ofTag.QueryFrom(tagged)) && ofTag &&
        SUCCEEDED(ofTag->item(CQilVariant(n), CQilVariant(LONG{0}), &item)))
      found.QueryFrom(item);
    return found;
  }
  static std::wstring ClassOf(IWebObj2 *ao) {
    CQilComPtr<IWebAttrVal> value;
    if (ao == nullptr || FAILED(ao->GetAttr(0, nullptr, &value)))
      return L"<none>";
    return String(value);
  }
  static CQilComPtr<IWebAttrVal> Longs(std::initializer_list<LONG> numbers) {
    CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrVal();
    for (LONG number : numbers)
      data->AddLong(number);
    return data;
  }
  LONG StepCount() {
    LONG count = -1;
    EXPECT_EQ(browser_->GetStepCount(&count), S_OK);
    return count;
  }
  static void Fire(IHTMLElement *element, LPCOLESTR event = L"onclick") {
    CQilComPtr<IHTMLElement3> element3;
    ASSERT_EQ(element3.QueryFrom(element), S_OK);
    VARIANT_BOOL notCancelled = VARIANT_FALSE;
    element3->fireEvent(CQilBstr(event), nullptr, &notCancelled);
  }
  // Records a click on the element and reads the step it made.
  Recorded Click(IHTMLElement *element) {
    Recorded recorded;
    LONG before = StepCount();
    Fire(element);
    EXPECT_EQ(StepCount(), before + 1);
    CQilComPtr<IWebInfo> record;
    CQilBstr text;
    if (StepCount() != before + 1 || FAILED(browser_->GetStep(before, &text, &record)) || !record)
      return recorded;
    std::wstring step = L"WbfGrid \"" + gridName_ + L"\" onclick";
    EXPECT_EQ(std::wstring(text.Text()).rfind(step, 0), 0u)
        << tallowick::platform::Narrow(text.Text());
    record->GetLongValueByName(66, &recorded.row);
    record->GetLongValueByName(68, &recorded.column);
    record->GetLongValueByName(16389, &recorded.position);
    CQilComPtr<IWebAttrVal> value;
    CQilComPtr<IWebVariant> first;
    CQilComPtr<IWebVariant> asText = HostServices::NewWebVariant();
    CQilBstr valueText;
    if (SUCCEEDED(record->GetAttrValueByName(6, &value)) && value &&
        SUCCEEDED(value->GetValue(0, &first)) && first && SUCCEEDED(asText->Set(first)) &&
        SUCCEEDED(asText->ChangeType(WEB_AV_STRING)) && SUCCEEDED(asText->get_string(&valueText)))
      recorded.value = valueText.Text();
    CQilComPtr<IWebAttrVal> id;
    if (SUCCEEDED(record->GetAttrValueByName(48, &id)))
      recorded.id = IdText(id);
    return recorded;
  }

  // Clicks every INPUT and A of the table (`count` of them) while recording;
  // each step's row, column and position with the control's group, handed
  // back as attribute 78 data, find the very control.
  void ExpectEachClickFoundAgain(IWebObj2 *grid, IHTMLElement *table, size_t count) {
    std::vector<CQilComPtr<IHTMLElement>> controls;
    for (LPCOLESTR tag : {L"INPUT", L"A"})
      for (LONG i = 0;; ++i) {
        CQilComPtr<IHTMLElement> control = Inside(table, tag, i);
        if (!control)
          break;
        controls.push_back(control);
      }
    ASSERT_EQ(controls.size(), count);
    for (const CQilComPtr<IHTMLElement> &control : controls) {
      CQilComPtr<IWebObj2> ao = TreeAO(control);
      std::wstring expected = IdText(ao);
      Recorded recorded = Click(control);
      ASSERT_EQ(recorded.id, expected);
      CQilBstr className(ClassOf(ao).c_str());
      CQilComPtr<IWebAttrVal> value;
      EXPECT_EQ(grid->GetAttrEx(78,
                                Longs({recorded.row, recorded.column, recorded.position,
                                       CWfGrid::ControlGroup(className)}),
                                &value),
                1)
          << tallowick::platform::Narrow(expected);
      EXPECT_EQ(IdText(value), expected);
    }
  }

  CTestConfiguration configuration_;
  std::wstring gridName_ = L"DataGrid1"; // of the steps Click reads
};

// Rows of cells and a last row of the given markup, in an ASP.NET form.
std::string GridPage(const std::string &tableAttributes, int rows, int cells,
                     const std::string &lastRow) {
  std::string html = "<html><body><form id=\"Form1\" method=\"post\" action=\"Grid.aspx\">"
                     "<table " +
                     tableAttributes + ">";
  for (int r = 0; r < rows; ++r) {
    html += "<tr>";
    for (int c = 0; c < cells; ++c)
      html += "<td>" + std::to_string(r) + "." + std::to_string(c) + "</td>";
    html += "</tr>";
  }
  return html + lastRow + "</table></form><table id=\"outside\" rules=\"all\"><tr><td>x</td>" +
         "</tr><tr><td>y</td></tr></table></body></html>";
}

TEST_F(DataGridTest, RecognitionByShapeIdRulesAndForm) {
  struct Case {
    const char *name;
    std::string html;
    LPCOLESTR url;
    bool grid;
  };
  const std::string pager3 = "<tr><td colspan=\"3\">1 2</td></tr>";
  const std::string pager2 = "<tr><td colspan=\"2\">1 2</td></tr>";
  const std::string full = "<tr><td>a</td><td>b</td><td>c</td></tr>";
  const std::string grid = "id=\"G\" rules=\"all\"";
  for (const Case &c : {
           Case{"pager spanning all three columns", GridPage(grid, 3, 3, pager3), kAspxUrl, true},
           Case{"pager spanning two of three", GridPage(grid, 3, 3, pager2), kAspxUrl, false},
           Case{"last row of two cells", GridPage(grid, 3, 3, "<tr><td>a</td><td>b</td></tr>"),
                kAspxUrl, false},
           Case{"last row like the others", GridPage(grid, 2, 3, full), kAspxUrl, true},
           Case{"single row", GridPage(grid, 1, 3, ""), kAspxUrl, false},
           Case{"single pager row", GridPage(grid, 0, 3, pager3), kAspxUrl, false},
           Case{"no rows", GridPage(grid, 0, 3, ""), kAspxUrl, false},
           Case{"uneven rows", GridPage(grid, 2, 3, "<tr><td>a</td></tr>" + full), kAspxUrl, false},
           Case{"two rows of one cell", GridPage(grid, 1, 1, "<tr><td>x</td></tr>"), kAspxUrl,
                true},
           Case{"no id", GridPage("rules=\"all\"", 3, 3, pager3), kAspxUrl, false},
           Case{"empty id", GridPage("id=\"\" rules=\"all\"", 3, 3, pager3), kAspxUrl, false},
           Case{"gridlines none: no rules", GridPage("id=\"G\"", 3, 3, pager3), kAspxUrl, true},
           Case{"rules of GridLines Horizontal", GridPage("id=\"G\" rules=\"rows\"", 3, 3, ""),
                kAspxUrl, true},
           Case{"rules no DataGrid writes", GridPage("id=\"G\" rules=\"groups\"", 3, 3, ""),
                kAspxUrl, false},
           Case{"not an .aspx page", GridPage(grid, 3, 3, pager3), L"http://test/Grid.html", false},
           Case{"extension in capitals", GridPage(grid, 3, 3, pager3), L"http://test/GRID.ASPX",
                false},
       }) {
    Show(c.html, c.url);
    EXPECT_EQ(CWfGrid::IsGrid(Element(L"G"), configuration_), c.grid) << c.name;
    EXPECT_EQ(CWfKitUtil::IsKitAO(TreeAO(Element(L"G"))), c.grid) << c.name;
    if (c.grid) {
      CQilComPtr<IWebObj2> ao = TreeAO(Element(L"G"));
      LONG webClass = 0;
      ao->GetRecordableClass(&webClass);
      EXPECT_EQ(webClass, kGridClass) << c.name;
    }
  }
  // Outside any form; not a table; nothing.
  Show(GridPage(grid, 3, 3, pager3));
  EXPECT_FALSE(CWfGrid::IsGrid(Element(L"outside"), configuration_));
  EXPECT_FALSE(CWfGrid::IsGrid(Element(L"Form1"), configuration_));
  EXPECT_FALSE(CWfGrid::IsGrid(nullptr, configuration_));
  EXPECT_FALSE(CWfGrid::IsGrid(nullptr));
}

TEST_F(DataGridTest, GridMainDecidesFirstAndGridRulesOnlyWhenItNamesRules) {
  // Grid_Main as shipped is empty and matches nothing.
  Show(GridPage("class=\"OrdersGrid\" rules=\"all\"", 1, 2, ""), L"http://test/Grid.html");
  CQilComPtr<IHTMLElement> table = Inside(Element(L"Form1"), L"TABLE", 0);
  ASSERT_TRUE(table);
  EXPECT_FALSE(CWfGrid::IsGrid(table, configuration_));
  // A Grid_Main that the table holds makes it a grid without id, form or shape.
  configuration_.AddProperty(L"Grid_Main", CQilBstr(L"className"), CQilVariant(L"OrdersGrid"), 0);
  EXPECT_TRUE(CWfGrid::IsGrid(table, configuration_));
  EXPECT_FALSE(CWfGrid::IsGrid(Element(L"outside"), configuration_));
  Show(GridPage("class=\"OrdersGrid\" rules=\"all\"", 1, 2, ""), L"http://test/Grid.html");
  EXPECT_TRUE(CWfKitUtil::IsKitAO(TreeAO(Inside(Element(L"Form1"), L"TABLE", 0))));

  // Without a rules property in Grid_Rules the rules attribute is not looked at.
  Show(GridPage("id=\"G\" rules=\"groups\"", 3, 3, ""));
  EXPECT_FALSE(CWfGrid::IsGrid(Element(L"G"), configuration_));
  CTestConfiguration withoutRules;
  EXPECT_TRUE(CWfGrid::IsGrid(Element(L"G"), withoutRules));
  withoutRules.AddProperty(L"Grid_Rules", CQilBstr(L"border"), CQilVariant(L"1"), 0);
  EXPECT_TRUE(CWfGrid::IsGrid(Element(L"G"), withoutRules));
}

TEST_F(DataGridTest, RenderedGridReportsItsClassNameAndConfiguration) {
  ShowFile(L"datagrid-cells.html");
  CQilComPtr<IWebObj2> grid = Grid();
  ASSERT_TRUE(grid);
  EXPECT_TRUE(CWfGrid::IsGrid(Element(L"DataGrid1")));
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(grid->GetAttr(0, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"WbfGrid");
  value.Release();
  EXPECT_EQ(grid->GetAttr(146, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"DataGrid1");
  // The table object's answers stay: header, three items and the pager row.
  value.Release();
  EXPECT_EQ(grid->GetAttr(67, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 5);
  value.Release();
  EXPECT_EQ(grid->GetAttr(69, Longs({5}), &value), S_OK);
  EXPECT_EQ(Long(value), 1);
  CQilComPtr<IWebInfo> request = Request();
  request->InsertAttrLong(66, 3, 1);
  request->InsertAttrLong(68, 2, 1);
  EXPECT_EQ(Invoke(grid, GET_TABLE_CELL_DATA, request), 1);
  CQilBstr product;
  EXPECT_EQ(request->GetStringValueByName(3, &product), S_OK);
  EXPECT_STREQ(product.Text(), L"Chang");
  CQilComPtr<IWebObjSelfEventConfig> config;
  ASSERT_EQ(config.QueryFrom(grid), S_OK);
  LONG state = 0;
  CQilBstr file;
  EXPECT_EQ(config->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(config->GetEventConfigFile(&file), S_OK);
  EXPECT_STREQ(file.Text(), L"WebFormsEventConfiguration.xml");
  // The nested table of the Stock column is no grid.
  CQilComPtr<IHTMLElement> nested = Inside(Cell(1, 7), L"TABLE", 0);
  ASSERT_TRUE(nested);
  EXPECT_FALSE(CWfKitUtil::IsKitAO(TreeAO(nested)));
}

TEST_F(DataGridTest, ClickOnSecondTextBoxRecordsItsCellAndPosition) {
  ShowFile(L"datagrid-cells.html");
  ASSERT_TRUE(Grid());
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  CQilComPtr<IHTMLElement> note = Element(L"DataGrid1_ctl03_Note");
  ASSERT_TRUE(note);
  CQilComPtr<IHTMLElement> cell;
  ASSERT_EQ(note->get_parentElement(&cell), S_OK);
  ASSERT_TRUE(Cell(2, 3).IsSameObject(cell)); // row 2, column 3 from 0
  Recorded recorded = Click(note);
  EXPECT_EQ(recorded.row, 3);
  EXPECT_EQ(recorded.column, 4);
  EXPECT_EQ(recorded.position, 2);
  EXPECT_EQ(recorded.value, L"Chang");
  EXPECT_EQ(recorded.id, IdText(TreeAO(note)));
  EXPECT_NE(recorded.id, L"<none>");
  // The first text box of the same cell.
  Recorded first = Click(Element(L"DataGrid1_ctl03_Qty"));
  EXPECT_EQ(first.row, 3);
  EXPECT_EQ(first.column, 4);
  EXPECT_EQ(first.position, 1);
  EXPECT_EQ(first.value, L"2");
}

TEST_F(DataGridTest, PositionsCountWithinTheControlGroup) {
  ShowFile(L"datagrid-cells.html");
  ASSERT_TRUE(Grid());
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  // Details of the first item: a link, a text box, a check box and an image button.
  struct Case {
    LPCOLESTR id;
    LONG position;
    LPCOLESTR value;
  };
  for (const Case &c :
       {Case{L"DataGrid1_ctl02_Info", 1, L"Info"}, Case{L"DataGrid1_ctl02_Code", 1, L"P1"},
        Case{L"DataGrid1_ctl02_Pick", 2, L"False"}, Case{L"DataGrid1_ctl02_Zoom", 2, L"Zoom"}}) {
    Recorded recorded = Click(Element(c.id));
    EXPECT_EQ(recorded.row, 2) << c.id;
    EXPECT_EQ(recorded.column, 3) << c.id;
    EXPECT_EQ(recorded.position, c.position) << c.id;
    EXPECT_EQ(recorded.value, c.value) << c.id;
  }
  // A check box records its state.
  CQilComPtr<IHTMLInputElement> pick;
  ASSERT_EQ(pick.QueryFrom(Element(L"DataGrid1_ctl02_Pick")), S_OK);
  pick->put_checked(VARIANT_TRUE);
  EXPECT_EQ(Click(Element(L"DataGrid1_ctl02_Pick")).value, L"True");
}

TEST_F(DataGridTest, ControlInANestedTableRecordsTheGridsOwnCell) {
  ShowFile(L"datagrid-cells.html");
  ASSERT_TRUE(Grid());
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Recorded recorded = Click(Element(L"DataGrid1_ctl04_Reorder"));
  EXPECT_EQ(recorded.row, 4);
  EXPECT_EQ(recorded.column, 8);
  EXPECT_EQ(recorded.position, 1);
  EXPECT_EQ(recorded.value, L"Reorder");
}

TEST_F(DataGridTest, ClickOutsideAControlOrTheGridRecordsNothing) {
  ShowFile(L"datagrid-cells.html");
  CQilComPtr<IWebObj2> grid = Grid();
  ASSERT_TRUE(grid);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Fire(Cell(2, 1)); // the product's text: no control of the cell
  EXPECT_EQ(StepCount(), 0);

  // Directly: the element must lie in one of the grid's cells.
  CQilComPtr<IWebInfo> record = Request();
  IWebInfo *info = record;
  tagWIEventData event{};
  EXPECT_EQ(grid->FillRecordInformation(Element(L"Form1"), event, &info), E_FAIL);
  EXPECT_EQ(grid->FillRecordInformation(Element(L"DataGrid1"), event, &info), E_FAIL);
  EXPECT_EQ(grid->FillRecordInformation(Cell(2, 1), event, &info), E_FAIL);
  IWebInfo *none = nullptr;
  EXPECT_EQ(grid->FillRecordInformation(Element(L"DataGrid1_ctl03_Note"), event, &none), E_POINTER);
  EXPECT_EQ(grid->FillRecordInformation(Element(L"DataGrid1_ctl03_Note"), event, nullptr),
            E_POINTER);
  EXPECT_EQ(grid->FillRecordInformation(Element(L"DataGrid1_ctl03_Note"), event, &info), S_OK);
  LONG row = 0;
  EXPECT_EQ(record->GetLongValueByName(66, &row), S_OK);
  EXPECT_EQ(row, 3);
}

TEST_F(DataGridTest, InnerControlIdByRowColumnPositionAndGroup) {
  ShowFile(L"datagrid-cells.html");
  CQilComPtr<IWebObj2> grid = Grid();
  ASSERT_TRUE(grid);
  struct Case {
    std::initializer_list<LONG> data;
    HRESULT found;
    std::wstring id;
  };
  std::wstring cell = IdText(TreeAO(Cell(1, 2)));
  std::wstring link = IdText(TreeAO(Element(L"DataGrid1_ctl02_Info")));
  std::wstring code = IdText(TreeAO(Element(L"DataGrid1_ctl02_Code")));
  std::wstring pick = IdText(TreeAO(Element(L"DataGrid1_ctl02_Pick")));
  std::wstring zoom = IdText(TreeAO(Element(L"DataGrid1_ctl02_Zoom")));
  ASSERT_NE(cell, L"<none>");
  for (const Case &c : {
           Case{{2, 3, 1, 0}, 1, link},
           Case{{2, 3}, 1, cell},
           Case{{2, 3, 1}, 1, cell},
           Case{{2, 3, 1, 1}, 1, code},
           Case{{2, 3, 2, 1}, 1, pick},
           Case{{2, 3, 2, 0}, 1, zoom},
           Case{{2, 3, 3, 0}, 0, L"<none>"},
           Case{{2, 3, 0, 0}, 0, L"<none>"},
           Case{{2, 3, 1, -1}, 0, L"<none>"}, // no other controls in that cell
           Case{{9, 3, 1, 0}, 0, L"<none>"},
           Case{{2, 99}, 0, L"<none>"},
           Case{{2}, 0, L"<none>"},
           Case{{}, 0, L"<none>"},
       }) {
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(grid->GetAttrEx(78, Longs(c.data), &value), c.found) << c.data.size();
    EXPECT_EQ(IdText(value), c.id) << c.data.size();
  }
  // Row and column given as text are no position.
  CQilComPtr<IWebAttrVal> text = HostServices::NewWebAttrValString(CQilBstr(L"2"));
  text->AddLong(3);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(grid->GetAttrEx(78, text, &value), 0);
  EXPECT_EQ(grid->GetAttrEx(78, nullptr, nullptr), E_POINTER);
}

// Every control of the grid, clicked and recorded, is found again by
// attribute 78 from the step's row, column and position and its group.
TEST_F(DataGridTest, EveryRecordedClickFindsItsControlAgain) {
  ShowFile(L"datagrid-cells.html");
  CQilComPtr<IWebObj2> grid = Grid();
  ASSERT_TRUE(grid);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  // inputs, links, pager links
  ASSERT_NO_FATAL_FAILURE(
      ExpectEachClickFoundAgain(grid, Element(L"DataGrid1"), 3u * 6 + 3 * 3 + 2));
}

TEST_F(DataGridTest, ControlGroupsByClassName) {
  for (LPCOLESTR name : {L"WebCheckBox", L"WebEdit", L"WebList", L"WebRadioGroup"})
    EXPECT_EQ(CWfGrid::ControlGroup(CQilBstr(name)), 1) << tallowick::platform::Narrow(name);
  for (LPCOLESTR name : {L"WebArea", L"WebButton", L"Link", L"Image"})
    EXPECT_EQ(CWfGrid::ControlGroup(CQilBstr(name)), 0) << tallowick::platform::Narrow(name);
  for (LPCOLESTR name : {L"WebElement", L"HtmlCell", L"webedit", L"Link ", L""})
    EXPECT_EQ(CWfGrid::ControlGroup(CQilBstr(name)), -1) << tallowick::platform::Narrow(name);
  EXPECT_EQ(CWfGrid::ControlGroup(nullptr), -1);
}

// Grids that System.Web renders, served by the example site over HTTP and
// recognised by the kit's own factory.
class DataGridServerTest : public DataGridTest {
protected:
  static void SetUpTestSuite() {
    if (!tallowick::test::AspNetServer::Unavailable().empty())
      return;
    server_ = new tallowick::test::AspNetServer;
    if (!server_->Start())
      startError_ = server_->Error();
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (std::string why = tallowick::test::AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    ASSERT_TRUE(startError_.empty()) << startError_;
    DataGridTest::SetUp();
    gridName_ = L"Grid1";
  }

  // The kit's own factory, as a host holds it.
  HRESULT CreateFactory(void **factory) override {
    return CTallowickFactoryIE::Create(nullptr, IID_IWIKitFactoryEx, factory);
  }

  // Loads a page of the site and takes its document as the test's.
  void Open(const std::string &page) {
    std::string url = server_->Url(page);
    ASSERT_EQ(browser_->LoadPage(CQilBstr(std::wstring(url.begin(), url.end()).c_str())), S_OK);
    ASSERT_NO_FATAL_FAILURE(TakeDocument());
  }
  // The document the browser shows now (after a postback, the new one).
  void TakeDocument() {
    CQilComPtr<IWIFrameAO> frame;
    CQilComPtr<IUnknown> document;
    document_.Release();
    ASSERT_EQ(frame.QueryFrom(TopFrame()), S_OK);
    ASSERT_EQ(frame->GetDocument(&document), S_OK);
    ASSERT_EQ(document_.QueryFrom(document), S_OK);
  }
  CQilComPtr<IHTMLElement> ServerGrid() { return Element(L"Grid1"); }
  // The text box of a row of Grid1 (0-based, header included).
  CQilComPtr<IHTMLElement> NameBox(LONG row) {
    return Inside(Cell(ServerGrid(), row, 1), L"INPUT", 0);
  }
  static std::wstring Value(IHTMLElement *input) {
    CQilComPtr<IHTMLInputElement> box;
    CQilBstr value;
    if (FAILED(box.QueryFrom(input)) || !box || FAILED(box->get_value(&value)))
      return L"<none>";
    return value.Text();
  }

  static tallowick::test::AspNetServer *server_;
  static std::string startError_;
};

tallowick::test::AspNetServer *DataGridServerTest::server_ = nullptr;
std::string DataGridServerTest::startError_;

TEST_F(DataGridServerTest, EveryGridLinesSettingIsAGridInTheAspxForm) {
  ASSERT_NO_FATAL_FAILURE(Open("DataGridLines.aspx"));
  for (LPCOLESTR id : {L"LinesBoth", L"LinesHorizontal", L"LinesVertical", L"LinesNone"}) {
    EXPECT_TRUE(CWfGrid::IsGrid(Element(id), configuration_)) << tallowick::platform::Narrow(id);
    EXPECT_TRUE(CWfKitUtil::IsKitAO(TreeAO(Element(id)))) << tallowick::platform::Narrow(id);
  }
  ASSERT_NO_FATAL_FAILURE(Open("DataGrid.aspx"));
  CQilComPtr<IWebObj2> grid = TreeAO(ServerGrid());
  ASSERT_TRUE(CWfKitUtil::IsKitAO(grid));
  // Header, three items and the pager row, whose one cell spans all seven columns.
  CQilComPtr<IWebAttrVal> rows;
  CQilComPtr<IWebAttrVal> pagerCells;
  ASSERT_EQ(grid->GetAttr(67, nullptr, &rows), S_OK);
  ASSERT_EQ(grid->GetAttr(69, Longs({5}), &pagerCells), S_OK);
  EXPECT_EQ(Long(rows), 5);
  EXPECT_EQ(Long(pagerCells), 1);
  CQilComPtr<IHTMLTableCell> pager;
  LONG span = 0;
  ASSERT_EQ(pager.QueryFrom(Cell(ServerGrid(), 4, 0)), S_OK);
  ASSERT_EQ(pager->get_colSpan(&span), S_OK);
  EXPECT_EQ(span, 7);
  CQilComPtr<IWebAttrVal> name;
  EXPECT_EQ(grid->GetAttr(146, nullptr, &name), S_OK);
  EXPECT_EQ(String(name), L"Grid1");
}

TEST_F(DataGridServerTest, RecordedControlsOfAServedGridAreFoundAgain) {
  ASSERT_NO_FATAL_FAILURE(Open("DataGrid.aspx"));
  CQilComPtr<IWebObj2> grid = TreeAO(ServerGrid());
  ASSERT_TRUE(CWfKitUtil::IsKitAO(grid));
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Recorded name = Click(NameBox(2));
  EXPECT_EQ(name.row, 3);
  EXPECT_EQ(name.column, 2);
  EXPECT_EQ(name.position, 1);
  EXPECT_EQ(name.value, L"Bellows");

  // Text box, check box, link, button and link button of every item, and
  // the pager's links: each step names a control that attribute 78 finds.
  ASSERT_NO_FATAL_FAILURE(ExpectEachClickFoundAgain(grid, ServerGrid(), 3u * 3 + 3 * 2 + 2));
}

// The cell cases on the served page itself.
TEST_F(DataGridServerTest, ServedCellsRecordRowColumnAndPositionAndAreFoundAgain) {
  gridName_ = L"DataGrid1";
  ASSERT_NO_FATAL_FAILURE(Open("DataGridCells.aspx"));
  CQilComPtr<IWebObj2> grid = Grid();
  ASSERT_TRUE(grid);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Recorded note = Click(Inside(Cell(2, 3), L"INPUT", 1)); // the second text box
  EXPECT_EQ(note.row, 3);
  EXPECT_EQ(note.column, 4);
  EXPECT_EQ(note.position, 2);
  EXPECT_EQ(note.value, L"Chang");
  CQilComPtr<IHTMLElement> link = Inside(Cell(1, 2), L"A", 0);
  CQilComPtr<IHTMLElement> box = Inside(Cell(1, 2), L"INPUT", 0);
  EXPECT_EQ(Click(link).position, 1);
  EXPECT_EQ(Click(box).position, 1);
  CQilComPtr<IWebAttrVal> first;
  CQilComPtr<IWebAttrVal> cell;
  EXPECT_EQ(grid->GetAttrEx(78, Longs({2, 3, 1, 0}), &first), 1);
  EXPECT_EQ(IdText(first), IdText(TreeAO(link)));
  EXPECT_EQ(grid->GetAttrEx(78, Longs({2, 3}), &cell), 1);
  EXPECT_EQ(IdText(cell), IdText(TreeAO(Cell(1, 2))));
  ASSERT_NO_FATAL_FAILURE(
      ExpectEachClickFoundAgain(grid, Element(L"DataGrid1"), 3u * 6 + 3 * 3 + 2));
}

TEST_F(DataGridServerTest, PagerClickIsRecordedAndTheNextPageIsAGridAgain) {
  ASSERT_NO_FATAL_FAILURE(Open("DataGrid.aspx"));
  ASSERT_EQ(Value(NameBox(1)), L"Anvil");
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  CQilComPtr<IHTMLElement> secondPage = Inside(Cell(ServerGrid(), 4, 0), L"A", 0);
  ASSERT_TRUE(secondPage);
  ASSERT_EQ(secondPage->click(), S_OK); // __doPostBack: the form goes to the server
  ASSERT_EQ(StepCount(), 1);
  CQilComPtr<IWebInfo> record;
  ASSERT_EQ(browser_->GetStep(0, nullptr, &record), S_OK);
  LONG row = 0;
  LONG column = 0;
  LONG position = 0;
  record->GetLongValueByName(66, &row);
  record->GetLongValueByName(68, &column);
  record->GetLongValueByName(16389, &position);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(column, 1);
  EXPECT_EQ(position, 1); // the first link: the current page is plain text

  ASSERT_NO_FATAL_FAILURE(TakeDocument());
  EXPECT_EQ(Value(NameBox(1)), L"Drill");
  EXPECT_TRUE(CWfKitUtil::IsKitAO(TreeAO(ServerGrid())));
  EXPECT_EQ(Click(NameBox(3)).value, L"File");
}

} // namespace

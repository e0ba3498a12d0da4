// The table object on real pages, recording and record configuration, the
// event configuration interfaces, and the detection utility's AO tests.
#include "WebObjTestSupport.h"

#include "recognition/WfKitUtil.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE4Table.h"
#include "webobj/RecordConfig.h"

namespace {

constexpr char kTables[] = R"(<html><body><form>
<table id="counts" border="1"><tr><td>1</td><td>2</td></tr><tr><td>1</td><td>2</td><td>3</td></tr>
<tr><td>1</td><td>2</td><td>3</td><td>4</td></tr></table>
<table id="texts"><caption>Prices</caption><tr><td> </td><td>
</td></tr><tr><td>  a </td><td></td><td>b</td></tr></table>
<table id="empty"></table>
</form></body></html>)";

constexpr HRESULT kIndexOutOfRange = static_cast<HRESULT>(0x80040211);

// A control object as the controls make them: event configuration named at
// construction.
class CControl : public CAOEventConnection<CIE4Obj> {
public:
  CControl(IUnknown *element, IWebObj2 *parent) : CAOEventConnection<CIE4Obj>(element, parent) {
    SetWebClass(1025);
    NameWebFormsEventConfiguration();
  }
};

class TableTest : public WebObjTest {
protected:
  void TearDown() override {
    RecordConfig::Release();
    WebObjTest::TearDown();
  }
  CQilComPtr<IWebObj2> Table(LPCOLESTR id) {
    CQilComPtr<IWebObj2> ao;
    EXPECT_EQ(CreateWebObject<CIE4Table>(&ao, Element(id).Get(), nullptr), S_OK);
    return ao;
  }
  static CQilComPtr<IWebAttrVal> Attr(IWebObj2 *ao, LONG id, IWebAttrVal *data = nullptr,
                                      HRESULT expected = S_OK) {
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(ao->GetAttrEx(id, data, &value), expected) << id;
    return value;
  }
  static LONG CellsOfRow(IWebObj2 *ao, LONG row) {
    return Long(Attr(ao, 69, HostServices::NewWebAttrValLong(row)));
  }
  static CQilComPtr<IWebInfo> RowColumn(LONG row, LONG column) {
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrLong(66, row, 1);
    request->InsertAttrLong(68, column, 1);
    return request;
  }
  static bool Has(IWebInfo *request, LONG name) {
    UINT index = 0;
    return SUCCEEDED(request->GetAttrIndexByName(name, &index));
  }
};

TEST_F(TableTest, CountsOfRowsAndCells) {
  Load(kTables);
  CQilComPtr<IWebObj2> table = Table(L"counts");
  EXPECT_EQ(Long(Attr(table, 67)), 3);
  EXPECT_EQ(CellsOfRow(table, 2), 3);
  EXPECT_EQ(CellsOfRow(table, 0), 2);
  EXPECT_EQ(Long(Attr(table, 69)), 2);
  EXPECT_EQ(CellsOfRow(table, 4), 0);
  EXPECT_EQ(Long(Attr(table, 115)), 9);
  LONG count = -1;
  EXPECT_EQ(table->GetDirectChildCount(0, &count), S_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(table->GetDirectChildCount(0, nullptr), E_POINTER);
  CQilComPtr<IWebObj2> empty = Table(L"empty");
  EXPECT_EQ(Long(Attr(empty, 67)), 0);
  EXPECT_EQ(Long(Attr(empty, 115)), 0);
  EXPECT_EQ(String(Attr(empty, 212)), L"<none>");
}

TEST_F(TableTest, TableAttributes) {
  Load(kTables);
  CQilComPtr<IWebObj2> counts = Table(L"counts");
  CQilComPtr<IWebObj2> texts = Table(L"texts");
  EXPECT_EQ(String(Attr(texts, 212)), L"a;;b"); // the empty middle cell keeps its separator
  EXPECT_EQ(String(Attr(counts, 212)), L"1;2");
  EXPECT_EQ(String(Attr(texts, 163)), L"Prices");
  EXPECT_EQ(String(Attr(counts, 163)), L"");
  EXPECT_EQ(String(Attr(counts, 55)), L"1");
  EXPECT_EQ(String(Attr(texts, 55)), L"");
  EXPECT_EQ(Long(Attr(counts, 114)), 0);
  EXPECT_EQ(Long(Attr(texts, 114)), 1);
  EXPECT_EQ(Long(Attr(counts, 100)), 0);
  EXPECT_EQ(String(Attr(counts, 2)), L"WebTable");            // no named object inside
  EXPECT_EQ(String(Attr(texts, 146, nullptr, 1)), L"Prices"); // found: HRESULT 1
  CQilComPtr<IWebAttrVal> className;
  EXPECT_EQ(counts->GetAttr(0, nullptr, &className), S_OK);
  EXPECT_EQ(String(className), L"WebTable");
  std::wstring text = String(Attr(counts, 3));
  EXPECT_EQ(text.find_first_of(L"\r\n\t"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"1"), std::wstring::npos) << text;
  LONG type = -1;
  EXPECT_EQ(counts->GetType(&type), S_OK);
  EXPECT_EQ(type, 0);
  EXPECT_EQ(counts->GetAttrEx(67, nullptr, nullptr), E_POINTER);
}

TEST_F(TableTest, RequestsThatTheRowCountAnswers) {
  Load(kTables);
  CQilComPtr<IWebObj2> table = Table(L"counts");
  EXPECT_EQ(table->InvokeMethod(GET_TABLE_CELL_DATA, nullptr), E_POINTER);

  CQilComPtr<IWebInfo> missing = Request();
  EXPECT_EQ(Invoke(table, GET_TABLE_CELL_DATA, missing), 1);
  EXPECT_EQ(missing->GetReturnValue(), E_INVALIDARG);
  for (auto [row, column] : {std::pair{0, 1}, std::pair{2, 4}, std::pair{4, 1}}) {
    CQilComPtr<IWebInfo> request = RowColumn(row, column);
    EXPECT_EQ(Invoke(table, GET_TABLE_CELL_DATA, request), 1);
    EXPECT_EQ(request->GetReturnValue(), kIndexOutOfRange) << row << "," << column;
    EXPECT_FALSE(Has(request, 3));
  }

  CQilComPtr<IWebInfo> column = RowColumn(2, 0);
  EXPECT_EQ(Invoke(table, GET_TABLE_COLUMN, column), 1);
  EXPECT_EQ(column->GetReturnValue(), S_OK);
  LONG cells = 0;
  EXPECT_EQ(column->GetLongValueByName(68, &cells), S_OK);
  EXPECT_EQ(cells, 3);
  CQilComPtr<IWebInfo> beyond = RowColumn(9, 0);
  EXPECT_EQ(Invoke(table, GET_TABLE_COLUMN, beyond), 1);
  EXPECT_EQ(beyond->GetReturnValue(), kIndexOutOfRange);

  // A text that occurs nowhere: only entry 66 = -1 remains.
  CQilComPtr<IWebInfo> nowhere = RowColumn(1, 0);
  nowhere->InsertAttrString(3, CQilBstr(L"absent"), 1);
  nowhere->InsertAttrLong(500, 7, 1);
  EXPECT_EQ(Invoke(table, GET_ROW_WITH_CELLTEXT, nowhere), 1);
  EXPECT_EQ(nowhere->GetReturnValue(), S_OK);
  UINT size = 0;
  nowhere->GetSize(&size);
  EXPECT_EQ(size, 1u);
  LONG row = 0;
  EXPECT_EQ(nowhere->GetLongValueByName(66, &row), S_OK);
  EXPECT_EQ(row, -1);
  CQilComPtr<IWebInfo> noText = RowColumn(1, 0);
  EXPECT_EQ(Invoke(table, GET_ROW_WITH_CELLTEXT, noText), 1);
  EXPECT_EQ(noText->GetReturnValue(), E_INVALIDARG);
}

TEST_F(TableTest, EventConfigurationOfControlObjects) {
  Load(kTables);
  CQilComPtr<IWebObj2> control;
  ASSERT_EQ(CreateWebObject<CControl>(&control, Element(L"counts").Get(), nullptr), S_OK);
  CQilComPtr<IWebObjSelfEventConfig> self;
  ASSERT_EQ(self.QueryFrom(control), S_OK);
  LONG state = -1;
  EXPECT_EQ(self->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
  CQilBstr file;
  EXPECT_EQ(self->GetEventConfigFile(&file), S_OK);
  EXPECT_STREQ(file.Text(), L"WebFormsEventConfiguration.xml");
  EXPECT_EQ(self->GetEventConfigState(nullptr), E_POINTER);
  EXPECT_EQ(self->GetEventConfigFile(nullptr), E_POINTER);

  CQilComPtr<IWebObjEventConfigControl> config;
  ASSERT_EQ(config.QueryFrom(self), S_OK);
  EXPECT_EQ(config->SetEventConfig(CQilBstr(L"Other.xml"), VARIANT_FALSE), S_OK);
  self->GetEventConfigState(&state);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(config->SetEventConfig(CQilBstr(L""), VARIANT_TRUE), S_OK);
  self->GetEventConfigState(&state);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(self->GetEventConfigFile(&file), S_OK);
  EXPECT_STREQ(file.Text(), L"");

  // One object behind every interface.
  CQilComPtr<IWebObj2> back;
  ASSERT_EQ(back.QueryFrom(config), S_OK);
  EXPECT_EQ(back.Get(), control.Get());
  EXPECT_TRUE(CWfKitUtil::IsKitAO(control));
  EXPECT_EQ(CWfKitUtil::Instance().FindRecordAO(control, nullptr).Get(), control.Get());
  CQilComPtr<IWebObj2> plain = AO(L"texts");
  EXPECT_FALSE(CWfKitUtil::IsKitAO(plain));
  EXPECT_FALSE(CWfKitUtil::IsKitAO(nullptr));
  EXPECT_FALSE(CWfKitUtil::Instance().FindRecordAO(nullptr, nullptr));
}

TEST_F(TableTest, KitClassesAreThoseFrom1025To1030) {
  Load(kTables);
  for (LONG webClass : {1024, 1025, 1030, 1031}) {
    CQilComPtr<IWebObj2> ao = AO(L"texts");
    ASSERT_EQ(ao->SetWebClass(webClass), S_OK);
    LONG recordable = 0;
    ao->GetRecordableClass(&recordable);
    ASSERT_EQ(recordable, webClass);
    EXPECT_EQ(CWfKitUtil::IsKitAO(ao), webClass == 1025 || webClass == 1030) << webClass;
  }
}

TEST_F(TableTest, RecordingAndRecordConfiguration) {
  Load(kTables);
  CQilComPtr<IWebObj2> table = Table(L"counts");
  CQilComPtr<IWebObj2> other = Table(L"texts");
  CQilComPtr<IWebObj2> element = AO(L"texts");
  tagWIEventData event{};
  EXPECT_EQ(table->FillRecordInformation(Element(L"counts"), event, nullptr), E_POINTER);
  IWebInfo *none = nullptr;
  EXPECT_EQ(table->FillRecordInformation(Element(L"counts"), event, &none), E_POINTER);
  CQilComPtr<IWebInfo> record = Request();
  IWebInfo *recordSlot = record;
  EXPECT_EQ(element->FillRecordInformation(Element(L"texts"), event, &recordSlot), S_OK);
  CQilComPtr<IWebAttrVal> name;
  bool named = element->GetAttr(6, nullptr, &name) == S_OK;
  EXPECT_EQ(Has(record, 6), named);

  // One pair of lists per helper, shared and kept.
  IWebInfo *obligatory = nullptr;
  IWebInfo *optional = nullptr;
  BSTR selector = nullptr;
  ASSERT_EQ(table->GetRecordConfig(&obligatory, &optional, &selector), S_OK);
  EXPECT_EQ(SysStringLen(selector), 0u);
  obligatory->InsertAttr(67);
  IWebInfo *obligatory2 = nullptr;
  IWebInfo *optional2 = nullptr;
  BSTR selector2 = nullptr;
  ASSERT_EQ(other->GetRecordAttr(&obligatory2, &optional2, &selector2), S_OK);
  EXPECT_EQ(obligatory2, obligatory);
  LONG rows = 0;
  EXPECT_EQ(obligatory2->GetLongValueByName(67, &rows), S_OK);
  EXPECT_EQ(rows, 2); // the values of the asking object
  IWebInfo *elementLists[2] = {};
  BSTR elementSelector = nullptr;
  ASSERT_EQ(element->GetRecordConfig(&elementLists[0], &elementLists[1], &elementSelector), S_OK);
  EXPECT_NE(elementLists[0], obligatory);
  EXPECT_EQ(element->GetRecordConfig(nullptr, &elementLists[1], &elementSelector), E_POINTER);
  EXPECT_EQ(element->GetRecordAttr(&elementLists[0], &elementLists[1], nullptr), E_POINTER);
  for (IWebInfo *list :
       {obligatory, optional, obligatory2, optional2, elementLists[0], elementLists[1]})
    list->Release();
  SysFreeString(selector);
  SysFreeString(selector2);
  SysFreeString(elementSelector);
}

} // namespace

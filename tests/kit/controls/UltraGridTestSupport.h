// Grids of the page-side grid client library in the host's object tree, as
// the kit's factory makes them (the grid object and the dynamic objects
// inside): pages that render grids from a data description, and helpers for
// requests, recorded steps and the inner element lookup.
#pragma once

#include "WebObjTestSupport.h"

#include <string>
#include <vector>

#include "controls/WfUltraGrid.h"
#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "recognition/WfKitUtil.h"
#include "webobj/RecordConfig.h"

class UltraGridTest : public KitTreeTest {
protected:
  void SetUp() override {
    KitTreeTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartBrowser<CTallowickFactoryIE>());
  }
  void TearDown() override { KitTreeTest::TearDown(); }

  // A page beside the example pages that includes the client library and
  // runs `script` (which renders into the DIV "holder") after `body`.
  void ShowScript(const std::string &script, const std::string &body = "") {
    std::string html = "<html><head><script src=\"scripts/ultragrid.js\"></script></head>"
                       "<body><form action=\"Grid.aspx\">" +
                       body + "<div id=\"holder\"></div><script>" + script +
                       "</script></form></body></html>";
    Show(html);
  }
  // igtbl_renderGrid(name, description) into the holder.
  void ShowGrid(const std::string &name, const std::string &description) {
    ShowScript("igtbl_renderGrid(\"" + name + "\", " + description + ", \"holder\");");
  }
  void Show(const std::string &html) {
    std::wstring url =
        std::wstring(L"file://") + TALLOWICK_SOURCE_DIR + L"/examples/pages/ultragrid-test.html";
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, url.c_str(), &document_), S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
    std::vector<tallowick::platform::ScriptError> errors;
    tallowick::platform::GetScriptErrors(document_, &errors);
    ASSERT_TRUE(errors.empty()) << tallowick::platform::Narrow(errors[0].message);
  }
  CQilComPtr<IWebObj2> TreeAO(IHTMLElement *element) {
    return HostServices::GetHostAO(element, TopFrame(), VARIANT_FALSE);
  }
  CQilComPtr<IWebObj2> TreeAO(LPCOLESTR id) { return TreeAO(Element(id)); }
  // The kit's grid object of the grid `name`.
  CQilComPtr<IWebObj2> Grid(const std::wstring &name) {
    CQilComPtr<IWebObj2> grid = TreeAO((name + L"_main").c_str());
    LONG webClass = 0;
    if (grid)
      grid->GetRecordableClass(&webClass);
    EXPECT_EQ(webClass, 1030) << tallowick::platform::Narrow(name);
    return webClass == 1030 ? grid : CQilComPtr<IWebObj2>();
  }
  // Evaluates script in the page's window.
  CQilVariant Eval(const std::wstring &script) {
    CQilComPtr<IHTMLWindow2> window;
    CQilComPtr<IDispatch> dispatch;
    CQilVariant result;
    if (SUCCEEDED(document_->get_parentWindow(&window)) && SUCCEEDED(dispatch.QueryFrom(window))) {
      CQilVariant argument(script.c_str());
      DISPID id = 0;
      LPOLESTR name = const_cast<LPOLESTR>(L"eval");
      DISPPARAMS parameters = {&argument, nullptr, 1, 0};
      if (SUCCEEDED(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &id)))
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result,
                         nullptr, nullptr);
    }
    return result;
  }

  static std::wstring EntryString(IWebInfo *record, LONG name) {
    CQilBstr text;
    if (FAILED(record->GetStringValueByName(name, &text)))
      return L"<none>";
    return text.Text();
  }
  static LONG EntryLong(IWebInfo *record, LONG name) {
    LONG number = -12345;
    record->GetLongValueByName(name, &number);
    return number;
  }
  static bool HasEntry(IWebInfo *record, LONG name) {
    CQilComPtr<IWebAttrVal> value;
    return SUCCEEDED(record->GetAttrValueByName(name, &value)) && value;
  }
  static std::wstring EntryId(IWebInfo *record, LONG name) {
    CQilComPtr<IWebAttrVal> value;
    if (FAILED(record->GetAttrValueByName(name, &value)))
      return L"<none>";
    return IdText(value);
  }

  // The record the grid fills for a user action on `element`.
  static CQilComPtr<IWebInfo> Record(IWebObj2 *grid, IHTMLElement *element, HRESULT *hr = nullptr) {
    CQilComPtr<IWebInfo> record = Request();
    IWebInfo *raw = record;
    tagWIEventData event{};
    HRESULT result = grid->FillRecordInformation(element, event, &raw);
    if (hr != nullptr)
      *hr = result;
    return record;
  }
  // The recorded entries handed back as attribute 78 data: row text, column
  // text, what the step acts on and the part.
  static CQilComPtr<IWebAttrVal> LookupData(IWebInfo *record) {
    CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrVal();
    for (LONG name : {66, 68}) {
      CQilBstr text;
      if (FAILED(record->GetStringValueByName(name, &text)))
        text = L"";
      data->AddString(text);
    }
    for (LONG name : {16400, 16392})
      if (HasEntry(record, name))
        data->AddLong(EntryLong(record, name));
    return data;
  }
  static CQilComPtr<IWebAttrVal> Data(std::initializer_list<CQilVariant> values) {
    CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrVal();
    for (const CQilVariant &value : values)
      data->AddVariant(value);
    return data;
  }
  // Attribute `id` of the grid with `data`: its HRESULT and the value.
  static HRESULT Lookup(IWebObj2 *grid, LONG id, IWebAttrVal *data,
                        CQilComPtr<IWebAttrVal> &value) {
    value.Release();
    return grid->GetAttrEx(id, data, &value);
  }
  static std::wstring Found(IWebObj2 *grid, IWebAttrVal *data) {
    CQilComPtr<IWebAttrVal> value;
    if (Lookup(grid, 78, data, value) != 1)
      return L"<not found>";
    return IdText(value);
  }
  // Fires `event` on the element with an event object of the left button.
  void Press(IHTMLElement *element, LPCOLESTR event = L"onmousedown", bool shift = false) {
    CQilComPtr<IHTMLDocument4> document4;
    CQilComPtr<IHTMLEventObj> object;
    CQilComPtr<IHTMLEventObj2> object2;
    CQilComPtr<IHTMLElement3> element3;
    ASSERT_EQ(document4.QueryFrom(document_), S_OK);
    ASSERT_EQ(document4->createEventObject(nullptr, &object), S_OK);
    ASSERT_EQ(object2.QueryFrom(object), S_OK);
    object2->put_button(1);
    object2->put_shiftKey(shift ? VARIANT_TRUE : VARIANT_FALSE);
    ASSERT_EQ(element3.QueryFrom(element), S_OK);
    CQilVariant eventObject(static_cast<IDispatch *>(object2.Get()));
    VARIANT_BOOL notCancelled = VARIANT_FALSE;
    ASSERT_EQ(element3->fireEvent(CQilBstr(event), &eventObject, &notCancelled), S_OK);
  }
};

// Data descriptions of the grids the tests use.
inline constexpr char kCustomers[] = R"({
  convention: "page", separator: "r",
  allowAddNew: 1, allowSort: 0, allowDelete: 2,
  groupBy: true, addNew: true, rowSelectors: true, width: 300, height: 60,
  bands: [
    {key: "Customers", columns: [
      {key: "Id", headerText: "Id", type: 3},
      {key: "Name", headerText: "Cu<b>stom</b>er", type: 0, sortIndicator: 1},
      {key: "", headerText: "Total<br>12", type: 5, valueList: ["Open", "Closed"]}]},
    {key: "Orders", columns: [
      {key: "OrderId", headerText: "Order"},
      {key: "Amount", headerText: "Amount", headerClickAction: 1}]}],
  rows: [
    {cells: [true, "Alfreds", "Open"], rows: [{cells: [10248, 32.5]}, {cells: [10249, 11]}]},
    {cells: [false, "Bottom-Dollar", null], expandable: false},
    {cells: [true, "Chop-suey", "Closed"], expanded: true, rows: [{cells: [10250, 65]}]}]
})";

// The customers grid in the object convention `convention`.
inline std::string Customers(const char *convention) {
  std::string description = kCustomers;
  description.replace(description.find("\"page\""), 6, std::string("\"") + convention + "\"");
  return description;
}

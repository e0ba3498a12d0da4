// View-link control objects among the host's own objects: the kit's factory,
// added to a host browser, makes TabStrip and ToolBar objects around the
// host's view-link AO and chooses the AO that records; pages load their
// behaviours from examples/pages/behaviors. Every kit object is gone when a test ends (the
// module's lock count, which DllCanUnloadNow answers, is checked by WebObjTest).
#pragma once

#include "WebObjTestSupport.h"

#include <string>
#include <vector>

#include "controls/WfTabStrip.h"
#include "controls/WfToolBar.h"
#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "recognition/WfKitUtil.h"
#include "support/QilDispatchDriver.h"
#include "webobj/RecordConfig.h"

namespace viewlink_test {

inline constexpr wchar_t kPagesDir[] = TALLOWICK_SOURCE_DIR L"/examples/pages";

class ViewLinkControlTest : public KitTreeTest {
protected:
  void SetUp() override {
    KitTreeTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartBrowser<CTallowickFactoryIE>());
  }
  void TearDown() override { KitTreeTest::TearDown(); }

  // Shows markup as a page of the examples folder, so that its behaviours are found.
  void Show(const std::string &body, const std::string &imports, std::wstring folder = kPagesDir) {
    std::string html = "<html><head>" + imports + "</head><body>" + body + "</body></html>";
    std::wstring url = L"file://" + folder + L"/viewlink-test.html";
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, url.c_str(), &document_), S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
    std::vector<tallowick::platform::ScriptError> errors;
    tallowick::platform::GetScriptErrors(document_, &errors);
    ASSERT_TRUE(errors.empty()) << tallowick::platform::Narrow(errors[0].message);
  }
  // The tree's object for the element with `id` of the page.
  CQilComPtr<IWebObj2> TreeAO(LPCOLESTR id) {
    return HostServices::GetHostAO(Element(id), TopFrame().Get(), VARIANT_FALSE);
  }
  // An element of the view-link document of the page element `owner`.
  CQilComPtr<IHTMLElement> Rendered(LPCOLESTR owner, LPCOLESTR id) {
    CQilComPtr<IHTMLDocument2> viewLink;
    if (FAILED(tallowick::platform::GetViewLinkDocument(Element(owner), &viewLink)) || !viewLink)
      return {};
    return ById(viewLink, id);
  }

  std::wstring Text(IWebObj2 *ao, LONG id) {
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(ao->GetAttrEx(id, nullptr, &value), S_OK) << id;
    return String(value);
  }
  LONG Number(IWebObj2 *ao, LONG id) {
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(ao->GetAttrEx(id, nullptr, &value), S_OK) << id;
    return Long(value);
  }
  static CQilComPtr<IWebInfo> NameRequest(LPCOLESTR name, LONG number = -1) {
    CQilComPtr<IWebInfo> request = Request();
    if (name != nullptr)
      request->InsertAttrString(6, CQilBstr(name), 1);
    if (number >= 0)
      request->InsertAttrLong(16389, number, 1);
    return request;
  }
  // Runs a kit method: the method answers S_FALSE, the outcome is the request's.
  static HRESULT Run(IWebObj2 *ao, LONG method, IWebInfo *request) {
    EXPECT_EQ(Invoke(ao, static_cast<METHOD_NAME_ENUM>(method), request), S_FALSE) << method;
    return request->GetReturnValue();
  }
  static std::wstring Entry(IWebInfo *record, LONG id) {
    CQilBstr text;
    if (FAILED(record->GetStringValueByName(id, &text)))
      return L"<none>";
    return text.Text();
  }
  static LONG EntryLong(IWebInfo *record, LONG id) {
    LONG number = -12345;
    record->GetLongValueByName(id, &number);
    return number;
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
  CQilComPtr<IWebInfo> StepRecord(LONG index) {
    CQilComPtr<IWebInfo> record;
    EXPECT_EQ(browser_->GetStep(index, nullptr, &record), S_OK);
    return record;
  }
  static void Fire(IHTMLElement *element, LPCOLESTR event) {
    CQilComPtr<IHTMLElement3> element3;
    ASSERT_EQ(element3.QueryFrom(element), S_OK);
    VARIANT_BOOL notCancelled = VARIANT_FALSE;
    ASSERT_EQ(element3->fireEvent(CQilBstr(event), nullptr, &notCancelled), S_OK);
  }
  // A user's click: mousedown, mouseup, click.
  static void UserClick(IHTMLElement *element) {
    Fire(element, L"onmousedown");
    Fire(element, L"onmouseup");
    ASSERT_EQ(element->click(), S_OK);
  }
  static CQilVariant Property(IHTMLElement *element, LPCOLESTR name) {
    CQilVariant value;
    CQilComPtr<IDispatch> dispatch;
    if (SUCCEEDED(dispatch.QueryFrom(element)))
      GetNamedProperty(dispatch, name, &value);
    return value;
  }
  static void PutProperty(IHTMLElement *element, LPCOLESTR name, const VARIANT &value) {
    CQilComPtr<IDispatch> dispatch;
    ASSERT_EQ(dispatch.QueryFrom(element), S_OK);
    CQilVariant copy(value);
    ASSERT_EQ(SetNamedProperty(dispatch, name, &copy), S_OK);
  }
};

} // namespace viewlink_test

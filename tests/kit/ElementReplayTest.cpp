// Replay methods of the element object on real pages.
#include "WebObjTestSupport.h"

#include <vector>

namespace {

// An element object that answers attribute 3 (the element text) the way
// control objects do.
class CTextObj : public CIE4Obj {
public:
  CTextObj(IUnknown *element, LPCOLESTR text) : CIE4Obj(element, nullptr), text_(text) {}
  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override {
    if (Name != 3)
      return CIE4Obj::GetAttrEx(Name, pAttrData, ppAttrVal);
    *ppAttrVal = HostServices::NewWebAttrValString(text_).Detach();
    return S_OK;
  }

private:
  CQilBstr text_;
};

// Exposes the event object the replay builds.
class CEventObj : public CIE4Obj {
public:
  using CIE4Obj::BuildEventObject;
  using CIE4Obj::CIE4Obj;
};

std::vector<std::wstring> EventTypes(IHTMLDocument2 *document) {
  std::vector<tallowick::platform::PageEvent> events;
  tallowick::platform::GetPageEvents(document, &events);
  std::vector<std::wstring> types;
  for (const auto &event : events)
    types.push_back(event.type);
  return types;
}

HRESULT ContainsText(LPCOLESTR elementText, LPCOLESTR looked, IHTMLElement *element) {
  CQilComPtr<IWebObj2> ao(new CTextObj(element, elementText));
  CQilComPtr<IWebInfo> request = HostServices::NewWebInfo();
  request->InsertAttrString(3, CQilBstr(looked), 1);
  IWebInfo *info = request;
  EXPECT_EQ(ao->InvokeMethod(CONTAINS_TEXT, &info), S_OK);
  return request->GetReturnValue();
}

TEST_F(WebObjTest, ContainsTextIsAPlainSubstringSearch) {
  Load("<html><body><div id=d>x</div></body></html>");
  CQilComPtr<IHTMLElement> element = Element(L"d");
  EXPECT_EQ(ContainsText(L"xab", L"ab", element), S_OK);
  EXPECT_EQ(ContainsText(L"abxab", L"ab", element), static_cast<HRESULT>(0x80040203));
  EXPECT_EQ(ContainsText(L"aaa", L"aa", element), static_cast<HRESULT>(0x80040203));
  EXPECT_EQ(ContainsText(L"xb", L"ab", element), static_cast<HRESULT>(0x80040202));
  EXPECT_EQ(ContainsText(L"xab", L"x.b", element), static_cast<HRESULT>(0x80040202));
  EXPECT_EQ(ContainsText(L"", L"ab", element), static_cast<HRESULT>(0x80040202));

  CQilComPtr<IWebObj2> ao(new CTextObj(element, L"abc"));
  CQilComPtr<IWebInfo> request = Request();
  EXPECT_EQ(Invoke(ao, CONTAINS_TEXT, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), E_INVALIDARG);
  // Id 132 compares through the same search.
  EXPECT_EQ(ao->CompareAttr(132, HostServices::NewWebAttrValString(CQilBstr(L"bc")), 0, 0), S_OK);
  EXPECT_EQ(ao->CompareAttr(132, HostServices::NewWebAttrValString(CQilBstr(L"cb")), 0, 0),
            S_FALSE);
}

TEST_F(WebObjTest, InvokeMethodArguments) {
  Load("<html><body><form id=f><input id=i></form><div id=d>x</div></body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"i");
  EXPECT_EQ(ao->InvokeMethod(CALL_EVENT, nullptr), E_POINTER);
  IWebInfo *none = nullptr;
  EXPECT_EQ(ao->InvokeMethod(CALL_EVENT, &none), E_POINTER);
  CQilComPtr<IWebInfo> request = Request();
  EXPECT_EQ(Invoke(ao, ADD_COORDINATES_TO_URL, request), E_FAIL);

  // The form of an element inside one; none for an element outside.
  ASSERT_EQ(Invoke(ao, WEB_GETFORMA, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  CQilComPtr<IWebVariant> form;
  ASSERT_EQ(request->GetTopInnerAttrValueByName(48, WEB_AV_EMPTY, &form), S_OK);
  CQilComPtr<IUnknown> formElement;
  ASSERT_EQ(form->get_unknown(&formElement), S_OK);
  EXPECT_TRUE(formElement.IsSameObject(Element(L"f")));
  CQilComPtr<IWebInfo> outside = Request();
  ASSERT_EQ(Invoke(AO(L"d"), WEB_GETFORMA, outside), S_OK);
  EXPECT_EQ(outside->GetReturnValue(), E_FAIL);

  // Without a parent frame there is no screen rectangle.
  EXPECT_EQ(Invoke(ao, GET_SCREEN_RECT, request), E_NOINTERFACE);
  // Without the host callback the mouse is not required.
  CQilComPtr<IWebInfo> mouse = Request();
  mouse->InsertAttrString(64, CQilBstr(L"Click"), 1);
  ASSERT_EQ(Invoke(ao, IS_MOUSE_REPLAY_REQUIRED, mouse), S_OK);
  LONG required = -1;
  ASSERT_EQ(mouse->GetBoolValueByName(6, &required), S_OK);
  EXPECT_EQ(required, 0);
}

TEST_F(WebObjTest, ContainsPointIncludesTheEdges) {
  Load("<html><body style='margin:0'>"
       "<div id=d style='position:absolute; left:10px; top:20px; width:30px; height:40px'></div>"
       "<div style='display:none'><span id=gone>x</span></div></body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"d");
  auto contains = [&](IWebObj2 *object, LONG x, LONG y) {
    CQilComPtr<IWebInfo> request = HostServices::NewWebInfo();
    request->InsertAttrPoint(65, POINT{x, y}, 1);
    IWebInfo *info = request;
    EXPECT_EQ(object->InvokeMethod(CONTAINS_POINT, &info), S_OK);
    return request->GetReturnValue();
  };
  EXPECT_EQ(contains(ao, 40, 30), S_OK); // right edge
  EXPECT_EQ(contains(ao, 10, 20), S_OK);
  EXPECT_EQ(contains(ao, 40, 60), S_OK);
  EXPECT_EQ(contains(ao, 41, 30), S_FALSE);
  EXPECT_EQ(contains(ao, 9, 30), S_FALSE);
  EXPECT_EQ(contains(AO(L"gone"), 0, 0), S_FALSE);
  CQilComPtr<IWebInfo> request = Request();
  ASSERT_EQ(Invoke(ao, CONTAINS_POINT, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), E_INVALIDARG);
}

TEST_F(WebObjTest, ClickOrderFollowsReplayOnlyClick) {
  Load("<html><body><input id=i type=button value=Go></body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"i");
  CQilComPtr<IWebInfo> request = Request();
  request->InsertAttrString(64, CQilBstr(L"CLICK"), 1);
  SetSetting(L"ReplayOnlyClick", 0);
  ASSERT_EQ(Invoke(ao, CALL_EVENT, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  EXPECT_EQ(EventTypes(document_),
            (std::vector<std::wstring>{L"onfocus", L"onmousedown", L"onmouseup", L"onclick"}));

  Load("<html><body><input id=i type=button value=Go></body></html>");
  ao = AO(L"i");
  SetSetting(L"ReplayOnlyClick", 1);
  ASSERT_EQ(Invoke(ao, CALL_EVENT, request), S_OK);
  EXPECT_EQ(EventTypes(document_), (std::vector<std::wstring>{L"onclick"}));

  // Other names are fired as they are; a missing name fails the replay.
  Load("<html><body><input id=i type=button value=Go></body></html>");
  ao = AO(L"i");
  CQilComPtr<IWebInfo> other = Request();
  other->InsertAttrString(64, CQilBstr(L"onchange"), 1);
  ASSERT_EQ(Invoke(ao, CALL_EVENT, other), S_OK);
  EXPECT_EQ(EventTypes(document_), (std::vector<std::wstring>{L"onchange"}));
  CQilComPtr<IWebInfo> nameless = Request();
  ASSERT_EQ(Invoke(ao, CALL_EVENT, nameless), S_OK);
  EXPECT_EQ(nameless->GetReturnValue(), E_FAIL);
}

TEST_F(WebObjTest, SubmitWithoutHandlerSubmitsTheForm) {
  Load("<html><body><form id=f action='next.html'><input id=i name=q></form></body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"i");
  CQilComPtr<IWebInfo> request = Request();
  request->InsertAttrString(64, CQilBstr(L"submit"), 1);
  ASSERT_EQ(Invoke(ao, CALL_EVENT, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  std::vector<tallowick::platform::PageEvent> events;
  tallowick::platform::GetPageEvents(document_, &events);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().type, L"navigate");
  EXPECT_NE(events.back().detail.find(L"next.html"), std::wstring::npos);
}

TEST_F(WebObjTest, EventObjectCentresOnMinus9999) {
  Load("<html><body style='margin:0'>"
       "<div id=frame style='position:absolute; left:3px; top:4px; width:500px; height:500px'>"
       "</div><div id=d style='position:absolute; left:30px; top:10px; width:100px; "
       "height:40px'></div></body></html>");
  CQilComPtr<IWebObj2> frame = AO(L"frame"); // its rectangle 70 gives the frame offset
  CEventObj *object = new CEventObj(Element(L"d").Get(), frame.Get());
  CQilComPtr<IWebObj2> ao(object);
  CQilComPtr<IWebInfo> request = Request();
  request->InsertAttrLong(143, -9999, 1);
  request->InsertAttrLong(144, -9999, 1);
  request->InsertAttrLong(97, 1, 1);
  request->InsertAttrLong(620, 13, 1);
  CQilVariant event;
  ASSERT_EQ(object->BuildEventObject(Element(L"d"), request, &event), S_OK);
  ASSERT_EQ(event.vt, VT_DISPATCH);
  CQilComPtr<IHTMLEventObj> eventObject;
  ASSERT_EQ(eventObject.QueryFrom(event.pdispVal), S_OK);
  LONG value = 0;
  eventObject->get_clientX(&value);
  EXPECT_EQ(value, 80);
  eventObject->get_clientY(&value);
  EXPECT_EQ(value, 30);
  eventObject->get_screenX(&value);
  EXPECT_EQ(value, 83);
  eventObject->get_screenY(&value);
  EXPECT_EQ(value, 34);
  eventObject->get_button(&value);
  EXPECT_EQ(value, 2);
  eventObject->get_keyCode(&value);
  EXPECT_EQ(value, 13);

  // Defaults (2, 2); without a frame offset no event object.
  CQilComPtr<IWebInfo> plain = Request();
  ASSERT_EQ(object->BuildEventObject(Element(L"d"), plain, &event), S_OK);
  eventObject.QueryFrom(event.pdispVal);
  eventObject->get_clientX(&value);
  EXPECT_EQ(value, 32);
  eventObject.Release();
  event.Clear();
  CEventObj *orphan = new CEventObj(Element(L"d").Get(), nullptr);
  CQilComPtr<IWebObj2> orphanAO(orphan);
  EXPECT_EQ(orphan->BuildEventObject(Element(L"d"), plain, &event), E_FAIL);
  EXPECT_EQ(event.vt, VT_EMPTY);
}

struct Bar {
  std::wstring style;
  std::wstring text;
};

std::vector<Bar> HighlightDivs(IHTMLDocument2 *document) {
  std::vector<Bar> bars;
  CQilComPtr<IHTMLElementCollection> all;
  document->get_all(&all);
  LONG length = 0;
  all->get_length(&length);
  for (LONG i = 0; i < length; ++i) {
    CQilVariant index(i);
    CQilVariant none;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> element;
    CQilBstr id;
    all->item(index, none, &item);
    element.QueryFrom(item);
    if (!element || FAILED(element->get_id(&id)) || lstrcmpW(id.Text(), L"qil_highlight_element"))
      continue;
    CQilComPtr<IHTMLStyle> style;
    CQilBstr css;
    CQilBstr text;
    element->get_style(&style);
    style->get_cssText(&css);
    element->get_innerText(&text);
    bars.push_back({css.Text(), text.Text()});
  }
  return bars;
}

LONG StyleNumber(const std::wstring &css, const std::wstring &name) {
  size_t at = css.find(name + L":");
  if (at == std::wstring::npos)
    at = css.find(name + L" :");
  if (at == std::wstring::npos)
    return -99999;
  at = css.find(L':', at) + 1;
  return std::wcstol(css.c_str() + at, nullptr, 10);
}

TEST_F(WebObjTest, HighlightDrawsFourBarsAndAnEscapedLabel) {
  Load("<html><body style='margin:0'>"
       "<div id=d style='position:absolute; left:40px; top:30px; width:20px; height:10px'></div>"
       "</body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"d");
  CQilComPtr<IWebInfo> request = Request();
  const wchar_t *label = L"<b>&\"'";
  request->InsertAttrString(3, CQilBstr(label), 1);
  ASSERT_EQ(Invoke(ao, HIGHLIGHT_OBJECT, request), S_OK);
  std::vector<Bar> bars = HighlightDivs(document_);
  ASSERT_EQ(bars.size(), 5u);
  const LONG expected[4][4] = {{26, 36, 28, 4}, {26, 60, 4, 18}, {40, 36, 28, 4}, {26, 36, 4, 18}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(StyleNumber(bars[i].style, L"top"), expected[i][0]) << i << " " << bars[i].style;
    EXPECT_EQ(StyleNumber(bars[i].style, L"left"), expected[i][1]) << i;
    EXPECT_EQ(StyleNumber(bars[i].style, L"width"), expected[i][2]) << i;
    EXPECT_EQ(StyleNumber(bars[i].style, L"height"), expected[i][3]) << i;
  }
  EXPECT_EQ(StyleNumber(bars[4].style, L"top"), 47);
  EXPECT_EQ(StyleNumber(bars[4].style, L"left"), 36);
  EXPECT_EQ(StyleNumber(bars[4].style, L"width"), 50); // 20 + 8 is below 50
  EXPECT_EQ(bars[4].text, label);                      // the label's text, not markup

  // The next highlight removes the earlier one; without a label four bars.
  CQilComPtr<IWebInfo> again = Request();
  ASSERT_EQ(Invoke(ao, HIGHLIGHT_OBJECT, again), S_OK);
  EXPECT_EQ(HighlightDivs(document_).size(), 4u);
}

} // namespace

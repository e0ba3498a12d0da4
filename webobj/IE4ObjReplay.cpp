// CIE4Obj: the host's replay methods.
#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>

#include "support/HostCallbacks.h"
#include "support/QilBstr.h"
#include "support/QilDispatchDriver.h"
#include "support/QilSafeArray.h"
#include "support/QilVariant.h"
#include "support/TimeTrace.h"
#include "webobj/HostServices.h"
#include "webobj/IE4Obj.h"
#include "webobj/WebIds.h"

namespace {

constexpr LONG kCentre = -9999;
constexpr WCHAR kTraceSource[] = L"IE4Obj";
constexpr WCHAR kHighlightId[] = L"qil_highlight_element";

void TraceMark(LPCWSTR text) { TimeTrace::TraceMessage(text, kTraceSource, 0); }

// Request entries, read as the top inner value of the given type.
bool ReadLong(IWebInfo *request, LONG id, LONG &value) {
  CQilComPtr<IWebVariant> entry;
  if (FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_LONG, &entry)) || !entry)
    return false;
  return SUCCEEDED(entry->get_long(&value));
}

bool ReadString(IWebInfo *request, LONG id, CQilBstr &value) {
  CQilComPtr<IWebVariant> entry;
  if (FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_STRING, &entry)) || !entry)
    return false;
  return SUCCEEDED(entry->get_string(&value));
}

HRESULT ReadPoint(IWebInfo *request, LONG id, POINT &value, bool &present) {
  present = false;
  UINT index = 0;
  if (FAILED(request->GetAttrIndexByName(id, &index)))
    return S_OK;
  CQilComPtr<IWebVariant> entry;
  HRESULT hr = request->GetTopInnerAttrValueByName(id, WEB_AV_POINT, &entry);
  if (FAILED(hr))
    return hr;
  if (!entry)
    return E_FAIL;
  hr = entry->get_point(&value);
  present = SUCCEEDED(hr);
  return hr;
}

CQilComPtr<IDispatch> DispatchOf(IUnknown *object) {
  CQilComPtr<IDispatch> dispatch;
  dispatch.QueryFrom(object);
  return dispatch;
}

HRESULT CallByName(IUnknown *object, LPCOLESTR name) {
  CQilVariant result;
  return CallNamedMethod0(DispatchOf(object), name, &result, nullptr, nullptr);
}

CQilComPtr<IHTMLDocument2> DocumentOf(IHTMLElement *element) {
  CQilComPtr<IDispatch> dispatch;
  CQilComPtr<IHTMLDocument2> document;
  if (SUCCEEDED(element->get_document(&dispatch)))
    document.QueryFrom(dispatch);
  return document;
}

bool TagIs(IHTMLElement *element, LPCOLESTR tag) {
  CQilBstr name;
  return element != nullptr && SUCCEEDED(element->get_tagName(&name)) &&
         lstrcmpiW(name.Text(), tag) == 0;
}

// The label as markup text: <, >, &, " and ' escaped.
std::wstring EscapeMarkup(LPCOLESTR text, UINT length) {
  std::wstring escaped;
  for (UINT i = 0; i < length; ++i) {
    switch (text[i]) {
    case L'<':
      escaped += L"&lt;";
      break;
    case L'>':
      escaped += L"&gt;";
      break;
    case L'&':
      escaped += L"&amp;";
      break;
    case L'"':
      escaped += L"&quot;";
      break;
    case L'\'':
      escaped += L"&#39;";
      break;
    default:
      escaped += text[i];
    }
  }
  return escaped;
}

HRESULT InsertBar(IHTMLElement *body, LONG top, LONG left, LONG width, LONG height) {
  WCHAR markup[320] = {};
  swprintf(markup, 320,
           L"<DIV id=%ls style=\"position:absolute; top:%d; left:%d; width:%d; height:%d; "
           L"font-size:0; background-color:#ff00ff; z-index:99\"></DIV>",
           kHighlightId, static_cast<int>(top), static_cast<int>(left), static_cast<int>(width),
           static_cast<int>(height));
  return body->insertAdjacentHTML(CQilBstr(L"beforeEnd"), CQilBstr(markup));
}

HRESULT InsertLabel(IHTMLElement *body, LONG top, LONG left, LONG width, BSTR label) {
  WCHAR head[320] = {};
  swprintf(head, 320,
           L"<DIV id=%ls style=\"position:absolute; top:%d; left:%d; width:%d; "
           L"background-color:#ff00ff; font-size:14; color:#ffffff; z-index:99\">",
           kHighlightId, static_cast<int>(top), static_cast<int>(left), static_cast<int>(width));
  std::wstring markup = head;
  markup += EscapeMarkup(label, SysStringLen(label));
  markup += L"</DIV>";
  return body->insertAdjacentHTML(CQilBstr(L"beforeEnd"),
                                  CQilBstr(markup.c_str(), static_cast<UINT>(markup.size())));
}

// Every element of the document with the highlight id gets an empty outerHTML.
void RemoveHighlight(IHTMLDocument2 *document) {
  CQilComPtr<IHTMLElementCollection> all;
  if (FAILED(document->get_all(&all)) || !all)
    return;
  LONG length = 0;
  all->get_length(&length);
  std::vector<CQilComPtr<IHTMLElement>> found;
  for (LONG i = 0; i < length; ++i) {
    CQilVariant index(i);
    CQilVariant none;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> element;
    CQilBstr id;
    if (SUCCEEDED(all->item(index, none, &item)) && SUCCEEDED(element.QueryFrom(item)) && element &&
        SUCCEEDED(element->get_id(&id)) && lstrcmpW(id.Text(), kHighlightId) == 0)
      found.push_back(element);
  }
  for (const CQilComPtr<IHTMLElement> &element : found)
    element->put_outerHTML(CQilBstr(L""));
}

LONG Area(const RECT &rect) { return (rect.right - rect.left) * (rect.bottom - rect.top); }

} // namespace

STDMETHODIMP CIE4Obj::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  if (!m_spHTMLElement)
    return E_FAIL;
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_POINTER;
  IWebInfo *request = *ppWebInfo;
  try {
    switch (MethodName) {
    case WEB_GETFORMA: {
      CQilComPtr<IHTMLElement> form = m_spHTMLElement;
      while (form && !TagIs(form, L"FORM"))
        form = ParentElement(form);
      if (!form)
        return request->SetReturnValue(E_FAIL), S_OK;
      request->InsertAttrUnknown(48, form, 0);
      request->SetReturnValue(S_OK);
      return S_OK;
    }
    case MAKE_VISIBLE:
      return MakeVisible(request);
    case GET_SCREEN_RECT: {
      RECT rect = {};
      ElementRect(rect);
      if (!m_spParent)
        return E_NOINTERFACE;
      POINT offset = {};
      HRESULT hr = GetParentFrameScreenOffset(offset);
      if (FAILED(hr))
        return hr;
      RECT screen = {rect.left + offset.x, rect.top + offset.y, rect.right + offset.x,
                     rect.bottom + offset.y};
      request->InsertAttrRect(70, screen, 1);
      request->SetReturnValue(S_OK);
      return S_OK;
    }
    case CONTAINS_TEXT: {
      CQilBstr text;
      if (!ReadString(request, 3, text)) {
        request->SetReturnValue(E_INVALIDARG);
        return S_OK;
      }
      return request->SetReturnValue(ContainsText(text));
    }
    case ID_TO_DESC: {
      TraceMark(L"CIE4Obj::InvokeMethod IdToDesc");
      CQilComPtr<IWebObj2> frame = CWebObjUtil::FindFrame(OuterWebObj());
      if (!frame || frame.IsSameObject(static_cast<IWebObj2 *>(this)))
        return S_OK;
      return frame->InvokeMethod(ID_TO_DESC, ppWebInfo);
    }
    case CALL_EVENT:
      TraceMark(L"CIE4Obj::InvokeMethod CallEvent");
      return request->SetReturnValue(ReplayEvent(request));
    case CONTAINS_POINT: {
      request->SetReturnValue(E_INVALIDARG);
      CQilComPtr<IWebVariant> entry;
      POINT point = {};
      if (SUCCEEDED(request->GetTopInnerAttrValueByName(65, WEB_AV_POINT, &entry)) && entry &&
          SUCCEEDED(entry->get_point(&point)))
        request->SetReturnValue(IsPointInObj(point) == S_OK ? S_OK : S_FALSE);
      return S_OK;
    }
    case HIGHLIGHT_OBJECT:
      Highlight(request);
      return S_OK;
    case IS_MOUSE_REPLAY_REQUIRED:
      return IsMouseReplayRequired(request);
    default:
      return E_FAIL;
    }
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CIE4Obj::GetParentFrameScreenOffset(POINT &offset) {
  offset = {0, 0};
  if (!m_spParent)
    return E_NOINTERFACE;
  CQilComPtr<IWebAttrVal> point;
  HRESULT hr = m_spParent->GetAttr(201, nullptr, &point);
  if (FAILED(hr))
    return hr;
  if (!point)
    return E_FAIL;
  return point->GetPointValue(0, &offset);
}

HRESULT CIE4Obj::ContainsText(BSTR text) {
  CQilComPtr<IWebAttrVal> value;
  CQilBstr elementText;
  HRESULT hr = GetOwnString(3, value, &elementText);
  if (FAILED(hr))
    return hr;
  if (elementText.IsEmpty())
    return kNothingToActOn;
  std::wstring_view haystack(elementText.Get(), elementText.Length());
  std::wstring_view needle(text != nullptr ? text : L"", SysStringLen(text));
  size_t first = haystack.find(needle);
  if (first == std::wstring_view::npos)
    return kNothingToActOn;
  return haystack.find(needle, first + 1) != std::wstring_view::npos ? kFoundMoreThanOnce : S_OK;
}

HRESULT CIE4Obj::IsMouseReplayRequired(IWebInfo *request) {
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrVal();
  if (!value)
    return E_FAIL;
  bool required = false;
  CQilBstr operation;
  if (ReadString(request, 64, operation)) {
    CQilComPtr<IWebObj2> self = OuterWebObj();
    CQilComPtr<IUnknown> registry = CWebObjUtil::FindCallbackRegistry(self);
    CQilSafeArray input;
    CQilSafeArray output;
    input.AppendInterface(self);
    input.AppendString(operation.Text());
    if (registry &&
        SUCCEEDED(InvokeHostCallback(registry, L"IsMouseReplayRequired", input, output, 0)))
      output.ReadBool(required);
  }
  value->AddBool(required ? 1 : 0);
  request->InsertValueWebAttr(6, value);
  request->SetReturnValue(S_OK);
  return S_OK;
}

// ---- event replay ----

HRESULT CIE4Obj::BuildEventObject(IHTMLElement *element, IWebInfo *request, VARIANT *eventObject) {
  VariantClear(eventObject);
  CQilComPtr<IHTMLDocument4> document;
  CQilComPtr<IHTMLEventObj> event;
  CQilComPtr<IHTMLDocument2> document2 = DocumentOf(element);
  if (FAILED(document.QueryFrom(document2)) || !document ||
      FAILED(document->createEventObject(nullptr, &event)) || !event)
    return E_FAIL;
  LONG keyCode = 0;
  ReadLong(request, 620, keyCode);
  event->put_keyCode(keyCode);
  CQilComPtr<IHTMLEventObj2> event2;
  if (FAILED(event2.QueryFrom(event)) || !event2) {
    eventObject->vt = VT_DISPATCH;
    eventObject->pdispVal = event.Detach();
    return S_OK;
  }
  LONG x = 2;
  LONG y = 2;
  LONG button = 0;
  ReadLong(request, 143, x);
  ReadLong(request, 144, y);
  ReadLong(request, 97, button);
  event2->put_button(button == 1 ? 2 : button == 2 ? 4 : 1);
  RECT rect = {};
  GetElementRect(element, &rect);
  if (x == kCentre && y == kCentre) {
    x = (rect.right - rect.left) / 2;
    y = (rect.bottom - rect.top) / 2;
  }
  LONG clientX = rect.left + x;
  LONG clientY = rect.top + y;
  event2->put_clientX(clientX);
  event2->put_clientY(clientY);
  LONG dx = 0;
  LONG dy = 0;
  if (!FrameOffset(dx, dy))
    return E_FAIL;
  event2->put_screenX(clientX + dx);
  event2->put_screenY(clientY + dy);
  event2->put_altKey(VARIANT_FALSE);
  event2->put_ctrlKey(VARIANT_FALSE);
  event2->put_shiftKey(VARIANT_FALSE);
  eventObject->vt = VT_DISPATCH;
  eventObject->pdispVal = event.Detach();
  return S_OK;
}

HRESULT CIE4Obj::SubmitForm(IHTMLElement *element) {
  CQilComPtr<IHTMLFormElement> form;
  for (CQilComPtr<IHTMLElement> current(element); current && !form;
       current = ParentElement(current))
    form.QueryFrom(current);
  if (!form)
    return S_OK;
  bool callHandler = false;
  CQilVariant handler;
  form->get_onsubmit(&handler);
  if (handler.vt == VT_DISPATCH && handler.pdispVal != nullptr) {
    CQilComPtr<IWIScriptHandler> scriptHandler;
    if (FAILED(scriptHandler.QueryFrom(handler.pdispVal)) || !scriptHandler) {
      callHandler = true;
    } else {
      CQilVariant hasCode;
      if (SUCCEEDED(scriptHandler->HasHandlerCode(&hasCode)) &&
          SUCCEEDED(hasCode.ChangeType(VT_I4)) && hasCode.lVal != 0)
        callHandler = true;
    }
  }
  CQilComPtr<IDispatch> formDispatch = DispatchOf(form);
  if (callHandler) {
    CQilVariant argument;
    CQilVariant result;
    if (FAILED(CallNamedMethod1(formDispatch, L"onsubmit", &argument, &result, nullptr, nullptr)))
      return E_INVALIDARG;
    bool submit =
        result.vt == VT_EMPTY || (result.vt == VT_BOOL && result.boolVal != VARIANT_FALSE);
    if (!submit)
      return S_OK;
  }
  CallByName(formDispatch, L"submit");
  return S_OK;
}

HRESULT CIE4Obj::ReplayEvent(IWebInfo *request) {
  IHTMLElement *element = m_spHTMLElement;
  if (element == nullptr)
    return kNothingToActOn;
  CQilBstr name;
  if (!ReadString(request, 64, name) || name.IsEmpty())
    return E_FAIL;
  CQilComPtr<IHTMLElement2> element2;
  CQilComPtr<IHTMLElement3> element3;
  element2.QueryFrom(element);
  element3.QueryFrom(element);
  CQilVariant eventObject;
  if (element3) {
    BuildEventObject(element, request, &eventObject);
    if (eventObject.vt != VT_DISPATCH)
      eventObject.Clear();
  }
  auto fire = [&](LPCOLESTR type) {
    VARIANT_BOOL notCancelled = VARIANT_TRUE;
    return element3->fireEvent(CQilBstr(type), &eventObject, &notCancelled);
  };
  auto focus = [&]() { return element2 ? element2->focus() : CallByName(element, L"onfocus"); };

  LPCOLESTR text = name.Text();
  if (lstrcmpiW(text, L"click") == 0) {
    TraceMark(L"CIE4Obj::InvokeMethod CallEvent click");
    if (HostServices::GetLongSetting(CQilBstr(L"ReplayOnlyClick")) == 0) {
      focus();
      if (element3) {
        fire(L"onmousedown");
        fire(L"onmouseup");
      } else {
        CallByName(element, L"onmousedown");
        CallByName(element, L"onmouseup");
      }
    }
    if (element3)
      element->click();
    else if (FAILED(CallByName(element, text)))
      return E_INVALIDARG;
    return S_OK;
  }
  if (lstrcmpiW(text, L"onfocus") == 0 || lstrcmpiW(text, L"focus") == 0) {
    TraceMark(L"CIE4Obj::InvokeMethod CallEvent focus");
    focus();
    return S_OK;
  }
  if (lstrcmpiW(text, L"onblur") == 0 || lstrcmpiW(text, L"blur") == 0) {
    element2 ? element2->blur() : CallByName(element, L"onblur");
    return S_OK;
  }
  if (lstrcmpiW(text, L"onsubmit") == 0 || lstrcmpiW(text, L"submit") == 0)
    return SubmitForm(element);
  if (element3) {
    fire(text);
    return S_OK;
  }
  for (CQilComPtr<IHTMLElement> current(element); current; current = ParentElement(current))
    CallByName(current, text);
  return S_OK;
}

// ---- visibility ----

HRESULT CIE4Obj::MakeVisible(IWebInfo *request) {
  POINT point = {0, 0};
  bool present = false;
  HRESULT hr = ReadPoint(request, 65, point, present);
  if (FAILED(hr))
    return hr;
  HRESULT outcome = S_OK;
  bool handled = false;
  CQilComPtr<IWebObj2> self = OuterWebObj();
  CQilComPtr<IUnknown> registry = CWebObjUtil::FindCallbackRegistry(self);
  if (registry) {
    CQilSafeArray input;
    CQilSafeArray output;
    input.AppendInterface(self);
    input.AppendLong(point.x);
    input.AppendLong(point.y);
    if (SUCCEEDED(InvokeHostCallback(registry, L"KitMakeObjVisible", input, output, 0))) {
      LONG x = point.x;
      LONG y = point.y;
      output.ReadLong(x);
      output.ReadLong(y);
      output.ReadBool(handled);
      if (handled)
        point = {x, y};
    }
  }
  if (!handled)
    outcome = MakeElementVisible(point, request);
  if (!m_spParent)
    return S_OK;
  CQilComPtr<IWIFrameAO> frame;
  LONG window = 0;
  if (SUCCEEDED(frame.QueryFrom(m_spParent)) && frame &&
      SUCCEEDED(frame->GetWindowNumber(&window))) {
    CQilComPtr<IWebAttrVal> number = HostServices::NewWebAttrValLong(window);
    if (number)
      request->ReplaceAttrValueByName(1, number, 1);
  }
  if (FAILED(outcome)) {
    request->SetReturnValue(outcome);
    return S_OK;
  }
  RECT rect = {};
  ElementRect(rect);
  point.x += rect.left;
  point.y += rect.top;
  POINT offset = {};
  hr = GetParentFrameScreenOffset(offset);
  if (FAILED(hr))
    return hr;
  point.x += offset.x;
  point.y += offset.y;
  rect = {rect.left + offset.x, rect.top + offset.y, rect.right + offset.x, rect.bottom + offset.y};
  CQilComPtr<IWebAttrVal> pointValue = HostServices::NewWebAttrVal();
  CQilComPtr<IWebAttrVal> rectValue = HostServices::NewWebAttrVal();
  if (pointValue && SUCCEEDED(pointValue->AddPoint(point)))
    request->ReplaceAttrValueByName(65, pointValue, 1);
  if (rectValue && SUCCEEDED(rectValue->AddRect(rect)))
    request->ReplaceAttrValueByName(70, rectValue, 1);
  request->SetReturnValue(S_OK);
  return S_OK;
}

HRESULT CIE4Obj::MakeElementVisible(POINT pt, IWebInfo *request) {
  if (!m_spHTMLElement || !m_spParent)
    return E_FAIL;
  CQilComPtr<IWebInfo> frameRequest = HostServices::NewWebInfo();
  if (!frameRequest)
    return E_FAIL;
  IWebInfo *frameInfo = frameRequest;
  m_spParent->InvokeMethod(MAKE_VISIBLE, &frameInfo);
  RECT frameRect = {};
  HRESULT hr = frameRequest->GetRectValueByName(70, &frameRect);
  if (FAILED(hr))
    return hr;
  LONG width = frameRect.right - frameRect.left;
  LONG height = frameRect.bottom - frameRect.top;
  CQilComPtr<IWebAttrVal> own;
  if (FAILED(GetAttr(70, nullptr, &own)) || !own)
    return E_FAIL;
  RECT r = {};
  hr = own->GetRectValue(0, &r);
  if (FAILED(hr))
    return hr;
  LONG s = GetSystemMetrics(SM_CXVSCROLL);
  bool scroll = r.left < 0 || r.top < 0 || r.left > width - s || r.top > height - s;
  if (!scroll) {
    RECT e = {};
    ElementRect(e);
    double threshold = 0.9 * Area(e);
    CQilComPtr<IHTMLElement> ancestor;
    m_spHTMLElement->get_offsetParent(&ancestor);
    while (ancestor && !scroll) {
      RECT a = {};
      RECT common = {};
      GetElementRect(ancestor, &a);
      IntersectRect(&common, &a, &e);
      if (Area(common) < threshold)
        scroll = true;
      CQilComPtr<IHTMLElement> next;
      ancestor->get_offsetParent(&next);
      ancestor = next;
    }
    LONG x = e.left;
    LONG y = e.top;
    CQilComPtr<IWebObj2> frame = m_spParent;
    while (frame && !scroll) {
      CQilComPtr<IUnknown> wrapped;
      CQilComPtr<IHTMLElement2> frameElement;
      CQilComPtr<IHTMLRect> bounds;
      if (SUCCEEDED(frame->GetWrappedElement(&wrapped)) &&
          SUCCEEDED(frameElement.QueryFrom(wrapped)) && frameElement &&
          SUCCEEDED(frameElement->getBoundingClientRect(&bounds)) && bounds) {
        LONG left = 0, top = 0, right = 0, bottom = 0;
        bounds->get_left(&left);
        bounds->get_top(&top);
        bounds->get_right(&right);
        bounds->get_bottom(&bottom);
        x += left;
        y += top;
        if (x < 0 || x > right || y < 0 || y > bottom)
          scroll = true;
      }
      CQilComPtr<IWebObj2> next;
      frame->GetParentFrame(&next);
      frame = next;
    }
  }
  if (scroll) {
    CQilVariant alignTop(true);
    m_spHTMLElement->scrollIntoView(alignTop);
  }
  if (pt.x == 0 && pt.y == 0)
    return frameRequest->GetReturnValue();
  own.Release();
  if (FAILED(GetAttr(70, nullptr, &own)) || !own || FAILED(own->GetRectValue(0, &r)))
    return E_FAIL;
  LONG centre = 0;
  bool centred = ReadLong(request, 209, centre) && centre != 0;
  POINT target = {};
  if (centred) {
    target = {pt.x + r.left - (width - s) / 2, pt.y + r.top - (height - s) / 2};
  } else {
    LONG x = pt.x + r.left;
    LONG y = pt.y + r.top;
    target.x = x > width - s ? x + 2 * s - width : 0;
    target.y = y > height - s ? y + 2 * s - height : 0;
  }
  frameRequest->RemoveAll();
  frameRequest->InsertAttrPoint(65, target, 1);
  frameInfo = frameRequest;
  m_spParent->InvokeMethod(SCROLL_POINT_INTO_VIEW, &frameInfo);
  if (centred)
    request->InsertAttrPoint(210, POINT{width, height}, 1);
  return frameRequest->GetReturnValue();
}

// ---- highlight ----

HRESULT CIE4Obj::Highlight(IWebInfo *request) {
  IHTMLElement *element = m_spHTMLElement;
  CQilComPtr<IHTMLDocument2> document = DocumentOf(element);
  if (!document)
    return E_FAIL;
  RemoveHighlight(document);
  CQilBstr label;
  ReadString(request, 3, label);
  LONG left = 0;
  LONG top = 0;
  element->get_offsetLeft(&left);
  element->get_offsetTop(&top);
  if (TagIs(element, L"AREA")) {
    LONG x = 0;
    LONG y = 0;
    element->get_offsetLeft(&x);
    element->get_offsetTop(&y);
    left += x;
    top += y;
  }
  CQilComPtr<IHTMLElement> last;
  CQilComPtr<IHTMLElement> ancestor;
  element->get_offsetParent(&ancestor);
  while (ancestor) {
    LONG x = 0;
    LONG y = 0;
    ancestor->get_offsetLeft(&x);
    ancestor->get_offsetTop(&y);
    left += x;
    top += y;
    last = ancestor;
    CQilComPtr<IHTMLElement> next;
    ancestor->get_offsetParent(&next);
    ancestor = next;
  }
  LONG width = 0;
  LONG height = 0;
  element->get_offsetWidth(&width);
  element->get_offsetHeight(&height);
  if (!TagIs(last, L"body"))
    return S_FALSE;
  CQilComPtr<IHTMLElement> body;
  if (FAILED(document->get_body(&body)) || !body)
    return E_FAIL;
  InsertBar(body, top - 4, left - 4, width + 8, 4);
  InsertBar(body, top - 4, left + width, 4, height + 8);
  InsertBar(body, top + height, left - 4, width + 8, 4);
  InsertBar(body, top - 4, left - 4, 4, height + 8);
  if (!label.IsEmpty())
    InsertLabel(body, top + height + 7, left - 4, std::max<LONG>(width + 8, 50), label);
  return S_OK;
}

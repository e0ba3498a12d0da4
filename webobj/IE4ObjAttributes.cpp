// CIE4Obj: the element attributes and their comparison.
#include <cwchar>

#include "support/HostCallbacks.h"
#include "support/QilBstr.h"
#include "support/QilSafeArray.h"
#include "support/QilVariant.h"
#include "support/TestToolHandOver.h"
#include "webobj/HostServices.h"
#include "webobj/IE4Obj.h"
#include "webobj/WebIds.h"

namespace {

constexpr LONG kVisibilityAttr = 149;
constexpr DWORD kHandOverValue = 12;

using StringGetter = HRESULT (STDMETHODCALLTYPE IHTMLElement::*)(BSTR *);

HRESULT AddRect(IWebAttrVal *value, const RECT &rect) { return value->AddRect(rect); }

// The visibility of one element: its computed style, or its inline style
// without IHTMLElement2.
HRESULT ReadVisibility(IHTMLElement *element, CQilBstr &visibility) {
  CQilComPtr<IHTMLElement2> element2;
  if (SUCCEEDED(element2.QueryFrom(element)) && element2) {
    CQilComPtr<IHTMLCurrentStyle> style;
    HRESULT hr = element2->get_currentStyle(&style);
    if (FAILED(hr))
      return hr;
    if (!style)
      return E_FAIL;
    return style->get_visibility(&visibility);
  }
  CQilComPtr<IHTMLStyle> style;
  HRESULT hr = element->get_style(&style);
  if (FAILED(hr))
    return hr;
  if (!style)
    return E_FAIL;
  return style->get_visibility(&visibility);
}

// String 0 of a value; empty when there is none.
CQilBstr FirstString(IWebAttrVal *value) {
  CQilBstr text;
  if (value != nullptr)
    value->GetStringValue(0, &text);
  return text;
}

} // namespace

STDMETHODIMP CIE4Obj::GetAttr(LONG lAttrName, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  if (lAttrName == -1)
    return E_UNEXPECTED;
  if (lAttrName == 185) {
    LONG kitId = 0;
    GetKitID(&kitId);
    CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValLong(kitId);
    if (!value)
      return E_FAIL;
    *ppAttrVal = value.Detach();
    return S_OK;
  }
  CQilComPtr<IWebObj2> self = OuterWebObj();
  CQilComPtr<IWebAttrVal> answer;
  HRESULT hr = E_FAIL;
  bool fromCallback = false;
  CQilComPtr<IUnknown> registry = CWebObjUtil::FindCallbackRegistry(self);
  if (registry && HostHasCallback(registry, L"KitGetObjAttr")) {
    try {
      CQilComPtr<IWebAttrVal> data(pAttrData);
      if (!data)
        data = HostServices::NewWebAttrVal();
      CQilSafeArray input;
      CQilSafeArray output;
      input.AppendInterface(self);
      input.AppendLong(lAttrName);
      input.AppendInterface(data);
      if (SUCCEEDED(InvokeHostCallback(registry, L"KitGetObjAttr", input, output, 0))) {
        bool handled = false;
        CQilComPtr<IUnknown> returned;
        output.ReadBool(handled);
        output.ReadInterface(&returned);
        if (handled && returned && SUCCEEDED(answer.QueryFrom(returned)) && answer)
          fromCallback = true;
      }
    } catch (...) {
      answer.Release();
      fromCallback = false;
    }
  }
  if (!fromCallback) {
    answer.Release();
    hr = GetAttrEx(lAttrName, pAttrData, &answer);
  }
  UINT size = 0;
  if (answer && SUCCEEDED(answer->GetSize(&size)) && size > 0) {
    answer->CleanSpecialChars();
    *ppAttrVal = answer.Detach();
    return S_OK;
  }
  return hr;
}

HRESULT CIE4Obj::GetOwnString(LONG id, CQilComPtr<IWebAttrVal> &value, BSTR *text) {
  HRESULT hr = GetAttr(id, nullptr, &value);
  if (text != nullptr)
    *text = value ? FirstString(value).Detach() : nullptr;
  return hr;
}

bool CIE4Obj::FrameOffset(LONG &dx, LONG &dy) {
  dx = 0;
  dy = 0;
  if (!m_spParent)
    return false;
  CQilComPtr<IWebAttrVal> frameRect;
  RECT rect = {};
  if (SUCCEEDED(m_spParent->GetAttr(70, nullptr, &frameRect)) && frameRect &&
      SUCCEEDED(frameRect->GetRectValue(0, &rect))) {
    dx = rect.left;
    dy = rect.top;
  }
  return true;
}

HRESULT CIE4Obj::GetVisibility(bool &visible) {
  CQilComPtr<IHTMLElement> element = m_spHTMLElement;
  while (element) {
    CQilBstr visibility;
    HRESULT hr = ReadVisibility(element, visibility);
    if (FAILED(hr))
      return hr;
    if (!visibility.IsEmpty() && std::wcscmp(visibility.Text(), L"inherit") != 0) {
      visible = std::wcscmp(visibility.Text(), L"visible") == 0;
      return S_OK;
    }
    CQilComPtr<IHTMLElement> parent;
    hr = element->get_parentElement(&parent);
    if (FAILED(hr))
      return hr;
    element = parent;
  }
  visible = true;
  return S_OK;
}

HRESULT CIE4Obj::ListSubtree(IHTMLElement *element, LONG depth, IWebAttrVal *list) {
  CQilBstr tag;
  if (FAILED(element->get_tagName(&tag)) || tag.IsEmpty())
    return S_OK;
  WCHAR prefix[16] = {};
  swprintf(prefix, 16, L"%i ", static_cast<int>(depth));
  CQilBstr line(prefix);
  line.Append(tag);
  HRESULT hr = list->AddString(line);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IDispatch> dispatch;
  CQilComPtr<IHTMLElementCollection> children;
  if (FAILED(element->get_children(&dispatch)) || FAILED(children.QueryFrom(dispatch)) || !children)
    return S_OK;
  LONG length = 0;
  children->get_length(&length);
  for (LONG i = 0; i < length; ++i) {
    CQilVariant index(i);
    CQilVariant none;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> child;
    if (FAILED(children->item(index, none, &item)) || FAILED(child.QueryFrom(item)) || !child)
      continue;
    hr = ListSubtree(child, depth + 1, list);
    if (FAILED(hr))
      return hr;
  }
  return S_OK;
}

STDMETHODIMP CIE4Obj::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  if (!m_spHTMLElement)
    return E_FAIL;
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrVal();
  if (!value)
    return E_FAIL;
  IHTMLElement *element = m_spHTMLElement;
  RECT rect = {};
  bool hasRect = false;
  auto readRect = [&]() { hasRect = ElementRect(rect); };
  HRESULT hr = S_OK;

  auto addString = [&](StringGetter getter) {
    CQilBstr text;
    (element->*getter)(&text);
    return value->AddString(text);
  };
  auto delegate = [&](LONG id) -> HRESULT {
    CQilComPtr<IWebAttrVal> other;
    HRESULT result = GetAttr(id, nullptr, &other);
    value = other;
    return result;
  };
  auto preferNonEmpty = [&](LONG first, LONG second) -> HRESULT {
    CQilComPtr<IWebAttrVal> other;
    HRESULT result = GetAttr(first, nullptr, &other);
    if (!FirstString(other).IsEmpty()) {
      value = other;
      return result;
    }
    return delegate(second);
  };

  switch (Name) {
  case 0:
    value.Release();
    if (m_pUtil != nullptr)
      m_pUtil->GetClassName(&value);
    break;
  case 7:
  case 8: {
    bool width = Name == 7;
    CQilVariant attribute;
    element->getAttribute(CQilBstr(width ? L"width" : L"height"), 0, &attribute);
    LONG size = 0;
    if (attribute.vt == VT_I4 && attribute.lVal != 0) {
      size = attribute.lVal;
    } else {
      if (attribute.vt == VT_EMPTY) {
        CQilComPtr<IHTMLStyle> style;
        if (SUCCEEDED(element->get_style(&style)) && style)
          width ? style->get_pixelWidth(&size) : style->get_pixelHeight(&size);
      }
      if (size == 0) {
        readRect();
        if (hasRect)
          size = width ? rect.right - rect.left : rect.bottom - rect.top;
      }
    }
    hr = value->AddLong(size);
    break;
  }
  case 9: {
    CQilComPtr<IWebObj2> parent;
    CQilComPtr<IWebRunTimeID> id;
    if (SUCCEEDED(GetParent(&parent)) && parent && SUCCEEDED(parent->GetId(&id)) && id)
      hr = value->AddWebRTID(id);
    break;
  }
  case 15: {
    CQilComPtr<IWebObj2> child;
    CQilComPtr<IWebRunTimeID> id;
    if (SUCCEEDED(GetChildByAttr(pAttrData, &child)) && child && SUCCEEDED(child->GetId(&id)) && id)
      hr = value->AddWebRTID(id);
    break;
  }
  case 18: {
    CQilComPtr<IDispatch> dispatch;
    if (SUCCEEDED(dispatch.QueryFrom(element)) && dispatch) {
      SendInterfaceToTestTool(WebActiveXMarshalInterfaceFormat(), dispatch, kHandOverValue,
                              IID_IDispatch, nullptr);
      value.Release();
    }
    break;
  }
  case 20:
    value.Release();
    if (m_spParent)
      hr = m_spParent->GetAttr(20, nullptr, &value);
    break;
  case 41: {
    LONG level = -1;
    GetTreeLevel(&level);
    hr = value->AddLong(level);
    break;
  }
  case 58: {
    CQilBstr tag;
    element->get_tagName(&tag);
    hr = value->AddString(CQilBstr(tag.Text()));
    break;
  }
  case 65:
    readRect();
    hr = value->AddPoint(POINT{rect.left, rect.top});
    break;
  case 70:
    readRect();
    hr = AddRect(value, rect);
    break;
  case 71:
    value.Release();
    hr = GetTreeBranch(&value);
    break;
  case 95:
    hr = delegate(2);
    break;
  case 100:
  case 165:
    hr = value->AddLong(1);
    break;
  case 102:
  case 154:
  case 155: {
    readRect();
    LONG dx = 0;
    LONG dy = 0;
    FrameOffset(dx, dy);
    RECT screen = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    if (Name == 102)
      hr = AddRect(value, screen);
    else
      hr = value->AddLong(Name == 154 ? screen.left : screen.top);
    break;
  }
  case 103:
  case 139:
    hr = addString(&IHTMLElement::get_className);
    break;
  case 104:
  case 105:
    hr = addString(&IHTMLElement::get_innerText);
    break;
  case 106:
  case 107:
    hr = addString(&IHTMLElement::get_outerText);
    break;
  case 108:
  case 109:
    hr = addString(&IHTMLElement::get_innerHTML);
    break;
  case 110:
  case 111:
    hr = addString(&IHTMLElement::get_outerHTML);
    break;
  case 112: {
    LONG index = 0;
    if (SUCCEEDED(element->get_sourceIndex(&index)))
      hr = value->AddLong(index);
    break;
  }
  case 138: {
    CQilBstr id;
    if (SUCCEEDED(element->get_id(&id)))
      hr = value->AddString(id);
    break;
  }
  case 143:
  case 144:
    readRect();
    hr = value->AddLong(Name == 143 ? rect.left : rect.top);
    break;
  case 146:
    hr = preferNonEmpty(2, 105);
    break;
  case kVisibilityAttr: {
    bool visible = true;
    hr = GetVisibility(visible);
    if (FAILED(hr))
      return hr;
    hr = value->AddBool(visible ? 1 : 0);
    break;
  }
  case 156:
  case 157: {
    LONG active = 0;
    CQilComPtr<IUnknown> documentUnknown;
    CQilComPtr<IWIFrameAO> frame;
    if (SUCCEEDED(frame.QueryFrom(m_spParent)) && frame)
      frame->GetDocument(&documentUnknown);
    if (!documentUnknown) {
      CQilComPtr<IDispatch> own;
      element->get_document(&own);
      documentUnknown = own.Get();
    }
    CQilComPtr<IHTMLDocument2> document;
    CQilComPtr<IHTMLElement> activeElement;
    if (SUCCEEDED(document.QueryFrom(documentUnknown)) && document &&
        SUCCEEDED(document->get_activeElement(&activeElement)) && activeElement &&
        activeElement.IsSameObject(element))
      active = 1;
    hr = value->AddLong(active);
    break;
  }
  case 160:
    hr = preferNonEmpty(105, 103);
    break;
  case 164: {
    if (pAttrData == nullptr)
      return E_INVALIDARG;
    BSTR name = nullptr;
    hr = pAttrData->GetStringValue(0, &name);
    if (FAILED(hr)) {
      SysFreeString(name);
      return hr;
    }
    CQilVariant attribute;
    element->AddRef();
    if (FAILED(GetElementAttribute(element, name, &attribute)))
      return E_FAIL;
    hr = value->AddVariant(attribute);
    break;
  }
  case 168:
    hr = ListSubtree(element, 0, value);
    break;
  case 217: {
    CQilComPtr<IWIElementQuery> query;
    if (FAILED(query.QueryFrom(m_spParent)) || !query)
      break;
    CQilBstr path;
    if (FAILED(query->GetAOPath(OuterWebObj(), &path)))
      return E_FAIL;
    hr = value->AddString(path);
    break;
  }
  default:
    return E_FAIL;
  }
  if (FAILED(hr))
    return hr;
  *ppAttrVal = value.Detach();
  return hr;
}

HRESULT CIE4Obj::GetElementAttribute(IHTMLElement *element, BSTR name, VARIANT *value) {
  CQilComPtr<IHTMLElement> owned;
  owned.Attach(element);
  CQilBstr attributeName;
  attributeName.Attach(name);
  if (value == nullptr)
    return E_POINTER;
  if (!owned)
    return E_FAIL;
  CQilComPtr<IHTMLElement4> element4;
  if (SUCCEEDED(element4.QueryFrom(owned)) && element4) {
    CQilComPtr<IHTMLDOMAttribute> node;
    CQilVariant nodeValue;
    if (SUCCEEDED(element4->getAttributeNode(attributeName, &node)) && node &&
        SUCCEEDED(node->get_nodeValue(&nodeValue)) && nodeValue.vt != VT_EMPTY &&
        nodeValue.vt != VT_NULL) {
      VariantClear(value);
      return VariantCopy(value, &nodeValue);
    }
  }
  CQilVariant attribute;
  HRESULT hr = owned->getAttribute(attributeName, 0, &attribute);
  VariantClear(value);
  if (FAILED(hr) || attribute.vt == VT_EMPTY || attribute.vt == VT_NULL) {
    value->vt = VT_BSTR;
    value->bstrVal = nullptr;
    return S_OK;
  }
  return VariantCopy(value, &attribute);
}

STDMETHODIMP CIE4Obj::GetAttrs(IWebInfo **ppWebInfo) {
  if (ppWebInfo == nullptr)
    return E_POINTER;
  IWebInfo *info = *ppWebInfo;
  if (info == nullptr)
    return E_UNEXPECTED;
  for (UINT i = 0;; ++i) {
    LONG name = 0;
    if (FAILED(info->GetAttrNameByIndex(i, &name)))
      break;
    CQilComPtr<IWebAttrVal> current;
    HRESULT hr = info->GetAttrValueByIndex(i, &current);
    if (FAILED(hr))
      return hr;
    CQilComPtr<IWebAttrVal> answer;
    if (FAILED(GetAttr(name, current, &answer)))
      answer.Release();
    info->ReplaceAttrValueByIndex(i, answer);
  }
  return S_OK;
}

STDMETHODIMP CIE4Obj::CompareAttr(LONG Name, IWebAttrVal *pAttrVal,
                                  VARIANT_BOOL bIgnorePrecedingSpaces, VARIANT_BOOL bIgnoreCase) {
  CQilComPtr<IWebAttrVal> empty = HostServices::NewWebAttrVal();
  return CompareAttrData(Name, pAttrVal, empty, bIgnorePrecedingSpaces, bIgnoreCase);
}

STDMETHODIMP CIE4Obj::CompareAttrData(LONG Name, IWebAttrVal *pAttrVal, IWebAttrVal *pAttrData,
                                      VARIANT_BOOL bIgnorePrecedingSpaces,
                                      VARIANT_BOOL bIgnoreCase) {
  if (Name == kVisibilityAttr) {
    CQilComPtr<IWebVariant> entry;
    WEB_AV_TYPE type = WEB_AV_EMPTY;
    if (pAttrVal == nullptr || FAILED(pAttrVal->GetValue(0, &entry)) || !entry ||
        FAILED(entry->GetType(&type)))
      return E_FAIL;
    LONG expected = 0;
    if (type == WEB_AV_LONG)
      entry->get_long(&expected);
    else if (type == WEB_AV_BOOL)
      entry->get_bool(&expected);
    else
      return E_FAIL;
    CQilComPtr<IWebAttrVal> answer;
    HRESULT hr = GetAttrEx(kVisibilityAttr, pAttrData, &answer);
    if (FAILED(hr))
      return hr;
    WEB_AV_TYPE answerType = WEB_AV_EMPTY;
    LONG visible = 0;
    if (!answer || FAILED(answer->GetType(&answerType)) || answerType != WEB_AV_BOOL ||
        FAILED(answer->GetBoolValue(0, &visible)))
      return E_FAIL;
    return (visible != 0) == (expected != 0) ? S_OK : S_FALSE;
  }
  if (Name == -1)
    return E_UNEXPECTED;
  HRESULT hr = CompareSpecialAttr(Name, pAttrVal, pAttrData);
  if (hr == S_OK || hr == S_FALSE)
    return hr;
  CQilComPtr<IWebAttrVal> answer;
  if (FAILED(GetAttr(Name, pAttrData, &answer)) || !answer)
    return S_FALSE;
  return answer->Compare(pAttrVal, bIgnorePrecedingSpaces ? 1 : 0, bIgnoreCase ? 1 : 0);
}

HRESULT CIE4Obj::CompareSpecialAttr(LONG id, IWebAttrVal *expected, IWebAttrVal *) {
  switch (id) {
  case 0: {
    CQilBstr name;
    if (expected == nullptr || FAILED(expected->GetStringValue(0, &name)))
      return S_FALSE;
    return CompareClass(HostServices::BuiltInWebClassId(name.Text())) == S_OK ? S_OK : S_FALSE;
  }
  case 132: {
    CQilComPtr<IWebInfo> record = HostServices::NewWebInfo();
    if (!record)
      return S_FALSE;
    record->InsertAttrWebAttr(3, expected, 1);
    IWebInfo *request = record;
    if (FAILED(OuterWebObj()->InvokeMethod(CONTAINS_TEXT, &request)))
      return S_FALSE;
    return record->GetReturnValue() == kNothingToActOn ? S_FALSE : S_OK;
  }
  case 214:
  case 215:
  case 217:
    return S_OK;
  default:
    return E_NOTIMPL;
  }
}

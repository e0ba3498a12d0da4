#include "controls/WfToolBar.h"

#include <new>
#include <string_view>

#include "controls/ViewLinkScript.h"
#include "recognition/WfKitUtil.h"
#include "webobj/WebIds.h"

using namespace ViewLinkScript;

namespace {

constexpr LONG kAttrEventName = 64;
constexpr LONG kAttrIndex = 16389;
constexpr LONG kAttrKind = 16390;
constexpr LONG kMethodSelectListOption = 1024;
constexpr LONG kMethodClickButton = 1025;
constexpr LONG kMethodSetTextBoxValue = 1026;
constexpr LONG kMethodGetItemText = 1029;

constexpr WCHAR kButton[] = L"button";
constexpr WCHAR kCheckButton[] = L"checkbutton";
constexpr WCHAR kCheckGroup[] = L"checkgroup";
constexpr WCHAR kSeparator[] = L"separator";
constexpr WCHAR kDropDownList[] = L"dropdownlist";
constexpr WCHAR kTextBox[] = L"textbox";

bool IsKind(BSTR type, LPCOLESTR kind) {
  return std::wstring_view(type != nullptr ? type : L"", SysStringLen(type)) == kind;
}
bool IsButtonKind(BSTR type) { return IsKind(type, kButton) || IsKind(type, kCheckButton); }

// getType(): an empty type when the answer is no string.
HRESULT ItemType(IDispatch *item, CQilBstr &type) {
  type.Empty();
  CQilVariant value;
  HRESULT hr = Call0(item, L"getType", value);
  if (SUCCEEDED(hr) && value.vt == VT_BSTR) {
    type.Attach(value.bstrVal);
    value.vt = VT_EMPTY;
  }
  return FAILED(hr) ? hr : S_OK;
}

// A check group's getCount(), else the toolbar's numItems.
HRESULT CountOf(IDispatch *container, bool group, LONG &count) {
  count = 0;
  CQilVariant value;
  HRESULT hr =
      group ? Call0(container, L"getCount", value) : GetProperty(container, L"numItems", value);
  if (FAILED(hr))
    return hr;
  if (value.vt != VT_I4)
    return E_FAIL;
  count = value.lVal;
  return S_OK;
}

HRESULT ItemAt(IDispatch *container, LONG index, CQilComPtr<IDispatch> &item) {
  CQilVariant value;
  HRESULT hr = Call1(container, L"getItem", CQilVariant(index), value);
  if (FAILED(hr))
    return hr;
  item = DispatchOf(value);
  return item ? S_OK : kItemNotFound;
}

// The item's text; a text that is no string counts as empty.
CQilBstr ItemText(IDispatch *item) {
  CQilBstr text;
  GetAttributeText(item, L"innerText", text);
  return text;
}

CQilBstr UniqueId(IDispatch *item) {
  CQilBstr id;
  GetAttributeText(item, L"uniqueID", id);
  return id;
}

// Calls visit(item, type) for each item of the container in order; visit
// answers S_OK to go on, S_FALSE to stop (the walk then answers S_FALSE) or
// a failure, which ends the walk.
template <class Visit> HRESULT ForEachItem(IDispatch *container, bool group, Visit visit) {
  LONG count = 0;
  HRESULT hr = CountOf(container, group, count);
  if (FAILED(hr))
    return hr;
  for (LONG index = 0; index < count; ++index) {
    CQilComPtr<IDispatch> item;
    CQilBstr type;
    hr = ItemAt(container, index, item);
    if (SUCCEEDED(hr))
      hr = ItemType(item, type);
    if (SUCCEEDED(hr))
      hr = visit(item.Get(), type);
    if (hr != S_OK)
      return hr;
  }
  return S_OK;
}

// Replay's search for a button: by text, or by "#n" in replay numbering.
HRESULT FindButton(IDispatch *container, bool group, BSTR name, CQilComPtr<IDispatch> &hit) {
  LONG wanted = -1;
  if (!ParseIndexName(name, wanted))
    wanted = -1;
  LONG running = 0;
  HRESULT hr = ForEachItem(container, group, [&](IDispatch *item, BSTR type) -> HRESULT {
    if (IsKind(type, kCheckGroup)) {
      CQilBstr inner = wanted < 0 ? Copy(name) : IndexName(wanted - running);
      if (FindButton(item, true, inner, hit) == S_OK)
        return S_FALSE;
      LONG count = 0;
      if (SUCCEEDED(CountOf(item, true, count)))
        running += count;
      return S_OK;
    }
    if (!IsButtonKind(type))
      return S_OK;
    bool found = wanted < 0 ? SameText(ItemText(item), name) : running == wanted;
    ++running;
    if (!found)
      return S_OK;
    hit = item;
    return S_FALSE;
  });
  if (FAILED(hr))
    return hr;
  return hr == S_FALSE ? S_OK : kItemNotFound;
}

// Buttons and check buttons in recording order, check groups descended.
HRESULT CollectButtons(IDispatch *container, bool group, std::vector<CWfToolBar::Button> &buttons) {
  return ForEachItem(container, group, [&](IDispatch *item, BSTR type) -> HRESULT {
    if (IsKind(type, kCheckGroup))
      return CollectButtons(item, true, buttons);
    if (!IsButtonKind(type))
      return S_OK;
    try {
      buttons.push_back({ItemText(item), UniqueId(item)});
    } catch (const std::bad_alloc &) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  });
}

// The option of an options collection named by "#n" or by its trimmed text;
// every failure is "not found".
HRESULT OptionIndex(IDispatch *options, BSTR name, LONG &index) {
  CQilVariant length;
  if (options == nullptr || FAILED(GetProperty(options, L"length", length)) || length.vt != VT_I4)
    return kItemNotFound;
  if (ParseIndexName(name, index) && index >= 0 && index < length.lVal)
    return S_OK;
  CQilBstr wanted = Trimmed(name);
  for (index = 0; index < length.lVal; ++index) {
    CQilVariant option;
    CQilVariant text;
    if (FAILED(Call1(options, L"item", CQilVariant(index), option)) || !DispatchOf(option) ||
        FAILED(GetProperty(DispatchOf(option), L"text", text)) || text.vt != VT_BSTR)
      return kItemNotFound;
    if (SameText(Trimmed(text.bstrVal), wanted))
      return S_OK;
  }
  return kItemNotFound;
}

// The options of a drop-down list item (getOptions()).
CQilComPtr<IDispatch> ItemOptions(IDispatch *list) {
  CQilVariant value;
  if (FAILED(Call0(list, L"getOptions", value)))
    return {};
  return DispatchOf(value);
}

CQilBstr ElementString(IDispatch *element, LPCOLESTR name) {
  CQilVariant value;
  if (FAILED(GetProperty(element, name, value)) || value.vt != VT_BSTR)
    return {};
  CQilBstr text;
  text.Attach(value.bstrVal);
  value.vt = VT_EMPTY;
  return text;
}

CQilComPtr<IHTMLElement> ChildAt(IHTMLElement *element, LONG index) {
  CQilComPtr<IDispatch> children;
  CQilComPtr<IHTMLElementCollection> collection;
  CQilComPtr<IDispatch> item;
  CQilComPtr<IHTMLElement> child;
  if (element != nullptr && SUCCEEDED(element->get_children(&children)) &&
      SUCCEEDED(collection.QueryFrom(children)) && collection &&
      SUCCEEDED(collection->item(CQilVariant(index), CQilVariant(LONG{0}), &item)))
    child.QueryFrom(item);
  return child;
}

// The rendered element that carries the item's kind (_type), from the event
// element up its offset parents.
CQilComPtr<IHTMLElement> RenderedItem(IHTMLElement *element, CQilBstr &kind) {
  for (CQilComPtr<IHTMLElement> at = element; at;) {
    CQilVariant type;
    if (SUCCEEDED(at->getAttribute(CQilBstr(L"_type"), 0, &type)) && type.vt == VT_BSTR &&
        SysStringLen(type.bstrVal) != 0) {
      kind = Copy(type.bstrVal);
      return at;
    }
    CQilComPtr<IHTMLElement> next;
    if (FAILED(at->get_offsetParent(&next)))
      break;
    at = next;
  }
  return {};
}

CQilComPtr<IHTMLElement> EnclosingBody(IHTMLElement *element) {
  for (CQilComPtr<IHTMLElement> at = element; at; at = ParentElement(at)) {
    CQilBstr tag;
    if (SUCCEEDED(at->get_tagName(&tag)) && lstrcmpiW(tag.Text(), L"TBODY") == 0)
      return at;
  }
  return {};
}

// The position of the item's cell among the rendered cells of its kind: the
// cells of the single row, or the first cell of each row when vertical.
HRESULT KindNumber(IHTMLElement *body, bool vertical, BSTR uniqueId, BSTR kind, LONG &number,
                   CQilBstr &cellKind) {
  CQilComPtr<IHTMLElement> row = vertical ? CQilComPtr<IHTMLElement>(body) : ChildAt(body, 0);
  LONG counter = -1;
  for (LONG index = 0;; ++index) {
    CQilComPtr<IHTMLElement> line = ChildAt(row, index);
    if (!line)
      return E_FAIL;
    CQilComPtr<IHTMLElement> cell = vertical ? ChildAt(line, 0) : line;
    CQilComPtr<IDispatch> dispatch;
    if (!cell || FAILED(dispatch.QueryFrom(cell)) || !dispatch)
      continue;
    CQilBstr type = ElementString(dispatch, L"_type");
    if (SameText(type, kind))
      ++counter;
    if (SameText(ElementString(dispatch, L"uniqueID"), uniqueId)) {
      number = counter;
      cellKind = type;
      return S_OK;
    }
  }
}

// The recorded name of a list's choice: its value when replay, which finds
// options by "#n" or by text, reaches the chosen option with it; else "#" and
// the option's index.
CQilBstr ListChoiceName(IDispatch *list, BSTR value) {
  CQilVariant selected;
  CQilVariant options;
  if (FAILED(GetProperty(list, L"selectedIndex", selected)) || selected.vt != VT_I4 ||
      FAILED(GetProperty(list, L"options", options)))
    return Copy(value);
  LONG found = -1;
  if (SUCCEEDED(OptionIndex(DispatchOf(options), value, found)) && found == selected.lVal)
    return Copy(value);
  return IndexName(selected.lVal);
}

// The style with every "1px" made "0px" (same length, so in a copy).
CQilBstr ReplacedPixels(BSTR style) {
  CQilBstr text = Copy(style);
  BSTR at = text;
  for (UINT i = 0; at != nullptr && i + 3 <= text.Length(); ++i)
    if (at[i] == L'1' && at[i + 1] == L'p' && at[i + 2] == L'x')
      at[i] = L'0';
  return text;
}

} // namespace

CWfToolBar::CWfToolBar(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO)
    : CAOEventConnection<CIE55ViewLinkElement>(element, parent, innerAO) {
  SetWebClass(kToolbarClass);
  NameWebFormsEventConfiguration();
  NameInnerEventConfiguration(m_spInnerAO);
}

STDMETHODIMP CWfToolBar::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return CIE55ViewLinkElement::GetAttrEx(Name, pAttrData, ppAttrVal);
  if (AnswerControlAttribute(this, L"WbfToolbar", Name, pAttrData, ppAttrVal))
    return S_OK;
  CQilBstr text;
  LONG count = 0;
  switch (Name) {
  case 121:
    if (SUCCEEDED(ListNames(-1, text))) {
      OutString(text, ppAttrVal);
      if (*ppAttrVal != nullptr)
        (*ppAttrVal)->SetUseSpecialChars(1);
    }
    return S_OK;
  case 122:
    if (SUCCEEDED(ItemCount(count)))
      OutLong(count, ppAttrVal);
    return S_OK;
  case 198:
    if (FAILED(FrameStyle(text)))
      return CIE55ViewLinkElement::GetAttrEx(Name, pAttrData, ppAttrVal);
    OutString(ReplacedPixels(text), ppAttrVal);
    return S_OK;
  default:
    return CIE55ViewLinkElement::GetAttrEx(Name, pAttrData, ppAttrVal);
  }
}

STDMETHODIMP CWfToolBar::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  HRESULT (CWfToolBar::*operation)(IWebInfo *) = nullptr;
  switch (static_cast<LONG>(MethodName)) {
  case kMethodSelectListOption:
    operation = &CWfToolBar::SelectListOption;
    break;
  case kMethodClickButton:
    operation = &CWfToolBar::ClickButton;
    break;
  case kMethodSetTextBoxValue:
    operation = &CWfToolBar::SetTextBoxValue;
    break;
  case kMethodGetItemText:
    operation = &CWfToolBar::GetItemText;
    break;
  default:
    return CIE55ViewLinkElement::InvokeMethod(MethodName, ppWebInfo);
  }
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_POINTER;
  (*ppWebInfo)->SetReturnValue((this->*operation)(*ppWebInfo));
  return S_FALSE;
}

HRESULT CWfToolBar::BuildRecordInfo(IUnknown *element, IWebInfo **record) {
  HRESULT hr = CIE55ViewLinkElement::BuildRecordInfo(element, record);
  if (hr != S_OK)
    return hr;
  CQilBstr event;
  if (!ReadRequestString(*record, kAttrEventName, event))
    return E_FAIL;
  CQilComPtr<IHTMLElement> html;
  html.QueryFrom(element);
  if (IsKind(event, L"onbuttonclick"))
    return RecordButtonClick(html, *record);
  if (IsKind(event, L"onchange") || IsKind(event, L"onblur") || IsKind(event, L"onfocus"))
    return RecordItemEvent(html, *record);
  return S_FALSE;
}

HRESULT CWfToolBar::Dispatch(CQilComPtr<IDispatch> &dispatch) {
  return ElementDispatch(m_spHTMLElement, dispatch);
}

HRESULT CWfToolBar::ItemCount(LONG &count) {
  count = 0;
  CQilComPtr<IDispatch> bar;
  HRESULT hr = Dispatch(bar);
  if (FAILED(hr))
    return hr;
  LONG total = 0;
  hr = ForEachItem(bar, false, [&](IDispatch *item, BSTR type) -> HRESULT {
    LONG inGroup = 0;
    if (IsKind(type, kCheckGroup) && SUCCEEDED(CountOf(item, true, inGroup)))
      total += inGroup;
    else if (!IsKind(type, kCheckGroup) && !IsKind(type, kSeparator))
      ++total;
    return S_OK;
  });
  if (FAILED(hr))
    return hr;
  count = total;
  return S_OK;
}

HRESULT CWfToolBar::ListNames(LONG wanted, CQilBstr &names) {
  names = L"";
  if (wanted < -1)
    return kIndexOutOfRange;
  CQilComPtr<IDispatch> bar;
  HRESULT hr = Dispatch(bar);
  if (FAILED(hr))
    return hr;
  bool first = true;
  auto name = [&](IDispatch *item, BSTR type, LONG number) -> HRESULT {
    CQilBstr text = IsButtonKind(type) ? ItemText(item) : CQilBstr();
    if (text.IsEmpty())
      text = IndexName(number);
    if (wanted >= 0) {
      if (number != wanted)
        return S_OK;
      names = text;
      return S_FALSE;
    }
    HRESULT appended = first ? names.Append(text, text.Length()) : AppendLine(names, text);
    first = false;
    return appended;
  };
  LONG running = 0;
  hr = ForEachItem(bar, false, [&](IDispatch *item, BSTR type) -> HRESULT {
    if (IsKind(type, kSeparator))
      return S_OK;
    if (!IsKind(type, kCheckGroup))
      return name(item, type, running++);
    LONG start = running;
    LONG count = 0;
    HRESULT inner = CountOf(item, true, count);
    if (FAILED(inner))
      return inner;
    running += count;
    LONG position = 0;
    return ForEachItem(item, true, [&](IDispatch *child, BSTR childType) {
      return name(child, childType, start + position++);
    });
  });
  if (FAILED(hr))
    return hr;
  if (wanted >= 0 && hr != S_FALSE)
    return kIndexOutOfRange;
  return S_OK;
}

HRESULT CWfToolBar::FrameStyle(CQilBstr &style) {
  CQilComPtr<IWIViewLinkFrameAO> frame;
  if (!m_spInnerAO || FAILED(frame.QueryFrom(m_spInnerAO)) || !frame)
    return E_NOINTERFACE;
  HRESULT hr = frame->GetFrameStyle(&style);
  if (FAILED(hr))
    return hr;
  return style.IsEmpty() ? E_FAIL : S_OK;
}

HRESULT CWfToolBar::ClickButton(IWebInfo *request) {
  CQilComPtr<IDispatch> bar;
  HRESULT hr = Dispatch(bar);
  if (FAILED(hr))
    return hr;
  CQilBstr name;
  if (!ReadRequestString(request, 6, name))
    return E_FAIL;
  CQilComPtr<IDispatch> button;
  hr = FindButton(bar, false, name, button);
  if (FAILED(hr))
    return hr;
  CQilVariant ignored;
  return Call0(button, L"click", ignored);
}

HRESULT CWfToolBar::KindItem(IWebInfo *request, LPCOLESTR kind, CQilComPtr<IDispatch> &item) {
  CQilComPtr<IDispatch> bar;
  HRESULT hr = Dispatch(bar);
  if (FAILED(hr))
    return hr;
  LONG number = -1;
  if (!ReadRequestLong(request, kAttrIndex, number) || number < 0)
    return E_FAIL;
  LONG seen = 0;
  hr = ForEachItem(bar, false, [&](IDispatch *candidate, BSTR type) -> HRESULT {
    if (!IsKind(type, kind) || seen++ != number)
      return S_OK;
    item = candidate;
    return S_FALSE;
  });
  if (FAILED(hr))
    return hr;
  if (hr != S_FALSE)
    return kIndexOutOfRange;
  CQilBstr type;
  hr = ItemType(item, type);
  if (FAILED(hr))
    return hr;
  return IsKind(type, kind) ? S_OK : E_FAIL;
}

HRESULT CWfToolBar::SelectListOption(IWebInfo *request) {
  if (!m_spHTMLElement)
    return E_FAIL;
  CQilBstr name;
  if (!ReadRequestString(request, 6, name))
    return E_FAIL;
  CQilComPtr<IDispatch> list;
  HRESULT hr = KindItem(request, kDropDownList, list);
  if (FAILED(hr))
    return hr;
  LONG index = -1;
  hr = OptionIndex(ItemOptions(list), name, index);
  if (FAILED(hr))
    return hr;
  CQilVariant ignored;
  hr = Call2(list, L"setAttribute", CQilVariant(L"selectedIndex"), CQilVariant(index), ignored);
  return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT CWfToolBar::SetTextBoxValue(IWebInfo *request) {
  if (!m_spHTMLElement)
    return E_FAIL;
  CQilBstr text;
  if (!ReadRequestString(request, 6, text))
    return E_FAIL;
  CQilComPtr<IDispatch> box;
  HRESULT hr = KindItem(request, kTextBox, box);
  if (FAILED(hr))
    return hr;
  CQilVariant value;
  value.vt = VT_BSTR;
  value.bstrVal = text.Detach();
  CQilVariant ignored;
  hr = Call2(box, L"setAttribute", CQilVariant(L"value"), value, ignored);
  return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT CWfToolBar::GetItemText(IWebInfo *request) {
  LONG number = -1;
  if (!ReadRequestLong(request, kAttrIndex, number) || number < 0)
    return E_FAIL;
  CQilBstr name;
  HRESULT hr = ListNames(number, name);
  if (FAILED(hr))
    return hr;
  return ReplaceString(request, 6, name);
}

HRESULT CWfToolBar::RecordButtonClick(IHTMLElement *element, IWebInfo *record) {
  CQilComPtr<IHTMLEventObj> event = CWfKitUtil::GetCurrentEvent(element);
  CQilComPtr<IDispatch> eventDispatch;
  if (!event || FAILED(eventDispatch.QueryFrom(event)) || !eventDispatch)
    return E_FAIL;
  CQilVariant source;
  HRESULT hr = GetProperty(eventDispatch, L"srcNode", source);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IDispatch> item = DispatchOf(source);
  if (!item)
    return E_FAIL;
  CQilComPtr<IDispatch> bar;
  hr = Dispatch(bar);
  std::vector<Button> buttons;
  if (SUCCEEDED(hr))
    hr = CollectButtons(bar, false, buttons);
  if (FAILED(hr))
    return hr;
  CQilBstr name = ItemText(item);
  CQilBstr uniqueId = UniqueId(item);
  LONG named = -1;
  // Empty, shared, or read by replay as a number: the button's own number.
  bool numbered = name.IsEmpty() || (ParseIndexName(name, named) && named >= 0);
  LONG number = -1;
  for (size_t index = 0; index < buttons.size(); ++index) {
    bool same = SameText(buttons[index].uniqueId, uniqueId);
    if (same && number < 0)
      number = static_cast<LONG>(index);
    if (!same && SameText(buttons[index].text, name))
      numbered = true;
  }
  if (numbered) {
    CQilBstr type;
    hr = ItemType(item, type);
    if (FAILED(hr))
      return hr;
    if (!IsButtonKind(type) || number < 0)
      return E_FAIL;
    name = IndexName(number);
  }
  return ReplaceString(record, 6, name);
}

HRESULT CWfToolBar::RecordItemEvent(IHTMLElement *element, IWebInfo *record) {
  CQilBstr kind;
  CQilComPtr<IHTMLElement> item = RenderedItem(element, kind);
  if (!item)
    return E_FAIL;
  CQilComPtr<IDispatch> bar;
  HRESULT hr = Dispatch(bar);
  if (FAILED(hr))
    return hr;
  bool vertical = IsKind(ElementString(bar, L"orientation"), L"vertical");
  CQilComPtr<IHTMLElement> body = EnclosingBody(element);
  if (!body)
    return E_FAIL;
  CQilComPtr<IDispatch> itemDispatch;
  itemDispatch.QueryFrom(item);
  LONG number = -1;
  CQilBstr cellKind;
  hr = KindNumber(body, vertical, ElementString(itemDispatch, L"uniqueID"), kind, number, cellKind);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IDispatch> source;
  source.QueryFrom(element);
  CQilVariant value;
  hr = GetProperty(source, L"value", value);
  if (FAILED(hr))
    return hr;
  if (value.vt != VT_BSTR)
    return E_FAIL;
  CQilBstr recorded =
      IsKind(kind, kDropDownList) ? ListChoiceName(source, value.bstrVal) : Copy(value.bstrVal);
  hr = ReplaceString(record, 6, recorded);
  if (SUCCEEDED(hr))
    hr = ReplaceLong(record, kAttrIndex, number);
  if (SUCCEEDED(hr))
    hr = ReplaceString(record, kAttrKind, cellKind);
  return FAILED(hr) ? hr : S_OK;
}

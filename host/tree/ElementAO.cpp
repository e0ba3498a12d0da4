#include "tree/ElementAO.h"
#include "tree/TreeObjects.h"

#include <cwctype>

#include "tallowick/Page.h"
#include "tallowick/Strings.h"

namespace host::tree {
namespace {

constexpr HRESULT kNothingToActOn = 0x80040202;

std::wstring Trimmed(std::wstring text) {
  for (wchar_t &c : text) {
    if (c == L'\r' || c == L'\n' || c == L'\t')
      c = L' ';
  }
  size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos)
    return {};
  size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

// The text of the selected options of a list, joined by ";".
std::wstring Selection(IHTMLElement *list) {
  std::wstring text;
  for (const auto &option : Children(list)) {
    std::vector<ComPtr<IHTMLElement>> options;
    if (tallowick::platform::EqualsNoCase(TagName(option.Get()), L"OPTGROUP"))
      options = Children(option.Get());
    else
      options.push_back(option);
    for (const auto &item : options) {
      if (!PropertyBool(item.Get(), L"selected"))
        continue;
      if (!text.empty())
        text += L";";
      text += Trimmed(InnerText(item.Get()));
    }
  }
  return text;
}

// The value of the checked radio button of the element's group.
std::wstring GroupValue(IHTMLElement *radio) {
  std::wstring name = AttributeText(radio, L"name");
  ComPtr<IHTMLDocument2> document = DocumentOf(radio);
  ComPtr<IHTMLElementCollection> all;
  if (!document || FAILED(document->get_all(all.Out())) || !all)
    return {};
  LONG length = 0;
  all->get_length(&length);
  for (LONG i = 0; i < length; ++i) {
    VARIANT index, none;
    VariantInit(&index);
    VariantInit(&none);
    index.vt = VT_I4;
    index.lVal = i;
    ComPtr<IDispatch> item;
    if (FAILED(all->item(index, none, item.Out())) || !item)
      continue;
    ComPtr<IHTMLElement> element = QueryAs<IHTMLElement>(item.Get());
    if (!element || !tallowick::platform::EqualsNoCase(TagName(element.Get()), L"INPUT") ||
        !tallowick::platform::EqualsNoCase(AttributeText(element.Get(), L"type"), L"radio") ||
        AttributeText(element.Get(), L"name") != name)
      continue;
    if (PropertyBool(element.Get(), L"checked"))
      return PropertyText(element.Get(), L"value");
  }
  return {};
}

} // namespace

CElementAO::CElementAO(ObjectTree *tree, Node *node, LONG webClass, IHTMLElement *element)
    : CHostAO(tree, node, webClass), element_(element) {}

LONG CElementAO::Class() {
  LONG webClass = 0;
  GetRecordableClass(&webClass);
  return webClass;
}

std::wstring CElementAO::Value() {
  IHTMLElement *element = element_.Get();
  switch (Class()) {
  case kWebEdit:
  case kWebFile:
    return PropertyText(element, L"value");
  case kWebList:
    return Selection(element);
  case kWebRadioGroup:
    return GroupValue(element);
  case kWebCheckBox:
    return PropertyBool(element, L"checked") ? L"ON" : L"OFF";
  case kWebButton:
    if (tallowick::platform::EqualsNoCase(TagName(element), L"INPUT"))
      return PropertyText(element, L"value");
    return Trimmed(InnerText(element));
  case kImage:
  case kWebArea:
    return AttributeText(element, L"alt");
  default:
    return Trimmed(InnerText(element));
  }
}

// The test name: what a user would call the object, then its name or id,
// then the class's default.
std::wstring CElementAO::Name() {
  IHTMLElement *element = element_.Get();
  std::wstring name;
  auto firstOf = [&](std::initializer_list<std::wstring> candidates) {
    for (const auto &candidate : candidates) {
      if (!candidate.empty())
        return candidate;
    }
    return std::wstring();
  };
  std::wstring id = ElementId(element);
  std::wstring nameAttr = AttributeText(element, L"name");
  switch (Class()) {
  case kLink:
    name = firstOf({Trimmed(InnerText(element)), id, nameAttr});
    break;
  case kWebButton:
    name = firstOf({Value(), nameAttr, id});
    break;
  case kImage:
  case kWebArea:
    name = firstOf({AttributeText(element, L"alt"), nameAttr, id});
    break;
  case kWebEdit:
  case kWebFile:
  case kWebList:
  case kWebCheckBox:
  case kWebRadioGroup:
    name = firstOf({nameAttr, id});
    break;
  default:
    name = firstOf({id, nameAttr});
    break;
  }
  if (name.empty() && Class() != kWebTable) {
    std::wstring text = Trimmed(InnerText(element));
    name = text.size() > 40 ? text.substr(0, 40) : text;
  }
  return name.empty() ? WebClassName(Class()) : name;
}

HRESULT CElementAO::Attribute(LONG name, IWebAttrVal *, ComPtr<IWebAttrVal> &value) {
  IHTMLElement *element = element_.Get();
  switch (name) {
  case kAttrText:
    return StringValue(Trimmed(InnerText(element)), value);
  case kAttrValue:
    return StringValue(Value(), value);
  case kAttrChecked:
    return BoolValue(PropertyBool(element, L"checked"), value);
  case kAttrHref:
    return StringValue(PropertyText(element, L"href"), value);
  case kAttrTagName:
    return StringValue(TagName(element), value);
  case kAttrPoint: {
    RECT rect{};
    Rect(&rect);
    return PointValue(POINT{rect.left, rect.top}, value);
  }
  case kAttrInnerText:
  case kAttrInnerText2:
    return StringValue(InnerText(element), value);
  case kAttrSourceIndex: {
    LONG index = -1;
    element->get_sourceIndex(&index);
    return LongValue(index, value);
  }
  case kAttrId:
    return StringValue(ElementId(element), value);
  case kAttrClass:
    return StringValue(ClassName(element), value);
  default:
    return E_FAIL;
  }
}

HRESULT CElementAO::Invoke(METHOD_NAME_ENUM method, IWebInfo *info) {
  IHTMLElement *element = element_.Get();
  switch (method) {
  case MAKE_VISIBLE: {
    // Scrolls the element into view; answers its point (65) and rectangle
    // (70) in screen terms.
    VARIANT top;
    VariantInit(&top);
    top.vt = VT_BOOL;
    top.boolVal = VARIANT_TRUE;
    element->scrollIntoView(top);
    RECT rect{};
    Rect(&rect);
    POINT offset = ScreenOffset();
    OffsetRect(&rect, offset.x, offset.y);
    ComPtr<IWebAttrVal> point, box;
    HRESULT hr = PointValue(POINT{rect.left, rect.top}, point);
    if (SUCCEEDED(hr))
      hr = RectValue(rect, box);
    if (FAILED(hr))
      return hr;
    info->ReplaceAttrValueByName(kAttrPoint, point.Get(), 1);
    info->ReplaceAttrValueByName(kAttrRect, box.Get(), 1);
    info->SetReturnValue(S_OK);
    return S_OK;
  }
  case CALL_EVENT: {
    BSTR text = nullptr;
    std::wstring event;
    if (SUCCEEDED(info->GetStringValueByName(kAttrEventName, &text)))
      event = FromBstr(text);
    SysFreeString(text);
    if (event.empty())
      return E_FAIL;
    HRESULT hr = S_OK;
    if (tallowick::platform::EqualsNoCase(event, L"click") ||
        tallowick::platform::EqualsNoCase(event, L"onclick")) {
      hr = tallowick::platform::UserClick(element);
    } else {
      ComPtr<IHTMLElement3> element3 = QueryAs<IHTMLElement3>(element);
      if (!element3)
        return kNothingToActOn;
      std::wstring name = event.rfind(L"on", 0) == 0 ? event : L"on" + event;
      BSTR type = ToBstr(name);
      VARIANT none;
      VariantInit(&none);
      VARIANT_BOOL cancelled = VARIANT_FALSE;
      hr = type != nullptr ? element3->fireEvent(type, &none, &cancelled) : E_OUTOFMEMORY;
      SysFreeString(type);
    }
    info->SetReturnValue(hr);
    return S_OK;
  }
  default:
    return E_NOTIMPL;
  }
}

} // namespace host::tree

namespace host::tree {
CHostAO *NewElementAO(ObjectTree *tree, Node *node, LONG webClass, IHTMLElement *element) {
  return new CElementAO(tree, node, webClass, element);
}
} // namespace host::tree

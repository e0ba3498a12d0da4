#include "webobj/IEConfigurationObject.h"

#include <msxml2.h>

#include <new>
#include <string_view>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilDispatchDriver.h"
#include "support/QilUtils.h"
#include "support/QilVariant.h"

namespace {

// The XML document class. The kit names it itself: some SDK headers map
// CLSID_DOMDocument to the newer document class.
const CLSID kClsidXmlDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr DWORD kXmlDocumentContext = 0x17;

std::wstring_view View(BSTR text) {
  return text != nullptr ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

std::wstring Key(LPCOLESTR text) { return text != nullptr ? std::wstring(text) : std::wstring(); }

bool IsEmptyText(BSTR text) { return SysStringLen(text) == 0; }

OLECHAR FoldAscii(OLECHAR c) { return (c >= L'A' && c <= L'Z') ? static_cast<OLECHAR>(c + 32) : c; }

std::wstring FoldedCopy(BSTR text) {
  std::wstring folded(View(text));
  for (auto &c : folded)
    c = FoldAscii(c);
  return folded;
}

// Equality ignoring the case of A to Z, over the whole length.
bool EqualsIgnoringAsciiCase(BSTR a, BSTR b) {
  std::wstring_view x = View(a);
  std::wstring_view y = View(b);
  if (x.size() != y.size())
    return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (FoldAscii(x[i]) != FoldAscii(y[i]))
      return false;
  return true;
}

CQilBstr WithoutLineFeeds(BSTR text) {
  std::wstring kept;
  for (OLECHAR c : View(text))
    if (c != 10)
      kept.push_back(c);
  return CQilBstr(kept.c_str(), static_cast<UINT>(kept.size()));
}

LONG FlagsOf(const VARIANT &cell) {
  if (cell.vt == VT_I4)
    return cell.lVal;
  CQilVariant converted;
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT *>(&cell), 0, VT_I4)))
    return 0;
  return converted.lVal;
}

// An attribute of an XML element; VT_EMPTY when it cannot be read.
CQilVariant XmlAttribute(IXMLDOMElement *element, LPCOLESTR name) {
  CQilVariant value;
  CQilBstr attribute(name);
  if (FAILED(element->getAttribute(attribute, &value)))
    value.Clear();
  return value;
}

CQilComPtr<IXMLDOMNodeList> ElementsNamed(IXMLDOMElement *element, LPCOLESTR tag) {
  CQilComPtr<IXMLDOMNodeList> list;
  CQilBstr name(tag);
  if (FAILED(element->getElementsByTagName(name, &list)))
    list.Release();
  return list;
}

LONG LengthOf(IXMLDOMNodeList *list) {
  LONG length = 0;
  if (list == nullptr || FAILED(list->get_length(&length)))
    return 0;
  return length;
}

// By IID: not every SDK header gives the XML interfaces a __uuidof.
CQilComPtr<IXMLDOMElement> AsElement(IUnknown *node) {
  CQilComPtr<IXMLDOMElement> element;
  if (node == nullptr ||
      FAILED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void **>(&element))))
    element.Release();
  return element;
}

CQilComPtr<IXMLDOMElement> ElementAt(IXMLDOMNodeList *list, LONG index) {
  CQilComPtr<IXMLDOMNode> node;
  if (FAILED(list->get_item(index, &node)))
    return CQilComPtr<IXMLDOMElement>();
  return AsElement(node);
}

bool HasParseError(IXMLDOMDocument *document) {
  CQilComPtr<IXMLDOMParseError> error;
  if (FAILED(document->get_parseError(&error)) || !error)
    return false;
  LONG line = 0;
  LONG position = 0;
  error->get_line(&line);
  error->get_linepos(&position);
  CQilBstr reason;
  CQilBstr source;
  error->get_reason(&reason);
  error->get_srcText(&source);
  return line != 0 || position != 0;
}

} // namespace

// The state of one match: the outcome of each specifier reached so far (so
// that shared references are matched once), and whether a cycle or an
// over-deep chain of references made the whole match fail.
class CIEConfigurationObject::CMatch {
public:
  enum class State : signed char { Unknown, Evaluating, Matched, Failed };

  explicit CMatch(size_t count) : states_(count, State::Unknown) {}

  State &At(LONG index) { return states_[static_cast<size_t>(index)]; }
  bool Enter() { return ++depth_ <= kSpecMaxReferenceDepth; }
  void Leave() { --depth_; }
  void Abort() { aborted_ = true; }
  bool Aborted() const { return aborted_; }

private:
  std::vector<State> states_;
  int depth_ = 0;
  bool aborted_ = false;
};

HRESULT CIEConfigurationObject::Reserve(LONG count) {
  try {
    for (LONG i = 0; i < count; ++i)
      tables_.emplace_back();
    return S_OK;
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CIEConfigurationObject::SetSpecifierIndex(LPCOLESTR name, LONG index) {
  try {
    specifiers_[Key(name)] = index;
    return S_OK;
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CIEConfigurationObject::LoadFromFile(LPCOLESTR path) {
  CQilComPtr<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(kClsidXmlDocument, nullptr, kXmlDocumentContext, IID_IXMLDOMDocument,
                              reinterpret_cast<void **>(&document))) ||
      !document)
    return E_NOINTERFACE;
  document->put_async(VARIANT_FALSE);
  CQilVariant source(path != nullptr ? path : L"");
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (FAILED(document->load(source, &loaded)))
    return E_FAIL;
  if (HasParseError(document))
    return E_FAIL;
  CQilComPtr<IXMLDOMElement> root;
  if (FAILED(document->get_documentElement(&root)) || !root)
    return E_FAIL;
  CQilComPtr<IXMLDOMNodeList> specifiers = ElementsNamed(root, L"Specifier");
  LONG count = LengthOf(specifiers);
  if (count == 0)
    return E_FAIL;
  for (LONG i = 0; i < count; ++i) {
    HRESULT hr = LoadSpecifier(ElementAt(specifiers, i));
    if (hr == E_OUTOFMEMORY)
      return hr;
  }
  return S_OK;
}

HRESULT CIEConfigurationObject::LoadSpecifier(IUnknown *specifierNode) {
  CQilComPtr<IXMLDOMElement> specifier = AsElement(specifierNode);
  if (!specifier)
    return S_FALSE;
  CQilVariant name = XmlAttribute(specifier, L"Name");
  if (name.vt != VT_BSTR || IsEmptyText(name.bstrVal))
    return S_FALSE;
  CQilComPtr<IXMLDOMNodeList> properties = ElementsNamed(specifier, L"Property");
  LONG count = LengthOf(properties);
  for (LONG i = 0; i < count; ++i) {
    CQilComPtr<IXMLDOMElement> property = ElementAt(properties, i);
    if (!property)
      continue;
    CQilVariant propertyName = XmlAttribute(property, L"Name");
    if (propertyName.vt != VT_BSTR)
      continue;
    CQilVariant value = XmlAttribute(property, L"Value");
    if (value.vt != VT_BSTR && FAILED(value.ChangeType(VT_BSTR))) {
      value.Clear();
      value.vt = VT_BSTR;
      value.bstrVal = SysAllocString(L"");
      if (value.bstrVal == nullptr)
        return E_OUTOFMEMORY;
    }
    // A missing or non-numeric Flags attribute stores 0.
    CQilVariant flags = XmlAttribute(property, L"Flags");
    LONG flagBits = SUCCEEDED(flags.ChangeType(VT_I4)) ? flags.lVal : 0;
    HRESULT hr = AddProperty(name.bstrVal, propertyName.bstrVal, value, flagBits);
    if (hr == E_OUTOFMEMORY)
      return hr;
  }
  return S_OK;
}

HRESULT CIEConfigurationObject::AddProperty(LPCOLESTR specifier, BSTR name, const VARIANT &value,
                                            LONG flags) {
  try {
    std::wstring key = Key(specifier);
    auto found = specifiers_.find(key);
    LONG index = found != specifiers_.end() ? found->second : -1;
    if (index < 0 || index >= GetSpecifierCount()) {
      tables_.emplace_back();
      index = GetSpecifierCount() - 1;
      specifiers_[key] = index;
    }
    CTable &table = tables_[static_cast<size_t>(index)];
    if (!table) {
      SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(kSpecColumns), 0}, {1, 0}};
      table.reset(SafeArrayCreate(VT_VARIANT, 2, bounds));
      if (!table)
        return E_OUTOFMEMORY;
      return PutRow(table.get(), 0, name, value, flags);
    }
    LONG row = FindRow(table.get(), name);
    if (row >= 0)
      return PutRow(table.get(), row, name, value, flags);
    LONG rows = TableRowCount(table.get());
    SAFEARRAYBOUND grown = {static_cast<ULONG>(rows) + 1, 0};
    HRESULT hr = SafeArrayRedim(table.get(), &grown);
    if (FAILED(hr))
      return hr;
    return PutRow(table.get(), rows, name, value, flags);
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CIEConfigurationObject::PutRow(SAFEARRAY *table, LONG row, BSTR name, const VARIANT &value,
                                       LONG flags) {
  CQilVariant nameCell;
  nameCell.vt = VT_BSTR;
  nameCell.bstrVal = SysAllocStringLen(name != nullptr ? name : L"", SysStringLen(name));
  if (nameCell.bstrVal == nullptr)
    return E_OUTOFMEMORY;
  CQilVariant flagsCell(flags);
  LONG at[2] = {kSpecColumnName, row};
  HRESULT hr = SafeArrayPutElement(table, at, &nameCell);
  at[0] = kSpecColumnValue;
  if (SUCCEEDED(hr))
    hr = SafeArrayPutElement(table, at, const_cast<VARIANT *>(&value));
  at[0] = kSpecColumnFlags;
  if (SUCCEEDED(hr))
    hr = SafeArrayPutElement(table, at, &flagsCell);
  return hr;
}

LONG CIEConfigurationObject::FindRow(SAFEARRAY *table, BSTR name) const {
  LONG rows = TableRowCount(table);
  for (LONG row = 0; row < rows; ++row) {
    CQilVariant cell;
    if (SUCCEEDED(GetTableCell(table, row, kSpecColumnName, &cell)) && cell.vt == VT_BSTR &&
        View(cell.bstrVal) == View(name))
      return row;
  }
  return -1;
}

HRESULT CIEConfigurationObject::GetPropertyValue(LONG index, LPCOLESTR name, BSTR *value) const {
  if (value == nullptr || index < 0 || index >= GetSpecifierCount())
    return E_FAIL;
  *value = nullptr;
  SAFEARRAY *table = tables_[static_cast<size_t>(index)].get();
  if (table == nullptr)
    return E_FAIL;
  CQilBstr wanted(name != nullptr ? name : L"");
  LONG row = FindRow(table, wanted);
  if (row < 0)
    return E_FAIL;
  CQilVariant cell;
  if (SUCCEEDED(GetTableCell(table, row, kSpecColumnValue, &cell)) && cell.vt == VT_BSTR &&
      cell.bstrVal != nullptr) {
    *value = cell.bstrVal;
    cell.vt = VT_EMPTY;
  }
  return S_OK;
}

HRESULT CIEConfigurationObject::GetSpecifierTable(LONG index, SAFEARRAY **table) const {
  if (table == nullptr || index < 0 || index >= GetSpecifierCount())
    return E_FAIL;
  *table = tables_[static_cast<size_t>(index)].get();
  return S_OK;
}

HRESULT CIEConfigurationObject::GetSpecifierIndex(BSTR name, LONG *index) const {
  if (index == nullptr)
    return E_POINTER;
  try {
    auto found = specifiers_.find(std::wstring(View(name)));
    if (found == specifiers_.end())
      return E_FAIL;
    *index = found->second;
    return S_OK;
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
}

LONG CIEConfigurationObject::TableRowCount(SAFEARRAY *table) {
  LONG lower = 0;
  LONG upper = -1;
  if (table == nullptr || SafeArrayGetDim(table) != 2 ||
      FAILED(SafeArrayGetLBound(table, 2, &lower)) || FAILED(SafeArrayGetUBound(table, 2, &upper)))
    return 0;
  return upper - lower + 1;
}

HRESULT CIEConfigurationObject::GetTableCell(SAFEARRAY *table, LONG row, LONG column,
                                             VARIANT *cell) {
  if (table == nullptr || cell == nullptr)
    return E_POINTER;
  VariantClear(cell);
  LONG at[2] = {column, row};
  return SafeArrayGetElement(table, at, cell);
}

bool CIEConfigurationObject::MatchSpecifier(IUnknown *element, LONG index) const {
  try {
    CMatch match(tables_.size());
    return MatchSpecifier(match, element, index);
  } catch (const std::bad_alloc &) {
    return false;
  }
}

bool CIEConfigurationObject::MatchSpecifierRow(IUnknown *element, BSTR name, const VARIANT &value,
                                               LONG flags) const {
  try {
    CMatch match(tables_.size());
    return MatchSpecifierRow(match, element, name, value, flags);
  } catch (const std::bad_alloc &) {
    return false;
  }
}

bool CIEConfigurationObject::MatchValue(IUnknown *element, BSTR pattern, BSTR text,
                                        LONG flags) const {
  try {
    CMatch match(tables_.size());
    return MatchValue(match, element, pattern, text, flags);
  } catch (const std::bad_alloc &) {
    return false;
  }
}

bool CIEConfigurationObject::MatchSpecifier(CMatch &match, IUnknown *element, LONG index) const {
  if (element == nullptr)
    return false;
  SAFEARRAY *table = nullptr;
  if (FAILED(GetSpecifierTable(index, &table)) || table == nullptr)
    return false;
  CMatch::State &state = match.At(index);
  if (state == CMatch::State::Matched)
    return true;
  if (state == CMatch::State::Failed)
    return false;
  if (state == CMatch::State::Evaluating || !match.Enter()) {
    match.Abort(); // a cycle of references, or references nested too deep
    return false;
  }
  state = CMatch::State::Evaluating;
  bool matched = MatchRows(match, element, table);
  match.Leave();
  match.At(index) = matched ? CMatch::State::Matched : CMatch::State::Failed;
  return matched;
}

bool CIEConfigurationObject::MatchRows(CMatch &match, IUnknown *element, SAFEARRAY *table) const {
  LONG rows = TableRowCount(table);
  if (rows <= 0)
    return false;
  for (LONG row = 0; row < rows; ++row) {
    CQilVariant name;
    CQilVariant value;
    CQilVariant flags;
    GetTableCell(table, row, kSpecColumnName, &name);
    GetTableCell(table, row, kSpecColumnValue, &value);
    GetTableCell(table, row, kSpecColumnFlags, &flags);
    if (name.vt != VT_BSTR)
      return false;
    CQilBstr nameCopy(name.bstrVal != nullptr ? name.bstrVal : L"", SysStringLen(name.bstrVal));
    if (!MatchSpecifierRow(match, element, nameCopy, value, FlagsOf(flags)))
      return false;
  }
  return true;
}

bool CIEConfigurationObject::MatchSpecifierRow(CMatch &match, IUnknown *element, BSTR name,
                                               const VARIANT &value, LONG flags) const {
  CQilBstr text;
  if ((flags & kSpecReference) == 0 &&
      !ReadPropertyText(element, name, &text, static_cast<DWORD>(flags)))
    return false;
  if ((flags & kSpecPresence) != 0)
    return text.Get() != nullptr;
  if (value.vt != VT_BSTR)
    return false;
  CQilBstr pattern(value.bstrVal != nullptr ? value.bstrVal : L"", SysStringLen(value.bstrVal));
  bool matched = false;
  if ((flags & kSpecAlternatives) == 0) {
    matched = MatchValue(match, element, pattern, text, flags);
  } else {
    std::wstring_view rest = View(pattern);
    for (;;) {
      size_t bar = rest.find(L'|');
      std::wstring_view alternative = rest.substr(0, bar);
      CQilBstr part(alternative.data(), static_cast<UINT>(alternative.size()));
      matched = MatchValue(match, element, part, text, flags);
      if (matched || match.Aborted() || bar == std::wstring_view::npos)
        break;
      rest.remove_prefix(bar + 1);
    }
  }
  // A failed reference chain fails the row whatever the negation says.
  if (match.Aborted())
    return false;
  return matched != ((flags & kSpecNegation) != 0);
}

bool CIEConfigurationObject::MatchValue(CMatch &match, IUnknown *element, BSTR pattern, BSTR text,
                                        LONG flags) const {
  if ((flags & kSpecReference) != 0) {
    if (IsEmptyText(pattern))
      return false;
    LONG index = -1;
    if (FAILED(GetSpecifierIndex(pattern, &index)))
      return false;
    return MatchSpecifier(match, element, index);
  }
  bool noPattern = IsEmptyText(pattern);
  bool noText = IsEmptyText(text);
  if (noPattern || noText)
    return noPattern && noText;
  if ((flags & kSpecRegularExpression) != 0) {
    CQilBstr expression = WithoutLineFeeds(pattern);
    CQilBstr subject = WithoutLineFeeds(text);
    return MatchText(expression, subject, true, false);
  }
  bool contains = (flags & kSpecContains) != 0;
  if ((flags & kSpecIgnoreCase) != 0) {
    if (!contains)
      return EqualsIgnoringAsciiCase(pattern, text);
    return FoldedCopy(text).find(FoldedCopy(pattern)) != std::wstring::npos;
  }
  if (contains)
    return View(text).find(View(pattern)) != std::wstring_view::npos;
  return VarBstrCmp(pattern, text, LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

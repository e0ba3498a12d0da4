#include "controls/WfUltraGrid.h"

#include <string>
#include <vector>

#include "recognition/WfKitUtil.h"
#include "support/QilBstr.h"
#include "support/QilDispatchDriver.h"
#include "support/QilSafeArray.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

constexpr LONG kUltraGridClass = 1030;
constexpr LONG kCheckBoxClass = 17;

constexpr LONG kAttrValue = 6;
constexpr LONG kAttrShiftKey = 13;
constexpr LONG kAttrChecked = 17;
constexpr LONG kAttrRunTimeId = 48;
constexpr LONG kAttrTagName = 58;
constexpr LONG kAttrRowText = 66;
constexpr LONG kAttrColumnText = 68;
constexpr LONG kAttrInnerElement = 78;
constexpr LONG kAttrInnerText = 104;
constexpr LONG kAttrId = 138;
constexpr LONG kAttrX = 143;
constexpr LONG kAttrY = 144;
constexpr LONG kAttrColumnCount = 606;
constexpr LONG kAttrAllowAddNew = 16395;
constexpr LONG kAttrAllowSort = 16396;
constexpr LONG kAttrAllowDelete = 16397;
constexpr LONG kAttrExpansion = 16398;
constexpr LONG kAttrSortState = 16399;
constexpr LONG kFirstRowEntry = 10001;

// What a recorded step acts on (entry 16400), also the attribute 78 lookups.
constexpr LONG kEntryPart = 16392;
constexpr LONG kEntryTarget = 16400;
constexpr LONG kTargetRow = 66;
constexpr LONG kTargetColumn = 68;
constexpr LONG kTargetCell = 16391;
constexpr LONG kTargetControl = 16392;
constexpr LONG kTargetAddNew = 16393;
constexpr LONG kTargetGroupBy = 16394;
constexpr LONG kTargetActiveCell = 16400;

HRESULT Found(bool found) { return static_cast<HRESULT>(found ? 1 : 0); }

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::wstring_view text, std::wstring_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Case-sensitive comparison under the user's locale.
bool SameText(const std::wstring &a, const std::wstring &b) {
  CQilBstr left(a.c_str(), static_cast<UINT>(a.size()));
  CQilBstr right(b.c_str(), static_cast<UINT>(b.size()));
  return VarBstrCmp(left, right, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

std::wstring Text(BSTR text) {
  return std::wstring(text != nullptr ? text : L"", SysStringLen(text));
}

std::wstring Decimal(LONG number) { return std::to_wstring(number); }

bool IsDecimal(std::wstring_view text) {
  if (text.empty() || text.size() > 9)
    return false;
  for (wchar_t c : text)
    if (c < L'0' || c > L'9')
      return false;
  return true;
}

bool IsIdentifierPart(std::wstring_view text) {
  for (wchar_t c : text) {
    bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    if (!letter && !(c >= L'0' && c <= L'9') && c != L'_' && c != L'$')
      return false;
  }
  return true;
}

bool IsTrimmedSpace(wchar_t c) { return c == L' ' || (c >= 9 && c <= 13) || c == 0xA0; }

std::wstring_view Trimmed(std::wstring_view text) {
  while (!text.empty() && IsTrimmedSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsTrimmedSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

HRESULT Property(IDispatch *object, LPCOLESTR name, CQilVariant &value) {
  value.Clear();
  return GetNamedProperty(object, name, &value);
}

CQilComPtr<IDispatch> ObjectProperty(IDispatch *object, LPCOLESTR name) {
  CQilVariant value;
  CQilComPtr<IDispatch> result;
  if (SUCCEEDED(Property(object, name, value)) && value.vt == VT_DISPATCH)
    result = value.pdispVal;
  return result;
}

bool StringProperty(IDispatch *object, LPCOLESTR name, std::wstring &text) {
  CQilVariant value;
  if (FAILED(Property(object, name, value)) || value.vt != VT_BSTR)
    return false;
  text = Text(value.bstrVal);
  return true;
}

bool LongProperty(IDispatch *object, LPCOLESTR name, LONG &number) {
  CQilVariant value;
  if (FAILED(Property(object, name, value)) || value.vt != VT_I4)
    return false;
  number = value.lVal;
  return true;
}

std::wstring ElementId(IHTMLElement *element) {
  CQilBstr id;
  if (element == nullptr || FAILED(element->get_id(&id)))
    return {};
  return Text(id);
}

std::wstring TagName(IHTMLElement *element) {
  CQilBstr tag;
  if (element == nullptr || FAILED(element->get_tagName(&tag)))
    return {};
  std::wstring text = Text(tag);
  for (wchar_t &c : text)
    if (c >= L'a' && c <= L'z')
      c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

// A DOM attribute as a VARIANT (getAttribute, flags 0).
CQilVariant ElementAttribute(IHTMLElement *element, LPCOLESTR name) {
  CQilVariant value;
  if (element == nullptr || FAILED(element->getAttribute(CQilBstr(name), 0, &value)))
    value.Clear();
  return value;
}

bool AttributeString(IHTMLElement *element, LPCOLESTR name, std::wstring &text) {
  CQilVariant value = ElementAttribute(element, name);
  if (value.vt != VT_BSTR)
    return false;
  text = Text(value.bstrVal);
  return true;
}

CQilComPtr<IHTMLElement> WrappedElement(IWebObj2 *ao) {
  CQilComPtr<IUnknown> wrapped;
  CQilComPtr<IHTMLElement> element;
  if (ao != nullptr && SUCCEEDED(ao->GetWrappedElement(&wrapped)) && wrapped)
    element.QueryFrom(wrapped);
  return element;
}

// An agent object's attribute as its first string; false when it has none.
bool AOString(IWebObj2 *ao, LONG id, std::wstring &text) {
  CQilComPtr<IWebAttrVal> value;
  CQilBstr string;
  if (ao == nullptr || FAILED(ao->GetAttr(id, nullptr, &value)) || !value ||
      FAILED(value->GetStringValue(0, &string)))
    return false;
  text = Text(string);
  return true;
}

std::vector<CQilComPtr<IWebObj2>> AOsOf(SAFEARRAY *array) {
  std::vector<CQilComPtr<IWebObj2>> list;
  if (array == nullptr)
    return list;
  CQilVariant holder;
  holder.vt = VT_ARRAY | VT_VARIANT;
  holder.parray = array; // freed with the holder
  try {
    CQilSafeArray items;
    if (FAILED(items.FromVariant(holder)))
      return list;
    for (ULONG i = 0; i < items.Count(); ++i) {
      CQilComPtr<IUnknown> entry;
      CQilComPtr<IWebObj2> ao;
      if (SUCCEEDED(items.ReadInterface(&entry)))
        ao.QueryFrom(entry);
      list.push_back(ao); // an entry that is no object stays empty
    }
  } catch (const CQilSafeArrayError &) {
    list.clear();
  }
  return list;
}

std::vector<CQilComPtr<IWebObj2>> DirectChildren(IWebObj2 *ao) {
  SAFEARRAY *children = nullptr;
  if (ao == nullptr || FAILED(ao->GetDirectChildren(nullptr, &children)))
    return {};
  return AOsOf(children);
}

// The value at `index` of an attribute value, or empty.
CQilComPtr<IWebVariant> ValueAt(IWebAttrVal *data, UINT index) {
  UINT size = 0;
  CQilComPtr<IWebVariant> value;
  if (data != nullptr && SUCCEEDED(data->GetSize(&size)) && index < size)
    data->GetValue(index, &value);
  return value;
}

WEB_AV_TYPE TypeOf(IWebVariant *value) {
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  if (value == nullptr || FAILED(value->GetType(&type)))
    return WEB_AV_EMPTY;
  return type;
}

bool LongAt(IWebAttrVal *data, UINT index, LONG &number) {
  CQilComPtr<IWebVariant> value = ValueAt(data, index);
  return TypeOf(value) == WEB_AV_LONG && SUCCEEDED(value->get_long(&number));
}

bool StringAt(IWebAttrVal *data, UINT index, std::wstring &text) {
  CQilComPtr<IWebVariant> value = ValueAt(data, index);
  CQilBstr string;
  if (TypeOf(value) != WEB_AV_STRING || FAILED(value->get_string(&string)))
    return false;
  text = Text(string);
  return true;
}

// The level key of a row text: its parts joined by "_".
std::wstring LevelKey(const std::wstring &rowText) {
  size_t last = rowText.rfind(L',');
  if (last == std::wstring::npos)
    return rowText;
  std::wstring first = rowText.substr(0, last);
  for (wchar_t &c : first)
    if (c == L',')
      c = L'_';
  return first + L"_" + rowText.substr(last + 1);
}

// Entries of a record, written replacing what was there.
void Put(IWebInfo *record, LONG id, IWebAttrVal *value) {
  if (value != nullptr)
    record->ReplaceAttrValueByName(id, value, 1);
}
void PutLong(IWebInfo *record, LONG id, LONG number) {
  Put(record, id, HostServices::NewWebAttrValLong(number));
}
void PutString(IWebInfo *record, LONG id, const std::wstring &text) {
  CQilBstr string(text.c_str(), static_cast<UINT>(text.size()));
  Put(record, id, HostServices::NewWebAttrValString(string));
}
void PutBool(IWebInfo *record, LONG id, bool flag) {
  Put(record, id, HostServices::NewWebAttrValBool(flag));
}
HRESULT PutRunTimeId(IWebInfo *record, IWebObj2 *ao) {
  CQilComPtr<IWebRunTimeID> id;
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrVal();
  HRESULT hr = ao->GetId(&id);
  if (FAILED(hr))
    return hr;
  if (!value || !id)
    return E_FAIL;
  hr = value->AddWebRTID(id);
  if (SUCCEEDED(hr))
    Put(record, kAttrRunTimeId, value);
  return hr;
}

bool IsFormattingTag(std::wstring_view tag) {
  for (std::wstring_view removed : {L"<b>", L"</b>", L"<i>", L"</i>", L"<u>", L"</u>", L"</a>"})
    if (tag == removed)
      return true;
  return StartsWith(tag, L"</img") || StartsWith(tag, L"<img ") || StartsWith(tag, L"<a ");
}

bool IsBreakingTag(std::wstring_view tag) {
  for (std::wstring_view breaking : {L"<br>", L"</br>", L"<br/>", L"<p>", L"</p>", L"<p/>"})
    if (tag == breaking)
      return true;
  return false;
}

} // namespace

// ---- construction and recognition ----

CWfUltraGrid::CWfUltraGrid(IUnknown *element, IWebObj2 *parent)
    : CAOEventConnection<CIE4Table>(element, parent) {
  SetWebClass(kUltraGridClass);
  NameWebFormsEventConfiguration();
  std::wstring id = ElementId(m_spHTMLElement);
  std::wstring name = id.size() >= 5 ? id.substr(0, id.size() - 5) : std::wstring();
  m_bstrGridName = SysAllocStringLen(name.c_str(), static_cast<UINT>(name.size()));
}

CWfUltraGrid::~CWfUltraGrid() { SysFreeString(m_bstrGridName); }

bool CWfUltraGrid::IsUltraGrid(IHTMLElement *element) {
  std::wstring id = ElementId(element);
  size_t suffix = id.find(L"_main");
  if (id.empty() || suffix == std::wstring::npos || suffix != id.size() - 5)
    return false;
  std::wstring divName = id.substr(0, suffix) + L"_div";
  CQilComPtr<IHTMLTable> table;
  CQilComPtr<IHTMLElementCollection> bodies;
  LONG count = 0;
  if (FAILED(table.QueryFrom(element)) || !table || FAILED(table->get_tBodies(&bodies)) ||
      !bodies || FAILED(bodies->get_length(&count)) || count != 1)
    return false;
  CQilComPtr<IDispatch> bodyItem;
  CQilComPtr<IHTMLElement> body;
  CQilComPtr<IHTMLTableSection> section;
  CQilComPtr<IHTMLElementCollection> rows;
  LONG rowCount = 0;
  if (FAILED(bodies->item(CQilVariant(LONG{0}), CQilVariant(LONG{0}), &bodyItem)) ||
      FAILED(body.QueryFrom(bodyItem)) || !body || !ElementId(body).empty() ||
      FAILED(section.QueryFrom(bodyItem)) || !section || FAILED(section->get_rows(&rows)) ||
      !rows || FAILED(rows->get_length(&rowCount)))
    return false;
  for (LONG r = 0; r < rowCount; ++r) {
    CQilComPtr<IDispatch> rowItem;
    CQilComPtr<IHTMLElement> row;
    CQilComPtr<IHTMLTableRow> tableRow;
    CQilComPtr<IHTMLElementCollection> cells;
    CQilComPtr<IDispatch> cellItem;
    CQilComPtr<IHTMLElement> cell;
    CQilComPtr<IDispatch> childrenDispatch;
    CQilComPtr<IHTMLElementCollection> children;
    CQilComPtr<IDispatch> div;
    CQilBstr rowId;
    CQilBstr cellId;
    LONG cellCount = 0;
    LONG childCount = 0;
    if (FAILED(rows->item(CQilVariant(r), CQilVariant(LONG{0}), &rowItem)) ||
        FAILED(row.QueryFrom(rowItem)) || !row || FAILED(row->get_id(&rowId)) || !rowId.IsEmpty() ||
        FAILED(tableRow.QueryFrom(row)) || !tableRow || FAILED(tableRow->get_cells(&cells)) ||
        !cells || FAILED(cells->get_length(&cellCount)) || cellCount != 1 ||
        FAILED(cells->item(CQilVariant(LONG{0}), CQilVariant(LONG{0}), &cellItem)) ||
        FAILED(cell.QueryFrom(cellItem)) || !cell || FAILED(cell->get_id(&cellId)) ||
        !cellId.IsEmpty() || FAILED(cell->get_children(&childrenDispatch)) ||
        FAILED(children.QueryFrom(childrenDispatch)) || !children ||
        FAILED(children->get_length(&childCount)) || childCount == 0)
      continue;
    if (SUCCEEDED(children->item(CQilVariant(divName.c_str()), CQilVariant(LONG{0}), &div)) && div)
      return true;
  }
  return false;
}

// ---- markup and script texts ----

std::wstring CWfUltraGrid::CleanMarkup(std::wstring_view source) {
  std::wstring text(source);
  size_t position = 0;
  while (position < text.size()) {
    size_t open = text.find(L'<', position);
    if (open == std::wstring::npos)
      break;
    size_t close = text.find(L'>', open + 1);
    if (close == std::wstring::npos)
      break;
    std::wstring tag = text.substr(open, close - open + 1);
    for (wchar_t &c : tag)
      if (c >= L'A' && c <= L'Z')
        c = static_cast<wchar_t>(c - L'A' + L'a');
    if (IsFormattingTag(tag)) {
      text.erase(open, tag.size());
      position = open;
    } else if (IsBreakingTag(tag)) {
      text.replace(open, tag.size(), L" ");
      position = open + 1;
    } else {
      position = close + 1;
    }
  }
  return text;
}

std::wstring CWfUltraGrid::EscapeForScript(std::wstring_view text) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring escaped;
  escaped.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'\'' || c == L'"') {
      escaped += L'\\';
      escaped += c;
    } else if (c < 0x20 || c == 0x2028 || c == 0x2029 || c == 0x7F) {
      escaped += L"\\u";
      for (int shift = 12; shift >= 0; shift -= 4)
        escaped += kHex[(static_cast<unsigned>(c) >> shift) & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::wstring CWfUltraGrid::Fill(std::wstring_view text, std::initializer_list<Placeholder> values) {
  std::wstring filled;
  size_t position = 0;
  while (position < text.size()) {
    const Placeholder *match = nullptr;
    for (const Placeholder &placeholder : values)
      if (text.substr(position, placeholder.name.size()) == placeholder.name)
        match = &placeholder;
    if (match == nullptr) {
      filled += text[position++];
      continue;
    }
    filled += EscapeForScript(match->value);
    position += match->name.size();
  }
  return filled;
}

std::wstring CWfUltraGrid::Quoted(std::wstring_view text) const {
  return L"'" + EscapeForScript(text) + L"'";
}

std::wstring CWfUltraGrid::GridName() const { return Text(m_bstrGridName); }

std::wstring CWfUltraGrid::Prefixed(std::wstring_view part) const {
  return GridName() + (m_bUnderscoreRow ? L"_" : L"") + std::wstring(part);
}

std::wstring CWfUltraGrid::RowIdStem() const { return Prefixed(L""); }

std::wstring CWfUltraGrid::RowScript(LONG index) const {
  return L"igtbl_getRowById(" + Quoted(GridName() + Separator() + L"_" + Decimal(index)) + L")";
}

// A grid name that is no identifier reaches its object through the window.
std::wstring CWfUltraGrid::GridObjectScript(bool pageObject) const {
  std::wstring name = (pageObject ? L"o" : L"igtbl_") + GridName();
  if (IsIdentifierPart(GridName()))
    return name;
  return L"window[" + Quoted(name) + L"]";
}

CQilComPtr<IDispatch> CWfUltraGrid::Window() {
  if (m_spWindow)
    return m_spWindow;
  CQilComPtr<IDispatch> documentDispatch;
  CQilComPtr<IHTMLDocument2> document;
  CQilComPtr<IHTMLWindow2> window;
  if (m_spHTMLElement && SUCCEEDED(m_spHTMLElement->get_document(&documentDispatch)) &&
      SUCCEEDED(document.QueryFrom(documentDispatch)) && document &&
      SUCCEEDED(document->get_parentWindow(&window)) && window)
    m_spWindow.QueryFrom(window);
  return m_spWindow;
}

HRESULT CWfUltraGrid::Evaluate(const std::wstring &script, CQilVariant &result) {
  result.Clear();
  CQilComPtr<IDispatch> window = Window();
  if (!window)
    return E_FAIL;
  CQilVariant argument(script.c_str());
  return CallNamedMethod1(window, L"eval", &argument, &result, nullptr, nullptr);
}

CQilComPtr<IDispatch> CWfUltraGrid::EvaluateObject(const std::wstring &script) {
  CQilVariant result;
  CQilComPtr<IDispatch> object;
  if (SUCCEEDED(Evaluate(script, result)) && result.vt == VT_DISPATCH)
    object = result.pdispVal;
  return object;
}

bool CWfUltraGrid::EvaluateString(const std::wstring &script, std::wstring &text) {
  CQilVariant result;
  if (FAILED(Evaluate(script, result)) || result.vt != VT_BSTR)
    return false;
  text = Text(result.bstrVal);
  return true;
}

void CWfUltraGrid::SettleScriptMode() {
  if (m_nScriptMode != 2)
    return;
  CQilVariant result;
  HRESULT hr = Evaluate(L"try{eval(" + GridObjectScript(true) + L");}catch(e){}", result);
  m_nScriptMode = SUCCEEDED(hr) && result.vt == VT_DISPATCH && result.pdispVal != nullptr ? 1 : 0;
  m_bUnderscoreRow = false;
  if (EvaluateObject(RowScript(0)))
    return;
  // No row 0 with "r": a grid of "_r" ids, unless it has no such row either
  // (no rows, or only group rows) and its headers carry "r"-style ids.
  std::wstring underscored = GridName() + L"_r_0";
  std::wstring header = GridName() + L"_c_0_0";
  m_bUnderscoreRow = EvaluateObject(L"igtbl_getRowById(" + Quoted(underscored) + L")") ||
                     EvaluateObject(Fill(L"igtbl_getElementById('colID')", {{L"colID", header}}));
}

CQilComPtr<IDispatch> CWfUltraGrid::GridObject() {
  if (!m_spGrid)
    m_spGrid = EvaluateObject(GridObjectScript());
  return m_spGrid;
}

// ---- counts ----

LONG CWfUltraGrid::GetRowCount() {
  SettleScriptMode();
  CQilComPtr<IDispatch> row = EvaluateObject(RowScript(0));
  if (!row)
    return -1;
  LONG count = 0;
  while (row) {
    ++count;
    row = EvaluateObject(RowScript(count));
  }
  return count;
}

LONG CWfUltraGrid::GetRowCellCount(LONG) {
  SettleScriptMode();
  CQilComPtr<IDispatch> band =
      EvaluateObject(Fill(L"igtbl_getBandById('gridIdr_0')", {{L"gridId", RowIdStem()}}));
  LONG count = -1;
  if (!band || !LongProperty(band, L"VisibleColumnsCount", count))
    return -1;
  return count;
}

// ---- rows and columns ----

HRESULT CWfUltraGrid::RowText(const std::wstring &id, std::wstring &text) {
  CQilComPtr<IDispatch> level;
  if (m_nScriptMode == 1) {
    std::wstring rowId = id;
    if (!StartsWith(id, GridName() + Separator() + L"_") &&
        !EvaluateString(Fill(L"igtbl_getRowById('cellId').Element.id", {{L"cellId", id}}), rowId))
      return E_FAIL;
    level = EvaluateObject(L"igtbl_getRowLevel(" + Quoted(rowId) + L")");
  } else {
    level = EvaluateObject(L"igtbl_getRowById(" + Quoted(id) + L").RowLevel");
  }
  CQilVariant result;
  if (!level || FAILED(CallNamedMethod0(level, L"toString", &result, nullptr, nullptr)) ||
      result.vt != VT_BSTR)
    return E_FAIL;
  text = Text(result.bstrVal);
  return S_OK;
}

LONG CWfUltraGrid::BandCount() {
  CQilVariant result;
  if (FAILED(Evaluate(GridObjectScript() + L".Bands.length", result)) || result.vt != VT_I4)
    return 0;
  return result.lVal;
}

HRESULT CWfUltraGrid::ColumnText(const std::wstring &id, std::wstring &text) {
  CQilComPtr<IDispatch> column =
      EvaluateObject(Fill(L"igtbl_getColumnById('cellId')", {{L"cellId", id}}));
  std::wstring name;
  if (!column || !StringProperty(column, L"Key", name))
    return E_FAIL;
  if (name.empty() && !StringProperty(column, L"HeaderText", name))
    return E_FAIL;
  name = CleanMarkup(name);
  if (BandCount() <= 1) {
    text = name;
    return S_OK;
  }
  CQilComPtr<IDispatch> band = ObjectProperty(column, m_nScriptMode == 1 ? L"Band" : L"band");
  std::wstring key;
  if (!band || !StringProperty(band, L"Key", key))
    return E_FAIL;
  text = key + L"," + name;
  return S_OK;
}

CQilComPtr<IWebObj2> CWfUltraGrid::LocateByKey(LPCOLESTR tag, const std::wstring &key) {
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  CQilComPtr<IWebObj2> self = OuterWebObj();
  SAFEARRAY *candidates = nullptr;
  if (!filter || !self || FAILED(filter->put_tagName(CQilBstr(tag))) ||
      FAILED(filter->put_filter(ONLY_OBJECTS)) || FAILED(self->GetAllChildren(filter, &candidates)))
    return {};
  for (const CQilComPtr<IWebObj2> &candidate : AOsOf(candidates)) {
    CQilComPtr<IHTMLElement> element = WrappedElement(candidate);
    if (!element)
      continue;
    CQilVariant level = ElementAttribute(element, L"level");
    bool noLevel = level.vt == VT_EMPTY || level.vt == VT_NULL ||
                   (level.vt == VT_BSTR && SysStringLen(level.bstrVal) == 0);
    if (level.vt == VT_BSTR && !noLevel) {
      if (SameText(Text(level.bstrVal), key))
        return candidate;
      continue;
    }
    if (!noLevel)
      continue;
    std::wstring id = ElementId(element);
    size_t cut = id.find(L'_');
    if (m_bUnderscoreRow && cut != std::wstring::npos)
      cut = id.find(L'_', cut + 1);
    if (cut != std::wstring::npos && SameText(id.substr(cut + 1), key))
      return candidate;
  }
  return {};
}

CQilComPtr<IWebObj2> CWfUltraGrid::LocateRow(const std::wstring &rowText) {
  return LocateByKey(L"TR", LevelKey(rowText));
}

HRESULT CWfUltraGrid::FindBand(const std::wstring &bandKey, CQilComPtr<IDispatch> &band,
                               LONG &number) {
  CQilComPtr<IDispatch> bands = EvaluateObject(GridObjectScript() + L".Bands");
  LONG length = 0;
  if (!bands || !LongProperty(bands, L"length", length))
    return E_FAIL;
  for (LONG i = 0; i < length; ++i) {
    CQilComPtr<IDispatch> entry = ObjectProperty(bands, Decimal(i).c_str());
    std::wstring key;
    if (!entry || !StringProperty(entry, L"Key", key) || !SameText(key, bandKey))
      continue;
    band = entry;
    number = i;
    return S_OK;
  }
  return E_FAIL;
}

HRESULT CWfUltraGrid::LocateColumn(IWebVariant *value, ColumnRef &column) {
  column = ColumnRef{};
  WEB_AV_TYPE type = TypeOf(value);
  if (type == WEB_AV_LONG) {
    value->get_long(&column.column);
  } else if (type == WEB_AV_STRING) {
    CQilBstr string;
    value->get_string(&string);
    std::wstring text = Text(string);
    std::wstring name = text;
    CQilComPtr<IDispatch> band;
    size_t comma = text.find(L',');
    if (comma != std::wstring::npos) {
      name = text.substr(comma + 1);
      if (FAILED(FindBand(text.substr(0, comma), band, column.band)))
        return E_FAIL;
    } else {
      band = EvaluateObject(GridObjectScript() + L".Bands[0]");
    }
    CQilComPtr<IDispatch> columns = band ? ObjectProperty(band, L"Columns") : nullptr;
    LONG length = 0;
    if (!columns || !LongProperty(columns, L"length", length))
      return E_FAIL;
    std::wstring wanted = CleanMarkup(name);
    for (LPCOLESTR property : {L"Key", L"HeaderText"}) {
      for (LONG j = 0; j < length && column.column < 0; ++j) {
        CQilComPtr<IDispatch> entry = ObjectProperty(columns, Decimal(j).c_str());
        std::wstring candidate;
        if (entry && StringProperty(entry, property, candidate) &&
            SameText(CleanMarkup(candidate), wanted))
          column.column = j;
      }
    }
    if (column.column < 0)
      return E_FAIL;
  }
  column.headerId = Prefixed(L"c") + L"_" + Decimal(column.band) + L"_" + Decimal(column.column);
  column.header =
      EvaluateObject(Fill(L"igtbl_getElementById('colID')", {{L"colID", column.headerId}}));
  return column.header ? S_OK : E_FAIL;
}

LONG CWfUltraGrid::RowExpansionState(IDispatch *row) {
  CQilVariant expandable;
  if (FAILED(Property(row, L"Expandable", expandable)) ||
      (expandable.vt != VT_BOOL && expandable.vt != VT_BSTR) ||
      FAILED(expandable.ChangeType(VT_BOOL)))
    return -1;
  if (expandable.boolVal == VARIANT_FALSE)
    return 0;
  CQilVariant expanded;
  if (m_nScriptMode == 1) {
    if (FAILED(CallNamedMethod0(row, L"getExpanded", &expanded, nullptr, nullptr)) ||
        (expanded.vt != VT_BOOL && expanded.vt != VT_EMPTY))
      return -1;
  } else if (FAILED(Property(row, L"Expanded", expanded)) || expanded.vt != VT_BOOL) {
    return -1;
  }
  return expanded.vt == VT_BOOL && expanded.boolVal != VARIANT_FALSE ? 1 : 2;
}

bool CWfUltraGrid::ExpansionState(const std::wstring &rowText, LONG &state) {
  CQilComPtr<IWebObj2> tr = LocateRow(rowText);
  std::wstring rowId = ElementId(WrappedElement(tr));
  CQilComPtr<IDispatch> row =
      tr ? EvaluateObject(Fill(L"igtbl_getRowById('rowId')", {{L"rowId", rowId}})) : nullptr;
  if (!row)
    return false;
  state = RowExpansionState(row);
  return true;
}

bool CWfUltraGrid::SortState(IWebVariant *value, LONG &state) {
  ColumnRef column;
  if (FAILED(LocateColumn(value, column)))
    return false;
  state = -1;
  CQilVariant allowSort;
  CQilVariant action;
  CQilVariant indicator;
  if (SUCCEEDED(
          Evaluate(Fill(L"igtbl_getGridById('gridName').AllowSort", {{L"gridName", GridName()}}),
                   allowSort)) &&
      allowSort.vt == VT_I4 && allowSort.lVal == 2) {
    state = 3;
  } else if (SUCCEEDED(Evaluate(Fill(L"igtbl_getColumnById('colId').HeaderClickAction",
                                     {{L"colId", column.headerId}}),
                                action)) &&
             action.vt == VT_I4 && action.lVal == 1) {
    state = 3;
  } else if (SUCCEEDED(Evaluate(
                 Fill(L"igtbl_getColumnById('colId').SortIndicator", {{L"colId", column.headerId}}),
                 indicator)) &&
             indicator.vt == VT_I4 && indicator.lVal >= 0 && indicator.lVal <= 2) {
    state = indicator.lVal;
  }
  return true;
}

bool CWfUltraGrid::GridProperty(LPCOLESTR name, IWebAttrVal *value) {
  value->SetEmpty();
  CQilComPtr<IDispatch> grid = GridObject();
  CQilVariant property;
  if (!grid || FAILED(Property(grid, name, property)))
    return false;
  value->AddBool(property.vt == VT_I4 && property.lVal == 1 ? 1 : 0);
  return true;
}

// ---- attributes ----

STDMETHODIMP CWfUltraGrid::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  SettleScriptMode();
  switch (Name) {
  case 0:
  case kAttrDescription: {
    CQilBstr text(Name == 0 ? L"WbfUltraGrid" : GridName().c_str());
    CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValString(text);
    if (!value)
      return E_FAIL;
    *ppAttrVal = value.Detach();
    return S_OK;
  }
  case kAttrRowCount:
  case kAttrRowCellCount: {
    LONG count = Name == kAttrRowCount ? GetRowCount() : GetRowCellCount(0);
    if (count == -1)
      return E_FAIL;
    CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValLong(count);
    if (!value)
      return E_FAIL;
    *ppAttrVal = value.Detach();
    return S_OK;
  }
  case kAttrInnerElement:
  case kAttrAllowAddNew:
  case kAttrAllowSort:
  case kAttrAllowDelete:
  case kAttrExpansion:
  case kAttrSortState:
    break;
  default:
    return CIE4Table::GetAttrEx(Name, pAttrData, ppAttrVal);
  }
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrVal();
  if (!value)
    return E_FAIL;
  value.CopyTo(ppAttrVal);
  bool found = false;
  LONG state = -1;
  std::wstring rowText;
  switch (Name) {
  case kAttrInnerElement:
    found = FindInnerElement(pAttrData, value);
    break;
  case kAttrAllowAddNew:
    found = GridProperty(L"AllowAddNew", value);
    break;
  case kAttrAllowSort:
    found = GridProperty(L"AllowSort", value);
    break;
  case kAttrAllowDelete:
    found = GridProperty(L"AllowDelete", value);
    break;
  case kAttrExpansion:
    found = StringAt(pAttrData, 0, rowText) && ExpansionState(rowText, state);
    break;
  default:
    found = SortState(ValueAt(pAttrData, 0), state);
    break;
  }
  if (found && (Name == kAttrExpansion || Name == kAttrSortState))
    value->AddLong(state);
  return Found(found);
}

// ---- attribute 78 ----

bool CWfUltraGrid::FindInnerElement(IWebAttrVal *data, IWebAttrVal *value) {
  value->SetEmpty();
  CQilComPtr<IWebVariant> action = ValueAt(data, 2);
  LONG target = 0;
  CQilComPtr<IWebObj2> found;
  if (!action) {
    found = CellContent(data);
  } else if (TypeOf(action) != WEB_AV_LONG || FAILED(action->get_long(&target))) {
    return false;
  } else if (target == kTargetRow) {
    found = RowSelector(data);
  } else if (target == kTargetColumn) {
    found = ColumnHeader(data);
  } else if (target == kTargetControl) {
    found = CellControl(data);
  } else if (target == kTargetAddNew) {
    found = AddNewRow(data);
  } else if (target == kTargetGroupBy) {
    found = GridChildHolding(L"_groupBox");
  } else {
    found = CellContent(data);
  }
  CQilComPtr<IWebRunTimeID> id;
  if (!found || FAILED(found->GetId(&id)) || !id)
    return false;
  return SUCCEEDED(value->AddWebRTID(id));
}

CQilComPtr<IWebObj2> CWfUltraGrid::LocateCell(IWebAttrVal *data, IDispatch **header) {
  std::wstring rowText;
  ColumnRef column;
  std::wstring columnNo;
  if (!StringAt(data, 0, rowText) || FAILED(LocateColumn(ValueAt(data, 1), column)) ||
      !StringProperty(column.header, L"columnNo", columnNo))
    return {};
  if (header != nullptr)
    column.header.CopyTo(header);
  std::wstring levelKey = LevelKey(rowText);
  if (m_nScriptMode == 1) {
    CQilVariant unused;
    Evaluate(L"igtbl_getRowById(" + Quoted(GridName() + Separator() + L"_" + levelKey) + L")",
             unused);
  }
  return LocateByKey(L"TD", levelKey + L"_" + columnNo);
}

CQilComPtr<IWebObj2> CWfUltraGrid::CellContent(IWebAttrVal *data) {
  CQilComPtr<IWebObj2> cell = LocateCell(data, nullptr);
  LONG position = 0;
  if (!cell || !LongAt(data, 3, position))
    return {};
  if (position == 0)
    return cell;
  for (const CQilComPtr<IWebObj2> &child : DirectChildren(cell)) {
    std::wstring tag;
    if (!child || !AOString(child, kAttrTagName, tag))
      continue;
    for (wchar_t &c : tag)
      if (c >= L'A' && c <= L'Z')
        c = static_cast<wchar_t>(c - L'A' + L'a');
    if (tag == L"img" || tag == L"input" || tag == L"select" || tag == L"a")
      return child;
  }
  return cell;
}

// The tail of a row id: what follows the grid name and the separator.
CQilComPtr<IWebObj2> CWfUltraGrid::RowSelector(IWebAttrVal *data) {
  std::wstring rowText;
  LONG part = -1;
  if (!StringAt(data, 0, rowText) || !LongAt(data, 3, part) || (part != 0 && part != 1))
    return {};
  CQilComPtr<IWebObj2> tr = LocateRow(rowText);
  std::wstring rowId = ElementId(WrappedElement(tr));
  if (!tr || (!StartsWith(rowId, Prefixed(L"r")) && !StartsWith(rowId, Prefixed(L"gr"))))
    return {};
  if (StartsWith(rowId, Prefixed(L"gr"))) {
    std::wstring tail = rowId.substr(rowId.rfind(L'_') + 1);
    CQilComPtr<IWebObj2> selector;
    std::wstring selectorId = Prefixed(L"grc") + tail + L"_0";
    for (const CQilComPtr<IWebObj2> &child : DirectChildren(tr)) {
      std::wstring id;
      if (child && AOString(child, kAttrId, id) && id == selectorId)
        selector = child;
    }
    std::vector<CQilComPtr<IWebObj2>> inside = DirectChildren(selector);
    if (part == 0)
      return inside.empty() ? nullptr : inside.front();
    for (const CQilComPtr<IWebObj2> &child : inside) {
      std::wstring tag;
      if (child && AOString(child, kAttrTagName, tag) && (tag == L"INPUT" || tag == L"input"))
        return child;
    }
    return {};
  }
  std::wstring selectorId = Prefixed(L"l") + rowId.substr(Prefixed(L"r").size());
  for (const CQilComPtr<IWebObj2> &child : DirectChildren(tr)) {
    std::wstring id;
    if (!child || !AOString(child, kAttrId, id))
      id.clear();
    if (part == 1 && id == selectorId)
      return child;
    if (part == 0 && id.empty()) {
      std::vector<CQilComPtr<IWebObj2>> inside = DirectChildren(child);
      return inside.empty() ? nullptr : inside.front();
    }
  }
  return {};
}

CQilComPtr<IWebObj2> CWfUltraGrid::ColumnHeader(IWebAttrVal *data) {
  ColumnRef column;
  if (FAILED(LocateColumn(ValueAt(data, 1), column)))
    return {};
  CQilComPtr<IWebObj2> frame;
  GetParentFrame(&frame);
  return HostServices::GetHostAO(column.header, frame, VARIANT_FALSE);
}

CQilComPtr<IWebObj2> CWfUltraGrid::CellControl(IWebAttrVal *data) {
  CQilComPtr<IDispatch> header;
  CQilComPtr<IWebObj2> cell = LocateCell(data, &header);
  LONG position = 0;
  if (!cell || !LongAt(data, 3, position) || position < -1)
    return {};
  if (position == -1) {
    CQilComPtr<IHTMLElement> headerElement;
    headerElement.QueryFrom(header);
    std::wstring headerId = ElementId(headerElement);
    CQilVariant type;
    if (headerId.empty() ||
        FAILED(
            Evaluate(Fill(L"igtbl_getColumnById('colId').Type", {{L"colId", headerId}}), type)) ||
        type.vt != VT_I4)
      return {};
    if (type.lVal == 0)
      return LocateByKey(L"INPUT", L"tb");
    if (type.lVal == 5)
      return LocateByKey(L"SELECT", L"vl");
    if (type.lVal != 3)
      return {};
    position = 0;
  }
  std::vector<CQilComPtr<IWebObj2>> children = DirectChildren(cell);
  if (static_cast<size_t>(position) >= children.size())
    return {};
  return children[static_cast<size_t>(position)];
}

// The grid's direct child whose first child's id ends with `suffix`.
CQilComPtr<IWebObj2> CWfUltraGrid::GridChildHolding(std::wstring_view suffix) {
  for (const CQilComPtr<IWebObj2> &child : DirectChildren(OuterWebObj())) {
    std::vector<CQilComPtr<IWebObj2>> inside = DirectChildren(child);
    std::wstring id;
    if (!child || inside.empty() || !inside.front() || !AOString(inside.front(), kAttrId, id))
      return {};
    if (EndsWith(id, suffix))
      return child;
  }
  return {};
}

CQilComPtr<IWebObj2> CWfUltraGrid::AddNewRow(IWebAttrVal *data) {
  std::wstring bandKey;
  CQilComPtr<IWebObj2> area = GridChildHolding(L"_addBox");
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  SAFEARRAY *array = nullptr;
  if (!StringAt(data, 0, bandKey) || !area || !filter ||
      FAILED(filter->put_tagName(CQilBstr(m_nScriptMode == 1 ? L"TD" : L"DIV"))) ||
      FAILED(filter->put_filter(ALL_KINDS_OF_OBJECTS)) ||
      FAILED(area->GetAllChildren(filter, &array)))
    return {};
  std::wstring framed = L" " + bandKey + L" ";
  for (const CQilComPtr<IWebObj2> &entry : AOsOf(array)) {
    std::wstring text;
    if (!entry || !AOString(entry, kAttrInnerText, text))
      continue;
    // The page's text of an entry may come trimmed of the framing spaces.
    if (SameText(text, framed) || SameText(std::wstring(Trimmed(text)), bandKey))
      return entry;
  }
  return {};
}

// ---- requests ----

STDMETHODIMP CWfUltraGrid::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_INVALIDARG;
  switch (MethodName) {
  case GET_TABLE_DATA:
    return GetTableData(*ppWebInfo);
  case SCROLL_POINT_INTO_VIEW:
    return ScrollPointIntoView(*ppWebInfo);
  default:
    return CIE4Table::InvokeMethod(MethodName, ppWebInfo);
  }
}

HRESULT CWfUltraGrid::GetTableData(IWebInfo *request) {
  request->SetReturnValue(E_FAIL);
  SettleScriptMode();
  CQilComPtr<IDispatch> band =
      EvaluateObject(Fill(L"igtbl_getBandById('gridIdr_0')", {{L"gridId", RowIdStem()}}));
  CQilComPtr<IDispatch> columns = band ? ObjectProperty(band, L"Columns") : nullptr;
  LONG columnCount = 0;
  if (!columns || !LongProperty(columns, L"length", columnCount))
    return E_FAIL;
  request->InsertAttrLong(kAttrColumnCount, columnCount, 1);
  CQilComPtr<IDispatch> row =
      EvaluateObject(Fill(L"igtbl_getRowById('gridIdr_0')", {{L"gridId", RowIdStem()}}));
  if (!row)
    return E_FAIL;
  LONG rows = 0;
  for (; row; ++rows) {
    CQilComPtr<IWebAttrVal> values = HostServices::NewWebAttrVal();
    if (!values)
      return E_FAIL;
    for (LONG i = 0; i < columnCount; ++i) {
      CQilVariant index(i);
      CQilVariant cell;
      CQilVariant value;
      if (FAILED(CallNamedMethod1(row, L"getCell", &index, &cell, nullptr, nullptr)) ||
          cell.vt != VT_DISPATCH || cell.pdispVal == nullptr ||
          FAILED(CallNamedMethod0(cell.pdispVal, L"getValue", &value, nullptr, nullptr)) ||
          value.vt == VT_EMPTY)
        continue;
      values->AddVariant(value);
    }
    request->InsertAttrWebAttr(kFirstRowEntry + rows, values, 1);
    row = EvaluateObject(Fill(L"igtbl_getRowById('gridIdr_rowNum')",
                              {{L"gridId", RowIdStem()}, {L"rowNum", Decimal(rows + 1)}}));
  }
  request->InsertAttrLong(kAttrRowText, rows, 1);
  request->SetReturnValue(S_OK);
  return S_OK;
}

CQilComPtr<IHTMLElement2> CWfUltraGrid::ScrollingElement() {
  std::wstring divName = GridName() + L"_div";
  CQilComPtr<IDispatch> childrenDispatch;
  CQilComPtr<IHTMLElementCollection> children;
  CQilComPtr<IDispatch> first;
  CQilComPtr<IHTMLTableSection> section;
  CQilComPtr<IHTMLElementCollection> rows;
  LONG rowCount = 0;
  if (!m_spHTMLElement || FAILED(m_spHTMLElement->get_children(&childrenDispatch)) ||
      FAILED(children.QueryFrom(childrenDispatch)) || !children ||
      FAILED(children->item(CQilVariant(LONG{0}), CQilVariant(LONG{0}), &first)) ||
      FAILED(section.QueryFrom(first)) || !section || FAILED(section->get_rows(&rows)) || !rows ||
      FAILED(rows->get_length(&rowCount)))
    return {};
  for (LONG r = 0; r < rowCount; ++r) {
    CQilComPtr<IDispatch> rowItem;
    CQilComPtr<IHTMLTableRow> row;
    CQilComPtr<IHTMLElementCollection> cells;
    CQilComPtr<IDispatch> cellItem;
    CQilComPtr<IHTMLElement> cell;
    CQilComPtr<IDispatch> cellChildrenDispatch;
    CQilComPtr<IHTMLElementCollection> cellChildren;
    CQilComPtr<IDispatch> div;
    if (FAILED(rows->item(CQilVariant(r), CQilVariant(LONG{0}), &rowItem)) ||
        FAILED(row.QueryFrom(rowItem)) || !row || FAILED(row->get_cells(&cells)) || !cells ||
        FAILED(cells->item(CQilVariant(LONG{0}), CQilVariant(LONG{0}), &cellItem)) ||
        FAILED(cell.QueryFrom(cellItem)) || !cell ||
        FAILED(cell->get_children(&cellChildrenDispatch)) ||
        FAILED(cellChildren.QueryFrom(cellChildrenDispatch)) || !cellChildren ||
        FAILED(cellChildren->item(CQilVariant(divName.c_str()), CQilVariant(LONG{0}), &div)) ||
        !div)
      continue;
    CQilComPtr<IHTMLElement2> element;
    element.QueryFrom(div);
    return element;
  }
  return {};
}

HRESULT CWfUltraGrid::ScrollPointIntoView(IWebInfo *request) {
  request->SetReturnValue(E_FAIL);
  LONG x = 0;
  LONG y = 0;
  if (FAILED(request->GetLongValueByName(kAttrX, &x)) ||
      FAILED(request->GetLongValueByName(kAttrY, &y)))
    return E_FAIL;
  CQilComPtr<IHTMLElement2> div = ScrollingElement();
  if (!div)
    return E_FAIL;
  LONG left = 0;
  LONG top = 0;
  LONG width = 0;
  LONG height = 0;
  div->get_scrollLeft(&left);
  div->get_scrollTop(&top);
  div->get_clientWidth(&width);
  div->get_clientHeight(&height);
  if (x < left || x > left + width)
    div->put_scrollLeft(x);
  if (y < top || y > top + height)
    div->put_scrollTop(y);
  request->SetReturnValue(S_OK);
  return S_OK;
}

// ---- recording ----

// The innermost cell around `element` inside the grid's own TABLE.
CQilComPtr<IHTMLElement> CWfUltraGrid::CellAround(IHTMLElement *element) {
  CQilComPtr<IHTMLElement> cell;
  CQilComPtr<IHTMLElement> current = element;
  while (current) {
    CQilComPtr<IHTMLTableCell> tableCell;
    CQilComPtr<IHTMLTable> table;
    if (!cell && SUCCEEDED(tableCell.QueryFrom(current)) && tableCell)
      cell = current;
    if (SUCCEEDED(table.QueryFrom(current)) && table && table.IsSameObject(m_spHTMLElement))
      return cell;
    CQilComPtr<IHTMLElement> parent;
    if (FAILED(current->get_parentElement(&parent)))
      return {};
    current = parent;
  }
  return {};
}

HRESULT CWfUltraGrid::BuildRecordInfo(IUnknown *element, IWebInfo **record) {
  SettleScriptMode();
  HRESULT hr = CIE4Table::BuildRecordInfo(element, record);
  if (hr != S_OK)
    return hr;
  CQilComPtr<IHTMLElement> html;
  html.QueryFrom(element);
  CQilComPtr<IHTMLElement> cell = html ? CellAround(html) : nullptr;
  if (!cell)
    return E_FAIL;
  CQilComPtr<IWebObj2> self = OuterWebObj();
  hr = self ? PutRunTimeId(*record, self) : E_FAIL;
  if (FAILED(hr))
    return hr;
  hr = RecordCell(html, cell, *record);
  if (hr == S_FALSE)
    hr = RecordRowSelector(html, *record);
  if (hr == S_FALSE)
    hr = RecordRowCheckBox(html, *record);
  if (hr == S_FALSE)
    hr = RecordColumnHeader(html, *record);
  if (hr == S_FALSE)
    hr = RecordAddNewRow(html, *record);
  if (hr == S_FALSE)
    hr = RecordCellEditor(html, *record);
  if (hr == S_FALSE)
    hr = RecordActiveCell(html, *record);
  return hr;
}

void CWfUltraGrid::RecordShiftKey(IHTMLElement *element, IWebInfo *record) {
  CQilComPtr<IHTMLEventObj> event = CWfKitUtil::GetCurrentEvent(element);
  VARIANT_BOOL shift = VARIANT_FALSE;
  if (!event || FAILED(event->get_shiftKey(&shift)))
    shift = VARIANT_FALSE;
  PutBool(record, kAttrShiftKey, shift != VARIANT_FALSE);
}

// A click on a cell, or on a control whose id names its cell. The cell
// itself is recorded as such; a control inside as 16392 with its position
// among the cell's children, which the inner element lookup takes back.
HRESULT CWfUltraGrid::RecordCell(IHTMLElement *element, IHTMLElement *cell, IWebInfo *record) {
  std::wstring id = ElementId(element);
  std::wstring rowText;
  std::wstring columnText;
  if (!StartsWith(id, Prefixed(L"rc")) || FAILED(RowText(id, rowText)) ||
      FAILED(ColumnText(id, columnText)))
    return S_FALSE;
  PutString(record, kAttrRowText, rowText);
  PutString(record, kAttrColumnText, columnText);
  CQilComPtr<IWebObj2> frame;
  GetParentFrame(&frame);
  CQilComPtr<IWebObj2> ao = HostServices::GetHostAO(element, frame, VARIANT_FALSE);
  CQilComPtr<IHTMLElement> same = element;
  if (!ao || same.IsSameObject(cell)) {
    PutLong(record, kEntryTarget, kTargetCell);
    PutLong(record, kEntryPart, 0);
    return S_OK;
  }
  CQilComPtr<IWebAttrVal> value;
  LONG attribute = ao->CompareClass(kCheckBoxClass) == S_OK ? kAttrChecked : kAttrValue;
  if (FAILED(ao->GetAttr(attribute, nullptr, &value)) || !value)
    return E_FAIL;
  HRESULT hr = PutRunTimeId(record, ao);
  if (FAILED(hr))
    return hr;
  PutLong(record, kEntryTarget, kTargetControl);
  Put(record, kAttrValue, value);
  std::vector<CQilComPtr<IWebObj2>> siblings =
      DirectChildren(HostServices::GetHostAO(cell, frame, VARIANT_FALSE));
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].Get() == ao.Get())
      PutLong(record, kEntryPart, static_cast<LONG>(i));
  return S_OK;
}

HRESULT CWfUltraGrid::RecordRowSelector(IHTMLElement *element, IWebInfo *record) {
  CQilComPtr<IHTMLElement> row = TagName(element) == L"TD" ? ParentElement(element) : nullptr;
  std::wstring rowId = ElementId(row);
  std::wstring rowText;
  if (!row || !StartsWith(rowId, Prefixed(L"r")) || FAILED(RowText(rowId, rowText)))
    return S_FALSE;
  RecordRowPart(element, record, rowText, StartsWith(ElementId(element), Prefixed(L"l")));
  return S_OK;
}

// A row step: its selector or check box (part 1, with the Shift key), else
// its expansion control (part 0, with the row's expansion state).
void CWfUltraGrid::RecordRowPart(IHTMLElement *element, IWebInfo *record,
                                 const std::wstring &rowText, bool selector) {
  PutLong(record, kEntryTarget, kTargetRow);
  PutString(record, kAttrRowText, rowText);
  if (selector) {
    RecordShiftKey(element, record);
    PutLong(record, kEntryPart, 1);
    return;
  }
  LONG state = -1;
  if (!ExpansionState(rowText, state))
    state = -1;
  PutLong(record, kEntryPart, 0);
  PutLong(record, kAttrValue, state);
}

HRESULT CWfUltraGrid::RecordRowCheckBox(IHTMLElement *element, IWebInfo *record) {
  std::wstring id = ElementId(element);
  std::wstring rowText;
  if (!StartsWith(id, Prefixed(L"grc")) || FAILED(RowText(id, rowText)))
    return S_FALSE;
  std::wstring type;
  bool checkBox = TagName(element) == L"INPUT" && AttributeString(element, L"type", type) &&
                  lstrcmpiW(type.c_str(), L"checkbox") == 0;
  RecordRowPart(element, record, rowText, checkBox);
  return S_OK;
}

HRESULT CWfUltraGrid::RecordColumnHeader(IHTMLElement *element, IWebInfo *record) {
  std::wstring id = ElementId(element);
  std::wstring columnText;
  if (TagName(element) != L"TH" || !StartsWith(id, Prefixed(L"c")) ||
      FAILED(ColumnText(id, columnText)))
    return S_FALSE;
  CQilBstr text(columnText.c_str(), static_cast<UINT>(columnText.size()));
  CQilComPtr<IWebVariant> name = HostServices::NewWebVariant();
  LONG state = -1;
  if (!name || FAILED(name->put_string(text)) || !SortState(name, state))
    state = -1;
  PutLong(record, kEntryTarget, kTargetColumn);
  PutString(record, kAttrColumnText, columnText);
  PutLong(record, kAttrValue, state);
  RecordShiftKey(element, record);
  return S_OK;
}

HRESULT CWfUltraGrid::RecordAddNewRow(IHTMLElement *element, IWebInfo *record) {
  if (!StartsWith(ElementId(element), Prefixed(L"an")))
    return S_FALSE;
  std::wstring bandNo;
  CQilVariant disabled = ElementAttribute(element, L"disabled"); // read, as the component sets it
  if (!AttributeString(element, L"bandNo", bandNo) || !IsDecimal(bandNo))
    return S_FALSE;
  CQilComPtr<IDispatch> band = EvaluateObject(GridObjectScript() + L".Bands[" + bandNo + L"]");
  std::wstring key;
  if (!band || !StringProperty(band, L"Key", key))
    return S_FALSE;
  PutLong(record, kEntryTarget, kTargetAddNew);
  PutString(record, kAttrRowText, key);
  return S_OK;
}

HRESULT CWfUltraGrid::RecordCellEditor(IHTMLElement *element, IWebInfo *record) {
  std::wstring tag = TagName(element);
  if (tag != L"INPUT" && tag != L"SELECT")
    return S_FALSE;
  CQilComPtr<IWebObj2> frame;
  GetParentFrame(&frame);
  CQilComPtr<IWebObj2> ao = HostServices::GetHostAO(element, frame, VARIANT_FALSE);
  if (!ao)
    return S_FALSE;
  HRESULT hr = PutRunTimeId(record, ao);
  if (FAILED(hr))
    return hr;
  std::wstring cellId;
  if (!AttributeString(element, L"currentCell", cellId))
    cellId.clear();
  PutLong(record, kEntryTarget, kTargetControl);
  PutTexts(record, cellId, true);
  PutLong(record, kEntryPart, -1);
  CQilComPtr<IWebAttrVal> value;
  if (SUCCEEDED(ao->GetAttr(kAttrValue, nullptr, &value)) && value)
    Put(record, kAttrValue, value);
  return S_OK;
}

HRESULT CWfUltraGrid::RecordActiveCell(IHTMLElement *element, IWebInfo *record) {
  std::wstring tag = TagName(element);
  if (tag != L"TABLE" && tag != L"DIV")
    return S_FALSE;
  std::wstring script = Fill(L"igtbl_getActiveCell('gridName')", {{L"gridName", GridName()}});
  std::wstring id;
  CQilComPtr<IDispatch> cell = EvaluateObject(script);
  CQilComPtr<IDispatch> cellElement = cell ? ObjectProperty(cell, L"Element") : nullptr;
  bool isCell = cellElement && StringProperty(cellElement, L"id", id);
  if (!isCell) {
    script.replace(script.find(L"Cell"), 4, L"Row");
    CQilComPtr<IDispatch> row = EvaluateObject(script);
    CQilComPtr<IDispatch> rowElement = row ? ObjectProperty(row, L"Element") : nullptr;
    if (!rowElement || !StringProperty(rowElement, L"id", id))
      id.clear();
  }
  PutLong(record, kEntryTarget, kTargetActiveCell);
  PutTexts(record, id, isCell);
  return S_OK;
}

// Entries 66 and 68 for the element with `id` (68 only for a cell); a text
// that cannot be read is the empty string.
void CWfUltraGrid::PutTexts(IWebInfo *record, const std::wstring &id, bool cell) {
  std::wstring rowText;
  std::wstring columnText;
  if (!id.empty() && FAILED(RowText(id, rowText)))
    rowText.clear();
  if (cell && !id.empty() && FAILED(ColumnText(id, columnText)))
    columnText.clear();
  PutString(record, kAttrRowText, rowText);
  PutString(record, kAttrColumnText, columnText);
}

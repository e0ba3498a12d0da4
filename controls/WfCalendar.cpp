#include "controls/WfCalendar.h"

#include <limits>
#include <string_view>

#include "controls/WfCalendarDayStyle.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"

namespace {

constexpr LONG kCalendarClass = 1028;
constexpr LCID kEnglishUs = 1033;
constexpr WCHAR kBaseDate[] = L"1-Jan-2000";
constexpr WCHAR kDatePicture[] = L"d'-'MMM'-'yyyy";
constexpr WCHAR kPostBack[] = L"doPostBack";

constexpr LONG kAttrClassName = 0;
constexpr LONG kAttrCount = 6; // also the mode of GetSelectionByStyle
constexpr LONG kAttrTitle = 16;
constexpr LONG kAttrLinkTarget = 53;
constexpr LONG kAttrEventName = 64;
constexpr LONG kAttrId = 138;
constexpr LONG kAttrStyleClass = 139;
constexpr LONG kAttrDescription = 146;
constexpr LONG kAttrMode = 16384;
constexpr LONG kAttrKind = 16385;
constexpr LONG kAttrDate = 16386;

enum CalendarMethod : LONG {
  kGoToMonth = 1030,
  kSelectDay = 1031,
  kSelectRange = 1032,
  kClickPrevMonth = 1033,
  kClickNextMonth = 1034,
  kGetSelectionByStyle = 1035,
  kGetDayStyle = 1036,
};

LONG LengthOf(IHTMLElementCollection *collection) {
  LONG length = 0;
  if (collection == nullptr || FAILED(collection->get_length(&length)))
    return 0;
  return length;
}

template <class T> CQilComPtr<T> ItemAt(IHTMLElementCollection *collection, LONG index) {
  CQilComPtr<IDispatch> item;
  CQilComPtr<T> typed;
  if (collection != nullptr &&
      SUCCEEDED(collection->item(CQilVariant(index), CQilVariant(LONG{0}), &item)) && item)
    typed.QueryFrom(item);
  return typed;
}

CQilComPtr<IHTMLElementCollection> AsCollection(IDispatch *dispatch) {
  CQilComPtr<IHTMLElementCollection> collection;
  collection.QueryFrom(dispatch);
  return collection;
}

// The descendants of `element` with the tag.
CQilComPtr<IHTMLElementCollection> Descendants(IHTMLElement *element, LPCOLESTR tag) {
  CQilComPtr<IDispatch> all;
  CQilComPtr<IDispatch> tagged;
  if (element == nullptr || FAILED(element->get_all(&all)) || !all)
    return {};
  CQilComPtr<IHTMLElementCollection> collection = AsCollection(all);
  if (!collection || FAILED(collection->tags(CQilVariant(tag), &tagged)))
    return {};
  return AsCollection(tagged);
}

CQilComPtr<IHTMLElementCollection> RowCells(IHTMLElementCollection *rows, LONG index) {
  CQilComPtr<IHTMLTableRow> row = ItemAt<IHTMLTableRow>(rows, index);
  CQilComPtr<IHTMLElementCollection> cells;
  if (!row || FAILED(row->get_cells(&cells)))
    cells.Release();
  return cells;
}

std::wstring Text(const CQilBstr &text) { return std::wstring(text.Text(), text.Length()); }

std::wstring InnerHtml(IHTMLElement *element) {
  CQilBstr html;
  if (element != nullptr)
    element->get_innerHTML(&html);
  return Text(html);
}

bool Contains(IHTMLElement *element, LPCOLESTR text) {
  return InnerHtml(element).find(text) != std::wstring::npos;
}

// As _wtoi: leading blanks, a sign, the digits up to the first other
// character; 0 without digits. Clamped to 32 bits.
LONG ToInt(std::wstring_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == L' ' || (text[at] >= 9 && text[at] <= 13)))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'-' || text[at] == L'+'))
    negative = text[at++] == L'-';
  LONGLONG value = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    value = value * 10 + (text[at] - L'0');
    if (value > 0x80000000LL)
      value = 0x80000000LL;
  }
  if (negative)
    value = -value;
  if (value > 0x7FFFFFFFLL)
    value = 0x7FFFFFFFLL;
  return static_cast<LONG>(value);
}

// The argument of the first postback call in `html`: between the first ",'"
// and the next "')" after "doPostBack".
bool PostBackArgument(const std::wstring &html, std::wstring &argument) {
  size_t call = html.find(kPostBack);
  if (call == std::wstring::npos)
    return false;
  size_t start = html.find(L",'", call);
  if (start == std::wstring::npos)
    return false;
  start += 2;
  size_t end = html.find(L"')", start);
  if (end == std::wstring::npos)
    return false;
  argument = html.substr(start, end - start);
  return true;
}

bool ReadString(IWebInfo *request, LONG id, CQilBstr &value) {
  CQilComPtr<IWebVariant> entry;
  if (FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_STRING, &entry)) || !entry)
    return false;
  return SUCCEEDED(entry->get_string(&value));
}

bool ReadLong(IWebInfo *request, LONG id, LONG &value) {
  CQilComPtr<IWebVariant> entry;
  if (FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_LONG, &entry)) || !entry)
    return false;
  return SUCCEEDED(entry->get_long(&value));
}

void WriteString(IWebInfo *request, LONG id, LPCOLESTR text) {
  CQilBstr copy(text);
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValString(copy);
  if (value)
    request->ReplaceAttrValueByName(id, value, 1);
}

// Exact comparison of request and record texts.
bool Is(const CQilBstr &text, LPCOLESTR expected) {
  CQilBstr other(expected);
  return VarBstrCmp(text, other, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

bool ToDate(BSTR text, DATE &date) {
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = text;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeTypeEx(&converted, &source, kEnglishUs, 0, VT_DATE)) ||
      converted.vt != VT_DATE)
    return false;
  date = converted.date;
  return true;
}

bool BaseDate(DATE &date) { return ToDate(CQilBstr(kBaseDate), date); }

// Selected by the cell's inline colours.
bool IsSelected(IHTMLElement *cell, const CWfCalendarDayStyle *) {
  CQilComPtr<IHTMLStyle> style;
  if (cell == nullptr || FAILED(cell->get_style(&style)) || !style)
    return false;
  CQilVariant background;
  CQilVariant colour;
  if (FAILED(style->get_backgroundColor(&background)) || FAILED(style->get_color(&colour)))
    return false;
  if (background.vt == VT_I4 && colour.vt == VT_I4)
    return background.lVal != 0 || colour.lVal != 0;
  if (background.vt == VT_BSTR && colour.vt == VT_BSTR)
    return SysStringLen(background.bstrVal) != 0 || SysStringLen(colour.bstrVal) != 0;
  return false;
}

// The link target (attribute 53) of the host's object of a clicked element.
std::wstring LinkTarget(IWebObj2 *source) {
  CQilComPtr<IWebAttrVal> target;
  CQilComPtr<IWebVariant> first;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  CQilBstr link;
  if (SUCCEEDED(source->GetAttr(kAttrLinkTarget, nullptr, &target)) && target &&
      SUCCEEDED(target->GetValue(0, &first)) && first && SUCCEEDED(first->GetType(&type)) &&
      type == WEB_AV_STRING)
    first->get_string(&link);
  return Text(link);
}

bool MatchesStyle(IHTMLElement *cell, const CWfCalendarDayStyle *style) {
  return style != nullptr && style->Matches(cell);
}

CQilComPtr<IWebObj2> ElementObject(IHTMLElement *element, IWebObj2 *parent) {
  CQilComPtr<IWebObj2> ao;
  if (FAILED(CreateWebObject<CIE4Obj>(&ao, static_cast<IUnknown *>(element), parent)))
    ao.Release();
  return ao;
}

bool IsHex(WCHAR c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// The character of `count` hex digits at `at`, or false.
bool HexChar(const std::wstring &text, size_t at, size_t count, WCHAR &c) {
  if (at + count > text.size())
    return false;
  unsigned value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (!IsHex(text[i]))
      return false;
    WCHAR d = text[i];
    value = value * 16 + static_cast<unsigned>(d <= L'9' ? d - L'0' : (d | 0x20) - L'a' + 10);
  }
  c = static_cast<WCHAR>(value);
  return true;
}

} // namespace

CWfCalendar::CWfCalendar(IUnknown *element, IWebObj2 *parent)
    : CAOEventConnection<CIE4Obj>(element, parent) {
  SetWebClass(kCalendarClass);
  NameWebFormsEventConfiguration();
  try {
    CaptureLearnedStyle();
  } catch (...) {
    // Out of memory: nothing is learned.
  }
}

CWfCalendar::~CWfCalendar() = default;

// ---- recognition ----

bool CWfCalendar::IsCalendar(IHTMLElement *element) {
  try {
    return IsCalendarTable(element);
  } catch (...) {
    return false; // out of memory
  }
}

bool CWfCalendar::IsCalendarTable(IHTMLElement *element) {
  CQilComPtr<IHTMLTable> table;
  if (element == nullptr || FAILED(table.QueryFrom(element)) || !table)
    return false;
  CQilBstr id;
  if (FAILED(element->get_id(&id)) || id.IsEmpty()) {
    CQilBstr title;
    if (FAILED(element->get_title(&title)) || title.IsEmpty())
      return false;
  }
  CQilComPtr<IHTMLElementCollection> rows;
  if (FAILED(table->get_rows(&rows)) || !rows)
    return false;
  LONG rowCount = LengthOf(rows);
  if (rowCount != 7 && rowCount != 8)
    return false;
  CQilComPtr<IHTMLElementCollection> cells = RowCells(rows, 4);
  LONG cellCount = LengthOf(cells);
  if (cellCount != 7 && cellCount != 8)
    return false;
  CQilComPtr<IHTMLElement> before = ItemAt<IHTMLElement>(cells, 3);
  CQilComPtr<IHTMLElement> middle = ItemAt<IHTMLElement>(cells, 4);
  CQilComPtr<IHTMLElement> after = ItemAt<IHTMLElement>(cells, 5);
  if (!before || !middle || !after)
    return false;
  CQilComPtr<IDispatch> children;
  if (FAILED(middle->get_children(&children)) || !children)
    return false;
  CQilComPtr<IHTMLAnchorElement> link = ItemAt<IHTMLAnchorElement>(AsCollection(children), 0);
  CQilBstr href;
  if (!link || FAILED(link->get_href(&href)) ||
      Text(href).find(L"__doPostBack") == std::wstring::npos)
    return false;
  auto number = [](IHTMLElement *cell) {
    CQilBstr text;
    if (FAILED(cell->get_innerText(&text)))
      return LONG{0};
    return ToInt(Text(text));
  };
  LONG n = number(middle);
  return n > 1 && n < 31 && number(before) == n - 1 && number(after) == n + 1;
}

// ---- page reading ----

std::vector<CWfCalendar::Cell> CWfCalendar::Cells() {
  std::vector<Cell> result;
  CQilComPtr<IHTMLTable2> table;
  CQilComPtr<IHTMLElementCollection> cells;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table || FAILED(table->get_cells(&cells)))
    return result;
  LONG count = LengthOf(cells);
  for (LONG i = 0; i < count; ++i) {
    CQilComPtr<IHTMLElement> cell = ItemAt<IHTMLElement>(cells, i);
    if (!cell)
      continue;
    std::wstring html = InnerHtml(cell);
    std::wstring argument;
    if (html.find(kPostBack) == std::wstring::npos)
      result.push_back({cell, CellKind::NoPostBack, 0});
    else if (!PostBackArgument(html, argument) || argument.empty() || argument[0] == L'V' ||
             argument[0] == L'R')
      result.push_back({cell, CellKind::Navigation, 0});
    else
      result.push_back({cell, CellKind::Day, ToInt(argument)});
  }
  return result;
}

CQilComPtr<IHTMLElement> CWfCalendar::FindDayCell(LONG day) {
  CQilComPtr<IHTMLTable2> table;
  CQilComPtr<IHTMLElementCollection> cells;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table || FAILED(table->get_cells(&cells)))
    return {};
  std::wstring quoted = L"'" + std::to_wstring(day) + L"'";
  LONG count = LengthOf(cells);
  for (LONG i = 0; i < count; ++i) {
    CQilComPtr<IHTMLElement> cell = ItemAt<IHTMLElement>(cells, i);
    if (!cell)
      continue;
    size_t at = InnerHtml(cell).find(quoted);
    if (at != std::wstring::npos && at > 0)
      return cell;
  }
  return {};
}

CQilComPtr<IHTMLElementCollection> CWfCalendar::TitleCells() {
  CQilComPtr<IHTMLTable> table;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table)
    return {};
  CQilComPtr<IHTMLTable2> title = ItemAt<IHTMLTable2>(Descendants(m_spHTMLElement, L"TABLE"), 0);
  CQilComPtr<IHTMLElementCollection> cells;
  if (!title || FAILED(title->get_cells(&cells)))
    cells.Release();
  return cells;
}

CQilComPtr<IHTMLElement> CWfCalendar::NavigationLink(bool next) {
  CQilComPtr<IHTMLElementCollection> cells = TitleCells();
  if (LengthOf(cells) <= 1)
    return {};
  CQilComPtr<IHTMLElement> cell = ItemAt<IHTMLElement>(cells, next ? 2 : 0);
  if (!cell)
    return {};
  return ItemAt<IHTMLElement>(Descendants(cell, L"A"), 0);
}

CQilBstr CWfCalendar::Title() {
  CQilComPtr<IHTMLElementCollection> cells = TitleCells();
  LONG count = LengthOf(cells);
  CQilComPtr<IHTMLElement> cell;
  if (count > 0)
    cell = ItemAt<IHTMLElement>(cells, count == 1 ? 0 : 1);
  CQilBstr text;
  if (!cell || FAILED(cell->get_innerText(&text)))
    return CQilBstr(L"None");
  return text.Get() != nullptr ? text : CQilBstr(L"");
}

LPCOLESTR CWfCalendar::SelectionMode() {
  CQilComPtr<IHTMLTable> table;
  CQilComPtr<IHTMLElementCollection> rows;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table || FAILED(table->get_rows(&rows)))
    return L"None";
  CQilComPtr<IHTMLElementCollection> cells = RowCells(rows, 4);
  LONG cellCount = LengthOf(cells);
  if (cellCount == 7)
    return Contains(ItemAt<IHTMLElement>(cells, 4), kPostBack) ? L"Day" : L"None";
  if (cellCount != 8)
    return L"None";
  LONG rowCount = LengthOf(rows);
  if (rowCount != 7 && rowCount != 8)
    return L"None";
  CQilComPtr<IHTMLElement> corner = ItemAt<IHTMLElement>(RowCells(rows, rowCount == 7 ? 0 : 1), 0);
  if (!corner)
    return L"None";
  return Contains(corner, kPostBack) ? L"DayWeekMonth" : L"DayWeek";
}

LPCOLESTR CWfCalendar::RangeKind(LONG day, CellTest test, const CWfCalendarDayStyle *style) {
  auto passes = [&](LONG d) {
    CQilComPtr<IHTMLElement> cell = FindDayCell(d);
    return cell && test(cell, style);
  };
  if (!passes(day + 1))
    return L"Day";
  if (!passes(day + 6))
    return L"";
  return passes(day + 7) ? L"Month" : L"Week";
}

LPCOLESTR CWfCalendar::SelectionKind() {
  LPCOLESTR result = L"None";
  for (const Cell &cell : Cells()) {
    if (cell.kind == CellKind::NoPostBack)
      result = L"Month";
    if (cell.kind != CellKind::Day)
      continue;
    result = L"";
    if (IsSelected(cell.element, nullptr))
      return RangeKind(cell.day, IsSelected, nullptr);
  }
  return result;
}

bool CWfCalendar::SelectedDate(CQilBstr &text) {
  for (const Cell &cell : Cells())
    if (cell.kind == CellKind::Day && IsSelected(cell.element, nullptr))
      return DateText(cell.day, text);
  return false;
}

std::wstring CWfCalendar::PostBackName() {
  std::wstring html = InnerHtml(m_spHTMLElement);
  size_t call = html.find(kPostBack);
  if (call == std::wstring::npos)
    return {};
  size_t start = html.find(L"('", call);
  if (start == std::wstring::npos)
    return {};
  start += 2;
  size_t end = html.find(L"',", start);
  if (end == std::wstring::npos)
    return {};
  return UnescapeScriptLiteral(html.substr(start, end - start));
}

bool CWfCalendar::DateText(LONG day, CQilBstr &text) {
  DATE base = 0;
  SYSTEMTIME time{};
  if (!BaseDate(base) || !VariantTimeToSystemTime(base + day, &time))
    return false;
  WCHAR buffer[1024];
  if (GetDateFormatW(kEnglishUs, 0, &time, kDatePicture, buffer, 1024) == 0)
    return false;
  text = buffer;
  return !text.IsEmpty();
}

std::wstring CWfCalendar::UnescapeScriptLiteral(const std::wstring &literal) {
  std::wstring text;
  text.reserve(literal.size());
  for (size_t at = 0; at < literal.size(); ++at) {
    WCHAR c = literal[at];
    if (c != L'\\' || at + 1 == literal.size()) {
      text += c;
      continue;
    }
    WCHAR next = literal[++at];
    WCHAR decoded = next;
    switch (next) {
    case L'n':
      decoded = L'\n';
      break;
    case L'r':
      decoded = L'\r';
      break;
    case L't':
      decoded = L'\t';
      break;
    case L'b':
      decoded = L'\b';
      break;
    case L'f':
      decoded = L'\f';
      break;
    case L'v':
      decoded = L'\v';
      break;
    case L'0':
      decoded = L'\0';
      break;
    case L'x':
      if (HexChar(literal, at + 1, 2, decoded))
        at += 2;
      else
        decoded = next;
      break;
    case L'u':
      if (HexChar(literal, at + 1, 4, decoded))
        at += 4;
      else
        decoded = next;
      break;
    case L'\n':
    case L'\r':
    case 0x2028:
    case 0x2029:
      continue; // a line continuation
    default:
      break;
    }
    text += decoded;
  }
  return text;
}

std::wstring CWfCalendar::EscapeScriptLiteral(const std::wstring &text) {
  static constexpr WCHAR kHex[] = L"0123456789ABCDEF";
  std::wstring literal;
  literal.reserve(text.size() + 8);
  for (WCHAR c : text) {
    if (c == L'\\' || c == L'\'' || c == L'"') {
      literal += L'\\';
      literal += c;
    } else if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029) {
      unsigned value = c;
      literal += L"\\u";
      for (int shift = 12; shift >= 0; shift -= 4)
        literal += kHex[(value >> shift) & 0xF];
    } else {
      literal += c;
    }
  }
  return literal;
}

// ---- attributes ----

STDMETHODIMP CWfCalendar::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  if (Name == kAttrDescription)
    return GetAttrEx(kAttrId, pAttrData, ppAttrVal);
  if (Name != kAttrClassName && Name != kAttrTitle && Name != kAttrMode && Name != kAttrKind &&
      Name != kAttrDate)
    return CIE4Obj::GetAttrEx(Name, pAttrData, ppAttrVal);
  if (Name != kAttrClassName && !m_spHTMLElement)
    return E_FAIL;
  try {
    CQilBstr text;
    switch (Name) {
    case kAttrClassName:
      text = L"WbfCalendar";
      break;
    case kAttrTitle:
      text = Title();
      break;
    case kAttrMode:
      text = SelectionMode();
      break;
    case kAttrKind:
      text = SelectionKind();
      break;
    default:
      if (!SelectedDate(text))
        return S_OK; // no selected day: no value
    }
    CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValString(text);
    if (!value)
      return E_OUTOFMEMORY;
    *ppAttrVal = value.Detach();
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

// ---- replay ----

STDMETHODIMP CWfCalendar::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  LONG method = static_cast<LONG>(MethodName);
  if (method < kGoToMonth || method > kGetDayStyle)
    return CIE4Obj::InvokeMethod(MethodName, ppWebInfo);
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_POINTER;
  if (!m_spHTMLElement)
    return E_FAIL;
  // A postback may replace the page, and the host this object, meanwhile.
  CQilComPtr<IWebObj2> self(static_cast<IWebObj2 *>(this));
  CQilComPtr<IWebInfo> request(*ppWebInfo);
  HRESULT result = E_OUTOFMEMORY;
  try {
    result = Handle(method, request);
  } catch (...) {
    result = E_OUTOFMEMORY;
  }
  request->SetReturnValue(result);
  return S_OK;
}

HRESULT CWfCalendar::Handle(LONG method, IWebInfo *request) {
  switch (method) {
  case kGoToMonth:
    return GoToMonth(request);
  case kSelectDay:
    return SelectDay(request);
  case kSelectRange:
    return SelectRange(request);
  case kClickPrevMonth:
    return ClickMonthLink(false);
  case kClickNextMonth:
    return ClickMonthLink(true);
  case kGetSelectionByStyle:
    return GetSelectionByStyle(request);
  default:
    return GetDayStyle(request);
  }
}

HRESULT CWfCalendar::PostBack(LPCOLESTR prefix, LONG number) {
  std::wstring name = PostBackName();
  if (name.empty())
    return E_FAIL;
  std::wstring script = L"__doPostBack('" + EscapeScriptLiteral(name) + L"','" + prefix +
                        std::to_wstring(number) + L"')";
  CQilComPtr<IDispatch> documentDispatch;
  CQilComPtr<IHTMLDocument2> document;
  CQilComPtr<IHTMLWindow2> window;
  if (FAILED(m_spHTMLElement->get_document(&documentDispatch)) ||
      FAILED(document.QueryFrom(documentDispatch)) || !document ||
      FAILED(document->get_parentWindow(&window)) || !window)
    return E_FAIL;
  CQilBstr code(script.c_str(), static_cast<UINT>(script.size()));
  CQilBstr language(L"javascript");
  CQilVariant result;
  return window->execScript(code, language, &result);
}

HRESULT CWfCalendar::ParseDate(IWebInfo *request, LONG &day) {
  CQilBstr text;
  if (!ReadString(request, kAttrDate, text))
    return E_INVALIDARG;
  DATE base = 0;
  DATE target = 0;
  if (!BaseDate(base) || !ToDate(text, target))
    return E_INVALIDARG;
  CQilBstr kind;
  if (ReadString(request, kAttrKind, kind)) {
    if (Is(kind, L"Week")) {
      CQilComPtr<IHTMLTableCell> cell;
      LONG index = 0;
      if (SUCCEEDED(cell.QueryFrom(FindDayCell(static_cast<LONG>(target - base)))) && cell &&
          SUCCEEDED(cell->get_cellIndex(&index)) && index - 1 > 0)
        target -= index - 1;
    } else if (Is(kind, L"Month")) {
      SYSTEMTIME time{};
      if (VariantTimeToSystemTime(target, &time)) {
        time.wDay = 1;
        SystemTimeToVariantTime(&time, &target);
      }
    }
  }
  DATE difference = target - base;
  if (!(difference > std::numeric_limits<LONG>::min() &&
        difference < std::numeric_limits<LONG>::max()))
    return E_INVALIDARG;
  day = static_cast<LONG>(difference);
  return S_OK;
}

HRESULT CWfCalendar::GoToMonth(IWebInfo *request) {
  LONG day = 0;
  HRESULT hr = ParseDate(request, day);
  if (FAILED(hr))
    return hr;
  if (FindDayCell(day))
    return S_FALSE; // that month is on view
  return PostBack(L"V", day);
}

HRESULT CWfCalendar::SelectDay(IWebInfo *request) {
  LONG day = 0;
  HRESULT hr = ParseDate(request, day);
  return FAILED(hr) ? hr : PostBack(L"", day);
}

HRESULT CWfCalendar::SelectRange(IWebInfo *request) {
  LONG day = 0;
  HRESULT hr = ParseDate(request, day);
  if (FAILED(hr))
    return hr;
  CQilBstr kind;
  if (!ReadString(request, kAttrKind, kind))
    return E_INVALIDARG;
  LONG count = 7;
  if (!Is(kind, L"Week") && !ReadLong(request, kAttrCount, count))
    return E_INVALIDARG;
  LONGLONG range = static_cast<LONGLONG>(day) * 100 + count;
  if (range < std::numeric_limits<LONG>::min() || range > std::numeric_limits<LONG>::max())
    return E_INVALIDARG;
  return PostBack(L"R", static_cast<LONG>(range));
}

HRESULT CWfCalendar::ClickMonthLink(bool next) {
  CQilComPtr<IHTMLElement> link = NavigationLink(next);
  if (!link)
    return E_FAIL;
  CQilComPtr<IWebInfo> click = HostServices::NewWebInfo();
  CQilComPtr<IWebObj2> linkObject = ElementObject(link, m_spParent);
  if (!click || !linkObject)
    return E_FAIL;
  WriteString(click, kAttrEventName, L"click");
  IWebInfo *raw = click;
  HRESULT hr = linkObject->InvokeMethod(CALL_EVENT, &raw);
  return FAILED(hr) ? hr : click->GetReturnValue();
}

HRESULT CWfCalendar::GetSelectionByStyle(IWebInfo *request) {
  LONG mode = -1;
  bool hasMode = ReadLong(request, kAttrCount, mode);
  CWfCalendarDayStyle &learned = CWfCalendarDayStyle::Learned();
  bool captured = !learned.isEmpty;
  if (hasMode && mode == 0 && captured)
    learned.WriteToRequest(request);
  CQilBstr date(L"None");
  LPCOLESTR kind = L"None";
  if (hasMode && (mode == 1 || (mode == 0 && captured))) {
    CWfCalendarDayStyle description;
    description.FillFromRequest(request);
    LONG day = 0;
    bool found = false;
    for (const Cell &cell : Cells())
      if (cell.kind == CellKind::Day && description.Matches(cell.element)) {
        day = cell.day;
        found = true;
        break;
      }
    if (found && DateText(day, date))
      kind = RangeKind(day, MatchesStyle, &description);
    else
      date = L"None";
  }
  WriteString(request, kAttrDate, date);
  WriteString(request, kAttrKind, kind);
  return S_OK;
}

HRESULT CWfCalendar::GetDayStyle(IWebInfo *request) {
  LONG day = 0;
  HRESULT hr = ParseDate(request, day);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IHTMLElement> cell = FindDayCell(day);
  CQilComPtr<IHTMLElement2> cell2;
  if (!cell || FAILED(cell2.QueryFrom(cell)) || !cell2)
    return E_FAIL;
  CQilBstr className;
  cell->get_className(&className);
  WriteString(request, kAttrStyleClass, className.Text());
  CQilComPtr<IHTMLCurrentStyle> style;
  if (FAILED(cell2->get_currentStyle(&style)) || !style)
    return S_FALSE;
  CQilVariant background;
  CQilVariant colour;
  CQilBstr fontStyle;
  style->get_backgroundColor(&background);
  style->get_color(&colour);
  style->get_fontStyle(&fontStyle);
  WriteString(request, 118, CWfCalendarDayStyle::ColourText(background).Text());
  WriteString(request, 21, CWfCalendarDayStyle::ColourText(colour).Text());
  WriteString(request, 22, fontStyle.Text());
  return S_OK;
}

// ---- recording ----

HRESULT CWfCalendar::BuildRecordInfo(IUnknown *element, IWebInfo **record) {
  if (record == nullptr || *record == nullptr)
    return E_POINTER;
  CQilComPtr<IWebObj2> self(static_cast<IWebObj2 *>(this));
  try {
    return RecordClick(element, *record);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CWfCalendar::ClassifyClick(const std::wstring &argument, Click &click) {
  click = Click{};
  if (argument[0] == L'V') {
    CQilComPtr<IHTMLElement> previous = NavigationLink(false);
    if (!previous)
      return E_FAIL;
    CQilBstr outer;
    previous->get_outerHTML(&outer);
    size_t at = Text(outer).find(argument);
    click.direction = (at == std::wstring::npos || at == 0) ? 1 : -1;
    click.kind = click.direction > 0 ? L"NextMonth" : L"PrevMonth";
    return S_OK;
  }
  if (argument[0] == L'R') {
    // R, the first day, then a two-digit count.
    size_t split = argument.size() >= 3 ? argument.size() - 2 : 1;
    click.day = ToInt(std::wstring_view(argument).substr(1, split - 1));
    click.kind = ToInt(std::wstring_view(argument).substr(split)) == 7 ? L"Week" : L"Month";
    return S_OK;
  }
  click.kind = L"Day";
  click.day = ToInt(argument);
  return S_OK;
}

HRESULT CWfCalendar::RecordClick(IUnknown *element, IWebInfo *record) {
  CQilBstr event;
  if (!ReadString(record, kAttrEventName, event) || !Is(event, L"onclick"))
    return S_FALSE;
  CQilComPtr<IWebRunTimeID> id;
  if (SUCCEEDED(GetId(&id)) && id)
    record->SetRTID(id);
  CQilComPtr<IWebObj2> self = OuterWebObj();
  WriteString(record, kAttrClassName, HostServices::GetRecordableClassName(self).Text());
  CQilComPtr<IWebObj2> source = HostServices::GetHostAO(element, self, VARIANT_FALSE);
  if (!source)
    return E_FAIL;
  Click click;
  std::wstring argument;
  if (PostBackArgument(LinkTarget(source), argument) && !argument.empty() &&
      FAILED(ClassifyClick(argument, click)))
    return E_FAIL;
  CQilBstr date(L"");
  if (click.direction == 0 && !DateText(click.day, date))
    return E_FAIL;
  if (lstrcmpW(click.kind, L"None") == 0)
    return E_FAIL;
  if (click.direction == 0)
    RememberClick(id, click.day);
  WriteString(record, kAttrDate, date.Text());
  WriteString(record, kAttrKind, click.kind);
  IWebInfo *raw = record;
  return CIE4Obj::BuildRecordInfo(element, &raw);
}

void CWfCalendar::RememberClick(IWebRunTimeID *id, LONG day) {
  CWfCalendarDayStyle &learned = CWfCalendarDayStyle::Learned();
  if (!learned.isEmpty || !learned.postBackName.IsEmpty())
    return;
  std::wstring name = PostBackName();
  learned.calendarId = id;
  learned.postBackName = CQilBstr(name.c_str(), static_cast<UINT>(name.size()));
  learned.day = day;
}

void CWfCalendar::CaptureLearnedStyle() {
  CWfCalendarDayStyle &learned = CWfCalendarDayStyle::Learned();
  if (!learned.isEmpty || learned.postBackName.IsEmpty() ||
      learned.calendarId.Get() == m_spRunTimeId.Get())
    return;
  std::wstring name = PostBackName();
  if (name.empty() || lstrcmpiW(name.c_str(), learned.postBackName.Text()) != 0) {
    learned.Reset();
    return;
  }
  CQilComPtr<IHTMLElement> cell = FindDayCell(learned.day);
  CQilComPtr<IHTMLElement2> cell2;
  if (!cell || FAILED(cell2.QueryFrom(cell)) || !cell2)
    return;
  cell->get_className(&learned.className);
  CQilComPtr<IHTMLCurrentStyle> style;
  if (FAILED(cell2->get_currentStyle(&style)) || !style)
    return;
  CQilVariant background;
  CQilVariant colour;
  style->get_backgroundColor(&background);
  style->get_color(&colour);
  learned.backgroundColor = CWfCalendarDayStyle::ColourText(background);
  learned.color = CWfCalendarDayStyle::ColourText(colour);
  style->get_fontStyle(&learned.fontStyle);
  learned.isEmpty = false;
}

#include "controls/WfCalendarDayStyle.h"

#include <memory>
#include <string>
#include <utility>

#include "webobj/HostServices.h"

namespace {

constexpr LONG kAttrColor = 21;
constexpr LONG kAttrFontStyle = 22;
constexpr LONG kAttrBackgroundColor = 118;
constexpr LONG kAttrClassName = 139;

// Not destroyed at process exit: the calendar id may belong to a module
// that is gone by then. DllMain releases it when the kit is freed.
CWfCalendarDayStyle *g_learned = nullptr;

bool ReadString(IWebInfo *request, LONG id, CQilBstr &value) {
  CQilComPtr<IWebVariant> entry;
  if (request == nullptr ||
      FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_STRING, &entry)) || !entry)
    return false;
  return SUCCEEDED(entry->get_string(&value));
}

void WriteString(IWebInfo *request, LONG id, BSTR text) {
  CQilBstr copy(text != nullptr ? text : L"");
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValString(copy);
  if (value)
    request->ReplaceAttrValueByName(id, value, 1);
}

bool SameText(BSTR expected, BSTR actual) {
  return SysStringLen(actual) != 0 && lstrcmpiW(expected, actual) == 0;
}

CQilBstr CurrentColour(IHTMLCurrentStyle *style, bool background) {
  VARIANT colour;
  VariantInit(&colour);
  HRESULT hr = background ? style->get_backgroundColor(&colour) : style->get_color(&colour);
  CQilBstr text;
  if (SUCCEEDED(hr))
    text = CWfCalendarDayStyle::ColourText(colour);
  VariantClear(&colour);
  return text;
}

} // namespace

void CWfCalendarDayStyle::Reset() {
  calendarId.Release();
  postBackName.Empty();
  day = 0;
  className.Empty();
  backgroundColor.Empty();
  color.Empty();
  fontStyle.Empty();
  isEmpty = true;
}

void CWfCalendarDayStyle::FillFromRequest(IWebInfo *request) {
  struct Field {
    LONG id;
    CQilBstr *target;
  };
  // CQilBstr's operator& empties the string: take addresses with addressof.
  for (const Field &field : {Field{kAttrColor, std::addressof(color)},
                             Field{kAttrBackgroundColor, std::addressof(backgroundColor)},
                             Field{kAttrFontStyle, std::addressof(fontStyle)},
                             Field{kAttrClassName, std::addressof(className)}}) {
    CQilBstr text;
    if (!ReadString(request, field.id, text))
      continue;
    *field.target = std::move(text);
    isEmpty = false;
  }
}

void CWfCalendarDayStyle::WriteToRequest(IWebInfo *request) const {
  if (request == nullptr)
    return;
  WriteString(request, kAttrColor, color);
  WriteString(request, kAttrBackgroundColor, backgroundColor);
  WriteString(request, kAttrFontStyle, fontStyle);
  WriteString(request, kAttrClassName, className);
}

bool CWfCalendarDayStyle::Matches(IHTMLElement *cell) const {
  CQilComPtr<IHTMLElement2> cell2;
  if (cell == nullptr || FAILED(cell2.QueryFrom(cell)) || !cell2)
    return false;
  int compared = 0;
  if (!className.IsEmpty()) {
    CQilBstr actual;
    cell->get_className(&actual);
    if (!SameText(className, actual))
      return false;
    ++compared;
  }
  CQilComPtr<IHTMLCurrentStyle> style;
  if (FAILED(cell2->get_currentStyle(&style)) || !style)
    return compared > 0;
  if (!backgroundColor.IsEmpty()) {
    if (!SameText(backgroundColor, CurrentColour(style, true)))
      return false;
    ++compared;
  }
  if (!color.IsEmpty()) {
    if (!SameText(color, CurrentColour(style, false)))
      return false;
    ++compared;
  }
  if (!fontStyle.IsEmpty()) {
    CQilBstr actual;
    style->get_fontStyle(&actual);
    if (!SameText(fontStyle, actual))
      return false;
    ++compared;
  }
  return compared > 0;
}

CQilBstr CWfCalendarDayStyle::ColourText(const VARIANT &colour) {
  if (colour.vt == VT_BSTR)
    return CQilBstr(colour.bstrVal != nullptr ? colour.bstrVal : L"", SysStringLen(colour.bstrVal));
  if (colour.vt != VT_I4)
    return CQilBstr(L"");
  std::wstring text = L"#" + std::to_wstring(colour.lVal);
  return CQilBstr(text.c_str(), static_cast<UINT>(text.size()));
}

CWfCalendarDayStyle &CWfCalendarDayStyle::Learned() {
  if (g_learned == nullptr)
    g_learned = new CWfCalendarDayStyle;
  return *g_learned;
}

void CWfCalendarDayStyle::ReleaseLearned() {
  delete g_learned;
  g_learned = nullptr;
}

// CWebEventID: a recorded event: window handle, screen point, event name,
// the runtime id of its source (a copy, or none) and an index.
//
// Text form: six fields separated by '|':
//   hwnd|x|y|name|source|index
// hwnd, x, y and index are signed decimals; source is the runtime id's text
// form ("b;f;o;t") or empty when there is none; in the name '\' is written
// "\\" and '|' is written "\|" (any other character, NUL included, stands as
// it is). The empty event is "0|0|0|||0". Anything else is E_INVALIDARG.
// Equal events have equal fields; a missing source equals only a missing one.
#include <cstdint>
#include <vector>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/IdCommon.h"

namespace host {
namespace {

struct EventData {
  std::int64_t hwnd = 0;
  LONG x = 0;
  LONG y = 0;
  std::wstring name;
  std::optional<WebIdParts> source;
  LONG index = 0;

  bool operator==(const EventData &) const = default;
};

std::wstring Escape(const std::wstring &name) {
  std::wstring out;
  out.reserve(name.size());
  for (wchar_t c : name) {
    if (c == L'\\' || c == L'|')
      out += L'\\';
    out += c;
  }
  return out;
}

// Splits at unescaped '|'; fields keep their escapes. Nullopt when an escape
// is not "\\" or "\|".
std::optional<std::vector<std::wstring_view>> SplitFields(std::wstring_view text) {
  std::vector<std::wstring_view> fields;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\') {
      if (i + 1 == text.size() || (text[i + 1] != L'\\' && text[i + 1] != L'|'))
        return std::nullopt;
      ++i;
    } else if (text[i] == L'|') {
      fields.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(text.substr(start));
  return fields;
}

std::wstring Unescape(std::wstring_view field) {
  std::wstring out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == L'\\')
      ++i; // SplitFields checked that an escaped character follows
    out += field[i];
  }
  return out;
}

std::optional<EventData> EventFromText(std::wstring_view text) {
  auto fields = SplitFields(text);
  if (!fields || fields->size() != 6)
    return std::nullopt;
  const auto &f = *fields;
  auto hwnd = ParseDecimal(f[0], INTPTR_MIN + 1, INTPTR_MAX);
  auto x = ParseDecimal(f[1], INT32_MIN, INT32_MAX);
  auto y = ParseDecimal(f[2], INT32_MIN, INT32_MAX);
  auto index = ParseDecimal(f[5], INT32_MIN, INT32_MAX);
  if (!hwnd || !x || !y || !index)
    return std::nullopt;
  EventData event;
  if (!f[4].empty()) {
    event.source = WebIdFromText(f[4]);
    if (!event.source)
      return std::nullopt;
  }
  // Only the name may hold escapes.
  for (size_t i : {0, 1, 2, 4, 5})
    if (f[i].find(L'\\') != std::wstring_view::npos)
      return std::nullopt;
  event.hwnd = *hwnd;
  event.x = static_cast<LONG>(*x);
  event.y = static_cast<LONG>(*y);
  event.name = Unescape(f[3]);
  event.index = static_cast<LONG>(*index);
  return event;
}

std::wstring EventToText(const EventData &event) {
  return std::to_wstring(event.hwnd) + L'|' + std::to_wstring(event.x) + L'|' +
         std::to_wstring(event.y) + L'|' + Escape(event.name) + L'|' +
         (event.source ? WebIdToText(*event.source) : std::wstring()) + L'|' +
         std::to_wstring(event.index);
}

class CWebEventID : public CHostObject<IWebEventID> {
public:
  STDMETHODIMP Reset() override {
    event_ = {};
    return S_OK;
  }
  STDMETHODIMP SetEventFromEvent(IWebEventID *other) override;
  STDMETHODIMP Set(HWND hwnd, LONG x, LONG y, BSTR name, IWebRunTimeID *source,
                   LONG index) override {
    try {
      EventData event;
      event.hwnd = reinterpret_cast<std::intptr_t>(hwnd);
      event.x = x;
      event.y = y;
      event.name = FromBstr(name);
      if (source != nullptr) {
        WebIdParts parts;
        HRESULT hr = ReadWebIdParts(source, parts);
        if (FAILED(hr))
          return hr;
        event.source = parts;
      }
      event.index = index;
      event_ = std::move(event);
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP SetEventIDFromString(BSTR text) override {
    try {
      auto event = EventFromText(std::wstring_view(text, SysStringLen(text)));
      if (!event)
        return E_INVALIDARG;
      event_ = std::move(*event);
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP GetEventIdAsString(BSTR *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    try {
      return PutBstr(EventToText(event_), out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP GetEventSource(IWebRunTimeID **out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (!event_.source)
      return S_FALSE;
    return NewWebRunTimeID(*event_.source, out);
  }
  STDMETHODIMP GetInternalData(LONG *hwnd, tagPOINT *point, BSTR *name, LONG *index) override {
    if (hwnd == nullptr || point == nullptr || name == nullptr || index == nullptr)
      return E_POINTER;
    *name = nullptr;
    HRESULT hr = PutBstr(event_.name, name);
    if (FAILED(hr))
      return hr;
    // Window handles carry 32 significant bits.
    *hwnd = static_cast<LONG>(event_.hwnd);
    point->x = event_.x;
    point->y = event_.y;
    *index = event_.index;
    return S_OK;
  }
  STDMETHODIMP IsEqual(IWebEventID *other) override {
    if (other == nullptr)
      return E_POINTER;
    try {
      EventData theirs;
      HRESULT hr = ReadEvent(other, theirs);
      if (FAILED(hr))
        return hr;
      return theirs == event_ ? S_OK : S_FALSE;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP IsEmpty() override { return event_ == EventData{} ? S_OK : S_FALSE; }

private:
  // Reads any IWebEventID through its text form, which carries every field.
  static HRESULT ReadEvent(IWebEventID *other, EventData &event) {
    BSTR text = nullptr;
    HRESULT hr = other->GetEventIdAsString(&text);
    if (FAILED(hr))
      return hr;
    auto read = EventFromText(std::wstring_view(text, SysStringLen(text)));
    SysFreeString(text);
    if (!read)
      return E_FAIL;
    event = std::move(*read);
    return S_OK;
  }

  EventData event_;
};

STDMETHODIMP CWebEventID::SetEventFromEvent(IWebEventID *other) {
  if (other == nullptr)
    return E_POINTER;
  try {
    EventData event;
    HRESULT hr = ReadEvent(other, event);
    if (FAILED(hr))
      return hr;
    event_ = std::move(event);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

} // namespace

HRESULT CreateWebEventID(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CWebEventID>(outer, riid, ppv);
}

} // namespace host

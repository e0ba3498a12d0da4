#include "values/IdCommon.h"

namespace host {

HRESULT ReadWebIdParts(IWebRunTimeID *id, WebIdParts &parts) {
  if (id == nullptr)
    return E_POINTER;
  WebIdParts read;
  HRESULT hr = id->GetInnerStdWinId(&read.browser);
  if (SUCCEEDED(hr))
    hr = id->GetInnerFrameId(&read.frame);
  if (SUCCEEDED(hr))
    hr = id->GetInnerObjId(&read.object);
  if (SUCCEEDED(hr))
    hr = id->GetInnerObjTypeId(&read.type);
  if (FAILED(hr))
    return hr;
  parts = read;
  return S_OK;
}

std::wstring WebIdToText(const WebIdParts &parts) {
  return std::to_wstring(parts.browser) + L';' + std::to_wstring(parts.frame) + L';' +
         std::to_wstring(parts.object) + L';' + std::to_wstring(parts.type);
}

std::optional<WebIdParts> WebIdFromText(std::wstring_view text) {
  LONG values[4] = {};
  for (int i = 0; i < 4; ++i) {
    size_t end = text.find(L';');
    if ((i < 3) != (end != std::wstring_view::npos))
      return std::nullopt;
    auto value = ParseDecimal(text.substr(0, end), INT32_MIN, INT32_MAX);
    if (!value)
      return std::nullopt;
    values[i] = static_cast<LONG>(*value);
    text = i < 3 ? text.substr(end + 1) : std::wstring_view();
  }
  return WebIdParts{values[0], values[1], values[2], values[3]};
}

std::optional<std::int64_t> ParseDecimal(std::wstring_view text, std::int64_t min,
                                         std::int64_t max) {
  bool negative = !text.empty() && text.front() == L'-';
  if (negative)
    text.remove_prefix(1);
  if (text.empty() || text.size() > 19)
    return std::nullopt;
  std::uint64_t magnitude = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9')
      return std::nullopt;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  // At most 19 digits: the magnitude fits, and so does its negation below 2^63.
  if (magnitude > static_cast<std::uint64_t>(INT64_MAX))
    return std::nullopt;
  std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < min || value > max)
    return std::nullopt;
  return value;
}

bool IsNumber(VARTYPE vt) {
  switch (vt) {
  case VT_I1:
  case VT_UI1:
  case VT_I2:
  case VT_UI2:
  case VT_I4:
  case VT_UI4:
  case VT_INT:
  case VT_UINT:
  case VT_I8:
  case VT_UI8:
  case VT_R4:
  case VT_R8:
  case VT_CY:
  case VT_DECIMAL:
    return true;
  default:
    return false;
  }
}

} // namespace host

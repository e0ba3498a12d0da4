#include <cstdio>

#include "ComRef.h"

namespace tallowick::cli {

std::string Quoted(const std::string &text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '"' || c == '\\')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string VariantText(const VARIANT &value) {
  char number[64];
  switch (value.vt) {
  case VT_EMPTY:
    return "VT_EMPTY";
  case VT_NULL:
    return "VT_NULL";
  case VT_I4:
    return "VT_I4 " + std::to_string(value.lVal);
  case VT_R8:
    std::snprintf(number, sizeof number, "%.17g", value.dblVal);
    return std::string("VT_R8 ") + number;
  case VT_BOOL:
    return value.boolVal ? "VT_BOOL true" : "VT_BOOL false";
  case VT_BSTR:
    return "VT_BSTR " + Quoted(value.bstrVal ? platform::Narrow(std::wstring_view(
                                                   value.bstrVal, SysStringLen(value.bstrVal)))
                                             : std::string());
  case VT_DISPATCH:
    return value.pdispVal ? "VT_DISPATCH" : "VT_DISPATCH null";
  case VT_UNKNOWN:
    return value.punkVal ? "VT_UNKNOWN" : "VT_UNKNOWN null";
  default:
    return "VT " + std::to_string(value.vt);
  }
}

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

} // namespace tallowick::cli

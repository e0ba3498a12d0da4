// GUID text forms and ProgID lookups.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>

#include "com/ComInternal.h"
#include "com/SystemClasses.h"
#include "com/RegKey.h"

using tallowick::platform::ReadClassesRootString;

namespace {

constexpr int kGuidChars = 38; // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

bool ReadHex(const wchar_t *text, int digits, uint64_t &value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    int d = HexDigit(text[i]);
    if (d < 0)
      return false;
    value = (value << 4) | static_cast<uint64_t>(d);
  }
  return true;
}

} // namespace

namespace tallowick::platform {

bool ParseBracedGuid(const wchar_t *text, GUID &guid) {
  if (text == nullptr || std::wcslen(text) != kGuidChars)
    return false;
  if (text[0] != L'{' || text[37] != L'}' || text[9] != L'-' || text[14] != L'-' ||
      text[19] != L'-' || text[24] != L'-')
    return false;
  uint64_t v = 0;
  if (!ReadHex(text + 1, 8, v))
    return false;
  guid.Data1 = static_cast<DWORD>(v);
  if (!ReadHex(text + 10, 4, v))
    return false;
  guid.Data2 = static_cast<WORD>(v);
  if (!ReadHex(text + 15, 4, v))
    return false;
  guid.Data3 = static_cast<WORD>(v);
  const int offsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text + offsets[i], 2, v))
      return false;
    guid.Data4[i] = static_cast<BYTE>(v);
  }
  return true;
}

std::wstring GuidToString(REFGUID g) {
  char buffer[kGuidChars + 1];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return std::wstring(buffer, buffer + kGuidChars);
}

} // namespace tallowick::platform

namespace {

using tallowick::platform::GuidToString;
using tallowick::platform::ParseBracedGuid;

HRESULT CopyToTaskMem(const std::wstring &text, LPOLESTR *out) {
  auto *buffer = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
  if (buffer == nullptr)
    return E_OUTOFMEMORY;
  std::wmemcpy(buffer, text.c_str(), text.size() + 1);
  *out = buffer;
  return S_OK;
}

} // namespace

extern "C" {

int WINAPI StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  if (lpsz == nullptr || cchMax < kGuidChars + 1)
    return 0;
  std::wstring text = GuidToString(rguid);
  std::wmemcpy(lpsz, text.c_str(), text.size() + 1);
  return kGuidChars + 1;
}

HRESULT WINAPI StringFromCLSID(REFCLSID rclsid, LPOLESTR *lplpsz) {
  if (lplpsz == nullptr)
    return E_INVALIDARG;
  *lplpsz = nullptr;
  return CopyToTaskMem(GuidToString(rclsid), lplpsz);
}

HRESULT WINAPI StringFromIID(REFIID rclsid, LPOLESTR *lplpsz) {
  return StringFromCLSID(rclsid, lplpsz);
}

HRESULT WINAPI IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
  if (lpiid == nullptr)
    return E_INVALIDARG;
  if (lpsz == nullptr) {
    *lpiid = GUID_NULL;
    return S_OK;
  }
  GUID guid{};
  if (!ParseBracedGuid(lpsz, guid))
    return E_INVALIDARG;
  *lpiid = guid;
  return S_OK;
}

HRESULT WINAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (lpszProgID == nullptr || lpclsid == nullptr)
    return E_INVALIDARG;
  *lpclsid = GUID_NULL;
  if (*lpszProgID == L'\0')
    return CO_E_CLASSSTRING;
  auto text = ReadClassesRootString(std::wstring(lpszProgID) + L"\\CLSID");
  GUID guid{};
  if (!text || !ParseBracedGuid(text->c_str(), guid)) {
    if (!tallowick::platform::FindSystemClassId(lpszProgID, guid))
      return CO_E_CLASSSTRING;
  }
  *lpclsid = guid;
  return S_OK;
}

HRESULT WINAPI CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (pclsid == nullptr)
    return E_INVALIDARG;
  if (lpsz == nullptr) {
    *pclsid = GUID_NULL;
    return S_OK;
  }
  GUID guid{};
  if (ParseBracedGuid(lpsz, guid)) {
    *pclsid = guid;
    return S_OK;
  }
  *pclsid = GUID_NULL;
  if (lpsz[0] == L'{')
    return CO_E_CLASSSTRING;
  return CLSIDFromProgID(lpsz, pclsid);
}

HRESULT WINAPI ProgIDFromCLSID(REFCLSID clsid, LPOLESTR *lplpszProgID) {
  if (lplpszProgID == nullptr)
    return E_INVALIDARG;
  *lplpszProgID = nullptr;
  auto text = ReadClassesRootString(L"CLSID\\" + GuidToString(clsid) + L"\\ProgID");
  if (!text || text->empty())
    return REGDB_E_CLASSNOTREG;
  return CopyToTaskMem(*text, lplpszProgID);
}

HRESULT WINAPI CoCreateGuid(GUID *pguid) {
  if (pguid == nullptr)
    return E_INVALIDARG;
  std::random_device device;
  unsigned char bytes[16];
  for (auto &b : bytes)
    b = static_cast<unsigned char>(device());
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40); // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
  pguid->Data1 = static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 |
                 static_cast<DWORD>(bytes[2]) << 8 | bytes[3];
  pguid->Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
  pguid->Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
  std::memcpy(pguid->Data4, bytes + 8, 8);
  return S_OK;
}

} // extern "C"

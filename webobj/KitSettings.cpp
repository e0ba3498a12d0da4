// The kit's settings under the test tool's registry root.
#include <cwctype>

#include "webobj/HostServices.h"

namespace HostServices {
namespace {

constexpr wchar_t kQuillonRoot[] = L"Software\\Quillon\\Trialcraft\\QilTest\\";
constexpr wchar_t kFallbackRoot[] = L"Software\\Varnholt\\Pacefold\\QilTest\\";
constexpr wchar_t kSharedSettings[] = L"QIL_COMMON_AGENT_SETTINGS";
constexpr DWORD kSharedBytes = 1024;
constexpr DWORD kValueChars = 260;

CQilBstr g_root;
int g_quillonRootExists = -1; // tested once per process
std::wstring g_ignoredTags;

bool CanOpenForReading(const std::wstring &path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// The UTF-16 string at the start of the shared block, read within the block.
std::wstring ReadSharedRoot() {
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, kSharedBytes,
                                      kSharedSettings);
  if (mapping == nullptr)
    return std::wstring();
  if (GetLastError() != ERROR_ALREADY_EXISTS) {
    CloseHandle(mapping);
    return std::wstring();
  }
  std::wstring text;
  if (auto *units = static_cast<const uint16_t *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))) {
    for (DWORD i = 0; i < kSharedBytes / sizeof(uint16_t) && units[i] != 0; ++i) {
      uint32_t c = units[i];
      bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < kSharedBytes / sizeof(uint16_t) &&
                  units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
      if (pair && sizeof(wchar_t) == 4) {
        c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
      }
      text += static_cast<wchar_t>(c);
    }
    UnmapViewOfFile(units);
  }
  CloseHandle(mapping);
  return text;
}

std::wstring ComputeRoot() {
  std::wstring shared = ReadSharedRoot();
  if (!shared.empty() && CanOpenForReading(shared)) {
    if (shared.back() != L'\\')
      shared += L'\\';
    return shared;
  }
  if (g_quillonRootExists < 0)
    g_quillonRootExists = CanOpenForReading(kQuillonRoot) ? 1 : 0;
  return g_quillonRootExists == 1 ? kQuillonRoot : kFallbackRoot;
}

bool StartsWithNoCase(const std::wstring &text, const std::wstring &prefix) {
  if (text.size() < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towupper(static_cast<wint_t>(text[i])) !=
        std::towupper(static_cast<wint_t>(prefix[i])))
      return false;
  return true;
}

bool ContainsNoCase(const std::wstring &text, const std::wstring &needle) {
  if (needle.size() > text.size())
    return false;
  for (size_t at = 0; at + needle.size() <= text.size(); ++at)
    if (StartsWithNoCase(text.substr(at, needle.size()), needle))
      return true;
  return false;
}

} // namespace

BSTR GetSettingsRoot() {
  if (g_root.IsEmpty())
    g_root = ComputeRoot().c_str();
  return g_root;
}

CQilBstr MakeSettingsPath(LPCOLESTR path) {
  std::wstring root = GetSettingsRoot();
  std::wstring relative = path != nullptr ? path : L"";
  const std::wstring fixed = kQuillonRoot;
  if (!StartsWithNoCase(relative, fixed))
    return CQilBstr((root + relative).c_str());
  if (StartsWithNoCase(root, fixed))
    return CQilBstr(relative.c_str());
  return CQilBstr((root + relative.substr(fixed.size())).c_str());
}

HRESULT ReadWebPackageSetting(LPCOLESTR name, std::wstring &value) {
  CQilBstr keyPath = MakeSettingsPath(L"Packages\\WebPackage\\Settings");
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.Text(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return E_FAIL;
  WCHAR buffer[kValueChars + 1] = {};
  DWORD size = kValueChars * sizeof(WCHAR);
  DWORD type = 0;
  LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
    return E_FAIL;
  value = buffer;
  return S_OK;
}

bool IsTagIgnored(LPCOLESTR tag, bool reload) {
  std::wstring needle = std::wstring(L";") + (tag != nullptr ? tag : L"") + L";";
  if (!reload && !g_ignoredTags.empty())
    return ContainsNoCase(g_ignoredTags, needle);
  std::wstring list;
  if (FAILED(ReadWebPackageSetting(L"TagsToIgnore", list)))
    return false;
  g_ignoredTags = list.substr(0, kValueChars);
  return ContainsNoCase(g_ignoredTags, needle);
}

void ResetSettingsCache() {
  g_root.Empty();
  g_quillonRootExists = -1;
  g_ignoredTags.clear();
}

} // namespace HostServices

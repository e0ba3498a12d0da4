#include "com/RegKey.h"

#include <vector>

namespace tallowick::platform {

LONG RegKey::Open(HKEY parent, const std::wstring &path, REGSAM access) {
  Close();
  return RegOpenKeyExW(parent, path.c_str(), 0, access, &key_);
}

LONG RegKey::Create(HKEY parent, const std::wstring &path, REGSAM access) {
  Close();
  return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                         &key_, nullptr);
}

void RegKey::Close() {
  if (key_ == nullptr)
    return;
  RegCloseKey(key_);
  key_ = nullptr;
}

std::optional<std::wstring> RegKey::ReadString(const std::wstring &name) const {
  if (key_ == nullptr)
    return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    return std::nullopt;
  std::vector<WCHAR> buffer(size / sizeof(WCHAR) + 1, L'\0');
  if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(buffer.data());
}

LONG RegKey::WriteString(const std::wstring &name, const std::wstring &value) {
  auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR));
  return RegSetValueExW(key_, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE *>(value.c_str()), bytes);
}

bool RegKey::IsEmpty() const {
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

std::optional<std::wstring> ReadClassesRootString(const std::wstring &path) {
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, path) != ERROR_SUCCESS)
    return std::nullopt;
  return key.ReadString();
}

} // namespace tallowick::platform

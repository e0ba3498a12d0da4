// A small owning wrapper over registry keys for the platform's own use.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tallowick::platform {

class RegKey {
public:
  RegKey() = default;
  RegKey(const RegKey &) = delete;
  RegKey &operator=(const RegKey &) = delete;
  RegKey(RegKey &&other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  ~RegKey() { Close(); }

  LONG Open(HKEY parent, const std::wstring &path, REGSAM access = KEY_READ);
  LONG Create(HKEY parent, const std::wstring &path, REGSAM access = KEY_ALL_ACCESS);
  void Close();
  HKEY get() const { return key_; }

  // The string value `name` ("" = default value), if it exists and is a string.
  std::optional<std::wstring> ReadString(const std::wstring &name = L"") const;
  LONG WriteString(const std::wstring &name, const std::wstring &value);
  // Whether the key has neither subkeys nor values.
  bool IsEmpty() const;

private:
  HKEY key_ = nullptr;
};

// The default string value of HKEY_CLASSES_ROOT\<path>, if present.
std::optional<std::wstring> ReadClassesRootString(const std::wstring &path);

} // namespace tallowick::platform

// In-memory registry tree: the four predefined roots with their keys and values.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tallowick::platform::registry {

struct Value {
  std::wstring name; // empty: the default value
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Key {
  std::wstring name;
  std::vector<Value> values; // in creation order
  std::vector<Key> subkeys;  // sorted case-insensitively by name

  Key *FindSubkey(std::wstring_view child);
  const Key *FindSubkey(std::wstring_view child) const;
  // Returns the subkey, creating it when missing; `created` tells which.
  Key &AddSubkey(std::wstring_view child, bool &created);
  bool RemoveSubkey(std::wstring_view child);

  Value *FindValue(std::wstring_view value);
  const Value *FindValue(std::wstring_view value) const;
  // Replaces the data of an existing value in place, else appends a new one.
  void SetValue(std::wstring_view value, DWORD type, std::vector<BYTE> data);
  bool RemoveValue(std::wstring_view value);
};

constexpr size_t kRootCount = 4;
// Root names in file order; index = HKEY - HKEY_CLASSES_ROOT.
extern const std::array<std::wstring_view, kRootCount> kRootNames;

using KeyPath = std::vector<std::wstring>;

struct Tree {
  std::array<Key, kRootCount> roots;

  Tree();
  Key *Find(size_t root, const KeyPath &path);
  const Key *Find(size_t root, const KeyPath &path) const;
};

// Index of a root name ("HKEY_CLASSES_ROOT" or its short form "HKCR"), or -1.
int RootIndex(std::wstring_view name);

// Text a line of the file can hold: no NUL or line breaks, valid code points only.
bool IsStorableText(std::wstring_view text);

constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;

} // namespace tallowick::platform::registry

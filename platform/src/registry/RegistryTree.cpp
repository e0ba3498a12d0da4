#include "registry/RegistryTree.h"

#include "tallowick/Strings.h"

#include <algorithm>

namespace tallowick::platform::registry {

const std::array<std::wstring_view, kRootCount> kRootNames = {
    L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"};

namespace {

constexpr std::array<std::wstring_view, kRootCount> kRootShortNames = {L"HKCR", L"HKCU", L"HKLM",
                                                                       L"HKU"};

auto LowerBound(std::vector<Key> &keys, std::wstring_view name) {
  return std::lower_bound(keys.begin(), keys.end(), name, [](const Key &key, std::wstring_view n) {
    return CompareNoCase(key.name, n) < 0;
  });
}

} // namespace

Key *Key::FindSubkey(std::wstring_view child) {
  auto it = LowerBound(subkeys, child);
  return it != subkeys.end() && EqualsNoCase(it->name, child) ? &*it : nullptr;
}

const Key *Key::FindSubkey(std::wstring_view child) const {
  return const_cast<Key *>(this)->FindSubkey(child);
}

Key &Key::AddSubkey(std::wstring_view child, bool &created) {
  auto it = LowerBound(subkeys, child);
  created = it == subkeys.end() || !EqualsNoCase(it->name, child);
  if (created) {
    it = subkeys.insert(it, Key{});
    it->name = child;
  }
  return *it;
}

bool Key::RemoveSubkey(std::wstring_view child) {
  auto it = LowerBound(subkeys, child);
  if (it == subkeys.end() || !EqualsNoCase(it->name, child))
    return false;
  subkeys.erase(it);
  return true;
}

Value *Key::FindValue(std::wstring_view value) {
  for (auto &v : values)
    if (EqualsNoCase(v.name, value))
      return &v;
  return nullptr;
}

const Value *Key::FindValue(std::wstring_view value) const {
  return const_cast<Key *>(this)->FindValue(value);
}

void Key::SetValue(std::wstring_view value, DWORD type, std::vector<BYTE> data) {
  if (Value *existing = FindValue(value)) {
    existing->type = type;
    existing->data = std::move(data);
    return;
  }
  values.push_back(Value{std::wstring(value), type, std::move(data)});
}

bool Key::RemoveValue(std::wstring_view value) {
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const Value &v) { return EqualsNoCase(v.name, value); });
  if (it == values.end())
    return false;
  values.erase(it);
  return true;
}

Tree::Tree() {
  for (size_t i = 0; i < kRootCount; ++i)
    roots[i].name = kRootNames[i];
}

Key *Tree::Find(size_t root, const KeyPath &path) {
  if (root >= kRootCount)
    return nullptr;
  Key *key = &roots[root];
  for (const auto &part : path) {
    key = key->FindSubkey(part);
    if (!key)
      return nullptr;
  }
  return key;
}

const Key *Tree::Find(size_t root, const KeyPath &path) const {
  return const_cast<Tree *>(this)->Find(root, path);
}

int RootIndex(std::wstring_view name) {
  for (size_t i = 0; i < kRootCount; ++i)
    if (EqualsNoCase(name, kRootNames[i]) || EqualsNoCase(name, kRootShortNames[i]))
      return static_cast<int>(i);
  return -1;
}

bool IsStorableText(std::wstring_view text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) {
    auto u = static_cast<uint32_t>(c);
    return u != 0 && u != '\r' && u != '\n' && u <= 0x10FFFF && (u < 0xD800 || u > 0xDFFF);
  });
}

} // namespace tallowick::platform::registry

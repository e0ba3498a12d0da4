// The Reg* functions of winreg.h over the registry file.
#include "tallowick/Strings.h"
#include "registry/RegistryStore.h"

#include <windows.h>
#include <winreg.h>

#include <cstring>
#include <new>
#include <unordered_map>

namespace tallowick::platform::registry {
namespace {

struct OpenKey {
  size_t root = 0;
  KeyPath path;
  REGSAM access = 0;
  bool deleted = false; // deleted through this process
};

std::unordered_map<uintptr_t, OpenKey> g_handles;
uintptr_t g_nextHandle = 0x1000; // never reused, so a closed handle stays invalid

constexpr REGSAM kAnyWrite = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE;

bool PredefinedRoot(HKEY key, size_t &root) {
  uintptr_t offset =
      reinterpret_cast<uintptr_t>(key) - reinterpret_cast<uintptr_t>(HKEY_CLASSES_ROOT);
  root = offset;
  return offset < kRootCount;
}

LONG Resolve(HKEY key, OpenKey &out) {
  size_t root;
  if (PredefinedRoot(key, root)) {
    out = OpenKey{root, {}, KEY_ALL_ACCESS, false};
    return ERROR_SUCCESS;
  }
  auto it = g_handles.find(reinterpret_cast<uintptr_t>(key));
  if (it == g_handles.end())
    return ERROR_INVALID_HANDLE;
  out = it->second;
  return out.deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

REGSAM NormalizeAccess(REGSAM sam) {
  if (sam & MAXIMUM_ALLOWED)
    return KEY_ALL_ACCESS;
  REGSAM access = sam & KEY_ALL_ACCESS;
  if (sam & GENERIC_ALL)
    access |= KEY_ALL_ACCESS;
  if (sam & GENERIC_READ)
    access |= KEY_READ;
  if (sam & GENERIC_WRITE)
    access |= KEY_WRITE;
  if (sam & GENERIC_EXECUTE)
    access |= KEY_EXECUTE;
  return access;
}

HKEY NewHandle(size_t root, KeyPath path, REGSAM access) {
  uintptr_t value = g_nextHandle;
  g_nextHandle += 4;
  g_handles.emplace(value, OpenKey{root, std::move(path), NormalizeAccess(access), false});
  return reinterpret_cast<HKEY>(value);
}

// Appends the parts of a backslash-separated subkey path to `path`.
LONG AppendSubkey(LPCWSTR subkey, KeyPath &path) {
  if (!subkey || !*subkey)
    return ERROR_SUCCESS;
  std::wstring_view rest(subkey);
  if (rest.front() == L'\\')
    return ERROR_BAD_PATHNAME;
  if (rest.back() == L'\\')
    rest.remove_suffix(1); // one trailing separator is ignored
  while (true) {
    size_t sep = rest.find(L'\\');
    std::wstring_view part = rest.substr(0, sep);
    if (part.empty())
      return ERROR_BAD_PATHNAME;
    if (part.size() > kMaxKeyNameLength)
      return ERROR_INVALID_PARAMETER;
    path.emplace_back(part);
    if (sep == std::wstring_view::npos)
      return ERROR_SUCCESS;
    rest.remove_prefix(sep + 1);
  }
}

bool IsUnder(const OpenKey &key, size_t root, const KeyPath &path, bool includeSelf) {
  if (key.root != root || key.path.size() < path.size())
    return false;
  if (!includeSelf && key.path.size() == path.size())
    return false;
  for (size_t i = 0; i < path.size(); ++i)
    if (!EqualsNoCase(key.path[i], path[i]))
      return false;
  return true;
}

void MarkDeleted(size_t root, const KeyPath &path, bool includeSelf) {
  for (auto &[value, key] : g_handles)
    if (IsUnder(key, root, path, includeSelf))
      key.deleted = true;
}

// Runs `read` on the key behind `hkey` after checking the handle's rights.
template <class Read> LONG ReadKey(HKEY hkey, REGSAM needed, Read read) {
  OpenKey key;
  if (LONG status = Resolve(hkey, key); status != ERROR_SUCCESS)
    return status;
  if ((key.access & needed) != needed)
    return ERROR_ACCESS_DENIED;
  std::shared_ptr<const Tree> tree;
  if (LONG status = LoadRegistry(tree); status != ERROR_SUCCESS)
    return status;
  const Key *node = tree->Find(key.root, key.path);
  return node ? read(*node) : ERROR_KEY_DELETED;
}

// Runs `write` on the key behind `hkey` inside a registry update.
template <class Write> LONG WriteKey(HKEY hkey, REGSAM needed, Write write) {
  OpenKey key;
  if (LONG status = Resolve(hkey, key); status != ERROR_SUCCESS)
    return status;
  if (!(key.access & needed))
    return ERROR_ACCESS_DENIED;
  return UpdateRegistry([&](Tree &tree, bool &changed) -> LONG {
    Key *node = tree.Find(key.root, key.path);
    return node ? write(*node, changed) : ERROR_KEY_DELETED;
  });
}

// Runs an API body under the registry lock; nothing thrown leaves the API.
template <class Body> LONG Guarded(Body body) noexcept {
  try {
    std::lock_guard lock(RegistryMutex());
    return body();
  } catch (const std::bad_alloc &) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

LONG CopyName(const std::wstring &name, LPWSTR buffer, LPDWORD cch) {
  if (*cch <= name.size())
    return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  *cch = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Copies value data the way RegQueryValueExW reports it.
LONG CopyData(const Value &value, LPDWORD type, LPBYTE data, LPDWORD cb) {
  if (type)
    *type = value.type;
  if (!cb)
    return ERROR_SUCCESS;
  auto size = static_cast<DWORD>(value.data.size());
  if (data && *cb < size) {
    *cb = size;
    return ERROR_MORE_DATA;
  }
  if (data && size)
    std::memcpy(data, value.data.data(), size);
  *cb = size;
  return ERROR_SUCCESS;
}

LONG EmptyClass(LPWSTR cls, LPDWORD cch) {
  if (!cls) {
    if (cch)
      *cch = 0;
    return ERROR_SUCCESS;
  }
  if (!cch)
    return ERROR_INVALID_PARAMETER;
  if (*cch)
    cls[0] = L'\0';
  *cch = 0;
  return ERROR_SUCCESS;
}

LONG OpenKeyEx(HKEY hkey, LPCWSTR subkey, REGSAM sam, PHKEY result) {
  OpenKey base;
  if (LONG status = Resolve(hkey, base); status != ERROR_SUCCESS)
    return status;
  KeyPath path = base.path;
  if (LONG status = AppendSubkey(subkey, path); status != ERROR_SUCCESS)
    return status;
  std::shared_ptr<const Tree> tree;
  if (LONG status = LoadRegistry(tree); status != ERROR_SUCCESS)
    return status;
  if (!tree->Find(base.root, base.path))
    return ERROR_KEY_DELETED;
  if (!tree->Find(base.root, path))
    return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(base.root, std::move(path), sam);
  return ERROR_SUCCESS;
}

LONG CreateKeyEx(HKEY hkey, LPCWSTR subkey, REGSAM sam, PHKEY result, LPDWORD disposition) {
  OpenKey base;
  if (LONG status = Resolve(hkey, base); status != ERROR_SUCCESS)
    return status;
  KeyPath path = base.path;
  if (LONG status = AppendSubkey(subkey, path); status != ERROR_SUCCESS)
    return status;
  for (const auto &part : path)
    if (!IsStorableText(part))
      return ERROR_INVALID_PARAMETER;
  std::shared_ptr<const Tree> tree;
  if (LONG status = LoadRegistry(tree); status != ERROR_SUCCESS)
    return status;
  if (!tree->Find(base.root, base.path))
    return ERROR_KEY_DELETED;
  bool created = false;
  if (!tree->Find(base.root, path)) {
    if (!(base.access & KEY_CREATE_SUB_KEY))
      return ERROR_ACCESS_DENIED;
    LONG status = UpdateRegistry([&](Tree &fresh, bool &changed) -> LONG {
      Key *node = fresh.Find(base.root, base.path);
      if (!node)
        return ERROR_KEY_DELETED;
      for (size_t i = base.path.size(); i < path.size(); ++i) {
        node = &node->AddSubkey(path[i], created);
        changed |= created;
      }
      return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS)
      return status;
  }
  if (disposition)
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(base.root, std::move(path), sam);
  return ERROR_SUCCESS;
}

// Deletes `subkey` below `hkey`: the key alone (`tree` false, which needs it to have no
// subkeys) or with everything below it.
LONG DeleteKey(HKEY hkey, LPCWSTR subkey, bool tree) {
  OpenKey base;
  if (LONG status = Resolve(hkey, base); status != ERROR_SUCCESS)
    return status;
  if (!(base.access & kAnyWrite))
    return ERROR_ACCESS_DENIED;
  KeyPath path = base.path;
  if (LONG status = AppendSubkey(subkey, path); status != ERROR_SUCCESS)
    return status;
  if (path.empty())
    return ERROR_ACCESS_DENIED; // a predefined root stays
  LONG status = UpdateRegistry([&](Tree &fresh, bool &changed) -> LONG {
    if (!fresh.Find(base.root, base.path))
      return ERROR_KEY_DELETED;
    KeyPath parentPath(path.begin(), path.end() - 1);
    Key *parent = fresh.Find(base.root, parentPath);
    Key *target = parent ? parent->FindSubkey(path.back()) : nullptr;
    if (!target)
      return ERROR_FILE_NOT_FOUND;
    if (!tree && !target->subkeys.empty())
      return ERROR_ACCESS_DENIED;
    changed = parent->RemoveSubkey(path.back());
    return ERROR_SUCCESS;
  });
  if (status == ERROR_SUCCESS)
    MarkDeleted(base.root, path, true);
  return status;
}

} // namespace
} // namespace tallowick::platform::registry

using namespace tallowick::platform::registry;

LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired,
                             PHKEY phkResult) {
  if (!phkResult)
    return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  return Guarded([&] { return OpenKeyEx(hKey, lpSubKey, samDesired, phkResult); });
}

LSTATUS WINAPI RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
  if (!phkResult)
    return ERROR_INVALID_PARAMETER;
  if (lpSubKey && *lpSubKey)
    return RegOpenKeyExW(hKey, lpSubKey, 0, MAXIMUM_ALLOWED, phkResult);
  // No subkey: the same handle comes back.
  return Guarded([&] {
    OpenKey key;
    LONG status = Resolve(hKey, key);
    *phkResult = status == ERROR_SUCCESS ? hKey : nullptr;
    return status;
  });
}

LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult)
    return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  if (!lpSubKey)
    return ERROR_INVALID_PARAMETER;
  return Guarded(
      [&] { return CreateKeyEx(hKey, lpSubKey, samDesired, phkResult, lpdwDisposition); });
}

LSTATUS WINAPI RegCreateKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
  if (!phkResult)
    return ERROR_INVALID_PARAMETER;
  if (lpSubKey && *lpSubKey)
    return RegCreateKeyExW(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED,
                           nullptr, phkResult, nullptr);
  return RegOpenKeyW(hKey, lpSubKey, phkResult);
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) {
  if (lpReserved || (lpData && !lpcbData))
    return ERROR_INVALID_PARAMETER;
  std::wstring_view name = lpValueName ? lpValueName : L"";
  return Guarded([&] {
    return ReadKey(hKey, KEY_QUERY_VALUE, [&](const Key &key) -> LONG {
      const Value *value = key.FindValue(name);
      return value ? CopyData(*value, lpType, lpData, lpcbData) : ERROR_FILE_NOT_FOUND;
    });
  });
}

LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType,
                              const BYTE *lpData, DWORD cbData) {
  if (!lpData && cbData)
    return ERROR_INVALID_PARAMETER;
  std::wstring_view name = lpValueName ? lpValueName : L"";
  if (name.size() > kMaxValueNameLength || !IsStorableText(name))
    return ERROR_INVALID_PARAMETER;
  return Guarded([&] {
    std::vector<BYTE> data(lpData, lpData + cbData);
    return WriteKey(hKey, KEY_SET_VALUE, [&](Key &key, bool &changed) -> LONG {
      const Value *old = key.FindValue(name);
      changed = !old || old->type != dwType || old->data != data;
      key.SetValue(name, dwType, std::move(data));
      return ERROR_SUCCESS;
    });
  });
}

LSTATUS WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  std::wstring_view name = lpValueName ? lpValueName : L"";
  return Guarded([&] {
    return WriteKey(hKey, KEY_SET_VALUE, [&](Key &key, bool &changed) -> LONG {
      changed = key.RemoveValue(name);
      return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
  });
}

LSTATUS WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  if (!lpSubKey)
    return ERROR_INVALID_PARAMETER;
  return Guarded([&] { return DeleteKey(hKey, lpSubKey, false); });
}

LSTATUS WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
  if (lpSubKey && *lpSubKey)
    return Guarded([&] { return DeleteKey(hKey, lpSubKey, true); });
  // No subkey: empty the key itself of values and subkeys.
  return Guarded([&] {
    OpenKey base;
    if (LONG status = Resolve(hKey, base); status != ERROR_SUCCESS)
      return status;
    LONG status = WriteKey(hKey, kAnyWrite, [&](Key &key, bool &changed) -> LONG {
      changed = !key.values.empty() || !key.subkeys.empty();
      key.values.clear();
      key.subkeys.clear();
      return ERROR_SUCCESS;
    });
    if (status == ERROR_SUCCESS)
      MarkDeleted(base.root, base.path, false);
    return status;
  });
}

LSTATUS WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                             LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                             PFILETIME lpftLastWriteTime) {
  if (!lpName || !lpcchName || lpReserved || (lpClass && !lpcchClass))
    return ERROR_INVALID_PARAMETER;
  return Guarded([&] {
    return ReadKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](const Key &key) -> LONG {
      if (dwIndex >= key.subkeys.size())
        return ERROR_NO_MORE_ITEMS;
      if (LONG status = CopyName(key.subkeys[dwIndex].name, lpName, lpcchName);
          status != ERROR_SUCCESS)
        return status;
      if (lpftLastWriteTime)
        *lpftLastWriteTime = RegistryWriteTime();
      return EmptyClass(lpClass, lpcchClass);
    });
  });
}

LSTATUS WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
    return ERROR_INVALID_PARAMETER;
  return Guarded([&] {
    return ReadKey(hKey, KEY_QUERY_VALUE, [&](const Key &key) -> LONG {
      if (dwIndex >= key.values.size())
        return ERROR_NO_MORE_ITEMS;
      const Value &value = key.values[dwIndex];
      if (LONG status = CopyName(value.name, lpValueName, lpcchValueName); status != ERROR_SUCCESS)
        return status;
      return CopyData(value, lpType, lpData, lpcbData);
    });
  });
}

LSTATUS WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  if (lpReserved || (lpClass && !lpcchClass))
    return ERROR_INVALID_PARAMETER;
  return Guarded([&] {
    return ReadKey(hKey, KEY_QUERY_VALUE, [&](const Key &key) -> LONG {
      size_t maxSubkey = 0, maxName = 0, maxData = 0;
      for (const auto &child : key.subkeys)
        maxSubkey = std::max(maxSubkey, child.name.size());
      for (const auto &value : key.values) {
        maxName = std::max(maxName, value.name.size());
        maxData = std::max(maxData, value.data.size());
      }
      if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(key.subkeys.size());
      if (lpcbMaxSubKeyLen)
        *lpcbMaxSubKeyLen = static_cast<DWORD>(maxSubkey);
      if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
      if (lpcValues)
        *lpcValues = static_cast<DWORD>(key.values.size());
      if (lpcbMaxValueNameLen)
        *lpcbMaxValueNameLen = static_cast<DWORD>(maxName);
      if (lpcbMaxValueLen)
        *lpcbMaxValueLen = static_cast<DWORD>(maxData);
      if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
      if (lpftLastWriteTime)
        *lpftLastWriteTime = RegistryWriteTime();
      return EmptyClass(lpClass, lpcchClass);
    });
  });
}

LSTATUS WINAPI RegFlushKey(HKEY hKey) {
  // Every write is already on disk when it returns.
  return Guarded([&] {
    OpenKey key;
    return Resolve(hKey, key);
  });
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
  return Guarded([&]() -> LONG {
    size_t root;
    if (PredefinedRoot(hKey, root))
      return ERROR_SUCCESS;
    return g_handles.erase(reinterpret_cast<uintptr_t>(hKey)) ? ERROR_SUCCESS
                                                              : ERROR_INVALID_HANDLE;
  });
}

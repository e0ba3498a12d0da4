#include "RegistryFixture.h"

#include <cwchar>
#include <vector>

namespace {

class Registry : public RegistryFixture {};

std::vector<std::wstring> SubkeyNames(HKEY key) {
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD cch = 256;
    LONG status = RegEnumKeyExW(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
      EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
      return names;
    }
    EXPECT_EQ(cch, wcslen(name));
    names.emplace_back(name);
  }
}

TEST_F(Registry, CreateAndOpenAreCaseInsensitiveAndPreserveCase) {
  HKEY leaf = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Tallowick\\Leaf", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &leaf, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  HKEY again = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\tallowick\\LEAF", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &again, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

  HKEY middle = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\TALLOWICK\\", 0, KEY_READ, &middle),
            ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(middle), std::vector<std::wstring>{L"Leaf"});
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), std::vector<std::wstring>{L"Software"});

  HKEY missing = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Nope", 0, KEY_READ, &missing),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"\\Software", 0, KEY_READ, &missing),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\\\Tallowick", 0, KEY_READ, &missing),
            ERROR_BAD_PATHNAME);
  // Keys of the other roots are separate.
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, &missing),
            ERROR_FILE_NOT_FOUND);

  HKEY same = nullptr;
  EXPECT_EQ(RegOpenKeyW(leaf, nullptr, &same), ERROR_SUCCESS);
  EXPECT_EQ(same, leaf);
  for (HKEY key : {leaf, again, middle})
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, QueryReportsTypesAndByteSizes) {
  HKEY key = Create(HKEY_CLASSES_ROOT, L"Types");
  ASSERT_EQ(SetString(key, L"Text", L"ab"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, nullptr, L"default"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, L"Number", 0xDEADBEEF), ERROR_SUCCESS);
  ULONGLONG big = 0x0123456789ABCDEFULL;
  ASSERT_EQ(RegSetValueExW(key, L"Big", 0, REG_QWORD, reinterpret_cast<BYTE *>(&big), sizeof big),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, L"Nothing", 0, REG_NONE, nullptr, 0), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, L"TEXT", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 3 * sizeof(wchar_t));

  wchar_t small[2] = {L'x', L'x'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, &type, reinterpret_cast<BYTE *>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 3 * sizeof(wchar_t));
  wchar_t exact[3];
  EXPECT_EQ(
      RegQueryValueExW(key, L"Text", nullptr, nullptr, reinterpret_cast<BYTE *>(exact), &size),
      ERROR_SUCCESS);
  EXPECT_STREQ(exact, L"ab");

  // NULL and "" both name the default value.
  EXPECT_EQ(GetString(key, nullptr), L"default");
  EXPECT_EQ(GetString(key, L""), L"default");

  DWORD number = 0;
  size = sizeof number;
  EXPECT_EQ(
      RegQueryValueExW(key, L"Number", nullptr, &type, reinterpret_cast<BYTE *>(&number), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(number, 0xDEADBEEFu);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

  ULONGLONG readBig = 0;
  size = sizeof readBig;
  EXPECT_EQ(
      RegQueryValueExW(key, L"Big", nullptr, &type, reinterpret_cast<BYTE *>(&readBig), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(readBig, big);
  EXPECT_EQ(type, static_cast<DWORD>(REG_QWORD));

  size = 99;
  EXPECT_EQ(RegQueryValueExW(key, L"Nothing", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
  EXPECT_EQ(size, 0u);

  EXPECT_EQ(RegQueryValueExW(key, L"Absent", nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(
      RegQueryValueExW(key, L"Text", nullptr, nullptr, reinterpret_cast<BYTE *>(exact), nullptr),
      ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExW(key, L"Bad", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(SetString(key, L"Line\nBreak", L"x"), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(Registry, EnumerationOrderAndKeyInfo) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, L"Enum");
  for (const wchar_t *name : {L"beta", L"Alpha", L"gamma"})
    RegCloseKey(Create(key, name));
  EXPECT_EQ(SubkeyNames(key), (std::vector<std::wstring>{L"Alpha", L"beta", L"gamma"}));

  ASSERT_EQ(SetDword(key, L"zeta", 1), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, L"a", L"long value"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, L"ZETA", 2), ERROR_SUCCESS); // rewrite keeps its place and name
  std::vector<std::wstring> values;
  wchar_t name[16];
  DWORD cch = 16;
  for (DWORD i = 0;
       RegEnumValueW(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, cch = 16)
    values.emplace_back(name);
  EXPECT_EQ(values, (std::vector<std::wstring>{L"zeta", L"a"}));

  cch = 4; // "zeta" needs 5 with its terminator
  EXPECT_EQ(RegEnumValueW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  cch = 5;
  EXPECT_EQ(RegEnumKeyExW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  cch = 16;
  DWORD type = 0, data = 0, cb = sizeof data;
  EXPECT_EQ(RegEnumValueW(key, 0, name, &cch, nullptr, &type, reinterpret_cast<BYTE *>(&data), &cb),
            ERROR_SUCCESS);
  EXPECT_EQ(data, 2u);
  cch = 16, cb = 4;
  EXPECT_EQ(RegEnumValueW(key, 1, name, &cch, nullptr, &type, reinterpret_cast<BYTE *>(&data), &cb),
            ERROR_MORE_DATA);
  EXPECT_EQ(cb, 11 * sizeof(wchar_t));
  EXPECT_EQ(RegEnumValueW(key, 2, name, &cch, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);

  DWORD subkeys = 0, maxSubkey = 0, count = 0, maxName = 0, maxData = 0;
  EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &count,
                             &maxName, &maxData, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 3u);
  EXPECT_EQ(maxSubkey, 5u);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(maxName, 4u);
  EXPECT_EQ(maxData, 11 * sizeof(wchar_t));
  RegCloseKey(key);
}

TEST_F(Registry, DeleteRules) {
  HKEY parent = Create(HKEY_CURRENT_USER, L"Parent");
  HKEY child = Create(parent, L"Child\\Grandchild");
  ASSERT_EQ(SetDword(parent, L"v", 1), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"Parent"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(parent, L"Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(parent, L"CHILD\\grandchild"), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(child, L"x", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegQueryInfoKeyW(child, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_KEY_DELETED);
  // Recreating the key does not revive a handle to the deleted one.
  RegCloseKey(Create(parent, L"Child\\Grandchild"));
  EXPECT_EQ(SetDword(child, L"x", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteValueW(parent, L"V"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(parent, L"v"), ERROR_FILE_NOT_FOUND);

  // A tree without a subkey name is emptied but stays.
  ASSERT_EQ(SetDword(parent, L"w", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTreeW(parent, nullptr), ERROR_SUCCESS);
  DWORD subkeys = 9, values = 9;
  EXPECT_EQ(RegQueryInfoKeyW(parent, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys + values, 0u);

  RegCloseKey(Create(parent, L"A\\B\\C"));
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"parent"), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(parent, L"x", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"Parent"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L""), ERROR_ACCESS_DENIED);
  RegCloseKey(parent);
}

TEST_F(Registry, AccessRightsAreKeptPerHandle) {
  RegCloseKey(Create(HKEY_CURRENT_USER, L"Rights\\Existing"));
  HKEY reader = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Rights", 0, KEY_READ, &reader), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(reader, L"v", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueW(reader, L"v"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(reader, L"Existing"), ERROR_ACCESS_DENIED);
  HKEY sub = nullptr;
  EXPECT_EQ(RegCreateKeyExW(reader, L"New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(
      RegCreateKeyExW(reader, L"Existing", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(SetDword(sub, L"v", 1), ERROR_SUCCESS); // the new handle has its own rights

  HKEY writer = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Rights", 0, KEY_WRITE, &writer), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(writer, L"v", 7), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(writer, L"v", nullptr, nullptr, nullptr, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegQueryValueExW(reader, L"v", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  for (HKEY key : {reader, writer, sub})
    RegCloseKey(key);
}

TEST_F(Registry, HandleAndArgumentErrors) {
  HKEY key = Create(HKEY_CLASSES_ROOT, L"Handles");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetDword(key, L"v", 1), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegFlushKey(key), ERROR_INVALID_HANDLE);
  HKEY bogus = reinterpret_cast<HKEY>(0x12345);
  EXPECT_EQ(RegQueryValueExW(bogus, L"v", nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyExW(nullptr, L"x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);

  // Predefined keys survive being closed.
  EXPECT_EQ(RegCloseKey(HKEY_CLASSES_ROOT), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Handles", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  RegCloseKey(key);

  EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Handles", 0, KEY_READ, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(
      RegCreateKeyExW(HKEY_CLASSES_ROOT, nullptr, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
      ERROR_INVALID_PARAMETER);
  DWORD reserved = 0;
  EXPECT_EQ(RegQueryValueExW(HKEY_CLASSES_ROOT, L"v", &reserved, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  std::wstring tooLong(256, L'k');
  EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, tooLong.c_str(), 0, nullptr, 0, KEY_READ, nullptr,
                            &key, nullptr),
            ERROR_INVALID_PARAMETER);
}

} // namespace

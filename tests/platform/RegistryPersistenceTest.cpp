#include "RegistryFixture.h"

#include <tallowick/Registry.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using tallowick::platform::ExportRegistry;
using tallowick::platform::RegistryFilePath;
using tallowick::platform::RegistryParseError;

namespace {

class RegistryFile : public RegistryFixture {
protected:
  // Runs `body` in a child process; returns its exit status (0 = success).
  template <class Body> static pid_t Spawn(Body body) {
    pid_t pid = fork();
    if (pid == 0)
      _exit(body());
    return pid;
  }
  static int Wait(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
      return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

TEST_F(RegistryFile, WritesRegedit4Text) {
  HKEY clsid = Create(HKEY_CLASSES_ROOT, L"CLSID\\{DFD0DCE1-9E27-43F5-85FB-995F3453720E}");
  ASSERT_EQ(SetString(clsid, nullptr, L"TallowickIE Class"), ERROR_SUCCESS);
  HKEY server = Create(clsid, L"InprocServer32");
  ASSERT_EQ(SetString(server, nullptr, L"libTallowickIE.so"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(server, L"ThreadingModel", L"Apartment"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(server, L"RefCount", 1), ERROR_SUCCESS);

  HKEY mixed = Create(HKEY_CURRENT_USER, L"Software\\mixed");
  RegCloseKey(Create(HKEY_CURRENT_USER, L"Software\\Empty"));
  ASSERT_EQ(SetString(mixed, L"say \"hi\"", L"C:\\dir \"x\" \u00e9"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(mixed, L"expand", L"A", REG_EXPAND_SZ), ERROR_SUCCESS);
  ASSERT_EQ(SetString(mixed, L"lines", L"a\nb"), ERROR_SUCCESS); // not a one-line string
  BYTE bytes[30];
  for (BYTE i = 0; i < 30; ++i)
    bytes[i] = i;
  ASSERT_EQ(RegSetValueExW(mixed, L"bin", 0, REG_BINARY, bytes, sizeof bytes), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(mixed, L"short", 0, REG_DWORD, bytes, 2), ERROR_SUCCESS);

  const std::string expected =
      "REGEDIT4\n"
      "\n"
      "[HKEY_CLASSES_ROOT\\CLSID]\n"
      "\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{DFD0DCE1-9E27-43F5-85FB-995F3453720E}]\n"
      "@=\"TallowickIE Class\"\n"
      "\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{DFD0DCE1-9E27-43F5-85FB-995F3453720E}\\InprocServer32]\n"
      "@=\"libTallowickIE.so\"\n"
      "\"ThreadingModel\"=\"Apartment\"\n"
      "\"RefCount\"=dword:00000001\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software]\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Empty]\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\mixed]\n"
      "\"say \\\"hi\\\"\"=\"C:\\\\dir \\\"x\\\" \xC3\xA9\"\n"
      "\"expand\"=hex(2):41,00,00,00,00,00,00,00\n"
      "\"lines\"=hex(1):61,00,00,00,0a,00,00,00,62,00,00,00,00,00,00,00\n"
      "\"bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
      "  17,18,19,1a,1b,1c,1d\n"
      "\"short\"=hex(4):00,01\n";
  EXPECT_EQ(ReadText(file_), expected);

  // The same text read back (from a copy, so nothing comes from the cache) gives the same data.
  std::string copy = dir_ + "/copy.reg";
  WriteText(copy, expected);
  setenv("TALLOWICK_REGISTRY", copy.c_str(), 1);
  HKEY reread = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\MIXED", 0, KEY_READ, &reread),
            ERROR_SUCCESS);
  EXPECT_EQ(GetString(reread, L"SAY \"HI\""), L"C:\\dir \"x\" \u00e9");
  EXPECT_EQ(GetString(reread, L"lines"), L"a\nb");
  BYTE readBytes[64];
  DWORD size = sizeof readBytes, type = 0;
  EXPECT_EQ(RegQueryValueExW(reread, L"bin", nullptr, &type, readBytes, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(readBytes, readBytes + size), std::string(bytes, bytes + sizeof bytes));
  size = sizeof readBytes;
  EXPECT_EQ(RegQueryValueExW(reread, L"short", nullptr, &type, readBytes, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 2u);
  std::string exported;
  EXPECT_EQ(ExportRegistry(L"", exported), ERROR_SUCCESS);
  EXPECT_EQ(exported, expected);
  for (HKEY key : {clsid, server, mixed, reread})
    RegCloseKey(key);
}

TEST_F(RegistryFile, ReadsHandWrittenText) {
  WriteText(file_, "\xEF\xBB\xBFREGEDIT4\r\n"
                   "; a comment\r\n"
                   "[hkey_local_machine\\Software\\Hand]\r\n"
                   "\"Bytes\" = hex:01,02,\\\r\n"
                   "    03\r\n"
                   "@=\"first\"\r\n"
                   "@=\"second\"\r\n"
                   "\"n\"=dword:ff\r\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"software\\hand", 0, KEY_READ, &key), ERROR_SUCCESS)
      << RegistryParseError();
  EXPECT_EQ(GetString(key, nullptr), L"second");
  BYTE bytes[8];
  DWORD size = sizeof bytes;
  EXPECT_EQ(RegQueryValueExW(key, L"bytes", nullptr, nullptr, bytes, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(bytes, bytes + size), "\x01\x02\x03");
  DWORD n = 0;
  size = sizeof n;
  EXPECT_EQ(RegQueryValueExW(key, L"n", nullptr, nullptr, reinterpret_cast<BYTE *>(&n), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(n, 0xFFu);
  RegCloseKey(key);
}

TEST_F(RegistryFile, CorruptFileIsReportedAndLeftIntact) {
  struct Case {
    std::string text;
    std::string where;
  };
  const Case cases[] = {
      {"REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:zz\n", ":4: invalid dword"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"open\n", ":3: unterminated string"},
      {"[HKEY_CURRENT_USER\\A]\n", ":1: missing REGEDIT4 header"},
      {"REGEDIT4\n\"x\"=\"v\"\n", ":2: value outside a key section"},
      {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", ":2: unknown root key"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"\xC3(\"\n", ":3: invalid UTF-8"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:1,2,\n", ":3: invalid hex byte"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    WriteText(file_, c.text);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegistryParseError(), file_ + c.where);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(SetDword(HKEY_CURRENT_USER, L"v", 1), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, nullptr), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(ReadText(file_), c.text);
  }
  // Repairing the file makes it usable again.
  WriteText(file_, "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n");
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, L"v", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegistryParseError(), "");
}

TEST_F(RegistryFile, UnwritableFileFailsWithoutDamage) {
  HKEY key = Create(HKEY_CURRENT_USER, L"Kept");
  ASSERT_EQ(SetDword(key, L"v", 1), ERROR_SUCCESS);
  std::string before = ReadText(file_);
  // The temporary file cannot be created.
  ASSERT_TRUE(std::filesystem::create_directory(file_ + ".tmp"));
  EXPECT_EQ(SetDword(key, L"v", 2), ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(ReadText(file_), before);
  DWORD v = 0, size = sizeof v;
  EXPECT_EQ(RegQueryValueExW(key, L"v", nullptr, nullptr, reinterpret_cast<BYTE *>(&v), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(v, 1u);
  RegCloseKey(key);

  // The folder cannot be created: a file stands in its way.
  WriteText(dir_ + "/plain", "x");
  setenv("TALLOWICK_REGISTRY", (dir_ + "/plain/registry.reg").c_str(), 1);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, L"v", 1), ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(ReadText(dir_ + "/plain"), "x");
}

TEST_F(RegistryFile, ReadOnlyFolderIsAccessDenied) {
  if (geteuid() == 0)
    GTEST_SKIP() << "permissions do not apply to root";
  std::string folder = dir_ + "/ro";
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  setenv("TALLOWICK_REGISTRY", (folder + "/registry.reg").c_str(), 1);
  chmod(folder.c_str(), 0555);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, L"v", 1), ERROR_ACCESS_DENIED);
  chmod(folder.c_str(), 0755);
}

TEST_F(RegistryFile, SecondProcessSeesWrites) {
  HKEY key = Create(HKEY_CURRENT_USER, L"Shared");
  ASSERT_EQ(SetString(key, L"from", L"parent"), ERROR_SUCCESS);
  ASSERT_EQ(GetString(key, L"from"), L"parent"); // now cached in this process
  int status = Wait(Spawn([] {
    HKEY child = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Shared", 0, KEY_ALL_ACCESS, &child) != ERROR_SUCCESS)
      return 1;
    if (GetString(child, L"from") != L"parent")
      return 2;
    return SetString(child, L"from", L"child") == ERROR_SUCCESS ? 0 : 3;
  }));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(GetString(key, L"from"), L"child");

  // A key deleted by another process answers so through handles open here.
  EXPECT_EQ(
      Wait(Spawn([] { return static_cast<int>(RegDeleteKeyW(HKEY_CURRENT_USER, L"Shared")); })), 0);
  EXPECT_EQ(SetString(key, L"from", L"parent"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegQueryValueExW(key, L"from", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  RegCloseKey(key);
}

TEST_F(RegistryFile, ConcurrentWritersLoseNothing) {
  constexpr int kWrites = 40;
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  auto writer = [&](const wchar_t *prefix) {
    return Spawn([&, prefix] {
      char go;
      if (read(gate[0], &go, 1) != 1)
        return 1;
      HKEY key = Create(HKEY_LOCAL_MACHINE, L"Concurrent");
      for (int i = 0; i < kWrites; ++i)
        if (SetDword(key, (prefix + std::to_wstring(i)).c_str(), static_cast<DWORD>(i)) !=
            ERROR_SUCCESS)
          return 2;
      return 0;
    });
  };
  pid_t first = writer(L"a");
  pid_t second = writer(L"b");
  ASSERT_EQ(write(gate[1], "gg", 2), 2);
  EXPECT_EQ(Wait(first), 0);
  EXPECT_EQ(Wait(second), 0);
  close(gate[0]);
  close(gate[1]);

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Concurrent", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD count = 0;
  EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(count, 2u * kWrites);
  RegCloseKey(key);
}

TEST_F(RegistryFile, KilledWriterLeavesEveryStoredValue) {
  int acks[2];
  ASSERT_EQ(pipe(acks), 0);
  pid_t pid = Spawn([&] {
    close(acks[0]);
    HKEY key = Create(HKEY_CURRENT_USER, L"Killed");
    std::wstring padding(200, L'p'); // makes each write take a while
    for (DWORD i = 0;; ++i) {
      if (SetString(key, (L"v" + std::to_wstring(i)).c_str(), padding + std::to_wstring(i)) !=
          ERROR_SUCCESS)
        return 1;
      if (write(acks[1], &i, sizeof i) != sizeof i)
        return 2;
    }
  });
  close(acks[1]);
  ASSERT_EQ(fcntl(acks[0], F_SETFL, O_NONBLOCK), 0);
  // Until the kill, every read sees a whole file with every acknowledged value.
  DWORD acked = 0;
  int incomplete = 0;
  while (acked < 30) {
    DWORD index;
    ssize_t n = read(acks[0], &index, sizeof index);
    if (n == sizeof index) {
      acked = index + 1;
      continue;
    }
    ASSERT_TRUE(n < 0 && errno == EAGAIN) << "writer stopped";
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, L"Killed", 0, KEY_READ, &key);
    if (acked == 0 && status == ERROR_FILE_NOT_FOUND)
      continue;
    DWORD count = 0;
    if (status == ERROR_SUCCESS)
      status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS || count < acked)
      ++incomplete;
    RegCloseKey(key);
  }
  EXPECT_EQ(incomplete, 0);
  kill(pid, SIGKILL);
  EXPECT_EQ(Wait(pid), 128 + SIGKILL);
  close(acks[0]);

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Killed", 0, KEY_READ, &key), ERROR_SUCCESS)
      << RegistryParseError();
  std::wstring padding(200, L'p');
  for (DWORD i = 0; i < acked; ++i)
    EXPECT_EQ(GetString(key, (L"v" + std::to_wstring(i)).c_str()), padding + std::to_wstring(i));
  RegCloseKey(key);
}

TEST_F(RegistryFile, ExportsSubtreeAndFindsDefaultLocation) {
  HKEY server = Create(HKEY_CLASSES_ROOT, L"CLSID\\{X}\\InprocServer32");
  ASSERT_EQ(SetString(server, nullptr, L"lib.so"), ERROR_SUCCESS);
  RegCloseKey(Create(HKEY_CLASSES_ROOT, L"Other"));
  std::string text;
  EXPECT_EQ(ExportRegistry(L"hkey_classes_root\\clsid\\{x}", text), ERROR_SUCCESS);
  EXPECT_EQ(text, "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID\\{X}]\n\n"
                  "[HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32]\n@=\"lib.so\"\n");
  EXPECT_EQ(ExportRegistry(L"HKEY_CLASSES_ROOT\\CLSID\\{Y}", text), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ExportRegistry(L"CLSID\\{X}", text), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegistryFilePath(), file_);
  RegCloseKey(server);

  unsetenv("TALLOWICK_REGISTRY");
  std::string state = dir_ + "/state";
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  std::string path = state + "/tallowick/registry.reg";
  EXPECT_EQ(RegistryFilePath(), path);
  EXPECT_EQ(SetDword(HKEY_USERS, L"v", 5), ERROR_SUCCESS);
  EXPECT_EQ(ReadText(path), "REGEDIT4\n\n[HKEY_USERS]\n\"v\"=dword:00000005\n");
  unsetenv("XDG_STATE_HOME");
  const char *home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(RegistryFilePath(), std::string(home) + "/.local/state/tallowick/registry.reg");
  }
}

} // namespace

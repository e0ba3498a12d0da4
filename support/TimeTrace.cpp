#include "support/TimeTrace.h"

namespace TimeTrace {
namespace {

constexpr WCHAR kSwitchKey[] = L"Software\\Quillon\\Debug\\TimeTrace";
constexpr WCHAR kKitSourcePath[] = L".\\TallowickIE";
constexpr DWORD kMaxSwitchName = 256;

// Constant-initialised: the module may start tracing before dynamic
// initialisation has run.
constinit TraceFunction g_trace = nullptr;
constinit HMODULE g_library = nullptr;
constinit DWORD g_switch = 0;

bool ReadDword(HKEY key, LPCWSTR name, DWORD &value) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof data;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&data), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data)
    return false;
  value = data;
  return true;
}

void ReadSwitch(LPCWSTR switchName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSwitchKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  DWORD value = 0;
  if (ReadDword(key, L"All", value) || ReadDword(key, switchName, value))
    g_switch = value;
  RegCloseKey(key);
}

void LoadTraceLibrary() {
  if (g_library != nullptr)
    return;
  HMODULE library = LoadLibraryW(L"QilTimeTrace.dll");
  if (library == nullptr)
    return;
  FARPROC function = GetProcAddress(library, "QilTimeTrace");
  if (function == nullptr) {
    FreeLibrary(library);
    return;
  }
  g_library = library;
  g_trace = reinterpret_cast<TraceFunction>(reinterpret_cast<void (*)()>(function));
}

} // namespace

bool SwitchName(LPCWSTR sourcePath, LPWSTR name, DWORD capacity) {
  if (sourcePath == nullptr || name == nullptr || capacity == 0)
    return false;
  name[0] = L'\0';
  LPCWSTR last = nullptr;
  LPCWSTR beforeLast = nullptr;
  for (LPCWSTR c = sourcePath; *c != L'\0'; ++c) {
    if (*c != L'\\')
      continue;
    beforeLast = last;
    last = c;
  }
  if (beforeLast == nullptr)
    return false;
  DWORD length = static_cast<DWORD>(last - beforeLast - 1);
  if (length == 0 || length >= capacity)
    return false;
  for (DWORD i = 0; i < length; ++i)
    name[i] = beforeLast[1 + i];
  name[length] = L'\0';
  return true;
}

void StartFor(LPCWSTR sourcePath) {
  WCHAR name[kMaxSwitchName];
  if (!SwitchName(sourcePath, name, kMaxSwitchName))
    return;
  ReadSwitch(name);
  if (g_switch != 0)
    LoadTraceLibrary();
}

void Start() { StartFor(kKitSourcePath); }

void Stop() {
  HMODULE library = g_library;
  g_trace = nullptr;
  g_library = nullptr;
  g_switch = 0;
  if (library != nullptr)
    FreeLibrary(library);
}

DWORD Switch() { return g_switch; }
bool IsActive() { return g_trace != nullptr; }

void TraceEnter(LPCWSTR function, LPCWSTR sourceFile, LONG line) {
  if (g_trace != nullptr)
    g_trace(kEnter, function, sourceFile, line, nullptr);
}

void TraceLeave(LPCWSTR function, LPCWSTR sourceFile, LONG line, LPCWSTR note) {
  if (g_trace != nullptr)
    g_trace(kLeave, function, sourceFile, line, note != nullptr ? note : L"");
}

void TraceMessage(LPCWSTR text, LPCWSTR sourceFile, LONG line) {
  if (g_trace != nullptr)
    g_trace(kMessage, text, sourceFile, line, L"");
}

} // namespace TimeTrace

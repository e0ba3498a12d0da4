// Shared pieces of the COM runtime.
#pragma once

#include <windows.h>

#include <string>

namespace tallowick::platform {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::wstring GuidToString(REFGUID guid);
// Only the braced form parses.
bool ParseBracedGuid(const wchar_t *text, GUID &guid);

// An exported function as its real type.
template <class F> F ProcAs(FARPROC proc) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}

// Whether the calling thread has initialised COM.
bool IsComInitializedOnThread();
// Releases the modules COM loaded for in-process servers (last CoUninitialize).
void ReleaseComServers();

} // namespace tallowick::platform

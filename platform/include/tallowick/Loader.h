// Details of the platform's module loader that Windows does not expose.
#pragma once

#include <string>

namespace tallowick::platform {

// The dynamic loader's own message (UTF-8) for the last LoadLibraryW or
// LoadLibraryExW on this thread that failed; empty after one that succeeded.
std::string LastLoaderMessage();

// True once the process has begun to exit: module destructors that run then
// are process detach, not FreeLibrary.
bool ProcessIsExiting();

} // namespace tallowick::platform

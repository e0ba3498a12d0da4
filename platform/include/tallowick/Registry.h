// The host's view of the registry file behind the Reg* functions.
#pragma once

#include <winnt.h>

#include <string>
#include <string_view>

namespace tallowick::platform {

// The file that holds the registry for this process, as the Reg* functions use it now.
std::string RegistryFilePath();

// REGEDIT4 text (UTF-8) of the whole registry when `keyPath` is empty, else of the key
// named by its full path (e.g. L"HKEY_CLASSES_ROOT\\CLSID\\{...}") and everything below it.
// ERROR_FILE_NOT_FOUND for a missing key, ERROR_BAD_PATHNAME for a path without a root
// key, ERROR_REGISTRY_CORRUPT when the file does not parse.
LONG ExportRegistry(std::wstring_view keyPath, std::string &text);

// "<file>:<line>: <reason>" when the registry file last read did not parse, else empty.
std::string RegistryParseError();

} // namespace tallowick::platform

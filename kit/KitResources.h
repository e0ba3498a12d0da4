// The module's resources: registry scripts and the string table. On Windows
// they are resources of the DLL; on Linux the module carries the same
// content built in (generated from the same files).
#pragma once

#include <windows.h>

#include <string>

namespace KitResources {

// The text of the REGISTRY resource `id`; false when there is none.
bool RegistryScript(UINT id, std::wstring &script);
// String `id` of the string table; empty when there is none.
std::wstring String(UINT id);

} // namespace KitResources

// The atom table that window class names and clipboard format names share.
#pragma once

#include <windows.h>

#include <string>

namespace tallowick::platform {

constexpr ATOM kFirstUserAtom = 0xC000;

// The atom of `name` (case-insensitive), added when new; 0 with the last error set on failure.
ATOM AddUserAtom(LPCWSTR name);
// The atom of `name` if it has one, else 0.
ATOM FindUserAtom(LPCWSTR name);
// The name of an atom; empty when it has none.
std::wstring UserAtomName(ATOM atom);

} // namespace tallowick::platform

// Classes that come with the system, known without a registry entry: the
// registry still wins, these answer only when it has nothing.
#pragma once

#include <windows.h>

namespace tallowick::platform {

// The CLSID of a system class by its ProgID (case-insensitive).
bool FindSystemClassId(LPCOLESTR progId, CLSID &clsid);
// A class object of a system class; REGDB_E_CLASSNOTREG for any other CLSID.
HRESULT GetSystemClassObject(REFCLSID clsid, REFIID riid, void **ppv);

} // namespace tallowick::platform

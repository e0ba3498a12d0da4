// The test server's class, interface and type library ids, shared by the
// module and the tests that drive it.
#pragma once

#include <windows.h>

// {6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B11}
inline const CLSID CLSID_TestCounter = {
    0x6B1E0C2A, 0x3F4D, 0x4C55, {0x9A, 0x61, 0x2D, 0x7E, 0x8F, 0x9A, 0x0B, 0x11}};
// {6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B12}
inline const GUID LIBID_TestServer = {
    0x6B1E0C2A, 0x3F4D, 0x4C55, {0x9A, 0x61, 0x2D, 0x7E, 0x8F, 0x9A, 0x0B, 0x12}};
inline constexpr const wchar_t *kTestCounterProgID = L"Tallowick.TestCounter.1";
inline constexpr const wchar_t *kTestCounterIndependentProgID = L"Tallowick.TestCounter";
inline constexpr const wchar_t *kTestServerModule = L"libtallowick_test_server.so";

MIDL_INTERFACE("6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B13")
ITestCounter : public IUnknown {
public:
  STDMETHOD(Add)(LONG amount) = 0;
  STDMETHOD(Get)(LONG * value) = 0;
};
__CRT_UUID_DECL(ITestCounter, 0x6B1E0C2A, 0x3F4D, 0x4C55, 0x9A, 0x61, 0x2D, 0x7E, 0x8F, 0x9A,
                0x0B, 0x13)

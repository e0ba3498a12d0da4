// A small kit for the tree tests: it claims every element with a "testkit"
// attribute (web class 1100 "TestPanel", kit id 7) and records clicks inside
// such an element on its object.
#pragma once

#include <windows.h>

// {7D3C9E41-2B6A-4F85-9A0C-5E1B8D2F4C67}
inline const CLSID CLSID_TestKit = {
    0x7D3C9E41, 0x2B6A, 0x4F85, {0x9A, 0x0C, 0x5E, 0x1B, 0x8D, 0x2F, 0x4C, 0x67}};
inline constexpr const wchar_t *kTestKitModule = L"libTallowickTestKit.so";
inline constexpr LONG kTestKitId = 7;
inline constexpr LONG kTestPanelClass = 1100;
// The environment variable naming the event configuration file its objects name.
inline constexpr const char *kTestKitEventsVariable = "TALLOWICK_TESTKIT_EVENTS";

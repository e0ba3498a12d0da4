// Hands an interface over to the test tool's window: the interface is
// marshalled into a buffer that goes to the window by WM_COPYDATA.
#pragma once

#include <windows.h>

// Window class and name of the test tool's receiving window.
inline constexpr WCHAR kTestToolWindowClass[] = L"HalonSinchroniLekabaltHodaot";
inline constexpr WCHAR kTestToolWindowName[] = L"ZinorKnisaPatuach";

// Size of the buffer's header: message id, 1, value, thread id, pointer
// value, each 32 bits, before the marshalled bytes.
inline constexpr DWORD kHandOverHeaderSize = 20;

// The registered clipboard format "WebActiveXMarshalInterface", used as the
// message id when an element's IDispatch is handed over.
UINT WebActiveXMarshalInterfaceFormat();

// The marshalling context for a host executable's full path: in-process when
// the lower-cased path contains "brimlet", "pexo" or "yaltum", else local.
DWORD HandOverMarshalContext(LPCWSTR executablePath);

// Marshals `object` as `iid` and sends it to the window of `windowClass`
// (the test tool's when null) named kTestToolWindowName. S_OK when sent
// (the window has handled it), S_FALSE when there was nothing to send or no
// window; otherwise the failure. Marshal data that was not sent is released.
HRESULT SendInterfaceToTestTool(UINT messageId, IUnknown *object, DWORD value, REFIID iid,
                                LPCWSTR windowClass);

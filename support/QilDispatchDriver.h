// Late-bound calls on scripted objects: look a member up by name and invoke
// it. The caller keeps ownership of the object, the names and the VARIANTs.
// Every function answers E_POINTER for a null object before anything else.
#pragma once

#include <windows.h>

// Property flags of a configuration row that ReadPropertyText uses.
inline constexpr DWORD kPropertyOfElementAttribute = 0x20;
inline constexpr DWORD kPropertyOfDocument = 0x80;
inline constexpr DWORD kPropertyOfWindow = 0x100;
inline constexpr DWORD kPropertyOfElementStyle = 0x200;

HRESULT GetNamedProperty(IDispatch *object, LPCOLESTR name, VARIANT *value);
HRESULT SetNamedProperty(IDispatch *object, LPCOLESTR name, VARIANT *value);

HRESULT CallMethodById(IDispatch *object, DISPID id, DISPPARAMS *arguments, VARIANT *result,
                       EXCEPINFO *exception, UINT *argumentError);
HRESULT CallNamedMethod(IDispatch *object, LPCOLESTR name, DISPPARAMS *arguments, VARIANT *result,
                        EXCEPINFO *exception, UINT *argumentError);
HRESULT CallNamedMethod0(IDispatch *object, LPCOLESTR name, VARIANT *result, EXCEPINFO *exception,
                         UINT *argumentError);
HRESULT CallNamedMethod1(IDispatch *object, LPCOLESTR name, VARIANT *argument, VARIANT *result,
                         EXCEPINFO *exception, UINT *argumentError);
HRESULT CallMethodById1(IDispatch *object, DISPID id, VARIANT *argument, VARIANT *result,
                        EXCEPINFO *exception, UINT *argumentError);

// Reads one named property of a window (flag 0x100), document (0x80) or
// element as text into *text (the caller frees it; null when the value has no
// text form). False when the object is not of the chosen kind.
bool ReadPropertyText(IUnknown *object, LPCOLESTR name, BSTR *text, DWORD flags);

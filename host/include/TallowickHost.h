// The reference host's own classes and interfaces, beside the host contract
// that the kit shares (TallowickIE_h.h).
#pragma once

#include <windows.h>

#include "TallowickIE_h.h"

// {D4ABD5FD-41CF-4966-8EEC-24315E9ABA72}: agent services, ProgID "Quillon.WIAgentServicesIE".
inline const CLSID CLSID_WIAgentServicesIE = {
    0xD4ABD5FD, 0x41CF, 0x4966, {0x8E, 0xEC, 0x24, 0x31, 0x5E, 0x9A, 0xBA, 0x72}};
// {3AC21B7F-A91D-46C6-92C4-F240182EDCD1}: the kits manager, ProgID "Quillon.WIKitsManagerIE".
inline const CLSID CLSID_WIKitsManager = {
    0x3AC21B7F, 0xA91D, 0x46C6, {0x92, 0xC4, 0xF2, 0x40, 0x18, 0x2E, 0xDC, 0xD1}};
// {109E42CE-99C0-4D98-A7D7-83FB07231950}: event ids (IWebEventID).
inline const CLSID CLSID_WebEventID = {
    0x109E42CE, 0x99C0, 0x4D98, {0xA7, 0xD7, 0x83, 0xFB, 0x07, 0x23, 0x19, 0x50}};
// {EC936706-9652-4D65-B2F6-BD33B2B5871D}: older runtime ids (IRuntimeID).
inline const CLSID CLSID_RuntimeID = {
    0xEC936706, 0x9652, 0x4D65, {0xB2, 0xF6, 0xBD, 0x33, 0xB2, 0xB5, 0x87, 0x1D}};
// {188952A4-DF17-4653-8271-423DFCD85C76}: the host's callback registry, one per
// process, ProgID "Quillon.WICallbackRegistryIE".
inline const CLSID CLSID_WICallbackRegistry = {
    0x188952A4, 0xDF17, 0x4653, {0x82, 0x71, 0x42, 0x3D, 0xFC, 0xD8, 0x5C, 0x76}};

inline constexpr const wchar_t *kAgentServicesProgID = L"Quillon.WIAgentServicesIE";
inline constexpr const wchar_t *kKitsManagerProgID = L"Quillon.WIKitsManagerIE";
inline constexpr const wchar_t *kCallbackRegistryProgID = L"Quillon.WICallbackRegistryIE";
inline constexpr const wchar_t *kHostModule = L"libTallowickHost.so";

// The host program's side of agent services: the settings the kit reads with
// GetSetting are the ones set here, and nothing else.
MIDL_INTERFACE("F38053C4-7674-4A85-BE6D-4A329F9D6538")
IWIHostSettings : public IUnknown {
public:
  STDMETHOD(SetSetting)(BSTR name, VARIANT value) = 0;
  STDMETHOD(RemoveSetting)(BSTR name) = 0;
  STDMETHOD(ClearSettings)() = 0;
};
__CRT_UUID_DECL(IWIHostSettings, 0xF38053C4, 0x7674, 0x4A85, 0xBE, 0x6D, 0x4A, 0x32, 0x9F, 0x9D,
                0x65, 0x38)

// The web classes that kits registered with agent services, in the order of
// their first registration (the host's own classes 0..28 are not listed).
MIDL_INTERFACE("5C1D2B7E-8A43-4F0B-9E61-3D27A4C5B918")
IWIHostWebClasses : public IUnknown {
public:
  STDMETHOD(GetRegisteredClassCount)(LONG * count) = 0;
  STDMETHOD(GetRegisteredClass)(LONG index, LONG * id, BSTR * name) = 0;
};
__CRT_UUID_DECL(IWIHostWebClasses, 0x5C1D2B7E, 0x8A43, 0x4F0B, 0x9E, 0x61, 0x3D, 0x27, 0xA4, 0xC5,
                0xB9, 0x18)

// What the kits manager received from the kits it initialised.
MIDL_INTERFACE("ABDEC7EA-BBE5-4E84-964E-5D9F3C41B85E")
IWIKitsManagerInfo : public IUnknown {
public:
  STDMETHOD(GetKitFactory)(IWIKitFactoryEx * *factory) = 0;
  STDMETHOD(GetRequestsHandler)(IWIKitRequestsHandler2 * *handler) = 0;
  STDMETHOD(GetCallbacker)(IWICallbacker * *callbacker) = 0;
  STDMETHOD(Reset)() = 0;
};
__CRT_UUID_DECL(IWIKitsManagerInfo, 0xABDEC7EA, 0xBBE5, 0x4E84, 0x96, 0x4E, 0x5D, 0x9F, 0x3C, 0x41,
                0xB8, 0x5E)

// Translates attribute ids to names and back for IWebInfo::ToSafeArray,
// FromSafeArray and FromPropCollection (the "attribute conversion map").
// Both methods answer S_FALSE and a null/zero out-value for what they do not
// know.
MIDL_INTERFACE("64B27D8D-5FB3-47D5-9F9B-005D8EC82A48")
IWIAttrConversionMap : public IUnknown {
public:
  STDMETHOD(GetAttrName)(LONG id, BSTR * name) = 0;
  STDMETHOD(GetAttrId)(BSTR name, LONG * id) = 0;
};
__CRT_UUID_DECL(IWIAttrConversionMap, 0x64B27D8D, 0x5FB3, 0x47D5, 0x9F, 0x9B, 0x00, 0x5D, 0x8E,
                0xC8, 0x2A, 0x48)

// The host program's side of the callback registry: binds the host's named
// exit points and lists the kit callbackers the registry received.
//
// A bound handler is called by InvokeHostCallback as
//   handler->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, ...)
// with two arguments, in order: the input (a VARIANT of VT_ARRAY|VT_VARIANT or
// VT_EMPTY, by value) and the output (VT_BYREF|VT_VARIANT referring to a copy
// of the caller's output VARIANT, which the handler may replace). When the
// call succeeds the copy becomes the caller's output; when it fails the
// caller's output is left alone. The call's HRESULT is the callback's result,
// unless the handler answers a VT_ERROR value, whose code then is the result
// (so a handler can answer S_FALSE or a failure of its own). The flag of
// InvokeHostCallback is not passed on.
MIDL_INTERFACE("29E2FA0F-CBEF-4A18-8A6E-3004E97D5121")
IWIHostCallbacks : public IUnknown {
public:
  // Binds a name (non-empty) to a handler, replacing an earlier binding.
  STDMETHOD(BindCallback)(BSTR name, IDispatch * handler) = 0;
  // S_OK when the name was bound, S_FALSE when it was not.
  STDMETHOD(UnbindCallback)(BSTR name) = 0;
  // The kit callbackers received through RegisterCallbacker, in the order of
  // their first registration.
  STDMETHOD(GetKitCallbackerCount)(LONG * count) = 0;
  STDMETHOD(GetKitCallbacker)(LONG index, IWICallbacker * *callbacker) = 0;
  // Unbinds every name and releases every kit callbacker.
  STDMETHOD(Reset)() = 0;
};
__CRT_UUID_DECL(IWIHostCallbacks, 0x29E2FA0F, 0xCBEF, 0x4A18, 0x8A, 0x6E, 0x30, 0x04, 0xE9, 0x7D,
                0x51, 0x21)

// {6A0E5C1B-3F2D-4B8E-9C47-1D5E8F20A3B6}: a browser of the host, the root of an
// object tree, ProgID "Quillon.WIBrowserIE". Its IUnknown is its IWebObj2.
inline const CLSID CLSID_WIBrowserIE = {
    0x6A0E5C1B, 0x3F2D, 0x4B8E, {0x9C, 0x47, 0x1D, 0x5E, 0x8F, 0x20, 0xA3, 0xB6}};
inline constexpr const wchar_t *kBrowserProgID = L"Quillon.WIBrowserIE";

// The host program's side of a browser: kits, the page, recorded steps.
// Steps are recorded while recording is on; each is one line of text (see
// the README) and the record the kit or host object filled for it.
MIDL_INTERFACE("0C7B3E52-9A61-4D2F-8E15-6B4A2F9D0C73")
IWIHostBrowser : public IUnknown {
public:
  // Creates the kit by CLSID, initialises it with a kits manager and asks its
  // factory for an object for every element of every later page.
  STDMETHOD(LoadKit)(REFCLSID kit) = 0;
  // Adds a kit factory directly (kitId: the id its objects carry).
  STDMETHOD(AddKitFactory)(IWIKitFactoryEx * factory, LONG kitId) = 0;
  // Loads a page from a file, or fetches it from an http:// URL (the browser
  // keeps its cookies), and builds its tree.
  STDMETHOD(LoadPage)(BSTR path) = 0;
  // Shows a loaded document (IHTMLDocument2) and builds its tree.
  STDMETHOD(SetDocument)(IUnknown * document) = 0;
  // The page agent object; S_FALSE and null before a page is shown.
  STDMETHOD(GetPageAO)(IWebObj2 * *page) = 0;
  STDMETHOD(SetRecording)(VARIANT_BOOL on) = 0;
  STDMETHOD(GetStepCount)(LONG * count) = 0;
  // Either out-pointer may be null.
  STDMETHOD(GetStep)(LONG index, BSTR * text, IWebInfo * *record) = 0;
  // Releases the page with every agent object, and the kits.
  STDMETHOD(Close)() = 0;
  // The children of an agent object in the browser's tree (a SAFEARRAY of
  // VARIANT, VT_UNKNOWN entries), whatever the object itself lists.
  STDMETHOD(GetTreeChildren)(IWebObj2 * ao, SAFEARRAY * *children) = 0;
  // Why the last page load or navigation over HTTP failed (the URL and the
  // status or connection error); S_FALSE and null when it did not.
  STDMETHOD(GetNavigationError)(BSTR * message) = 0;
};
__CRT_UUID_DECL(IWIHostBrowser, 0x0C7B3E52, 0x9A61, 0x4D2F, 0x8E, 0x15, 0x6B, 0x4A, 0x2F, 0x9D,
                0x0C, 0x73)

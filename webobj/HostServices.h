// The kit's access to the host: host COM objects created from a preloaded
// server module, the host's value objects through cached class factories,
// agent services, and the kit's own settings in the registry.
// Failures are silent: E_FAIL, 0, false, an empty string or an empty pointer.
#pragma once

#include <windows.h>

#include <string>

#include "TallowickIE_h.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"

namespace HostServices {

// Server modules and host COM objects.
const std::wstring &KitFolder(); // with a trailing separator
HMODULE LoadServerDll(LPCWSTR path, LPCWSTR folder);
HMODULE PreloadServerOf(REFCLSID clsid);
HRESULT CreateInstanceFromDll(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID riid,
                              void **ppv);
HRESULT GetClassObjectFromDll(REFCLSID clsid, DWORD context, void *reserved, REFIID riid,
                              void **ppv);

// Host value objects, each from its slot of the common factories cache.
HRESULT CreateWebInfo(REFCLSID clsid, REFIID riid, void **ppv);
HRESULT CreateWebAttrVal(REFCLSID clsid, REFIID riid, void **ppv);
HRESULT CreateWebVariant(REFCLSID clsid, REFIID riid, void **ppv);
HRESULT CreateWebRunTimeID(REFCLSID clsid, REFIID riid, void **ppv);
HRESULT CreateWIClassSet(REFCLSID clsid, REFIID riid, void **ppv);
HRESULT CreateFilterStruct(REFCLSID clsid, REFIID riid, void **ppv);

CQilComPtr<IWebVariant> NewWebVariant();
CQilComPtr<IWebInfo> NewWebInfo();
CQilComPtr<IWebAttrVal> NewWebAttrVal();
CQilComPtr<IWebAttrVal> NewWebAttrValBool(bool value);
CQilComPtr<IWebAttrVal> NewWebAttrValString(BSTR value);
CQilComPtr<IWebAttrVal> NewWebAttrValLong(LONG value);
CQilComPtr<IFilterStruct> NewFilterStruct();

// Unlocks and releases the cached factories (module unload by FreeLibrary).
void ReleaseFactories();

// Agent services.
void EnsureAgentServices();
IWIAgentServices *AgentServices(); // no reference added; may be null
void ReleaseAgentServices();
HRESULT RegisterWebClass(LONG id, BSTR name);
CQilBstr GetWebClassName(LONG id);
LONG GetWebClassId(BSTR name);
// The position of `name` in the host's 29 built-in class names; 0 when absent.
LONG BuiltInWebClassId(LPCOLESTR name);
CQilBstr GetRecordableClassName(IWebObj2 *ao);
HRESULT GetSetting(BSTR name, IWebVariant **value);
LONG GetLongSetting(BSTR name);
bool GetBoolSetting(BSTR name, bool defaultValue);
CQilComPtr<IWebObj2> GetHostAO(IUnknown *element, IWebObj2 *parent, VARIANT_BOOL flag);
CQilComPtr<IWebObj2> GetWrappedHostAO(IUnknown *element, IWebObj2 *parent);

// Kit settings under the test tool's registry root.
BSTR GetSettingsRoot();
CQilBstr MakeSettingsPath(LPCOLESTR path);
HRESULT ReadWebPackageSetting(LPCOLESTR name, std::wstring &value);
bool IsTagIgnored(LPCOLESTR tag, bool reload);

// Forgets the process-wide settings state (the root, the ignored-tags cache)
// so that tests can change what it is computed from.
void ResetSettingsCache();

} // namespace HostServices

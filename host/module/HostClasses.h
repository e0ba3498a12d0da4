// The host module's classes: each creator makes a new object (or answers the
// process-wide one) and queries it for riid. `outer` is non-null only when the
// caller aggregates; classes that cannot be aggregated answer
// CLASS_E_NOAGGREGATION.
#pragma once

#include <windows.h>

namespace host {

using ClassCreator = HRESULT (*)(IUnknown *outer, REFIID riid, void **ppv);

HRESULT CreateWebInfo(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateWebAttrVal(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateWebVariant(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateWebRunTimeID(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateWebEventID(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateRuntimeID(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateWIClassSet(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateFilterStruct(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateAgentServices(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateKitsManager(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateCallbackRegistry(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateBrowser(IUnknown *outer, REFIID riid, void **ppv);

} // namespace host

// The type library TALLOWICKLib as the Linux module carries it: the platform's
// LoadTypeLib reads this exported description where Windows reads the TYPELIB
// resource compiled from TallowickIE.idl.
#ifndef _WIN32

#include "TallowickIE_h.h"

namespace {

const TALLOWICK_TYPEINFO_DESC kTypes[] = {
    {TKIND_COCLASS, CLSID_TallowickIE, L"TallowickIE", L"TallowickIE Class"},
    {TKIND_COCLASS, CLSID_TallowickFactoryIE, L"TallowickFactoryIE", L"TallowickFactoryIE Class"},
    {TKIND_COCLASS, CLSID_TallowickRequestsHandlerIE, L"TallowickRequestsHandlerIE",
     L"TallowickRequestsHandlerIE Class"},
    {TKIND_COCLASS, CLSID_TallowickCallbackerIE, L"TallowickCallbackerIE",
     L"TallowickCallbackerIE Class"},
    {TKIND_INTERFACE, IID_IWIKit, L"IWIKit", nullptr},
    {TKIND_INTERFACE, IID_IWIKit2, L"IWIKit2", nullptr},
    {TKIND_INTERFACE, IID_IWIKitFactoryEx, L"IWIKitFactoryEx", nullptr},
    {TKIND_INTERFACE, IID_IWIKitRequestsHandler2, L"IWIKitRequestsHandler2", nullptr},
    {TKIND_INTERFACE, IID_IWICallbacker, L"IWICallbacker", nullptr},
    {TKIND_INTERFACE, IID_IWebObj2, L"IWebObj2", nullptr},
    {TKIND_INTERFACE, IID_IWebRunTimeID, L"IWebRunTimeID", nullptr},
    {TKIND_INTERFACE, IID_IRuntimeID, L"IRuntimeID", nullptr},
    {TKIND_INTERFACE, IID_IWebAttrVal, L"IWebAttrVal", nullptr},
    {TKIND_INTERFACE, IID_IWebVariant, L"IWebVariant", nullptr},
    {TKIND_INTERFACE, IID_IWebEventID, L"IWebEventID", nullptr},
    {TKIND_INTERFACE, IID_IWebInfo, L"IWebInfo", nullptr},
    {TKIND_INTERFACE, IID_IFilterStruct, L"IFilterStruct", nullptr},
    {TKIND_INTERFACE, IID_IWIClassSet, L"IWIClassSet", nullptr},
    {TKIND_DISPATCH, IID_IPropertyCollection, L"IPropertyCollection", nullptr},
};

const TALLOWICK_TYPELIB_DESC kTypeLib = {
    {LIBID_TALLOWICKLib, 0, SYS_WIN32, 1, 0, 0},
    L"TALLOWICKLib",
    L"TallowickIE 1.0 Type Library",
    sizeof kTypes / sizeof kTypes[0],
    kTypes,
};

} // namespace

extern "C" const TALLOWICK_TYPELIB_DESC *TallowickTypeLib(void) { return &kTypeLib; }

#endif

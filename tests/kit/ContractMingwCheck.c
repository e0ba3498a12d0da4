/* Cross-compiled by the tests: the generated contract as C, with its tables. */
#include <stddef.h>
#include <windows.h>

#include "TallowickIE_h.h"

_Static_assert(sizeof(IWIKit2Vtbl) == sizeof(IWIKitVtbl), "IWIKit2 adds no methods");
_Static_assert(offsetof(IWebObj2Vtbl, InvokeMethod) == 34 * sizeof(void *), "InvokeMethod");
_Static_assert(offsetof(IWIScriptHandlerVtbl, HasHandlerCode) == 16 * sizeof(void *),
               "form handler slot");
_Static_assert(offsetof(IWIKitRegistrarVtbl, RegisterKitFactory) == 4 * sizeof(void *),
               "factory registration slot");

// The kit calling the host's named exit points through the host's callback
// registry object (IWICallbackerRegistrar, IWICallbackQuery).
#pragma once

#include <windows.h>

#include "TallowickIE_h.h"
#include "support/QilComPtr.h"
#include "support/QilSafeArray.h"

// The callback registry of the browser that `agentObject` belongs to (an
// agent object at or above the page, through IWIBrowserServices); empty when
// there is none.
CQilComPtr<IUnknown> GetHostCallbackRegistry(IUnknown *agentObject);

// Whether the registry has a handler for `name`: true unless it answers
// IWICallbackQuery and says, successfully, that it has none.
bool HostHasCallback(IUnknown *registry, LPCOLESTR name);

// Calls the host exit point `name` with the input array; on success the
// output array is read back from the host's answer (read position 0). Answers
// the registry's HRESULT; E_POINTER without a registry.
HRESULT InvokeHostCallback(IUnknown *registry, LPCOLESTR name, CQilSafeArray &input,
                           CQilSafeArray &output, LONG flag);

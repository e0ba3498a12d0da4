// The record configuration lists of the per-class helpers: one pair of host
// IWebInfo lists (obligatory, optional) and a selector per helper, shared by
// every agent object that uses the helper, created empty on first use.
#pragma once

#include <windows.h>

#include "TallowickIE_h.h"

class CWebObjUtil;

namespace RecordConfig {

// New references to the helper's lists (replacing, and releasing, what the
// in/out lists held) and a copy of its selector. E_FAIL without a helper
// or when the host's IWebInfo class cannot be created.
HRESULT GetLists(const CWebObjUtil *util, IWebInfo **obligatory, IWebInfo **optional,
                 BSTR *selector);

// Releases every helper's lists (module unload); the next use creates them
// again.
void Release();

} // namespace RecordConfig

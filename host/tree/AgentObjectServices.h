// The agent object services of agent services, answered from the object
// trees alive in this process. Each answers S_FALSE and null when no tree
// knows the element or object.
#pragma once

#include <windows.h>

#include "TallowickHost.h"

namespace host::tree {

HRESULT FindAO(IUnknown *element, IWebObj2 **ao);
HRESULT FindAOById(IWebRunTimeID *id, IWebObj2 **ao);
HRESULT GetBrowserAO(IWebObj2 *ao, IWebObj2 **browser);
HRESULT GetPageAO(IWebObj2 *ao, IWebObj2 **page);
// The AO of an element in the tree of `parent` (or of the element's page),
// made on demand when `create` is set.
HRESULT GetElementAO(IUnknown *element, IWebObj2 *parent, bool create, IWebObj2 **ao);
// The host's own AO of an element with a view-link document.
HRESULT GetViewLinkElementAO(IUnknown *element, IWebObj2 *parent, IWebObj2 **ao);

} // namespace host::tree

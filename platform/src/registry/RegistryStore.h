// The registry file: location, cached reads, and locked atomic updates.
#pragma once

#include "registry/RegistryTree.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace tallowick::platform::registry {

// Serialises every registry operation of this process; callers of the functions below hold it.
std::mutex &RegistryMutex();

// $TALLOWICK_REGISTRY, else $XDG_STATE_HOME/tallowick/registry.reg, else
// $HOME/.local/state/tallowick/registry.reg.
std::string RegistryFilePath();

// The current contents; a missing file is an empty registry.
// ERROR_REGISTRY_CORRUPT when the file does not parse.
LONG LoadRegistry(std::shared_ptr<const Tree> &tree);

// Runs `change` on the freshly read registry under the inter-process lock and, when it
// succeeds and reports a change, replaces the file atomically.
using Change = std::function<LONG(Tree &tree, bool &changed)>;
LONG UpdateRegistry(const Change &change);

// Modification time of the file last read, as a FILETIME (zero when there is none).
FILETIME RegistryWriteTime();

// "<file>:<line>: <reason>" of the last read that failed to parse, else empty.
std::string RegistryParseError();

} // namespace tallowick::platform::registry

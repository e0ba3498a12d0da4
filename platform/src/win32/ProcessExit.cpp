// Tells module detach code whether the process is exiting (as DllMain's
// lpReserved does on Windows) rather than a module being freed.
#include <atomic>
#include <cstdlib>

#include "tallowick/Loader.h"

namespace {

std::atomic<bool> g_exiting{false};

// Registered while the platform loads, so it runs after every atexit handler
// of its clients and before the loader runs module destructors.
__attribute__((constructor)) void WatchProcessExit() {
  std::atexit([] { g_exiting = true; });
}

} // namespace

namespace tallowick::platform {

bool ProcessIsExiting() { return g_exiting; }

} // namespace tallowick::platform

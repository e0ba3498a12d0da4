#include "common/ComObject.h"

namespace host {
namespace {
LONG g_locks = 0;
}

void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }
LONG ModuleLockCount() { return g_locks; }

} // namespace host

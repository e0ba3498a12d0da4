// Cross-compiled by the tests: the generated contract against the real SDK headers.
#include <windows.h>

#include "TallowickIE_h.h"

#include "ContractChecks.h"

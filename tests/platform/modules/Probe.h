// Shared between the probe module and the tests that load it: the module
// reports its DllMain calls into a ModuleProbe whose address the test puts in
// the environment, so the record outlives the module.
#pragma once

#define TALLOWICK_PROBE_ENV "TALLOWICK_MODULE_PROBE"

struct ModuleProbe {
  int attaches;
  int detaches;
  void *attachHandle;
  void *detachHandle;
};

// Carrying out one step on the page a session shows: a kit or host method
// through InvokeMethod, or one of the actions that replay performs itself on
// the object's element (Click, Set) or on a grid's inner control (ClickCell,
// SetCell, found through the grid's attribute 78).
#pragma once

#include <string>

#include "PageSession.h"
#include "Steps.h"

namespace tallowick::cli {

struct StepOutcome {
  HRESULT invoke = S_OK;      // InvokeMethod's own answer (or the action's)
  HRESULT returnValue = S_OK; // the request's return value, when it has one
  bool hasReturnValue = false;
  std::vector<Entry> entries; // the request's entries afterwards
  std::string error;          // why the step could not be carried out
};

// Runs METHOD with the entries on the object; false with `error` set when the
// object, the method or the element is missing.
bool RunMethod(PageSession &session, IWebObj2 *ao, const std::string &className,
               const std::string &method, const std::vector<Entry> &entries, StepOutcome &outcome);
// A step: its object found by class and name on the page as it stands.
bool RunStep(PageSession &session, const Step &step, StepOutcome &outcome);
// Whether the outcome is a success: the invoke and the return value both.
bool Succeeded(const StepOutcome &outcome);

} // namespace tallowick::cli

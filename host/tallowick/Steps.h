// Replay steps, one a line: `Class "name" Method ID=VALUE...`. `record` writes
// them from the host's records, `replay` reads them back; the methods of each
// class are named here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "WebValues.h"

namespace tallowick::cli {

struct Step {
  std::string className;
  std::string name;
  std::string method;
  std::vector<Entry> entries;
};

// False with a message for a malformed line.
bool ParseStep(const std::string &line, Step &step, std::string &error);
std::string FormatStep(const Step &step);

// The InvokeMethod id of METHOD on an object of CLASS: a kit method's name
// (SelectTab, ClickButton, SelectDay, ...), a host method's name (CALL_EVENT,
// MAKE_VISIBLE, ...) or a number. -1 when unknown.
LONG MethodId(const std::string &className, const std::string &method);
// The methods `replay` performs itself on any object (Click, Set, ClickCell,
// SetCell), which are no InvokeMethod ids.
bool IsActionMethod(const std::string &method);

// The replay step for a recorded event of an object: none when the record
// holds nothing to replay.
std::optional<Step> ReplayStepFor(const std::string &className, const std::string &name,
                                  const std::string &event, const std::vector<Entry> &entries);

} // namespace tallowick::cli

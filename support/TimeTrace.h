// The optional time trace: a trace function from "QilTimeTrace.dll", loaded
// at module load when the switch under
// HKLM\Software\Quillon\Debug\TimeTrace is on. Trace points do nothing
// while no trace function is loaded.
#pragma once

#include <windows.h>

namespace TimeTrace {

// Kinds passed to the trace function.
inline constexpr LONG kEnter = 1;
inline constexpr LONG kLeave = 2;
inline constexpr LONG kMessage = 3;

// The trace library's "QilTimeTrace" export.
using TraceFunction = void(WINAPI *)(LONG kind, LPCWSTR text, LPCWSTR sourceFile, LONG line,
                                     LPCWSTR extra);

// Module load: the kit's own source path, ".\TallowickIE".
void Start();
// Module unload: frees the library and clears the function.
void Stop();

// Start with a given source path: the switch is named by the path's last
// folder name (between its last two backslashes); without one nothing is
// read and the switch stays 0.
void StartFor(LPCWSTR sourcePath);
// The switch name of a source path; empty when it has no folder name.
bool SwitchName(LPCWSTR sourcePath, LPWSTR name, DWORD capacity);

DWORD Switch();
bool IsActive();

void TraceEnter(LPCWSTR function, LPCWSTR sourceFile, LONG line);
void TraceLeave(LPCWSTR function, LPCWSTR sourceFile, LONG line, LPCWSTR note);
void TraceMessage(LPCWSTR text, LPCWSTR sourceFile, LONG line);

} // namespace TimeTrace

// Traces entering on construction and leaving, with the collected note, on
// destruction.
class CQilTraceScope {
public:
  CQilTraceScope(LPCWSTR function, LPCWSTR sourceFile, LONG line)
      : function_(function), sourceFile_(sourceFile), line_(line) {
    TimeTrace::TraceEnter(function_, sourceFile_, line_);
  }
  ~CQilTraceScope() { TimeTrace::TraceLeave(function_, sourceFile_, line_, note_); }
  CQilTraceScope(const CQilTraceScope &) = delete;
  CQilTraceScope &operator=(const CQilTraceScope &) = delete;

  // The note passed when leaving; must outlive the scope.
  void SetNote(LPCWSTR note) { note_ = note; }

private:
  LPCWSTR function_;
  LPCWSTR sourceFile_;
  LONG line_;
  LPCWSTR note_ = L"";
};

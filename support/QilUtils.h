// Text matching against a pattern, with the process-wide "VBScript.RegExp"
// matcher.
#pragma once

#include <windows.h>

// Without `regularExpression`: equality (case-insensitive with `ignoreCase`,
// a null string counting as empty). With it: true when the pattern yields
// exactly one match covering the whole text; any failure answers false.
bool MatchText(BSTR pattern, BSTR text, bool regularExpression, bool ignoreCase);

// Releases the process-wide matcher (module unload); the next use creates it
// again.
void ReleaseTextMatcher();

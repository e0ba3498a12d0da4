// Text comparison for the value objects: plain equality with the host's
// "ignore preceding spaces" and "ignore case" options, whole-text regular
// expression matching, and removal of escaping backslashes.
#pragma once

#include <string>
#include <string_view>

namespace host {

// White space as the host skips it: ASCII and Unicode spaces, including the
// no-break space that pages use.
bool IsTextSpace(wchar_t c);
std::wstring_view SkipLeadingSpaces(std::wstring_view text);

// Equality of two texts; with ignoreSpaces the leading white space of both is
// skipped, with ignoreCase letters compare without regard to case.
bool TextEquals(std::wstring_view a, std::wstring_view b, bool ignoreSpaces, bool ignoreCase);

// Whether `pattern` (JavaScript-like syntax) matches the whole of `text`. A
// pattern that does not compile, or a match that exceeds the backtracking
// limit, answers false. With ignoreSpaces the leading white space of both the
// pattern and the text is skipped.
bool RegExpMatches(std::wstring_view pattern, std::wstring_view text, bool ignoreSpaces,
                   bool ignoreCase);

// Characters that have a meaning in a pattern and are written escaped with a
// backslash when meant literally.
bool IsSpecialChar(wchar_t c);
// Removes the backslash in front of each special character ("a\.b" -> "a.b",
// "a\\b" -> "a\b"); other backslashes stay.
std::wstring CleanSpecialChars(std::wstring_view text);

} // namespace host

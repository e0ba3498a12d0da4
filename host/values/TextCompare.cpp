// Text comparison helpers of the value objects. Case-insensitive equality is
// the system's (CompareStringW with NORM_IGNORECASE); regular expressions are
// PCRE2 with 32-bit code units, JavaScript-compatible options and a match limit
// so that a runaway pattern fails instead of hanging the caller.
#include "values/TextCompare.h"

#include <windows.h>

#include <climits>
#include <cwctype>
#include <memory>

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

namespace host {

namespace {

static_assert(sizeof(wchar_t) == sizeof(PCRE2_UCHAR32), "wchar_t must be 32-bit");

// Backtracking steps and nesting allowed for one match.
constexpr uint32_t kMatchLimit = 200000;
constexpr uint32_t kDepthLimit = 10000;

struct CodeDeleter {
  void operator()(pcre2_code *code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data *data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context *context) const { pcre2_match_context_free(context); }
};

PCRE2_SPTR Units(std::wstring_view text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

} // namespace

bool IsTextSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' ||
         c == 0xA0 || c == 0x2007 || c == 0x202F || std::iswspace(static_cast<wint_t>(c));
}

std::wstring_view SkipLeadingSpaces(std::wstring_view text) {
  size_t start = 0;
  while (start < text.size() && IsTextSpace(text[start]))
    ++start;
  return text.substr(start);
}

bool TextEquals(std::wstring_view a, std::wstring_view b, bool ignoreSpaces, bool ignoreCase) {
  if (ignoreSpaces) {
    a = SkipLeadingSpaces(a);
    b = SkipLeadingSpaces(b);
  }
  if (!ignoreCase)
    return a == b;
  if (a.size() != b.size())
    return false;
  if (a.size() > INT_MAX)
    return false;
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool RegExpMatches(std::wstring_view pattern, std::wstring_view text, bool ignoreSpaces,
                   bool ignoreCase) {
  if (ignoreSpaces) {
    pattern = SkipLeadingSpaces(pattern);
    text = SkipLeadingSpaces(text);
  }
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                     PCRE2_ANCHORED | PCRE2_ENDANCHORED;
  if (ignoreCase)
    options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE offset = 0;
  std::unique_ptr<pcre2_code, CodeDeleter> code(
      pcre2_compile(Units(pattern), pattern.size(), options, &error, &offset, nullptr));
  if (!code)
    return false;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
      pcre2_match_data_create_from_pattern(code.get(), nullptr));
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(
      pcre2_match_context_create(nullptr));
  if (!data || !context)
    return false;
  pcre2_set_match_limit(context.get(), kMatchLimit);
  pcre2_set_depth_limit(context.get(), kDepthLimit);
  int rc = pcre2_match(code.get(), Units(text), text.size(), 0, 0, data.get(), context.get());
  return rc >= 0;
}

bool IsSpecialChar(wchar_t c) {
  switch (c) {
  case L'\\':
  case L'.':
  case L'*':
  case L'+':
  case L'?':
  case L'^':
  case L'$':
  case L'|':
  case L'(':
  case L')':
  case L'[':
  case L']':
  case L'{':
  case L'}':
    return true;
  default:
    return false;
  }
}

std::wstring CleanSpecialChars(std::wstring_view text) {
  std::wstring result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size() && IsSpecialChar(text[i + 1]))
      ++i;
    result += text[i];
  }
  return result;
}

} // namespace host

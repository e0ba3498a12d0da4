// National language support for the English (United States) locale: string
// comparison, date formatting and the UTF-8 code pages.
#include "oleaut/OleAut.h"

#include "tallowick/Strings.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <cwchar>

namespace tallowick::platform::oleaut {
namespace {

constexpr DWORD kCompareFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS |
                                NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH | SORT_STRINGSORT;
constexpr DWORD kDateFlags = DATE_SHORTDATE | DATE_LONGDATE | DATE_YEARMONTH |
                             DATE_USE_ALT_CALENDAR | DATE_LTRREADING | DATE_RTLREADING |
                             LOCALE_NOUSEROVERRIDE;

// Blanks, punctuation and the Latin-1 signs; letters and digits of any script stay.
bool IsSymbol(wchar_t c) {
  if (c < 0x80)
    return !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'));
  return (c >= 0x80 && c <= 0xBF) || c == 0xD7 || c == 0xF7;
}

std::wstring WithoutSymbols(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (!IsSymbol(c))
      out += c;
  }
  return out;
}

// The letter under a Latin-1 accented letter.
wchar_t BaseLetter(wchar_t c) {
  static constexpr char kBase[] =
      "AAAAAA.CEEEEIIII.NOOOOO.OUUUUY..aaaaaa.ceeeeiiii.nooooo.ouuuuy.y";
  if (c < 0xC0 || c > 0xFF || kBase[c - 0xC0] == '.')
    return c;
  return static_cast<wchar_t>(kBase[c - 0xC0]);
}

bool IsUtf8CodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_UTF8;
}

// Strict UTF-8: no overlong forms, surrogates or values beyond U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    auto b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80             ? 0
                : (b & 0xE0) == 0xC0 ? 1
                : (b & 0xF0) == 0xE0 ? 2
                : (b & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0 || (extra > 0 && i + static_cast<size_t>(extra) >= text.size()))
      return false;
    uint32_t c = b & (0x7F >> extra);
    for (int k = 1; k <= extra; ++k) {
      auto nb = static_cast<unsigned char>(text[i + k]);
      if ((nb & 0xC0) != 0x80)
        return false;
      c = (c << 6) | (nb & 0x3F);
    }
    static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

bool IsValidScalar(wchar_t wc) {
  auto c = static_cast<uint32_t>(wc);
  return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

} // namespace

int CompareText(std::wstring_view a, std::wstring_view b, DWORD flags) {
  std::wstring filteredA, filteredB;
  if (flags & NORM_IGNORESYMBOLS) {
    filteredA = WithoutSymbols(a);
    filteredB = WithoutSymbols(b);
    a = filteredA;
    b = filteredB;
  }
  // Letters first, then accents, then case, as a linguistic sort weighs them.
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    wchar_t x = FoldCase(BaseLetter(a[i])), y = FoldCase(BaseLetter(b[i]));
    if (x != y)
      return x < y ? -1 : 1;
  }
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  if (!(flags & NORM_IGNORENONSPACE)) {
    for (size_t i = 0; i < n; ++i) {
      wchar_t x = FoldCase(a[i]), y = FoldCase(b[i]);
      if (x != y)
        return x < y ? -1 : 1;
    }
  }
  if (!(flags & NORM_IGNORECASE)) {
    bool accents = !(flags & NORM_IGNORENONSPACE);
    for (size_t i = 0; i < n; ++i) {
      wchar_t x = accents ? a[i] : BaseLetter(a[i]), y = accents ? b[i] : BaseLetter(b[i]);
      if (x != y)
        return FoldCase(x) != x ? -1 : 1;
    }
  }
  return 0;
}

} // namespace tallowick::platform::oleaut

using namespace tallowick::platform;
using namespace tallowick::platform::oleaut;

extern "C" {

int WINAPI CompareStringW(LCID Locale, DWORD dwCmpFlags, LPCWSTR lpString1, int cchCount1,
                          LPCWSTR lpString2, int cchCount2) {
  (void)Locale;
  if (lpString1 == nullptr || lpString2 == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  if (dwCmpFlags & ~kCompareFlags)
    return Fail(ERROR_INVALID_FLAGS);
  std::wstring_view a(lpString1, cchCount1 < 0 ? std::wcslen(lpString1) : size_t(cchCount1));
  std::wstring_view b(lpString2, cchCount2 < 0 ? std::wcslen(lpString2) : size_t(cchCount2));
  try {
    return CompareText(a, b, dwCmpFlags) + 2;
  } catch (...) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

int WINAPI GetDateFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME *lpDate, LPCWSTR lpFormat,
                          LPWSTR lpDateStr, int cchDate) {
  (void)Locale;
  if (cchDate < 0 || (cchDate > 0 && lpDateStr == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (dwFlags & ~kDateFlags)
    return Fail(ERROR_INVALID_FLAGS);
  DWORD kinds = dwFlags & (DATE_SHORTDATE | DATE_LONGDATE | DATE_YEARMONTH);
  if ((kinds & (kinds - 1)) != 0 || (lpFormat != nullptr && kinds != 0))
    return Fail(ERROR_INVALID_FLAGS);

  DateParts parts;
  if (lpDate == nullptr) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    parts.year = local.tm_year + 1900;
    parts.month = local.tm_mon + 1;
    parts.day = local.tm_mday;
  } else {
    parts.year = lpDate->wYear;
    parts.month = lpDate->wMonth;
    parts.day = lpDate->wDay;
    if (parts.year < 1601 || parts.year > 30827 || !IsValidDay(parts.year, parts.month, parts.day))
      return Fail(ERROR_INVALID_PARAMETER);
  }
  parts.dayOfWeek = DayOfWeek(parts.year, parts.month, parts.day);

  const wchar_t *picture = lpFormat;
  if (picture == nullptr) {
    picture = (dwFlags & DATE_LONGDATE)    ? L"dddd, MMMM d, yyyy"
              : (dwFlags & DATE_YEARMONTH) ? L"MMMM yyyy"
                                           : L"M/d/yyyy";
  }
  std::wstring text;
  try {
    text = FormatDatePicture(parts, picture);
  } catch (...) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  auto needed = static_cast<int>(text.size() + 1);
  if (cchDate == 0)
    return needed;
  if (cchDate < needed)
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::wmemcpy(lpDateStr, text.c_str(), text.size() + 1);
  return needed;
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
  if (!IsUtf8CodePage(CodePage))
    return Fail(ERROR_INVALID_PARAMETER);
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && lpWideCharStr == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS))
    return Fail(ERROR_INVALID_FLAGS);
  size_t length = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : size_t(cbMultiByte);
  std::string_view input(lpMultiByteStr, length);
  if ((dwFlags & MB_ERR_INVALID_CHARS) && !IsValidUtf8(input))
    return Fail(ERROR_NO_UNICODE_TRANSLATION);
  std::wstring wide;
  try {
    wide = Widen(input);
  } catch (...) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  auto count = static_cast<int>(wide.size());
  if (cchWideChar == 0)
    return count;
  if (cchWideChar < count)
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::wmemcpy(lpWideCharStr, wide.data(), wide.size());
  return count;
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
  if (!IsUtf8CodePage(CodePage))
    return Fail(ERROR_INVALID_PARAMETER);
  if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && lpMultiByteStr == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (CodePage == CP_UTF8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS))
    return Fail(ERROR_INVALID_FLAGS);
  size_t length = cchWideChar < 0 ? std::wcslen(lpWideCharStr) + 1 : size_t(cchWideChar);
  std::wstring_view input(lpWideCharStr, length);

  std::string narrow;
  bool usedDefault = false;
  try {
    for (size_t start = 0; start < input.size();) {
      size_t bad = start;
      while (bad < input.size() && IsValidScalar(input[bad]))
        ++bad;
      narrow += Narrow(input.substr(start, bad - start));
      if (bad == input.size())
        break;
      if (dwFlags & WC_ERR_INVALID_CHARS)
        return Fail(ERROR_NO_UNICODE_TRANSLATION);
      narrow += lpDefaultChar != nullptr ? std::string(lpDefaultChar) : Narrow(L"\xFFFD");
      usedDefault = true;
      start = bad + 1;
    }
  } catch (...) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  if (lpUsedDefaultChar != nullptr)
    *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  auto count = static_cast<int>(narrow.size());
  if (cbMultiByte == 0)
    return count;
  if (cbMultiByte < count)
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpMultiByteStr, narrow.data(), narrow.size());
  return count;
}

} // extern "C"

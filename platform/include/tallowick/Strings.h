// Conversions between the platform's wide strings (UTF-32 wchar_t) and UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tallowick::platform {

std::string Narrow(std::wstring_view text);
std::wstring Widen(std::string_view text);
// Case folding for the ASCII and Latin-1 ranges, as Windows compares names.
wchar_t FoldCase(wchar_t c);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
int CompareNoCase(std::wstring_view a, std::wstring_view b);

} // namespace tallowick::platform

// Reading and writing numbers as text in the English (United States) locale.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowick::platform::oleaut {

// A number read from text: value = digits * 10^exponent, or a hex/octal
// literal ("&H1F", "&O17") whose bits may be reinterpreted by the target type.
struct ParsedNumber {
  bool negative = false;
  bool radix = false;
  uint64_t radixValue = 0;
  std::string digits; // significant digits, no leading or trailing zeros
  int exponent = 0;
};

// Accepts surrounding blanks, a leading or trailing sign, parentheses for a
// negative value, "$", thousands separators, a decimal point and an exponent.
bool ParseNumber(std::wstring_view text, ParsedNumber &number);

// Up to `precision` significant digits, fixed or "1E+20" style as Windows prints.
std::wstring FormatReal(double value, int precision);
// A currency value (scaled by 10000) with up to four decimals.
std::wstring FormatCurrency(int64_t value);
// A DECIMAL with its scale, trailing zeros of the fraction dropped.
std::wstring FormatDecimal(const DECIMAL &value);
// Builds a DECIMAL from digits * 10^exponent; false when it does not fit.
bool MakeDecimal(bool negative, std::string digits, int exponent, DECIMAL &out);

} // namespace tallowick::platform::oleaut

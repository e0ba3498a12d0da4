#include "oleaut/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cwctype>

namespace tallowick::platform::oleaut {
namespace {

using U128 = unsigned __int128;
constexpr U128 kDecimalLimit = U128{1} << 96;
constexpr int kMaxDecimalScale = 28;
constexpr int kMaxDecimalDigits = 29;

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && std::iswspace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && std::iswspace(text.back()))
    text.remove_suffix(1);
  return text;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int RadixDigit(wchar_t c, int radix) {
  int value = -1;
  if (IsDigit(c))
    value = c - L'0';
  else if (c >= L'a' && c <= L'f')
    value = c - L'a' + 10;
  else if (c >= L'A' && c <= L'F')
    value = c - L'A' + 10;
  return value >= 0 && value < radix ? value : -1;
}

bool ParseRadix(std::wstring_view text, size_t i, ParsedNumber &number) {
  int radix = (text[i + 1] == L'h' || text[i + 1] == L'H')   ? 16
              : (text[i + 1] == L'o' || text[i + 1] == L'O') ? 8
                                                             : 0;
  if (radix == 0)
    return false;
  i += 2;
  if (i == text.size())
    return false;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    int digit = RadixDigit(text[i], radix);
    if (digit < 0)
      return false;
    if (value > (UINT64_MAX - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(radix))
      return false;
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
  }
  number.radix = true;
  number.radixValue = value;
  return true;
}

void Normalize(ParsedNumber &number) {
  std::string &d = number.digits;
  size_t lead = d.find_first_not_of('0');
  if (lead == std::string::npos) {
    d.clear();
    number.exponent = 0;
    return;
  }
  d.erase(0, lead);
  size_t last = d.find_last_not_of('0');
  number.exponent += static_cast<int>(d.size() - 1 - last);
  d.resize(last + 1);
}

std::string DigitsOf(U128 value) {
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value != 0);
  std::reverse(digits.begin(), digits.end());
  return digits;
}

} // namespace

bool ParseNumber(std::wstring_view text, ParsedNumber &number) {
  number = ParsedNumber{};
  std::wstring_view t = Trim(text);
  bool parens = t.size() >= 2 && t.front() == L'(' && t.back() == L')';
  if (parens)
    t = Trim(t.substr(1, t.size() - 2));
  if (t.empty())
    return false;

  size_t i = 0;
  bool signSeen = false;
  if (t[i] == L'$')
    ++i;
  if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) {
    signSeen = true;
    number.negative = t[i] == L'-';
    ++i;
    if (i < t.size() && t[i] == L'$')
      ++i;
  }
  if (parens && signSeen)
    return false;
  number.negative = number.negative || parens;
  if (i + 1 < t.size() && t[i] == L'&')
    return ParseRadix(t, i, number);

  bool any = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      number.digits += static_cast<char>(t[i]);
      any = true;
    } else if (t[i] == L',' && any && i + 1 < t.size() && IsDigit(t[i + 1])) {
      continue;
    } else {
      break;
    }
  }
  if (i < t.size() && t[i] == L'.') {
    for (++i; i < t.size() && IsDigit(t[i]); ++i) {
      number.digits += static_cast<char>(t[i]);
      --number.exponent;
      any = true;
    }
  }
  if (!any)
    return false;
  if (i < t.size() && (t[i] == L'e' || t[i] == L'E')) {
    ++i;
    bool negExp = false;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-'))
      negExp = t[i++] == L'-';
    if (i == t.size() || !IsDigit(t[i]))
      return false;
    int exp = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i)
      exp = std::min(exp * 10 + (t[i] - L'0'), 100000);
    number.exponent += negExp ? -exp : exp;
  }
  if (!signSeen && !parens && i < t.size() && (t[i] == L'-' || t[i] == L'+')) {
    number.negative = t[i] == L'-';
    ++i;
  }
  if (i != t.size())
    return false;
  Normalize(number);
  return true;
}

std::wstring FormatReal(double value, int precision) {
  if (value == 0)
    return L"0";
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  std::wstring out(buffer, result.ptr);
  std::replace(out.begin(), out.end(), L'e', L'E');
  return out;
}

std::wstring FormatCurrency(int64_t value) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::wstring out = value < 0 ? L"-" : L"";
  out += std::to_wstring(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::wstring digits = std::to_wstring(fraction);
    digits.insert(0, 4 - digits.size(), L'0');
    digits.erase(digits.find_last_not_of(L'0') + 1);
    out += L'.' + digits;
  }
  return out;
}

std::wstring FormatDecimal(const DECIMAL &value) {
  U128 mantissa = (U128{value.Hi32} << 64) | value.Lo64;
  std::string digits = DigitsOf(mantissa);
  size_t scale = value.scale;
  if (digits.size() <= scale)
    digits.insert(0, scale - digits.size() + 1, '0');
  std::string whole = digits.substr(0, digits.size() - scale);
  std::string fraction = digits.substr(digits.size() - scale);
  fraction.erase(fraction.find_last_not_of('0') + 1);
  std::wstring out = (value.sign & DECIMAL_NEG) && mantissa != 0 ? L"-" : L"";
  out.append(whole.begin(), whole.end());
  if (!fraction.empty()) {
    out += L'.';
    out.append(fraction.begin(), fraction.end());
  }
  return out;
}

bool MakeDecimal(bool negative, std::string digits, int exponent, DECIMAL &out) {
  out = DECIMAL{};
  int excess = std::max(
      {0, static_cast<int>(digits.size()) - kMaxDecimalDigits, -exponent - kMaxDecimalScale});
  bool roundUp = false;
  if (excess > 0) {
    if (excess > static_cast<int>(digits.size())) {
      digits.clear();
    } else {
      roundUp = digits[digits.size() - excess] >= '5';
      digits.resize(digits.size() - excess);
    }
    exponent += excess;
  }
  U128 value = 0;
  for (char c : digits)
    value = value * 10 + static_cast<unsigned>(c - '0');
  if (roundUp)
    ++value;
  for (; exponent > 0; --exponent) {
    value *= 10;
    if (value >= kDecimalLimit)
      return false;
  }
  int scale = -exponent;
  while (value >= kDecimalLimit && scale > 0) {
    value = (value + 5) / 10;
    --scale;
  }
  if (value >= kDecimalLimit)
    return false;
  out.Hi32 = static_cast<ULONG>(value >> 64);
  out.Lo64 = static_cast<ULONGLONG>(value);
  out.scale = static_cast<BYTE>(scale);
  out.sign = negative && value != 0 ? DECIMAL_NEG : 0;
  return true;
}

} // namespace tallowick::platform::oleaut

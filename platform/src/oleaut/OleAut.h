// Shared internals of the OLE Automation stand-ins.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tallowick::platform::oleaut {

// A BSTR as a view over its full length (embedded NULs kept, null = empty).
std::wstring_view BstrView(BSTR bstr);
// A new BSTR holding `text`, or nullptr when out of memory.
BSTR MakeBstr(std::wstring_view text);

// Whether a VARIANT may hold `vt`.
bool IsValidVariantType(VARTYPE vt);
// Bytes of a scalar (non-VARIANT, non-DECIMAL) value of type `base`; 0 for others.
size_t ScalarSize(VARTYPE base);
// A shallow, non-owning view of what a VT_BYREF variant points to (one level;
// VT_BYREF|VT_VARIANT yields the inner variant as it is).
HRESULT ByrefView(const VARIANT &src, VARIANT &view);

// Calendar fields of a VARIANT date, Gregorian, proleptic.
struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int dayOfWeek = 0; // 0 = Sunday
};

// Earliest and latest dates OLE Automation accepts: 1-Jan-100 and 31-Dec-9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0; // exclusive

bool IsValidDay(int year, int month, int day);
// 0 = Sunday.
int DayOfWeek(int year, int month, int day);
// Splits a date into fields, rounding to the second; false outside the valid range.
bool DateToParts(double date, DateParts &parts);
// Joins fields into a date; false for fields out of range.
bool PartsToDate(const DateParts &parts, double &date);
// Reads a date and/or time as written in the English (United States) locale.
HRESULT ParseDate(std::wstring_view text, double &date);
// Writes a date as "M/d/yyyy h:mm:ss tt", omitting a zero date or time part.
// `flags` takes VAR_DATEVALUEONLY and VAR_TIMEVALUEONLY.
HRESULT FormatDate(double date, DWORD flags, std::wstring &out);
// Expands a GetDateFormat picture (d, M, y, g, quoted literals).
std::wstring FormatDatePicture(const DateParts &parts, std::wstring_view picture);

// Locale-aware comparison as CompareString does it: -1, 0 or 1.
int CompareText(std::wstring_view a, std::wstring_view b, DWORD flags);

} // namespace tallowick::platform::oleaut

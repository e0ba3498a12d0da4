// VARIANT dates: days since 30-Dec-1899, the fraction being the time of day
// (for dates before 30-Dec-1899 the fraction still counts forward from midnight).
#include "oleaut/OleAut.h"

#include "tallowick/Strings.h"

#include <cmath>
#include <ctime>
#include <cwctype>
#include <optional>
#include <vector>

namespace tallowick::platform::oleaut {
namespace {

constexpr int64_t kUnixToOleDays = 25569; // 1-Jan-1970 as a VARIANT date
constexpr int kSecondsPerDay = 86400;

const wchar_t *const kMonthNames[] = {L"January",   L"February", L"March",    L"April",
                                      L"May",       L"June",     L"July",     L"August",
                                      L"September", L"October",  L"November", L"December"};
const wchar_t *const kDayNames[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};

// Days since 1-Jan-1970 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, DateParts &parts) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  parts.year = static_cast<int>(yoe + era * 400 + (m <= 2));
  parts.month = m;
  parts.day = d;
}

int DayOfWeekOfDays(int64_t unixDays) { return static_cast<int>(((unixDays + 4) % 7 + 7) % 7); }

int CurrentYear() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

std::wstring Padded(int value, int width) {
  std::wstring text = std::to_wstring(value);
  if (static_cast<int>(text.size()) < width)
    text.insert(0, width - text.size(), L'0');
  return text;
}

// --- Parsing ---------------------------------------------------------------

struct Token {
  enum Kind { Number, Month, AmPm, Sep } kind;
  int value = 0;  // number, month 1..12, or 1 for PM
  int digits = 0; // for numbers
  wchar_t sep = 0;
};

// Matches a month or weekday name, full or abbreviated to at least three letters.
int MatchName(std::wstring_view word, const wchar_t *const *names, int count) {
  if (word.size() < 3)
    return 0;
  for (int i = 0; i < count; ++i) {
    std::wstring_view name = names[i];
    if (word.size() <= name.size() && EqualsNoCase(word, name.substr(0, word.size())))
      return i + 1;
  }
  return 0;
}

bool Tokenize(std::wstring_view text, std::vector<Token> &tokens) {
  size_t i = 0;
  while (i < text.size()) {
    wchar_t c = text[i];
    if (std::iswspace(c)) {
      while (i < text.size() && std::iswspace(text[i]))
        ++i;
      tokens.push_back({Token::Sep, 0, 0, L' '});
    } else if (c >= L'0' && c <= L'9') {
      Token t{Token::Number};
      for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (++t.digits > 9)
          return false;
        t.value = t.value * 10 + (text[i] - L'0');
      }
      tokens.push_back(t);
    } else if (std::iswalpha(c)) {
      size_t start = i;
      while (i < text.size() && std::iswalpha(text[i]))
        ++i;
      std::wstring_view word = text.substr(start, i - start);
      if (EqualsNoCase(word, L"am") || EqualsNoCase(word, L"a")) {
        tokens.push_back({Token::AmPm, 0});
      } else if (EqualsNoCase(word, L"pm") || EqualsNoCase(word, L"p")) {
        tokens.push_back({Token::AmPm, 1});
      } else if (int month = MatchName(word, kMonthNames, 12)) {
        tokens.push_back({Token::Month, month});
      } else if (!MatchName(word, kDayNames, 7)) {
        return false;
      }
      if (i < text.size() && text[i] == L'.')
        ++i; // "Jan." and "a.m" style abbreviations
    } else if (c == L'/' || c == L'-' || c == L'.' || c == L',' || c == L':') {
      tokens.push_back({Token::Sep, 0, 0, c});
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
};

class DateReader {
public:
  explicit DateReader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  bool Read(double &date) {
    for (size_t i = 0; i < tokens_.size();) {
      if (!Step(i))
        return false;
    }
    return Build(date);
  }

private:
  const Token *Peek(size_t i) const {
    while (i < tokens_.size() && tokens_[i].kind == Token::Sep && tokens_[i].sep == L' ')
      ++i;
    return i < tokens_.size() ? &tokens_[i] : nullptr;
  }
  size_t SkipSpace(size_t i) const {
    while (i < tokens_.size() && tokens_[i].kind == Token::Sep && tokens_[i].sep == L' ')
      ++i;
    return i;
  }
  bool IsColon(size_t i) const {
    return i < tokens_.size() && tokens_[i].kind == Token::Sep && tokens_[i].sep == L':';
  }
  bool IsNumber(size_t i) const { return i < tokens_.size() && tokens_[i].kind == Token::Number; }

  bool Step(size_t &i) {
    const Token &t = tokens_[i];
    switch (t.kind) {
    case Token::Sep:
      if (t.sep == L':')
        return false;
      ++i;
      return true;
    case Token::AmPm:
      return false;
    case Token::Month:
      if (month_)
        return false;
      month_ = t.value;
      ++i;
      return true;
    case Token::Number:
      break;
    }
    const Token *next = Peek(i + 1);
    bool timeFollows = IsColon(i + 1) || (next != nullptr && next->kind == Token::AmPm);
    if (!timeFollows) {
      numbers_.push_back(t);
      ++i;
      return true;
    }
    return ReadTime(i);
  }

  bool ReadTime(size_t &i) {
    if (time_)
      return false;
    TimeOfDay tod;
    tod.hour = tokens_[i++].value;
    if (IsColon(i)) {
      if (!IsNumber(i + 1))
        return false;
      tod.minute = tokens_[i + 1].value;
      i += 2;
      if (IsColon(i)) {
        if (!IsNumber(i + 1))
          return false;
        tod.second = tokens_[i + 1].value;
        i += 2;
      }
    }
    size_t after = SkipSpace(i);
    if (after < tokens_.size() && tokens_[after].kind == Token::AmPm) {
      if (tod.hour > 12)
        return false;
      bool pm = tokens_[after].value == 1;
      if (tod.hour == 12)
        tod.hour = 0;
      if (pm)
        tod.hour += 12;
      i = after + 1;
    }
    if (tod.hour > 23 || tod.minute > 59 || tod.second > 59)
      return false;
    time_ = tod;
    return true;
  }

  static bool LooksLikeYear(const Token &t) { return t.digits >= 3 || t.value > 31; }

  static int FullYear(const Token &t) {
    if (t.digits > 2)
      return t.value;
    return t.value < 30 ? 2000 + t.value : 1900 + t.value;
  }

  bool PickDate(DateParts &parts) const {
    size_t n = numbers_.size();
    if (month_) {
      parts.month = *month_;
      if (n == 1) {
        const Token &a = numbers_[0];
        parts.day = LooksLikeYear(a) ? 1 : a.value;
        parts.year = LooksLikeYear(a) ? FullYear(a) : CurrentYear();
        return true;
      }
      if (n != 2)
        return false;
      bool yearFirst = LooksLikeYear(numbers_[0]);
      parts.year = FullYear(numbers_[yearFirst ? 0 : 1]);
      parts.day = numbers_[yearFirst ? 1 : 0].value;
      return true;
    }
    if (n == 2) {
      const Token &a = numbers_[0], &b = numbers_[1];
      if (LooksLikeYear(a) || LooksLikeYear(b)) {
        bool yearFirst = LooksLikeYear(a);
        parts.year = FullYear(yearFirst ? a : b);
        parts.month = (yearFirst ? b : a).value;
        parts.day = 1;
      } else {
        parts.year = CurrentYear();
        parts.month = a.value;
        parts.day = b.value;
      }
      return true;
    }
    if (n != 3)
      return false;
    const Token &a = numbers_[0], &b = numbers_[1], &c = numbers_[2];
    if (LooksLikeYear(a)) {
      parts.year = FullYear(a);
      parts.month = b.value;
      parts.day = c.value;
      return true;
    }
    parts.year = FullYear(c);
    parts.month = a.value;
    parts.day = b.value;
    if (parts.month > 12 && parts.day <= 12)
      std::swap(parts.month, parts.day);
    return true;
  }

  bool Build(double &date) const {
    DateParts parts;
    if (numbers_.empty() && !month_) {
      if (!time_)
        return false;
      parts.year = 1899;
      parts.month = 12;
      parts.day = 30;
    } else if (!PickDate(parts)) {
      return false;
    }
    if (time_) {
      parts.hour = time_->hour;
      parts.minute = time_->minute;
      parts.second = time_->second;
    }
    return PartsToDate(parts, date);
  }

  std::vector<Token> tokens_;
  std::vector<Token> numbers_;
  std::optional<int> month_;
  std::optional<TimeOfDay> time_;
};

} // namespace

bool IsValidDay(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1)
    return false;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int limit = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= limit;
}

int DayOfWeek(int year, int month, int day) {
  return DayOfWeekOfDays(DaysFromCivil(year, month, day));
}

bool DateToParts(double date, DateParts &parts) {
  if (!(date > kMinDate - 1.0 && date < kMaxDate))
    return false;
  double whole = std::trunc(date);
  auto days = static_cast<int64_t>(whole);
  auto seconds = static_cast<int64_t>(std::llround(std::fabs(date - whole) * kSecondsPerDay));
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    ++days;
  }
  if (days >= static_cast<int64_t>(kMaxDate))
    return false;
  int64_t unixDays = days - kUnixToOleDays;
  CivilFromDays(unixDays, parts);
  parts.dayOfWeek = DayOfWeekOfDays(unixDays);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return true;
}

bool PartsToDate(const DateParts &parts, double &date) {
  if (parts.year < 100 || parts.year > 9999)
    return false;
  if (!IsValidDay(parts.year, parts.month, parts.day))
    return false;
  if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59 ||
      parts.second < 0 || parts.second > 59)
    return false;
  auto days =
      static_cast<double>(DaysFromCivil(parts.year, parts.month, parts.day) + kUnixToOleDays);
  double time =
      (parts.hour * 3600 + parts.minute * 60 + parts.second) / static_cast<double>(kSecondsPerDay);
  date = days >= 0 ? days + time : days - time;
  return true;
}

HRESULT ParseDate(std::wstring_view text, double &date) {
  std::vector<Token> tokens;
  if (!Tokenize(text, tokens))
    return DISP_E_TYPEMISMATCH;
  DateReader reader(std::move(tokens));
  return reader.Read(date) ? S_OK : DISP_E_TYPEMISMATCH;
}

HRESULT FormatDate(double date, DWORD flags, std::wstring &out) {
  DateParts parts;
  if (!DateToParts(date, parts))
    return E_INVALIDARG;
  bool dayZero = parts.year == 1899 && parts.month == 12 && parts.day == 30;
  bool hasTime = parts.hour != 0 || parts.minute != 0 || parts.second != 0;
  bool showDate = !dayZero;
  bool showTime = hasTime || dayZero;
  if (flags & VAR_DATEVALUEONLY) {
    showDate = true;
    showTime = false;
  } else if (flags & VAR_TIMEVALUEONLY) {
    showDate = false;
    showTime = true;
  }
  out.clear();
  if (showDate)
    out = FormatDatePicture(parts, L"M/d/yyyy");
  if (showTime) {
    if (!out.empty())
      out += L' ';
    int hour12 = parts.hour % 12 == 0 ? 12 : parts.hour % 12;
    out += std::to_wstring(hour12) + L':' + Padded(parts.minute, 2) + L':' +
           Padded(parts.second, 2) + (parts.hour < 12 ? L" AM" : L" PM");
  }
  return S_OK;
}

std::wstring FormatDatePicture(const DateParts &parts, std::wstring_view picture) {
  std::wstring out;
  size_t i = 0;
  while (i < picture.size()) {
    wchar_t c = picture[i];
    if (c == L'\'') {
      // Quoted literal; a doubled quote stands for one quote, inside or out.
      ++i;
      if (i < picture.size() && picture[i] == L'\'') {
        out += L'\'';
        ++i;
        continue;
      }
      while (i < picture.size()) {
        if (picture[i] == L'\'') {
          if (i + 1 < picture.size() && picture[i + 1] == L'\'') {
            out += L'\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += picture[i++];
      }
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c)
      ++run;
    switch (c) {
    case L'd':
      out += run == 1   ? std::to_wstring(parts.day)
             : run == 2 ? Padded(parts.day, 2)
             : run == 3 ? std::wstring(kDayNames[parts.dayOfWeek]).substr(0, 3)
                        : std::wstring(kDayNames[parts.dayOfWeek]);
      break;
    case L'M':
      out += run == 1   ? std::to_wstring(parts.month)
             : run == 2 ? Padded(parts.month, 2)
             : run == 3 ? std::wstring(kMonthNames[parts.month - 1]).substr(0, 3)
                        : std::wstring(kMonthNames[parts.month - 1]);
      break;
    case L'y':
      out += run == 1   ? std::to_wstring(parts.year % 100)
             : run == 2 ? Padded(parts.year % 100, 2)
                        : Padded(parts.year, 4);
      break;
    case L'g':
      out += L"A.D.";
      break;
    default:
      out.append(run, c);
      break;
    }
    i += run;
  }
  return out;
}

} // namespace tallowick::platform::oleaut

using namespace tallowick::platform::oleaut;

extern "C" {

INT WINAPI VariantTimeToSystemTime(DOUBLE vtime, LPSYSTEMTIME lpSystemTime) {
  if (lpSystemTime == nullptr)
    return FALSE;
  DateParts parts;
  if (!DateToParts(vtime, parts))
    return FALSE;
  lpSystemTime->wYear = static_cast<WORD>(parts.year);
  lpSystemTime->wMonth = static_cast<WORD>(parts.month);
  lpSystemTime->wDayOfWeek = static_cast<WORD>(parts.dayOfWeek);
  lpSystemTime->wDay = static_cast<WORD>(parts.day);
  lpSystemTime->wHour = static_cast<WORD>(parts.hour);
  lpSystemTime->wMinute = static_cast<WORD>(parts.minute);
  lpSystemTime->wSecond = static_cast<WORD>(parts.second);
  lpSystemTime->wMilliseconds = 0;
  return TRUE;
}

INT WINAPI SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, DOUBLE *pvtime) {
  if (lpSystemTime == nullptr || pvtime == nullptr)
    return FALSE;
  DateParts parts;
  parts.year = lpSystemTime->wYear;
  parts.month = lpSystemTime->wMonth;
  parts.day = lpSystemTime->wDay;
  parts.hour = lpSystemTime->wHour;
  parts.minute = lpSystemTime->wMinute;
  parts.second = lpSystemTime->wSecond;
  double date = 0;
  if (!PartsToDate(parts, date))
    return FALSE;
  *pvtime = date;
  return TRUE;
}

} // extern "C"

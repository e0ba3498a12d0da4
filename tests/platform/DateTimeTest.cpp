#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = hour;
  st.wMinute = minute;
  st.wSecond = second;
  return st;
}

std::wstring Format(const SYSTEMTIME &st, const wchar_t *picture, DWORD flags = 0) {
  wchar_t buffer[128];
  int n = GetDateFormatW(1033, flags, &st, picture, buffer, 128);
  return n > 0 ? std::wstring(buffer) : L"<failed>";
}

} // namespace

TEST(DateTime, SystemTimeToVariantTime) {
  double date = 0;
  SYSTEMTIME st = Day(2010, 1, 5, 15, 4, 5);
  st.wMilliseconds = 999; // ignored
  ASSERT_TRUE(SystemTimeToVariantTime(&st, &date));
  EXPECT_DOUBLE_EQ(date, 40183 + (15 * 3600 + 4 * 60 + 5) / 86400.0);

  st = Day(1899, 12, 30);
  ASSERT_TRUE(SystemTimeToVariantTime(&st, &date));
  EXPECT_EQ(date, 0);
  st = Day(1899, 12, 29, 6);
  ASSERT_TRUE(SystemTimeToVariantTime(&st, &date));
  EXPECT_EQ(date, -1.25);
  st = Day(9999, 12, 31);
  ASSERT_TRUE(SystemTimeToVariantTime(&st, &date));
  EXPECT_EQ(date, 2958465);
  st = Day(100, 1, 1);
  ASSERT_TRUE(SystemTimeToVariantTime(&st, &date));
  EXPECT_EQ(date, -657434);
  st = Day(2012, 2, 29);
  EXPECT_TRUE(SystemTimeToVariantTime(&st, &date));

  for (SYSTEMTIME bad : {Day(99, 12, 31), Day(10000, 1, 1), Day(2010, 13, 1), Day(2011, 2, 29),
                         Day(2010, 1, 0), Day(2010, 1, 1, 24)})
    EXPECT_FALSE(SystemTimeToVariantTime(&bad, &date)) << bad.wYear << "-" << bad.wMonth;
}

TEST(DateTime, VariantTimeToSystemTime) {
  SYSTEMTIME st{};
  ASSERT_TRUE(VariantTimeToSystemTime(40183.5, &st));
  EXPECT_EQ(st.wYear, 2010);
  EXPECT_EQ(st.wMonth, 1);
  EXPECT_EQ(st.wDay, 5);
  EXPECT_EQ(st.wHour, 12);
  EXPECT_EQ(st.wDayOfWeek, 2); // Tuesday
  EXPECT_EQ(st.wMilliseconds, 0);

  // Before 30-Dec-1899 the fraction still counts forward from midnight.
  ASSERT_TRUE(VariantTimeToSystemTime(-1.25, &st));
  EXPECT_EQ(st.wDay, 29);
  EXPECT_EQ(st.wHour, 6);
  EXPECT_EQ(st.wDayOfWeek, 5); // Friday

  // Rounded to the second, carrying into the next day.
  ASSERT_TRUE(VariantTimeToSystemTime(0.999999999, &st));
  EXPECT_EQ(st.wYear, 1899);
  EXPECT_EQ(st.wMonth, 12);
  EXPECT_EQ(st.wDay, 31);
  EXPECT_EQ(st.wHour, 0);

  ASSERT_TRUE(VariantTimeToSystemTime(-657434, &st));
  EXPECT_EQ(st.wYear, 100);
  EXPECT_FALSE(VariantTimeToSystemTime(-657435, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(2958466, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(0, nullptr));

  // Every day of a few centuries survives the round trip.
  for (double day = -40000; day < 80000; day += 7.25) {
    double back = 0;
    ASSERT_TRUE(VariantTimeToSystemTime(day, &st));
    ASSERT_TRUE(SystemTimeToVariantTime(&st, &back));
    ASSERT_EQ(back, day);
  }
}

TEST(DateTime, GetDateFormatPictures) {
  SYSTEMTIME st = Day(2010, 1, 5);
  st.wDayOfWeek = 6; // wrong on purpose: the weekday comes from the date
  EXPECT_EQ(Format(st, L"d dd ddd dddd"), L"5 05 Tue Tuesday");
  EXPECT_EQ(Format(st, L"M MM MMM MMMM"), L"1 01 Jan January");
  EXPECT_EQ(Format(st, L"y yy yyyy"), L"10 10 2010");
  EXPECT_EQ(Format(Day(2009, 11, 25), L"d-MMM-yyyy"), L"25-Nov-2009");
  EXPECT_EQ(Format(st, L"'Today is' dddd"), L"Today is Tuesday");
  EXPECT_EQ(Format(st, L"'It''s' d"), L"It's 5");
  EXPECT_EQ(Format(st, L"''d''"), L"'5'");
  EXPECT_EQ(Format(st, nullptr, DATE_SHORTDATE), L"1/5/2010");
  EXPECT_EQ(Format(st, nullptr, 0), L"1/5/2010");
  EXPECT_EQ(Format(st, nullptr, DATE_LONGDATE), L"Tuesday, January 5, 2010");
}

TEST(DateTime, GetDateFormatBuffers) {
  SYSTEMTIME st = Day(2010, 1, 5);
  EXPECT_EQ(GetDateFormatW(1033, DATE_SHORTDATE, &st, nullptr, nullptr, 0), 9);
  wchar_t small[8];
  SetLastError(0);
  EXPECT_EQ(GetDateFormatW(1033, DATE_SHORTDATE, &st, nullptr, small, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  wchar_t exact[9];
  EXPECT_EQ(GetDateFormatW(1033, DATE_SHORTDATE, &st, nullptr, exact, 9), 9);
  EXPECT_STREQ(exact, L"1/5/2010");

  EXPECT_EQ(GetDateFormatW(1033, DATE_SHORTDATE, &st, L"d", exact, 9), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
  SYSTEMTIME bad = Day(2010, 2, 30);
  EXPECT_EQ(GetDateFormatW(1033, 0, &bad, nullptr, exact, 9), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  wchar_t today[32];
  ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, L"yyyy", today, 32), 0);
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(std::wstring(today), std::to_wstring(local.tm_year + 1900));
}

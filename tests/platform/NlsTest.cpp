#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(Nls, CompareString) {
  EXPECT_EQ(CompareStringW(1033, NORM_IGNORECASE, L"abc", -1, L"ABC", -1), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(1033, 0, L"abc", -1, L"ABC", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringW(1033, 0, L"a", -1, L"B", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringW(1033, 0, L"abcd", -1, L"abc", -1), CSTR_GREATER_THAN);
  EXPECT_EQ(CompareStringW(1033, 0, L"abcdef", 3, L"abc", -1), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(1033, NORM_IGNORESYMBOLS, L"a-b c", -1, L"abc", -1), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(1033, NORM_IGNORECASE, L"\u00e9t\u00e9", -1, L"\u00c9T\u00c9", -1),
            CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(1033, 0, L"\u00e9", -1, L"\u00c9", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringW(1033, NORM_IGNORESYMBOLS, L"\u00e9!", -1, L"\u00e9", -1), CSTR_EQUAL);
  // Accents weigh less than letters but more than case.
  EXPECT_EQ(CompareStringW(1033, 0, L"\u00e9a", -1, L"f", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringW(1033, 0, L"e", -1, L"\u00e9", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringW(1033, NORM_IGNORENONSPACE, L"cafe", -1, L"caf\u00e9", -1), CSTR_EQUAL);
  EXPECT_EQ(
      CompareStringW(1033, NORM_IGNORENONSPACE | NORM_IGNORECASE, L"CAFE", -1, L"caf\u00e9", -1),
      CSTR_EQUAL);
  SetLastError(0);
  EXPECT_EQ(CompareStringW(1033, 0, nullptr, -1, L"a", -1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Nls, MultiByteToWideChar) {
  const char *text = "h\xC3\xA9\xE2\x82\xAC"; // h, e-acute, euro sign
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 3, nullptr, 0), 2);
  wchar_t out[4];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, out, 4), 4);
  EXPECT_STREQ(out, L"h\u00e9\u20ac");

  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3(", 2, out, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC0\xAF", 2, out, 4), 0);
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3(", 2, out, 4), 2);
  EXPECT_EQ(out[0], L'\xFFFD');
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 0, out, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(1252, 0, text, -1, out, 4), 0);
}

TEST(Nls, WideCharToMultiByte) {
  const wchar_t *text = L"h\u00e9\u20ac";
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), 7);
  char out[8];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, out, 8, nullptr, nullptr), 7);
  EXPECT_STREQ(out, "h\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, 2, out, 8, nullptr, nullptr), 3);

  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, out, 6, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  BOOL used = TRUE;
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, out, 8, nullptr, &used), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), 0};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, 8, nullptr, nullptr),
            0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, out, 8, "?", &used), 3);
  EXPECT_STREQ(out, "a?");
  EXPECT_TRUE(used);
}

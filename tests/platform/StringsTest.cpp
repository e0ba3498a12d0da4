#include "tallowick/Strings.h"

#include <gtest/gtest.h>

using namespace tallowick::platform;

TEST(Strings, Utf8RoundTripAndMalformedInput) {
  std::wstring text = L"a\u00e9\u20ac\U0001F600";
  EXPECT_EQ(Widen(Narrow(text)), text);
  EXPECT_EQ(Narrow(L"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(Widen("a\xC3"), L"a\xFFFD");          // truncated sequence
  EXPECT_EQ(Widen("\xC3(b"), L"\xFFFD(b");         // bad continuation
  EXPECT_EQ(Widen(std::string("x\0y", 3)), std::wstring(L"x\0y", 3));
}

TEST(Strings, CaseInsensitiveCompare) {
  EXPECT_TRUE(EqualsNoCase(L"InprocServer32", L"INPROCSERVER32"));
  EXPECT_FALSE(EqualsNoCase(L"abc", L"abcd"));
  EXPECT_LT(CompareNoCase(L"abc", L"ABD"), 0);
  EXPECT_TRUE(EqualsNoCase(L"\u00e9t\u00e9", L"\u00c9T\u00c9"));
}

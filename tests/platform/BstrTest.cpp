#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(Bstr, AllocationLengthsAndTermination) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);

  BSTR s = SysAllocString(L"abc");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(SysStringByteLen(s), 3 * sizeof(OLECHAR));
  EXPECT_EQ(s[3], L'\0');
  EXPECT_EQ(reinterpret_cast<uintptr_t>(s) % 8, 0u);
  SysFreeString(s);

  BSTR embedded = SysAllocStringLen(L"a\0b", 3);
  EXPECT_EQ(SysStringLen(embedded), 3u);
  EXPECT_EQ(std::wmemcmp(embedded, L"a\0b", 4), 0);
  SysFreeString(embedded);

  BSTR zeroed = SysAllocStringLen(nullptr, 4);
  EXPECT_EQ(SysStringLen(zeroed), 4u);
  for (int i = 0; i <= 4; ++i)
    EXPECT_EQ(zeroed[i], L'\0');
  SysFreeString(zeroed);

  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST(Bstr, ByteLengthIsExact) {
  BSTR bytes = SysAllocStringByteLen("abcde", 5);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(SysStringByteLen(bytes), 5u);
  EXPECT_EQ(SysStringLen(bytes), 5 / sizeof(OLECHAR));
  EXPECT_EQ(std::memcmp(bytes, "abcde", 5), 0);
  EXPECT_EQ(reinterpret_cast<char *>(bytes)[5], '\0');
  SysFreeString(bytes);

  BSTR blank = SysAllocStringByteLen(nullptr, 3);
  EXPECT_EQ(SysStringByteLen(blank), 3u);
  EXPECT_EQ(std::memcmp(blank, "\0\0\0\0", 4), 0);
  SysFreeString(blank);
}

TEST(Bstr, ReallocFromInsideTheOldString) {
  BSTR s = SysAllocString(L"hello world");
  ASSERT_TRUE(SysReAllocString(&s, s + 6));
  EXPECT_STREQ(s, L"world");
  EXPECT_EQ(SysStringLen(s), 5u);

  ASSERT_TRUE(SysReAllocStringLen(&s, s + 1, 3));
  EXPECT_STREQ(s, L"orl");

  // Without a source the old characters are kept and the rest zeroed.
  ASSERT_TRUE(SysReAllocStringLen(&s, nullptr, 5));
  EXPECT_EQ(SysStringLen(s), 5u);
  EXPECT_EQ(std::wmemcmp(s, L"orl\0\0", 6), 0);

  ASSERT_TRUE(SysReAllocString(&s, nullptr));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 0u);
  SysFreeString(s);

  BSTR fresh = nullptr;
  ASSERT_TRUE(SysReAllocString(&fresh, L"x"));
  EXPECT_STREQ(fresh, L"x");
  SysFreeString(fresh);
  EXPECT_FALSE(SysReAllocString(nullptr, L"x"));
}

TEST(Bstr, CompareTreatsNullAsEmptyAndHonoursIgnoreCase) {
  BSTR empty = SysAllocString(L"");
  BSTR lower = SysAllocString(L"abc");
  BSTR upper = SysAllocString(L"ABC");
  BSTR longer = SysAllocString(L"abcd");
  BSTR withNul = SysAllocStringLen(L"abc\0x", 5);
  EXPECT_EQ(VarBstrCmp(nullptr, empty, 1033, 0), VARCMP_EQ);
  EXPECT_EQ(VarBstrCmp(nullptr, nullptr, 1033, 0), VARCMP_EQ);
  EXPECT_EQ(VarBstrCmp(nullptr, lower, 1033, 0), VARCMP_LT);
  EXPECT_EQ(VarBstrCmp(lower, upper, 1033, NORM_IGNORECASE), VARCMP_EQ);
  EXPECT_NE(VarBstrCmp(lower, upper, 1033, 0), VARCMP_EQ);
  EXPECT_EQ(VarBstrCmp(lower, longer, 1033, 0), VARCMP_LT);
  EXPECT_EQ(VarBstrCmp(longer, upper, 1033, NORM_IGNORECASE), VARCMP_GT);
  EXPECT_EQ(VarBstrCmp(withNul, lower, 1033, 0), VARCMP_GT); // embedded NUL counts
  for (BSTR b : {empty, lower, upper, longer, withNul})
    SysFreeString(b);
}

TEST(Bstr, ConcatenationKeepsEverything) {
  BSTR left = SysAllocStringLen(L"a\0b", 3);
  BSTR right = SysAllocString(L"cd");
  BSTR result = nullptr;
  ASSERT_EQ(VarBstrCat(left, right, &result), S_OK);
  EXPECT_EQ(SysStringLen(result), 5u);
  EXPECT_EQ(std::wmemcmp(result, L"a\0bcd", 6), 0);
  SysFreeString(result);

  ASSERT_EQ(VarBstrCat(nullptr, nullptr, &result), S_OK);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(SysStringLen(result), 0u);
  SysFreeString(result);
  EXPECT_EQ(VarBstrCat(left, right, nullptr), E_INVALIDARG);
  SysFreeString(left);
  SysFreeString(right);
}

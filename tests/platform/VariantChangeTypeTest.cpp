#include "OleAutTestSupport.h"

#include <gtest/gtest.h>

namespace {

HRESULT Change(Var &out, Var &in, VARTYPE vt, USHORT flags = 0) {
  return VariantChangeTypeEx(&out.v, &in.v, 1033, flags, vt);
}

HRESULT TextToI4(const wchar_t *text, LONG &out) {
  Var in(text), result;
  HRESULT hr = Change(result, in, VT_I4);
  if (SUCCEEDED(hr))
    out = result.v.lVal;
  return hr;
}

std::wstring ToText(Var &in, USHORT flags = 0) {
  Var out;
  HRESULT hr = Change(out, in, VT_BSTR, flags);
  return SUCCEEDED(hr) ? out.Text() : L"<failed>";
}

std::wstring R8Text(double value) {
  Var in(value);
  return ToText(in);
}

double TextToDate(const wchar_t *text) {
  Var in(text), out;
  HRESULT hr = Change(out, in, VT_DATE);
  return SUCCEEDED(hr) ? out.v.date : -1e9;
}

constexpr double kTime150405 = (15 * 3600 + 4 * 60 + 5) / 86400.0;

} // namespace

TEST(VariantChangeType, TextToInteger) {
  LONG value = 0;
  EXPECT_EQ(TextToI4(L"12", value), S_OK);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(TextToI4(L" 12 ", value), S_OK);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(TextToI4(L"&H1F", value), S_OK);
  EXPECT_EQ(value, 31);
  EXPECT_EQ(TextToI4(L"&HFFFFFFFF", value), S_OK);
  EXPECT_EQ(value, -1);
  EXPECT_EQ(TextToI4(L"1,000", value), S_OK);
  EXPECT_EQ(value, 1000);
  EXPECT_EQ(TextToI4(L"-2147483648", value), S_OK);
  EXPECT_EQ(value, INT32_MIN);
  EXPECT_EQ(TextToI4(L"2.5", value), S_OK);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(TextToI4(L"1e3", value), S_OK);
  EXPECT_EQ(value, 1000);
  EXPECT_EQ(TextToI4(L"2147483648", value), DISP_E_OVERFLOW);
  for (const wchar_t *bad : {L"abc", L"", L"  ", L"12abc", L"1,", L"&H", L"--1", L"True"})
    EXPECT_EQ(TextToI4(bad, value), DISP_E_TYPEMISMATCH) << bad;

  Var big(L"9223372036854775808"), out;
  EXPECT_EQ(Change(out, big, VT_I8), DISP_E_OVERFLOW);
  ASSERT_EQ(Change(out, big, VT_UI8), S_OK);
  EXPECT_EQ(out.v.ullVal, 9223372036854775808ull);
}

TEST(VariantChangeType, RealToIntegerRoundsToEven) {
  struct Case {
    double in;
    LONG out;
  } cases[] = {{1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-1.5, -2}, {0.49, 0}};
  for (const Case &c : cases) {
    Var in(c.in), out;
    ASSERT_EQ(Change(out, in, VT_I4), S_OK) << c.in;
    EXPECT_EQ(out.v.lVal, c.out) << c.in;
  }
  Var big(1e10), tooBigByte(255.5), negative(-1.0), out;
  EXPECT_EQ(Change(out, big, VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(out, tooBigByte, VT_UI1), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(out, negative, VT_UI4), DISP_E_OVERFLOW);

  Var cy;
  cy.v.vt = VT_CY;
  cy.v.cyVal.int64 = 25000; // 2.5
  ASSERT_EQ(Change(out, cy, VT_I2), S_OK);
  EXPECT_EQ(out.v.iVal, 2);
  cy.v.cyVal.int64 = 35000;
  ASSERT_EQ(Change(out, cy, VT_I2), S_OK);
  EXPECT_EQ(out.v.iVal, 4);
}

TEST(VariantChangeType, Booleans) {
  Var yes = Var::Bool(true), out;
  EXPECT_EQ(ToText(yes), L"-1");
  EXPECT_EQ(ToText(yes, VARIANT_ALPHABOOL), L"True");
  Var no = Var::Bool(false);
  EXPECT_EQ(ToText(no, VARIANT_ALPHABOOL), L"False");
  ASSERT_EQ(Change(out, yes, VT_I4), S_OK);
  EXPECT_EQ(out.v.lVal, -1);
  ASSERT_EQ(Change(out, yes, VT_UI1), S_OK);
  EXPECT_EQ(out.v.bVal, 255);

  struct Case {
    const wchar_t *text;
    VARIANT_BOOL value;
  } cases[] = {{L"True", VARIANT_TRUE}, {L"false", VARIANT_FALSE}, {L"TRUE", VARIANT_TRUE},
               {L"0", VARIANT_FALSE},   {L"-5", VARIANT_TRUE},     {L"0.5", VARIANT_TRUE}};
  for (const Case &c : cases) {
    Var in(c.text);
    ASSERT_EQ(Change(out, in, VT_BOOL), S_OK) << c.text;
    EXPECT_EQ(out.v.boolVal, c.value) << c.text;
  }
  Var bad(L"abc"), five(LONG{5}), zero(0.0);
  EXPECT_EQ(Change(out, bad, VT_BOOL), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Change(out, five, VT_BOOL), S_OK);
  EXPECT_EQ(out.v.boolVal, VARIANT_TRUE);
  ASSERT_EQ(Change(out, zero, VT_BOOL), S_OK);
  EXPECT_EQ(out.v.boolVal, VARIANT_FALSE);
}

TEST(VariantChangeType, EmptyAndNull) {
  Var empty, out;
  ASSERT_EQ(Change(out, empty, VT_I4), S_OK);
  EXPECT_EQ(out.v.lVal, 0);
  ASSERT_EQ(Change(out, empty, VT_BSTR), S_OK);
  EXPECT_EQ(SysStringLen(out.v.bstrVal), 0u);
  ASSERT_EQ(Change(out, empty, VT_BOOL), S_OK);
  EXPECT_EQ(out.v.boolVal, VARIANT_FALSE);

  Var null;
  null.v.vt = VT_NULL;
  for (VARTYPE vt : {VT_I4, VT_BSTR, VT_BOOL, VT_R8, VT_DATE, VT_EMPTY})
    EXPECT_EQ(Change(out, null, vt), DISP_E_TYPEMISMATCH) << vt;
  ASSERT_EQ(Change(out, null, VT_NULL), S_OK);
  EXPECT_EQ(out.v.vt, VT_NULL);
}

TEST(VariantChangeType, RealsToText) {
  EXPECT_EQ(R8Text(1.5), L"1.5");
  EXPECT_EQ(R8Text(0.1), L"0.1");
  EXPECT_EQ(R8Text(1e20), L"1E+20");
  EXPECT_EQ(R8Text(-3), L"-3");
  EXPECT_EQ(R8Text(1.0 / 3), L"0.333333333333333");
  EXPECT_EQ(R8Text(123456789012345.0), L"123456789012345");
  EXPECT_EQ(R8Text(1234567890123456789.0), L"1.23456789012346E+18");
  EXPECT_EQ(R8Text(-0.0), L"0");
  Var single;
  single.v.vt = VT_R4;
  single.v.fltVal = 0.1f;
  EXPECT_EQ(ToText(single), L"0.1");
  Var cy;
  cy.v.vt = VT_CY;
  cy.v.cyVal.int64 = -15000;
  EXPECT_EQ(ToText(cy), L"-1.5");

  Var text(L"1.5"), out;
  ASSERT_EQ(Change(out, text, VT_CY), S_OK);
  EXPECT_EQ(out.v.cyVal.int64, 15000);
  ASSERT_EQ(Change(out, text, VT_DECIMAL), S_OK);
  EXPECT_EQ(ToText(out), L"1.5");
  Var huge(1e300), hugeText(L"1e400");
  EXPECT_EQ(Change(out, huge, VT_R4), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(out, hugeText, VT_R8), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, TextToDate) {
  EXPECT_EQ(TextToDate(L"1-Jan-2000"), 36526);
  EXPECT_EQ(TextToDate(L"5-Jan-2010"), 40183);
  EXPECT_EQ(TextToDate(L"1/5/2010"), 40183);
  EXPECT_EQ(TextToDate(L"January 5, 2010"), 40183);
  EXPECT_EQ(TextToDate(L"2010-01-05"), 40183);
  EXPECT_EQ(TextToDate(L"Tuesday, January 5, 2010"), 40183);
  EXPECT_DOUBLE_EQ(TextToDate(L"1/5/2010 3:04:05 PM"), 40183 + kTime150405);
  EXPECT_DOUBLE_EQ(TextToDate(L"5-Jan-2010 15:04:05"), 40183 + kTime150405);
  EXPECT_DOUBLE_EQ(TextToDate(L"3:04:05 PM"), kTime150405);
  EXPECT_DOUBLE_EQ(TextToDate(L"12:00 AM"), 0);
  EXPECT_EQ(TextToDate(L"1/5/30"), TextToDate(L"1/5/1930"));
  EXPECT_EQ(TextToDate(L"1/5/29"), TextToDate(L"1/5/2029"));
  for (const wchar_t *bad : {L"abc", L"", L"13/13/2010", L"2/30/2010", L"25:00", L"12", L"1/2/3/4"})
    EXPECT_EQ(TextToDate(bad), -1e9) << bad;
}

TEST(VariantChangeType, DateToText) {
  Var day = Var::Date(40183);
  EXPECT_EQ(ToText(day), L"1/5/2010");
  Var dayAndTime = Var::Date(40183 + kTime150405);
  EXPECT_EQ(ToText(dayAndTime), L"1/5/2010 3:04:05 PM");
  Var timeOnly = Var::Date(kTime150405);
  EXPECT_EQ(ToText(timeOnly), L"3:04:05 PM");
  Var zero = Var::Date(0);
  EXPECT_EQ(ToText(zero), L"12:00:00 AM");

  BSTR text = nullptr;
  ASSERT_EQ(VarBstrFromDate(40183 + kTime150405, 1033, VAR_DATEVALUEONLY, &text), S_OK);
  EXPECT_STREQ(text, L"1/5/2010");
  SysFreeString(text);
  ASSERT_EQ(VarBstrFromDate(40183 + kTime150405, 1033, VAR_TIMEVALUEONLY, &text), S_OK);
  EXPECT_STREQ(text, L"3:04:05 PM");
  SysFreeString(text);

  Var out, late = Var::Date(40183.6);
  ASSERT_EQ(Change(out, late, VT_I4), S_OK);
  EXPECT_EQ(out.v.lVal, 40184);
  Var tooLate(3e6);
  EXPECT_EQ(Change(out, tooLate, VT_DATE), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, ByrefSourcesAndInPlace) {
  LONG number = 7;
  Var ref, out;
  ref.v.vt = VT_BYREF | VT_I4;
  ref.v.plVal = &number;
  EXPECT_EQ(ToText(ref), L"7");

  Var inner(L"8");
  Var varRef;
  varRef.v.vt = VT_BYREF | VT_VARIANT;
  varRef.v.pvarVal = &inner.v;
  ASSERT_EQ(Change(out, varRef, VT_I4), S_OK);
  EXPECT_EQ(out.v.lVal, 8);

  Var v(L"42");
  ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_I4), S_OK);
  EXPECT_EQ(v.v.vt, VT_I4);
  EXPECT_EQ(v.v.lVal, 42);
  ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(v.Text(), L"42");
  // A failed conversion leaves the variant as it was.
  Var keep(L"abc");
  EXPECT_EQ(VariantChangeType(&keep.v, &keep.v, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(keep.Text(), L"abc");
}

TEST(VariantChangeType, ObjectsConvertThroughTheirValue) {
  CountedObject object;
  object.value.vt = VT_I4;
  object.value.lVal = 42;
  {
    Var disp, out;
    disp.v.vt = VT_DISPATCH;
    disp.v.pdispVal = &object;
    object.AddRef();
    ASSERT_EQ(Change(out, disp, VT_BSTR), S_OK);
    EXPECT_EQ(out.Text(), L"42");
    EXPECT_EQ(object.invokes, 1);
    EXPECT_EQ(Change(out, disp, VT_I4, VARIANT_NOVALUEPROP), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.invokes, 1);

    Var unk;
    unk.v.vt = VT_UNKNOWN;
    unk.v.punkVal = &object;
    object.AddRef();
    ASSERT_EQ(Change(out, unk, VT_R8), S_OK);
    EXPECT_EQ(out.v.dblVal, 42.0);
    ASSERT_EQ(Change(out, unk, VT_DISPATCH), S_OK);
    EXPECT_EQ(out.v.pdispVal, static_cast<IDispatch *>(&object));
    EXPECT_EQ(object.refs, 4);
  }
  EXPECT_EQ(object.refs, 1);

  CountedObject plain(false);
  {
    Var unk, out;
    unk.v.vt = VT_UNKNOWN;
    unk.v.punkVal = &plain;
    plain.AddRef();
    EXPECT_EQ(Change(out, unk, VT_DISPATCH), E_NOINTERFACE);
    EXPECT_EQ(Change(out, unk, VT_I4), DISP_E_TYPEMISMATCH);
  }
  EXPECT_EQ(plain.refs, 1);
}

TEST(VariantChangeType, Arrays) {
  Var ints, out;
  ints.v.vt = VT_ARRAY | VT_I4;
  ints.v.parray = SafeArrayCreateVector(VT_I4, 1, 2);
  static_cast<LONG *>(ints.v.parray->pvData)[1] = 9;
  ASSERT_EQ(Change(out, ints, VT_ARRAY | VT_VARIANT), S_OK);
  LONG index = 2;
  Var element;
  ASSERT_EQ(SafeArrayGetElement(out.v.parray, &index, &element.v), S_OK);
  EXPECT_EQ(element.v.vt, VT_I4);
  EXPECT_EQ(element.v.lVal, 9);

  Var texts;
  texts.v.vt = VT_ARRAY | VT_BSTR;
  texts.v.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  BSTR one = SysAllocString(L"12"), bad = SysAllocString(L"x");
  LONG i0 = 0, i1 = 1;
  SafeArrayPutElement(texts.v.parray, &i0, one);
  SafeArrayPutElement(texts.v.parray, &i1, one);
  ASSERT_EQ(Change(out, texts, VT_ARRAY | VT_I4), S_OK);
  EXPECT_EQ(static_cast<LONG *>(out.v.parray->pvData)[1], 12);
  SafeArrayPutElement(texts.v.parray, &i1, bad);
  EXPECT_EQ(Change(out, texts, VT_ARRAY | VT_R8), DISP_E_TYPEMISMATCH);
  SysFreeString(one);
  SysFreeString(bad);

  Var scalar(LONG{1});
  EXPECT_EQ(Change(out, scalar, VT_ARRAY | VT_I4), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, BadTypesAndErrors) {
  Var in(LONG{1}), out;
  EXPECT_EQ(Change(out, in, VT_VARIANT), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(out, in, VT_BYREF | VT_I4), DISP_E_BADVARTYPE);
  Var invalid;
  invalid.v.vt = 15;
  EXPECT_EQ(Change(out, invalid, VT_I4), DISP_E_BADVARTYPE);
  invalid.v.vt = VT_EMPTY;

  Var code;
  code.v.vt = VT_UI4;
  code.v.ulVal = 0x80020004;
  ASSERT_EQ(Change(out, code, VT_ERROR), S_OK);
  EXPECT_EQ(out.v.scode, DISP_E_PARAMNOTFOUND);
  Var error;
  error.v.vt = VT_ERROR;
  error.v.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(Change(out, error, VT_BSTR), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, HelperFunctions) {
  LONG number = 0;
  EXPECT_EQ(VarI4FromStr(L" 12 ", 1033, 0, &number), S_OK);
  EXPECT_EQ(number, 12);
  EXPECT_EQ(VarI4FromStr(L"2147483648", 1033, 0, &number), DISP_E_OVERFLOW);
  EXPECT_EQ(VarI4FromStr(L"abc", LOCALE_USER_DEFAULT, 0, &number), DISP_E_TYPEMISMATCH);
  double real = 0;
  EXPECT_EQ(VarR8FromStr(L"1.5E3", LOCALE_INVARIANT, 0, &real), S_OK);
  EXPECT_EQ(real, 1500);
  EXPECT_EQ(VarR8FromStr(L"(2.5)", 1033, 0, &real), S_OK);
  EXPECT_EQ(real, -2.5);
  DATE date = 0;
  EXPECT_EQ(VarDateFromStr(L"5-Jan-2010", LOCALE_SYSTEM_DEFAULT, 0, &date), S_OK);
  EXPECT_EQ(date, 40183);
  EXPECT_EQ(VarI4FromStr(nullptr, 1033, 0, &number), E_INVALIDARG);

  BSTR text = nullptr;
  ASSERT_EQ(VarBstrFromI4(-5, 1033, 0, &text), S_OK);
  EXPECT_STREQ(text, L"-5");
  SysFreeString(text);
  ASSERT_EQ(VarBstrFromR8(0.1, 1033, 0, &text), S_OK);
  EXPECT_STREQ(text, L"0.1");
  SysFreeString(text);
  ASSERT_EQ(VarBstrFromBool(VARIANT_TRUE, 1033, 0, &text), S_OK);
  EXPECT_STREQ(text, L"True");
  SysFreeString(text);
  EXPECT_EQ(VarBstrFromI4(1, 1033, 0, nullptr), E_INVALIDARG);
}

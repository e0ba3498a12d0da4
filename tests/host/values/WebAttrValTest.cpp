#include "ValueTestSupport.h"

namespace host::test {
namespace {

TEST(WebAttrValTest, TypeFollowsValuesAndError) {
  auto a = NewAttr();
  EXPECT_EQ(TypeOf(a.Get()), WEB_AV_EMPTY);
  ASSERT_EQ(a->AddLong(4), S_OK);
  EXPECT_EQ(TypeOf(a.Get()), WEB_AV_LONG);
  Bstr text(L"x");
  ASSERT_EQ(a->AddString(text), S_OK);
  EXPECT_EQ(TypeOf(a.Get()), WEB_AV_PACKABLE);
  unsigned int size = 0;
  ASSERT_EQ(a->GetSize(&size), S_OK);
  EXPECT_EQ(size, 2u);

  WEB_AV_ERR_CODE code = WEB_E_FAILED;
  EXPECT_EQ(a->GetError(&code), S_FALSE);
  EXPECT_EQ(code, WEB_UNDEFINED_ERROR);
  ASSERT_EQ(a->SetError(WEB_E_NOT_FOUND), S_OK);
  EXPECT_EQ(TypeOf(a.Get()), WEB_AV_ERROR);
  EXPECT_EQ(a->GetError(&code), S_OK);
  EXPECT_EQ(code, WEB_E_NOT_FOUND);

  ASSERT_EQ(a->SetRegExpCompare(1), S_OK);
  ASSERT_EQ(a->SetEmpty(), S_OK);
  EXPECT_EQ(TypeOf(a.Get()), WEB_AV_EMPTY);
  EXPECT_EQ(a->GetError(&code), S_FALSE);
  EXPECT_EQ(a->IsRegExpCompare(), S_OK); // flags survive SetEmpty
  EXPECT_EQ(a->IsUsingSpecialChars(), S_FALSE);
}

TEST(WebAttrValTest, IndexBoundsAndTypedGetters) {
  auto a = NewAttr();
  ASSERT_EQ(a->AddPoint({7, 8}), S_OK);
  ASSERT_EQ(a->AddBool(1), S_OK);
  tagPOINT pt{};
  EXPECT_EQ(a->GetPointValue(0, &pt), S_OK);
  EXPECT_EQ(pt.y, 8);
  LONG b = 0;
  EXPECT_EQ(a->GetBoolValue(1, &b), S_OK);
  EXPECT_EQ(b, 1);
  Bstr text;
  EXPECT_EQ(a->GetStringValue(1, text.Out()), S_OK);
  EXPECT_EQ(text.Text(), L"True");
  LONG l = 0;
  EXPECT_EQ(a->GetLongValue(0, &l), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(a->GetLongValue(2, &l), DISP_E_BADINDEX);
  ComPtr<IWebVariant> v;
  EXPECT_EQ(a->GetValue(2, v.Out()), DISP_E_BADINDEX);
  EXPECT_FALSE(v);
  EXPECT_EQ(a->GetValue(0, nullptr), E_POINTER);
}

TEST(WebAttrValTest, ValuesAreCopiedInAndOut) {
  auto a = NewAttr();
  auto source = NewVariant();
  Bstr text(L"12");
  ASSERT_EQ(source->put_string(text), S_OK);
  ASSERT_EQ(a->AddWebVariant(source.Get()), S_OK);
  ASSERT_EQ(source->put_long(1), S_OK);
  ComPtr<IWebVariant> got;
  ASSERT_EQ(a->GetValue(0, got.Out()), S_OK);
  EXPECT_EQ(StringOf(got.Get()), L"12");
  ASSERT_EQ(got->ChangeType(WEB_AV_LONG), S_OK);
  EXPECT_EQ(TypeOf(a.Get()), WEB_AV_STRING);

  auto b = NewAttr();
  ASSERT_EQ(a->SetRegExpCompare(1), S_OK);
  ASSERT_EQ(a->SetUseSpecialChars(1), S_OK);
  ASSERT_EQ(b->Set(a.Get()), S_OK);
  EXPECT_EQ(b->IsRegExpCompare(), S_OK);
  EXPECT_EQ(b->IsUsingSpecialChars(), S_OK);
  ASSERT_EQ(a->AddLong(3), S_OK);
  unsigned int size = 0;
  ASSERT_EQ(b->GetSize(&size), S_OK);
  EXPECT_EQ(size, 1u);
  EXPECT_EQ(b->AddWebVariant(nullptr), E_INVALIDARG);
}

TEST(WebAttrValTest, ToVariantAndToSafeArray) {
  auto a = NewAttr();
  VariantHolder none;
  ASSERT_EQ(a->ToVariant(none.Ptr()), S_OK);
  EXPECT_EQ(none->vt, VT_EMPTY);

  Bstr text(L"one");
  ASSERT_EQ(a->AddString(text), S_OK);
  VariantHolder one;
  ASSERT_EQ(a->ToVariant(one.Ptr()), S_OK);
  ASSERT_EQ(one->vt, VT_BSTR);
  EXPECT_EQ(std::wstring(one->bstrVal), L"one");

  ASSERT_EQ(a->AddLong(2), S_OK);
  VariantHolder several;
  ASSERT_EQ(a->ToVariant(several.Ptr()), S_OK);
  ASSERT_EQ(several->vt, VT_ARRAY | VT_VARIANT);
  LONG index = 1;
  VariantHolder second;
  ASSERT_EQ(SafeArrayGetElement(several->parray, &index, second.Ptr()), S_OK);
  EXPECT_EQ(second->vt, VT_I4);
  EXPECT_EQ(second->lVal, 2);

  ASSERT_EQ(a->SetError(WEB_E_INVALID_ARG), S_OK); // values still answer
  VariantHolder withError;
  ASSERT_EQ(a->ToVariant(withError.Ptr()), S_OK);
  EXPECT_EQ(withError->vt, VT_ARRAY | VT_VARIANT);
  auto failed = NewAttr();
  ASSERT_EQ(failed->SetError(WEB_E_INVALID_ARG), S_OK);
  VariantHolder error;
  ASSERT_EQ(failed->ToVariant(error.Ptr()), S_OK);
  EXPECT_EQ(error->vt, VT_ERROR);
  EXPECT_EQ(error->scode, WEB_E_INVALID_ARG);

  SAFEARRAY *array = nullptr;
  ASSERT_EQ(a->ToSafeArray(&array), S_OK);
  LONG upper = -1;
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(upper, 1);
  SafeArrayDestroy(array);
}

TEST(WebAttrValTest, CompareListsWithFlags) {
  auto a = NewAttr();
  auto b = NewAttr();
  Bstr x(L"  Foo"), y(L"foo");
  ASSERT_EQ(a->AddString(x), S_OK);
  ASSERT_EQ(a->AddLong(3), S_OK);
  ASSERT_EQ(b->AddString(y), S_OK);
  EXPECT_EQ(a->Compare(b.Get(), 1, 1), S_FALSE); // different sizes
  ASSERT_EQ(b->AddLong(3), S_OK);
  EXPECT_EQ(a->Compare(b.Get(), 1, 1), S_OK);
  EXPECT_EQ(a->Compare(b.Get(), 0, 1), S_FALSE);
  EXPECT_EQ(a->Compare(b.Get(), 1, 0), S_FALSE);
  EXPECT_EQ(a->Compare(nullptr, 0, 0), E_INVALIDARG);

  auto pattern = NewAttr();
  Bstr re(L"f.o");
  ASSERT_EQ(pattern->AddString(re), S_OK);
  ASSERT_EQ(pattern->AddLong(3), S_OK);
  EXPECT_EQ(pattern->Compare(b.Get(), 0, 0), S_FALSE);
  ASSERT_EQ(pattern->SetRegExpCompare(1), S_OK);
  EXPECT_EQ(pattern->Compare(b.Get(), 0, 0), S_OK);
  EXPECT_EQ(b->Compare(pattern.Get(), 0, 0), S_FALSE); // only this side's flag counts

  ASSERT_EQ(b->SetError(WEB_E_FAILED), S_OK);
  EXPECT_EQ(pattern->Compare(b.Get(), 0, 0), S_FALSE);
}

TEST(WebAttrValTest, CleanSpecialCharsOnEveryString) {
  auto a = NewAttr();
  Bstr first(L"a\\*"), second(L"\\[b\\]");
  ASSERT_EQ(a->AddString(first), S_OK);
  ASSERT_EQ(a->AddLong(1), S_OK);
  ASSERT_EQ(a->AddString(second), S_OK);
  ASSERT_EQ(a->CleanSpecialChars(), S_OK);
  Bstr out;
  ASSERT_EQ(a->GetStringValue(0, out.Out()), S_OK);
  EXPECT_EQ(out.Text(), L"a*");
  ASSERT_EQ(a->GetStringValue(2, out.Out()), S_OK);
  EXPECT_EQ(out.Text(), L"[b]");
}

TEST(WebAttrValTest, ReleasesWhatItHolds) {
  CountingUnknown probe;
  {
    auto a = NewAttr();
    ASSERT_EQ(a->AddUnknown(&probe), S_OK);
    VARIANT v;
    v.vt = VT_UNKNOWN;
    v.punkVal = &probe;
    ASSERT_EQ(a->AddVariant(v), S_OK);
    EXPECT_EQ(probe.refs, 3);
    auto b = NewAttr();
    ASSERT_EQ(b->Set(a.Get()), S_OK);
    EXPECT_EQ(probe.refs, 5);
    ASSERT_EQ(b->SetEmpty(), S_OK);
    EXPECT_EQ(probe.refs, 3);
  }
  EXPECT_EQ(probe.refs, 1);
}

} // namespace
} // namespace host::test

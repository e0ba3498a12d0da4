#include "OleAutTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct ArrayGuard {
  SAFEARRAY *psa;
  ~ArrayGuard() { SafeArrayDestroy(psa); }
};

LONG UBound(SAFEARRAY *psa, UINT dim) {
  LONG bound = -999;
  SafeArrayGetUBound(psa, dim, &bound);
  return bound;
}

} // namespace

TEST(SafeArray, BoundsAreStoredReversedAndNumberedFromOne) {
  SAFEARRAYBOUND bounds[] = {{3, 1}, {2, 5}};
  SAFEARRAY *psa = SafeArrayCreate(VT_I4, 2, bounds);
  ASSERT_NE(psa, nullptr);
  ArrayGuard guard{psa};
  EXPECT_EQ(psa->rgsabound[0].cElements, 2u);
  EXPECT_EQ(psa->rgsabound[0].lLbound, 5);
  EXPECT_EQ(psa->rgsabound[1].cElements, 3u);
  EXPECT_EQ(SafeArrayGetDim(psa), 2u);
  EXPECT_EQ(SafeArrayGetElemsize(psa), 4u);

  LONG bound = 0;
  EXPECT_EQ(SafeArrayGetLBound(psa, 1, &bound), S_OK);
  EXPECT_EQ(bound, 1);
  EXPECT_EQ(UBound(psa, 1), 3);
  EXPECT_EQ(SafeArrayGetLBound(psa, 2, &bound), S_OK);
  EXPECT_EQ(bound, 5);
  EXPECT_EQ(UBound(psa, 2), 6);
  EXPECT_EQ(SafeArrayGetLBound(psa, 0, &bound), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetUBound(psa, 3, &bound), DISP_E_BADINDEX);

  VARTYPE vt = 0;
  EXPECT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
  EXPECT_EQ(vt, VT_I4);
  EXPECT_TRUE(psa->fFeatures & FADF_HAVEVARTYPE);
}

TEST(SafeArray, FirstIndexVariesFastest) {
  SAFEARRAYBOUND bounds[] = {{3, 1}, {2, 5}};
  SAFEARRAY *psa = SafeArrayCreate(VT_I4, 2, bounds);
  ArrayGuard guard{psa};
  for (LONG i = 1; i <= 3; ++i) {
    for (LONG j = 5; j <= 6; ++j) {
      LONG index[] = {i, j};
      LONG value = i * 10 + j;
      ASSERT_EQ(SafeArrayPutElement(psa, index, &value), S_OK);
    }
  }
  LONG *data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(psa, reinterpret_cast<void **>(&data)), S_OK);
  EXPECT_EQ(data[0], 15);
  EXPECT_EQ(data[1], 25);
  EXPECT_EQ(data[3], 16);
  EXPECT_EQ(data[5], 36);
  EXPECT_EQ(SafeArrayUnaccessData(psa), S_OK);

  LONG outside[] = {4, 5};
  LONG value = 0;
  void *ptr = nullptr;
  EXPECT_EQ(SafeArrayGetElement(psa, outside, &value), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayPutElement(psa, outside, &value), DISP_E_BADINDEX);
  LONG below[] = {1, 4};
  EXPECT_EQ(SafeArrayPtrOfIndex(psa, below, &ptr), DISP_E_BADINDEX);
  LONG last[] = {3, 6};
  ASSERT_EQ(SafeArrayPtrOfIndex(psa, last, &ptr), S_OK);
  EXPECT_EQ(*static_cast<LONG *>(ptr), 36);
}

TEST(SafeArray, BstrElementsAreCopied) {
  SAFEARRAY *psa = SafeArrayCreateVector(VT_BSTR, 0, 2);
  ArrayGuard guard{psa};
  EXPECT_TRUE(psa->fFeatures & FADF_BSTR);
  BSTR mine = SysAllocString(L"one");
  LONG index = 1;
  ASSERT_EQ(SafeArrayPutElement(psa, &index, mine), S_OK);
  SysFreeString(mine);
  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(psa, &index, &out), S_OK);
  EXPECT_STREQ(out, L"one");
  BSTR stored = static_cast<BSTR *>(psa->pvData)[1];
  EXPECT_NE(out, stored);
  SysFreeString(out);
  // Replacing an element frees the old one (ASan would report the leak).
  BSTR other = SysAllocString(L"two");
  ASSERT_EQ(SafeArrayPutElement(psa, &index, other), S_OK);
  SysFreeString(other);
}

TEST(SafeArray, InterfaceAndVariantElementsAreCounted) {
  CountedObject object, replacement;
  {
    SAFEARRAY *psa = SafeArrayCreateVector(VT_UNKNOWN, 0, 2);
    ArrayGuard guard{psa};
    LONG index = 0;
    ASSERT_EQ(SafeArrayPutElement(psa, &index, static_cast<IUnknown *>(&object)), S_OK);
    EXPECT_EQ(object.refs, 2);
    IUnknown *out = nullptr;
    ASSERT_EQ(SafeArrayGetElement(psa, &index, &out), S_OK);
    EXPECT_EQ(object.refs, 3);
    out->Release();
    ASSERT_EQ(SafeArrayPutElement(psa, &index, static_cast<IUnknown *>(&replacement)), S_OK);
    EXPECT_EQ(object.refs, 1);
    EXPECT_EQ(replacement.refs, 2);

    SAFEARRAY *copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(psa, &copy), S_OK);
    EXPECT_EQ(replacement.refs, 3);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
    EXPECT_EQ(replacement.refs, 2);
  }
  EXPECT_EQ(replacement.refs, 1);

  {
    SAFEARRAY *psa = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    ArrayGuard guard{psa};
    EXPECT_TRUE(psa->fFeatures & FADF_VARIANT);
    Var element;
    element.v.vt = VT_DISPATCH;
    element.v.pdispVal = &object;
    object.AddRef();
    LONG index = 0;
    ASSERT_EQ(SafeArrayPutElement(psa, &index, &element.v), S_OK);
    EXPECT_EQ(object.refs, 3);
    Var got;
    ASSERT_EQ(SafeArrayGetElement(psa, &index, &got.v), S_OK);
    EXPECT_EQ(got.v.pdispVal, static_cast<IDispatch *>(&object));
    EXPECT_EQ(object.refs, 4);
  }
  EXPECT_EQ(object.refs, 1);
}

TEST(SafeArray, RedimChangesTheLastDimension) {
  SAFEARRAY *psa = SafeArrayCreateVector(VT_BSTR, 0, 3);
  ArrayGuard guard{psa};
  for (LONG i = 0; i < 3; ++i) {
    BSTR text = SysAllocString(i == 0 ? L"a" : i == 1 ? L"b" : L"c");
    SafeArrayPutElement(psa, &i, text);
    SysFreeString(text);
  }
  SAFEARRAYBOUND shorter{1, 0};
  ASSERT_EQ(SafeArrayRedim(psa, &shorter), S_OK); // "b" and "c" are freed
  EXPECT_EQ(UBound(psa, 1), 0);
  SAFEARRAYBOUND longer{4, 1};
  ASSERT_EQ(SafeArrayRedim(psa, &longer), S_OK);
  EXPECT_EQ(UBound(psa, 1), 4);
  EXPECT_STREQ(static_cast<BSTR *>(psa->pvData)[0], L"a");
  EXPECT_EQ(static_cast<BSTR *>(psa->pvData)[3], nullptr);

  SAFEARRAYBOUND bounds[] = {{2, 0}, {2, 0}};
  SAFEARRAY *grid = SafeArrayCreate(VT_I4, 2, bounds);
  ArrayGuard gridGuard{grid};
  LONG at[] = {1, 1};
  LONG value = 11;
  SafeArrayPutElement(grid, at, &value);
  SAFEARRAYBOUND more{3, 0};
  ASSERT_EQ(SafeArrayRedim(grid, &more), S_OK);
  EXPECT_EQ(UBound(grid, 1), 1);
  EXPECT_EQ(UBound(grid, 2), 2);
  value = 0;
  ASSERT_EQ(SafeArrayGetElement(grid, at, &value), S_OK);
  EXPECT_EQ(value, 11);
  LONG added[] = {1, 2};
  ASSERT_EQ(SafeArrayGetElement(grid, added, &value), S_OK);
  EXPECT_EQ(value, 0);
}

TEST(SafeArray, LockedArraysRefuseRedimAndDestroy) {
  SAFEARRAY *psa = SafeArrayCreateVector(VT_I4, 0, 2);
  void *data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);
  SAFEARRAYBOUND bound{5, 0};
  EXPECT_EQ(SafeArrayRedim(psa, &bound), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayDestroyData(psa), DISP_E_ARRAYISLOCKED);
  Var holder;
  holder.v.vt = VT_ARRAY | VT_I4;
  holder.v.parray = psa;
  EXPECT_EQ(VariantClear(&holder.v), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(psa), S_OK);
  EXPECT_EQ(SafeArrayUnlock(psa), E_UNEXPECTED);
  EXPECT_EQ(VariantClear(&holder.v), S_OK);
}

TEST(SafeArray, CopiesAndDescriptors) {
  SAFEARRAYBOUND bounds[] = {{2, 0}, {2, 1}, {2, -1}};
  SAFEARRAY *cube = SafeArrayCreate(VT_BSTR, 3, bounds);
  ArrayGuard guard{cube};
  LONG at[] = {1, 2, -1};
  BSTR text = SysAllocString(L"corner");
  ASSERT_EQ(SafeArrayPutElement(cube, at, text), S_OK);
  SysFreeString(text);
  SAFEARRAY *copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(cube, &copy), S_OK);
  ArrayGuard copyGuard{copy};
  BSTR got = nullptr;
  ASSERT_EQ(SafeArrayGetElement(copy, at, &got), S_OK);
  EXPECT_STREQ(got, L"corner");
  SysFreeString(got);
  VARTYPE vt = 0;
  EXPECT_EQ(SafeArrayGetVartype(copy, &vt), S_OK);
  EXPECT_EQ(vt, VT_BSTR);

  SAFEARRAY *target = SafeArrayCreate(VT_BSTR, 3, bounds);
  ArrayGuard targetGuard{target};
  ASSERT_EQ(SafeArrayCopyData(cube, target), S_OK);
  ASSERT_EQ(SafeArrayGetElement(target, at, &got), S_OK);
  EXPECT_STREQ(got, L"corner");
  SysFreeString(got);
  SAFEARRAY *vector = SafeArrayCreateVector(VT_BSTR, 0, 8);
  ArrayGuard vectorGuard{vector};
  EXPECT_EQ(SafeArrayCopyData(cube, vector), E_INVALIDARG);

  SAFEARRAY *manual = nullptr;
  ASSERT_EQ(SafeArrayAllocDescriptorEx(VT_R8, 1, &manual), S_OK);
  manual->rgsabound[0] = {4, 0};
  ASSERT_EQ(SafeArrayAllocData(manual), S_OK);
  EXPECT_EQ(SafeArrayGetElemsize(manual), 8u);
  EXPECT_EQ(SafeArrayDestroyData(manual), S_OK);
  EXPECT_EQ(manual->pvData, nullptr);
  EXPECT_EQ(SafeArrayDestroyDescriptor(manual), S_OK);

  EXPECT_EQ(SafeArrayCreate(VT_EMPTY, 1, bounds), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_I4, 0, bounds), nullptr);
  EXPECT_EQ(SafeArrayAllocDescriptor(0, &manual), E_INVALIDARG);
  SAFEARRAY *none = reinterpret_cast<SAFEARRAY *>(1);
  EXPECT_EQ(SafeArrayCopy(nullptr, &none), S_OK);
  EXPECT_EQ(none, nullptr);
}

TEST(SafeArray, CallersOwnDescriptorIsNeverFreed) {
  LONG data[3] = {1, 2, 3};
  SAFEARRAY own{};
  own.cDims = 1;
  own.fFeatures = FADF_AUTO;
  own.cbElements = sizeof(LONG);
  own.pvData = data;
  own.rgsabound[0] = {3, 0};
  SAFEARRAY *copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(&own, &copy), S_OK);
  EXPECT_EQ(static_cast<LONG *>(copy->pvData)[2], 3);
  VARTYPE vt = 0;
  EXPECT_EQ(SafeArrayGetVartype(&own, &vt), E_INVALIDARG);
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
  SAFEARRAYBOUND grow{5, 0};
  EXPECT_EQ(SafeArrayRedim(&own, &grow), E_INVALIDARG);
  EXPECT_EQ(SafeArrayDestroy(&own), S_OK); // ASan reports a free of stack memory
}

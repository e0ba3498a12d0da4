#include "OleAutTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Variant, ClearReleasesWhatItOwnsAndNothingElse) {
  CountedObject object;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UNKNOWN;
  v.punkVal = &object;
  object.AddRef();
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(object.refs, 1);

  // A byref variant leaves its target alone.
  BSTR target = SysAllocString(L"kept");
  v.vt = VT_BYREF | VT_BSTR;
  v.pbstrVal = &target;
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_STREQ(target, L"kept");
  SysFreeString(target);

  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(L"freed"); // ASan reports a leak if it is not
  EXPECT_EQ(VariantClear(&v), S_OK);

  v.vt = VT_ARRAY | VT_BSTR;
  v.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  LONG index = 1;
  BSTR element = SysAllocString(L"x");
  ASSERT_EQ(SafeArrayPutElement(v.parray, &index, element), S_OK);
  SysFreeString(element); // the array holds its own copy
  EXPECT_EQ(VariantClear(&v), S_OK);
}

TEST(Variant, ClearRejectsInvalidTypes) {
  VARIANT v;
  VariantInit(&v);
  for (VARTYPE bad : {VARTYPE(15), VARTYPE(VT_VARIANT), VARTYPE(VT_VOID),
                      VARTYPE(VT_VECTOR | VT_I4), VARTYPE(VT_BYREF | VT_EMPTY)}) {
    v.vt = bad;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE) << bad;
  }
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, CopyIsDeep) {
  CountedObject object;
  Var src(L"text"), dest;
  ASSERT_EQ(VariantCopy(&dest, &src), S_OK);
  EXPECT_EQ(dest.v.vt, VT_BSTR);
  EXPECT_NE(dest.v.bstrVal, src.v.bstrVal);
  EXPECT_EQ(dest.Text(), L"text");

  // An odd byte length survives the copy.
  Var bytes;
  bytes.v.vt = VT_BSTR;
  bytes.v.bstrVal = SysAllocStringByteLen("abcde", 5);
  ASSERT_EQ(VariantCopy(&dest, &bytes), S_OK); // also frees the previous BSTR
  EXPECT_EQ(SysStringByteLen(dest.v.bstrVal), 5u);

  Var unk;
  unk.v.vt = VT_DISPATCH;
  unk.v.pdispVal = &object;
  object.AddRef();
  {
    Var copy;
    ASSERT_EQ(VariantCopy(&copy, &unk), S_OK);
    EXPECT_EQ(object.refs, 3);
  }
  EXPECT_EQ(object.refs, 2);

  Var array;
  array.v.vt = VT_ARRAY | VT_I4;
  array.v.parray = SafeArrayCreateVector(VT_I4, 0, 3);
  static_cast<LONG *>(array.v.parray->pvData)[2] = 7;
  Var arrayCopy;
  ASSERT_EQ(VariantCopy(&arrayCopy, &array), S_OK);
  ASSERT_NE(arrayCopy.v.parray, array.v.parray);
  EXPECT_EQ(static_cast<LONG *>(arrayCopy.v.parray->pvData)[2], 7);

  LONG value = 5;
  Var ref;
  ref.v.vt = VT_BYREF | VT_I4;
  ref.v.plVal = &value;
  Var refCopy;
  ASSERT_EQ(VariantCopy(&refCopy, &ref), S_OK);
  EXPECT_EQ(refCopy.v.plVal, &value);

  EXPECT_EQ(VariantCopy(&src, &src), S_OK);
  EXPECT_EQ(src.Text(), L"text");
}

TEST(Variant, CopyIndRemovesOneLevelOfReference) {
  LONG number = 42;
  Var ref;
  ref.v.vt = VT_BYREF | VT_I4;
  ref.v.plVal = &number;
  Var out;
  ASSERT_EQ(VariantCopyInd(&out, &ref), S_OK);
  EXPECT_EQ(out.v.vt, VT_I4);
  EXPECT_EQ(out.v.lVal, 42);

  BSTR text = SysAllocString(L"abc");
  Var bstrRef;
  bstrRef.v.vt = VT_BYREF | VT_BSTR;
  bstrRef.v.pbstrVal = &text;
  ASSERT_EQ(VariantCopyInd(&out, &bstrRef), S_OK);
  EXPECT_EQ(out.v.vt, VT_BSTR);
  EXPECT_NE(out.v.bstrVal, text);
  EXPECT_EQ(out.Text(), L"abc");

  Var inner(L"inner");
  Var varRef;
  varRef.v.vt = VT_BYREF | VT_VARIANT;
  varRef.v.pvarVal = &inner.v;
  ASSERT_EQ(VariantCopyInd(&out, &varRef), S_OK);
  EXPECT_EQ(out.v.vt, VT_BSTR);
  EXPECT_NE(out.v.bstrVal, inner.v.bstrVal);

  // In place: the reference is replaced by a copy of its target.
  ASSERT_EQ(VariantCopyInd(&bstrRef.v, &bstrRef.v), S_OK);
  EXPECT_EQ(bstrRef.v.vt, VT_BSTR);
  EXPECT_EQ(bstrRef.Text(), L"abc");
  SysFreeString(text);

  Var nested;
  nested.v.vt = VT_BYREF | VT_VARIANT;
  nested.v.pvarVal = &varRef.v;
  EXPECT_EQ(VariantCopyInd(&out, &nested), E_INVALIDARG);
}

// The variant-array wrapper, the callbacker with its exit point, and the
// requests handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "TallowickIE_h.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilSafeArray.h"
#include "support/QilVariant.h"
#include "support/TallowickCallbackerIE.h"
#include "support/TallowickRequestsHandlerIE.h"

namespace {

// A counted object to see references taken and given back.
class CCounted : public IUnknown {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = riid == IID_IUnknown ? static_cast<IUnknown *>(this) : nullptr;
    if (*ppv == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

// A VT_ARRAY|VT_VARIANT VARIANT of the given items.
CQilVariant VariantArray(std::initializer_list<CQilVariant> items) {
  CQilVariant result;
  SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
  LONG index = 0;
  for (const CQilVariant &item : items) {
    SafeArrayPutElement(array, &index, const_cast<CQilVariant *>(&item));
    ++index;
  }
  result.vt = VT_ARRAY | VT_VARIANT;
  result.parray = array;
  return result;
}

// The items of a variant array VARIANT.
std::vector<CQilVariant> Items(const VARIANT &value) {
  std::vector<CQilVariant> items;
  if (value.vt != (VT_ARRAY | VT_VARIANT) || value.parray == nullptr)
    return items;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(value.parray, 1, &lower);
  SafeArrayGetUBound(value.parray, 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    CQilVariant item;
    SafeArrayGetElement(value.parray, &i, &item);
    items.push_back(item);
  }
  return items;
}

TEST(QilSafeArrayTest, ReadsItemsInOrderConvertingAndEmptyPastTheEnd) {
  CQilSafeArray array;
  ASSERT_EQ(array.FromVariant(VariantArray(
                {CQilVariant(L"42"), CQilVariant(LONG{7}), CQilVariant(L"not a bool")})),
            S_OK);
  LONG number = 0;
  EXPECT_EQ(array.ReadLong(number), S_OK);
  EXPECT_EQ(number, 42);
  CQilBstr text;
  EXPECT_EQ(array.ReadString(&text), S_OK);
  EXPECT_STREQ(text.Text(), L"7");
  bool flag = true;
  EXPECT_TRUE(FAILED(array.ReadBool(flag))); // a failed conversion leaves the target
  EXPECT_TRUE(flag);
  // Past the end: an empty VARIANT, read as 0, "" and false.
  number = 5;
  EXPECT_EQ(array.ReadLong(number), S_OK);
  EXPECT_EQ(number, 0);
  text = L"x";
  EXPECT_EQ(array.ReadString(&text), S_OK);
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(array.ReadBool(flag), S_OK);
  EXPECT_FALSE(flag);
  CQilComPtr<IUnknown> none;
  EXPECT_EQ(array.ReadInterface(&none), S_OK);
  EXPECT_FALSE(none);
}

TEST(QilSafeArrayTest, FromVariantAcceptsOnlyEmptyAndVariantArrays) {
  CQilSafeArray array;
  ASSERT_EQ(array.FromVariant(VariantArray({CQilVariant(LONG{3})})), S_OK);
  CQilVariant text(L"3");
  EXPECT_EQ(array.FromVariant(text), E_INVALIDARG);
  CQilVariant strings;
  strings.vt = VT_ARRAY | VT_VARIANT; // claims variants, holds BSTRs
  strings.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  EXPECT_EQ(array.FromVariant(strings), E_INVALIDARG);
  EXPECT_EQ(array.Count(), 1u); // unchanged
  LONG number = 0;
  EXPECT_EQ(array.ReadLong(number), S_OK);
  EXPECT_EQ(number, 3);

  CQilVariant empty;
  EXPECT_EQ(array.FromVariant(empty), S_OK);
  EXPECT_EQ(array.Get(), nullptr);
  CQilVariant written;
  ASSERT_EQ(array.ToVariant(&written), S_OK); // an empty wrapper writes an empty array
  EXPECT_EQ(written.vt, VT_ARRAY | VT_VARIANT);
  EXPECT_TRUE(Items(written).empty());
}

TEST(QilSafeArrayTest, AppendsAndWritesOutACopy) {
  CCounted object;
  CQilSafeArray array;
  ASSERT_EQ(array.AppendLong(-9), S_OK);
  ASSERT_EQ(array.AppendString(L"text"), S_OK);
  ASSERT_EQ(array.AppendBool(true), S_OK);
  ASSERT_EQ(array.AppendInterface(&object), S_OK);
  EXPECT_EQ(object.refs, 2u);

  CQilVariant out(L"replaced");
  ASSERT_EQ(array.ToVariant(&out), S_OK);
  std::vector<CQilVariant> items = Items(out);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].vt, VT_I4);
  EXPECT_EQ(items[0].lVal, -9);
  EXPECT_EQ(items[1].vt, VT_BSTR);
  EXPECT_STREQ(items[1].bstrVal, L"text");
  EXPECT_EQ(items[2].vt, VT_BOOL);
  EXPECT_EQ(items[2].boolVal, VARIANT_TRUE);
  EXPECT_EQ(items[3].vt, VT_UNKNOWN);
  EXPECT_EQ(items[3].punkVal, &object);
  items.clear();
  out.Clear();

  CQilSafeArray copy;
  ASSERT_EQ(array.ToVariant(&out), S_OK);
  ASSERT_EQ(copy.FromVariant(out), S_OK);
  out.Clear();
  LONG skipped = 0;
  for (int i = 0; i < 3; ++i)
    copy.ReadLong(skipped);
  CQilComPtr<IUnknown> read;
  ASSERT_EQ(copy.ReadInterface(&read), S_OK);
  EXPECT_EQ(read.Get(), &object);
  read.Release();
  copy.FromVariant(CQilVariant());
  array.FromVariant(CQilVariant());
  EXPECT_EQ(object.refs, 1u);
}

TEST(QilSafeArrayTest, CreatesTwoDimensionalArraysWithFeatureFlags) {
  CQilSafeArray array;
  ASSERT_EQ(array.Create(VT_BSTR, 3, 2), S_OK);
  SAFEARRAY *created = array.Get();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(SafeArrayGetDim(created), 2u);
  LONG bound = -1;
  SafeArrayGetLBound(created, 1, &bound);
  EXPECT_EQ(bound, 0);
  SafeArrayGetUBound(created, 1, &bound);
  EXPECT_EQ(bound, 2);
  SafeArrayGetUBound(created, 2, &bound);
  EXPECT_EQ(bound, 1);
  EXPECT_NE(created->fFeatures & FADF_BSTR, 0);
  EXPECT_EQ(array.AppendLong(1), E_INVALIDARG); // appending is for 1-D variant arrays

  ASSERT_EQ(array.Create(VT_UNKNOWN, 1, 1), S_OK);
  EXPECT_NE(array.Get()->fFeatures & FADF_UNKNOWN, 0);
  ASSERT_EQ(array.Create(VT_DISPATCH, 1, 1), S_OK);
  EXPECT_NE(array.Get()->fFeatures & FADF_DISPATCH, 0);
  ASSERT_EQ(array.Create(VT_VARIANT, 1, 1), S_OK);
  EXPECT_NE(array.Get()->fFeatures & FADF_VARIANT, 0);
  EXPECT_EQ(array.Create(VT_I4, 1, 1), E_INVALIDARG);
  EXPECT_STREQ(CQilSafeArrayError().what(), "CQilSafeArray");
}

class CallbackerTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(CTallowickCallbackerIE::Create(nullptr, IID_IWICallbacker,
                                             reinterpret_cast<void **>(&callbacker_)),
              S_OK);
  }
  CQilComPtr<IWICallbacker> callbacker_;
};

TEST_F(CallbackerTest, DummyExitPointAppendsOneTrueToTheOutput) {
  CQilBstr name(L"DummyExitPoint");
  CQilVariant output = VariantArray({CQilVariant(L"kept")});
  ASSERT_EQ(callbacker_->InvokeCallback(name, CQilVariant(), &output), S_OK);
  std::vector<CQilVariant> items = Items(output);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_STREQ(items[0].bstrVal, L"kept");
  EXPECT_EQ(items[1].vt, VT_BOOL);
  EXPECT_EQ(items[1].boolVal, VARIANT_TRUE);

  // With its arguments, and an empty output.
  CQilVariant empty;
  ASSERT_EQ(callbacker_->InvokeCallback(
                name, VariantArray({CQilVariant(LONG{5}), CQilVariant(L"arg")}), &empty),
            S_OK);
  EXPECT_EQ(Items(empty).size(), 1u);

  // An output of another type starts an empty array.
  CQilVariant text(L"not an array");
  ASSERT_EQ(callbacker_->InvokeCallback(name, CQilVariant(L"bad input"), &text), S_OK);
  items = Items(text);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].boolVal, VARIANT_TRUE);
}

TEST_F(CallbackerTest, UnknownNamesAndNullPointers) {
  CQilVariant output(L"untouched");
  EXPECT_EQ(callbacker_->InvokeCallback(CQilBstr(L"dummyexitpoint"), CQilVariant(), &output),
            E_NOTIMPL);
  EXPECT_EQ(callbacker_->InvokeCallback(nullptr, CQilVariant(), &output), E_NOTIMPL);
  EXPECT_EQ(output.vt, VT_BSTR);
  EXPECT_EQ(callbacker_->InvokeCallback(CQilBstr(L"DummyExitPoint"), CQilVariant(), nullptr),
            E_POINTER);

  WI_PRIORITY priority = WI_PRIORITY_HIGH;
  EXPECT_EQ(callbacker_->GetCallbackPriority(CQilBstr(L"Other"), &priority), E_NOTIMPL);
  EXPECT_EQ(callbacker_->GetCallbackPriority(CQilBstr(L"DummyExitPoint"), nullptr), E_POINTER);
  ASSERT_EQ(callbacker_->GetCallbackPriority(CQilBstr(L"DummyExitPoint"), &priority), S_OK);
  EXPECT_EQ(priority, WI_PRIORITY_NORMAL);
  EXPECT_EQ(callbacker_->GetSupportedCallbacks(nullptr), E_POINTER);
}

TEST_F(CallbackerTest, SupportedCallbacksAreATwoDimensionalNameArray) {
  SAFEARRAY *names = nullptr;
  ASSERT_EQ(callbacker_->GetSupportedCallbacks(&names), S_OK);
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(SafeArrayGetDim(names), 2u);
  VARTYPE type = VT_EMPTY;
  SafeArrayGetVartype(names, &type);
  EXPECT_EQ(type, VT_BSTR);
  LONG upper = -1;
  SafeArrayGetUBound(names, 1, &upper);
  EXPECT_EQ(upper, 0);
  SafeArrayGetUBound(names, 2, &upper);
  EXPECT_EQ(upper, 0);
  LONG index[2] = {0, 0};
  CQilBstr name;
  ASSERT_EQ(SafeArrayGetElement(names, index, &name), S_OK);
  EXPECT_STREQ(name.Text(), L"DummyExitPoint");
  SafeArrayDestroy(names);
}

// A callbacker whose handler fails after writing to its output.
class CFailingCallbacker : public CWICallbackerImpl {
public:
  CFailingCallbacker() {
    RegisterCallback(L"Fails", [](CQilSafeArray &, CQilSafeArray &output) {
      output.AppendLong(1);
      return E_ACCESSDENIED;
    });
    RegisterCallback(L"NoHandler", nullptr, WI_PRIORITY_HIGH);
  }
  STDMETHODIMP QueryInterface(REFIID, void **) override { return E_NOINTERFACE; }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
};

TEST(CallbackerFrameworkTest, FailingHandlerLeavesOutputAndDefaultPriorityApplies) {
  CFailingCallbacker callbacker;
  CQilVariant output(LONG{77});
  EXPECT_EQ(callbacker.InvokeCallback(CQilBstr(L"Fails"), CQilVariant(), &output), E_ACCESSDENIED);
  EXPECT_EQ(output.vt, VT_I4);
  EXPECT_EQ(output.lVal, 77);
  EXPECT_EQ(callbacker.InvokeCallback(CQilBstr(L"NoHandler"), CQilVariant(), &output), E_NOTIMPL);
  WI_PRIORITY priority = WI_PRIORITY_LOW;
  ASSERT_EQ(callbacker.GetCallbackPriority(CQilBstr(L"Fails"), &priority), S_OK);
  EXPECT_EQ(priority, WI_PRIORITY_NORMAL);
  ASSERT_EQ(callbacker.GetCallbackPriority(CQilBstr(L"NoHandler"), &priority), S_OK);
  EXPECT_EQ(priority, WI_PRIORITY_HIGH);
}

TEST(RequestsHandlerTest, AnswersOnlyTheKitRequest) {
  CQilComPtr<IWIKitRequestsHandler2> handler;
  ASSERT_EQ(CTallowickRequestsHandlerIE::Create(nullptr, IID_IWIKitRequestsHandler2,
                                                reinterpret_cast<void **>(&handler)),
            S_OK);
  EXPECT_EQ(handler->ProcessRequest(static_cast<WEB_MSG_TYPE>(1025), nullptr), S_OK);
  CCounted request;
  IWebInfo *requestPointer = reinterpret_cast<IWebInfo *>(&request);
  EXPECT_EQ(handler->ProcessRequest(QUERY_ATTR, &requestPointer), S_FALSE);
  EXPECT_EQ(requestPointer, reinterpret_cast<IWebInfo *>(&request));
  EXPECT_EQ(request.refs, 1u);
  EXPECT_EQ(handler->ProcessRequest(static_cast<WEB_MSG_TYPE>(1024), nullptr), S_FALSE);
}

} // namespace

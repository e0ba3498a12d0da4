#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"

#include <gtest/gtest.h>

namespace {

// Counts references; answers IUnknown and IDispatch-less queries only.
class Counted final : public IUnknown {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (riid != IID_IUnknown) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

TEST(QilComPtr, BalancesReferencesThroughCopyMoveAndOutParameters) {
  Counted object;
  {
    CQilComPtr<IUnknown> a(&object);
    EXPECT_EQ(object.refs, 2u);
    CQilComPtr<IUnknown> b = a;
    EXPECT_EQ(object.refs, 3u);
    CQilComPtr<IUnknown> c = std::move(b);
    EXPECT_EQ(object.refs, 3u);
    EXPECT_FALSE(b);
    a = c; // self-equal assignment keeps the count
    EXPECT_EQ(object.refs, 3u);
    IUnknown **slot = &c; // releases what c held
    EXPECT_EQ(object.refs, 2u);
    EXPECT_EQ(*slot, nullptr);
    IUnknown *raw = nullptr;
    ASSERT_EQ(a.CopyTo(&raw), S_OK);
    EXPECT_EQ(object.refs, 3u);
    raw->Release();
    EXPECT_EQ(a.CopyTo(nullptr), E_POINTER);
    CQilComPtr<IDispatch> dispatch;
    EXPECT_EQ(dispatch.QueryFrom(a), E_NOINTERFACE);
    EXPECT_FALSE(dispatch);
    EXPECT_TRUE(a.IsSameObject(&object));
  }
  EXPECT_EQ(object.refs, 1u);
}

TEST(QilBstr, OwnsAndCopiesStringsWithEmbeddedNuls) {
  CQilBstr text(L"a\0b", 3);
  EXPECT_EQ(text.Length(), 3u);
  CQilBstr copy = text;
  EXPECT_NE(copy.Get(), text.Get());
  EXPECT_EQ(copy.Length(), 3u);
  EXPECT_EQ(copy.Get()[2], L'b');
  ASSERT_EQ(copy.Append(L"cd"), S_OK);
  EXPECT_EQ(copy.Length(), 5u);
  EXPECT_STREQ(copy.Text() + 2, L"bcd");
  CQilBstr empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_STREQ(empty.Text(), L"");
  BSTR out = nullptr;
  ASSERT_EQ(empty.CopyTo(&out), S_OK);
  EXPECT_EQ(out, nullptr);
}

TEST(QilVariant, ClearsAndCopiesOwnedValues) {
  Counted object;
  {
    CQilVariant v(static_cast<IUnknown *>(&object));
    EXPECT_EQ(object.refs, 2u);
    CQilVariant copy = v;
    EXPECT_EQ(object.refs, 3u);
    VARIANT raw;
    VariantInit(&raw);
    ASSERT_EQ(copy.Detach(&raw), S_OK);
    EXPECT_EQ(copy.vt, VT_EMPTY);
    VariantClear(&raw);
    EXPECT_EQ(object.refs, 2u);
  }
  EXPECT_EQ(object.refs, 1u);
  CQilVariant number(L"42");
  ASSERT_EQ(number.ChangeType(VT_I4), S_OK);
  EXPECT_EQ(number.lVal, 42);
}

} // namespace

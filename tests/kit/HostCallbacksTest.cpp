// The kit calling the host's exit points through a fake callback registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TallowickIE_h.h"
#include "support/HostCallbacks.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"

namespace {

// A registry that records the call, answers `answer`, and on success replaces
// the output by [input count, flag].
class CFakeRegistry : public IWICallbackerRegistrar, public IWICallbackQuery {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IWICallbackerRegistrar)
      *ppv = static_cast<IWICallbackerRegistrar *>(this);
    else if (riid == IID_IWICallbackQuery && offersQuery)
      *ppv = static_cast<IWICallbackQuery *>(this);
    if (*ppv == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }

  STDMETHODIMP RegisterCallbacker(IWICallbacker *) override { return E_NOTIMPL; }
  STDMETHODIMP InvokeHostCallback(BSTR name, VARIANT input, VARIANT *output, LONG flags) override {
    calledName = name != nullptr ? name : L"";
    inputType = input.vt;
    outputType = output->vt;
    flag = flags;
    if (FAILED(answer))
      return answer;
    LONG count = 0;
    if (input.vt == (VT_ARRAY | VT_VARIANT))
      count = static_cast<LONG>(input.parray->rgsabound[0].cElements);
    VariantClear(output);
    output->vt = VT_ARRAY | VT_VARIANT;
    output->parray = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    CQilVariant first(count);
    CQilVariant second(flags);
    LONG index = 0;
    SafeArrayPutElement(output->parray, &index, &first);
    index = 1;
    SafeArrayPutElement(output->parray, &index, &second);
    return answer;
  }

  STDMETHODIMP GetCallbackCount(LONG *) override { return E_NOTIMPL; }
  STDMETHODIMP GetCallbackName(LONG, BSTR *) override { return E_NOTIMPL; }
  STDMETHODIMP IsCallbackRegistered(BSTR name, VARIANT_BOOL *registered) override {
    if (FAILED(queryAnswer))
      return queryAnswer;
    *registered = std::wstring(name) == L"KitGetObjAttr" ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  ULONG refs = 1;
  bool offersQuery = true;
  HRESULT queryAnswer = S_OK;
  HRESULT answer = S_OK;
  std::wstring calledName;
  VARTYPE inputType = VT_ILLEGAL;
  VARTYPE outputType = VT_ILLEGAL;
  LONG flag = -1;
};

class CFakeAgentObject : public IWIBrowserServices {
public:
  explicit CFakeAgentObject(IUnknown *registry) : registry_(registry) {}
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = riid == IID_IUnknown || riid == IID_IWIBrowserServices ? this : nullptr;
    if (*ppv == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetCallbackRegistry(IUnknown **registry) override {
    *registry = registry_;
    registry_->AddRef();
    return S_OK;
  }

private:
  IUnknown *registry_;
};

TEST(HostCallbacksTest, AsksTheQueryInterfaceWhenOffered) {
  CFakeRegistry registry;
  EXPECT_TRUE(HostHasCallback(static_cast<IWICallbackerRegistrar *>(&registry), L"KitGetObjAttr"));
  EXPECT_FALSE(HostHasCallback(static_cast<IWICallbackerRegistrar *>(&registry), L"Other"));
  registry.queryAnswer = E_FAIL;
  EXPECT_TRUE(HostHasCallback(static_cast<IWICallbackerRegistrar *>(&registry), L"Other"));
  registry.queryAnswer = S_OK;
  registry.offersQuery = false;
  EXPECT_TRUE(HostHasCallback(static_cast<IWICallbackerRegistrar *>(&registry), L"Other"));
  EXPECT_EQ(registry.refs, 1u);
}

TEST(HostCallbacksTest, InvokesWithVariantArraysAndReadsTheOutputBack) {
  CFakeRegistry registry;
  CFakeAgentObject agent(static_cast<IWICallbackerRegistrar *>(&registry));
  CQilComPtr<IUnknown> found = GetHostCallbackRegistry(&agent);
  ASSERT_TRUE(found);

  CQilSafeArray input;
  CQilSafeArray output;
  input.AppendLong(7);
  input.AppendString(L"attr");
  output.AppendBool(false);
  ASSERT_EQ(InvokeHostCallback(found, L"KitGetObjAttr", input, output, 3), S_OK);
  EXPECT_EQ(registry.calledName, L"KitGetObjAttr");
  EXPECT_EQ(registry.inputType, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(registry.outputType, VT_ARRAY | VT_VARIANT);
  LONG count = 0;
  LONG flag = 0;
  EXPECT_EQ(output.ReadLong(count), S_OK);
  EXPECT_EQ(output.ReadLong(flag), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(flag, 3);

  // A failing callback leaves the output array as it was.
  registry.answer = E_ACCESSDENIED;
  CQilSafeArray kept;
  kept.AppendLong(99);
  EXPECT_EQ(InvokeHostCallback(found, L"KitMakeObjVisible", input, kept, 0), E_ACCESSDENIED);
  LONG value = 0;
  EXPECT_EQ(kept.ReadLong(value), S_OK);
  EXPECT_EQ(value, 99);

  EXPECT_EQ(InvokeHostCallback(nullptr, L"KitGetObjAttr", input, output, 0), E_POINTER);
  found.Release();
  EXPECT_EQ(registry.refs, 1u);
  EXPECT_FALSE(GetHostCallbackRegistry(nullptr));
  EXPECT_FALSE(GetHostCallbackRegistry(static_cast<IWICallbackerRegistrar *>(&registry)));
}

} // namespace

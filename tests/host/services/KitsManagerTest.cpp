#include "HostModuleFixture.h"

namespace {

// A kit part that counts its references; it lives on the test's stack.
class FakeKitPart final : public IWIKitFactoryEx,
                          public IWIKitRequestsHandler2,
                          public IWICallbacker {
public:
  LONG refs = 1;

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IWIKitFactoryEx)
      *ppv = static_cast<IWIKitFactoryEx *>(this);
    else if (riid == IID_IWIKitRequestsHandler2)
      *ppv = static_cast<IWIKitRequestsHandler2 *>(this);
    else if (riid == IID_IWICallbacker)
      *ppv = static_cast<IWICallbacker *>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }

  STDMETHODIMP NewAO(IUnknown *, IWebObj2 *, IWebObj2 **) override { return S_FALSE; }
  STDMETHODIMP NewDefaultAO(IUnknown *, IWebObj2 *, IWebObj2 **) override { return S_FALSE; }
  STDMETHODIMP NewFrameAO(IWebObj2 *, IWebObj2 *, IWebObj2 **) override { return S_FALSE; }
  STDMETHODIMP IsAOSpyable(IWebObj2 *, LONG) override { return S_FALSE; }
  STDMETHODIMP GetRecordAO(IUnknown *, VARIANT, IWebObj2 *, IWebObj2 **) override {
    return S_FALSE;
  }
  STDMETHODIMP ProcessRequest(WEB_MSG_TYPE, IWebInfo **) override { return S_FALSE; }
  STDMETHODIMP InvokeCallback(BSTR, VARIANT, VARIANT *) override { return S_FALSE; }
  STDMETHODIMP GetCallbackPriority(BSTR, WI_PRIORITY *) override { return S_FALSE; }
  STDMETHODIMP GetSupportedCallbacks(SAFEARRAY **) override { return S_FALSE; }
};

class KitsManagerTest : public HostModuleFixture {
protected:
  void SetUp() override {
    HostModuleFixture::SetUp();
    ASSERT_EQ(Create(kKitsManagerProgID, IID_IWIKitRegistrar, &kits_), S_OK);
    ASSERT_EQ(
        kits_->QueryInterface(IID_IWICallbackerRegistrar, reinterpret_cast<void **>(&callbacks_)),
        S_OK);
    ASSERT_EQ(
        kits_->QueryInterface(__uuidof(IWIKitsManagerInfo), reinterpret_cast<void **>(&info_)),
        S_OK);
  }
  void TearDown() override {
    if (info_ != nullptr)
      info_->Release();
    if (callbacks_ != nullptr)
      callbacks_->Release();
    if (kits_ != nullptr)
      kits_->Release();
    HostModuleFixture::TearDown();
  }

  IWIKitRegistrar *kits_ = nullptr;
  IWICallbackerRegistrar *callbacks_ = nullptr;
  IWIKitsManagerInfo *info_ = nullptr;
};

TEST_F(KitsManagerTest, KeepsTheLatestOfEachAndHandsItOut) {
  FakeKitPart kit, factory, handler, callbacker, laterFactory;
  ASSERT_EQ(kits_->RegisterKit(static_cast<IWIKitFactoryEx *>(&kit), 0), S_OK);
  ASSERT_EQ(kits_->RegisterKitFactory(&factory, 1), S_OK);
  ASSERT_EQ(kits_->RegisterRequestsHandler(&handler, 1), S_OK);
  ASSERT_EQ(callbacks_->RegisterCallbacker(&callbacker), S_OK);
  EXPECT_EQ(kit.refs, 2);
  EXPECT_EQ(factory.refs, 2);
  EXPECT_EQ(handler.refs, 2);
  EXPECT_EQ(callbacker.refs, 2);

  IWIKitFactoryEx *gotFactory = nullptr;
  ASSERT_EQ(info_->GetKitFactory(&gotFactory), S_OK);
  EXPECT_EQ(gotFactory, static_cast<IWIKitFactoryEx *>(&factory));
  EXPECT_EQ(factory.refs, 3);
  gotFactory->Release();
  IWIKitRequestsHandler2 *gotHandler = nullptr;
  ASSERT_EQ(info_->GetRequestsHandler(&gotHandler), S_OK);
  EXPECT_EQ(gotHandler, static_cast<IWIKitRequestsHandler2 *>(&handler));
  gotHandler->Release();
  IWICallbacker *gotCallbacker = nullptr;
  ASSERT_EQ(info_->GetCallbacker(&gotCallbacker), S_OK);
  EXPECT_EQ(gotCallbacker, static_cast<IWICallbacker *>(&callbacker));
  gotCallbacker->Release();

  // A later factory replaces the earlier one, which is released.
  ASSERT_EQ(kits_->RegisterKitFactory(&laterFactory, 1), S_OK);
  EXPECT_EQ(factory.refs, 1);
  EXPECT_EQ(laterFactory.refs, 2);
  ASSERT_EQ(kits_->RegisterKitFactory(&laterFactory, 1), S_OK);
  EXPECT_EQ(laterFactory.refs, 2);

  // Reset releases everything; the manager then has nothing to hand out.
  ASSERT_EQ(info_->Reset(), S_OK);
  for (FakeKitPart *part : {&kit, &factory, &handler, &callbacker, &laterFactory})
    EXPECT_EQ(part->refs, 1);
  gotFactory = reinterpret_cast<IWIKitFactoryEx *>(1);
  EXPECT_EQ(info_->GetKitFactory(&gotFactory), S_FALSE);
  EXPECT_EQ(gotFactory, nullptr);
  gotHandler = reinterpret_cast<IWIKitRequestsHandler2 *>(1);
  EXPECT_EQ(info_->GetRequestsHandler(&gotHandler), S_FALSE);
  EXPECT_EQ(gotHandler, nullptr);
  gotCallbacker = reinterpret_cast<IWICallbacker *>(1);
  EXPECT_EQ(info_->GetCallbacker(&gotCallbacker), S_FALSE);
  EXPECT_EQ(gotCallbacker, nullptr);
}

TEST_F(KitsManagerTest, ReleasesWhatItHoldsWhenItGoes) {
  FakeKitPart factory, handler, callbacker;
  ASSERT_EQ(kits_->RegisterKitFactory(&factory, 1), S_OK);
  ASSERT_EQ(kits_->RegisterRequestsHandler(&handler, 1), S_OK);
  ASSERT_EQ(callbacks_->RegisterCallbacker(&callbacker), S_OK);
  info_->Release();
  info_ = nullptr;
  callbacks_->Release();
  callbacks_ = nullptr;
  kits_->Release();
  kits_ = nullptr;
  EXPECT_EQ(factory.refs, 1);
  EXPECT_EQ(handler.refs, 1);
  EXPECT_EQ(callbacker.refs, 1);
}

TEST_F(KitsManagerTest, RejectsNullsAndAnswersNoHostCallback) {
  EXPECT_EQ(kits_->RegisterKit(nullptr, 0), E_POINTER);
  EXPECT_EQ(kits_->RegisterKitFactory(nullptr, 1), E_POINTER);
  EXPECT_EQ(kits_->RegisterRequestsHandler(nullptr, 1), E_POINTER);
  EXPECT_EQ(callbacks_->RegisterCallbacker(nullptr), E_POINTER);
  EXPECT_EQ(info_->GetKitFactory(nullptr), E_POINTER);

  BSTR name = SysAllocString(L"KitGetObjAttr");
  VARIANT input;
  VariantInit(&input);
  VARIANT output;
  VariantInit(&output);
  output.vt = VT_I4;
  output.lVal = 42;
  EXPECT_EQ(callbacks_->InvokeHostCallback(name, input, &output, 0), S_FALSE);
  EXPECT_EQ(output.vt, VT_I4);
  EXPECT_EQ(output.lVal, 42);
  EXPECT_EQ(callbacks_->InvokeHostCallback(name, input, nullptr, 0), E_POINTER);
  SysFreeString(name);
}

TEST_F(KitsManagerTest, EachCreationIsANewManager) {
  IWIKitRegistrar *other = nullptr;
  ASSERT_EQ(Create(kKitsManagerProgID, IID_IWIKitRegistrar, &other), S_OK);
  EXPECT_NE(other, kits_);
  FakeKitPart factory;
  ASSERT_EQ(other->RegisterKitFactory(&factory, 1), S_OK);
  IWIKitFactoryEx *got = nullptr;
  EXPECT_EQ(info_->GetKitFactory(&got), S_FALSE);
  other->Release();
  EXPECT_EQ(factory.refs, 1);
}

} // namespace

#include "HostModuleFixture.h"

namespace {

// A kit part that counts its references; it lives on the test's stack.
class FakeKitPart final : public IWIKitFactoryEx,
                          public IWIKitRequestsHandler2,
                          public IWICallbacker {
public:
  LONG refs = 1;

  STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
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

TEST_F(KitsManagerTest, KeepsTheLatestOfEachUntilReset) {
  FakeKitPart kit, factory, handler, callbacker, laterFactory;
  ASSERT_EQ(kits_->RegisterKit(static_cast<IWIKitFactoryEx *>(&kit), 0), S_OK);
  ASSERT_EQ(kits_->RegisterKitFactory(&factory, 1), S_OK);
  ASSERT_EQ(kits_->RegisterRequestsHandler(&handler, 1), S_OK);
  ASSERT_EQ(callbacks_->RegisterCallbacker(&callbacker), S_OK);
  for (FakeKitPart *part : {&kit, &factory, &handler, &callbacker})
    EXPECT_EQ(part->refs, 2);

  IWIKitFactoryEx *gotFactory = nullptr;
  ASSERT_EQ(info_->GetKitFactory(&gotFactory), S_OK);
  EXPECT_EQ(gotFactory, &factory);
  EXPECT_EQ(factory.refs, 3);
  gotFactory->Release();
  IWIKitRequestsHandler2 *gotHandler = nullptr;
  ASSERT_EQ(info_->GetRequestsHandler(&gotHandler), S_OK);
  EXPECT_EQ(gotHandler, &handler);
  gotHandler->Release();
  IWICallbacker *gotCallbacker = nullptr;
  ASSERT_EQ(info_->GetCallbacker(&gotCallbacker), S_OK);
  EXPECT_EQ(gotCallbacker, &callbacker);
  gotCallbacker->Release();

  ASSERT_EQ(kits_->RegisterKitFactory(&laterFactory, 1), S_OK);
  EXPECT_EQ(factory.refs, 1);
  ASSERT_EQ(kits_->RegisterKitFactory(&laterFactory, 1), S_OK);
  EXPECT_EQ(laterFactory.refs, 2);

  ASSERT_EQ(info_->Reset(), S_OK);
  for (FakeKitPart *part : {&kit, &factory, &handler, &callbacker, &laterFactory})
    EXPECT_EQ(part->refs, 1);
  gotFactory = &factory;
  EXPECT_EQ(info_->GetKitFactory(&gotFactory), S_FALSE);
  EXPECT_EQ(gotFactory, nullptr);
  gotCallbacker = &callbacker;
  EXPECT_EQ(info_->GetCallbacker(&gotCallbacker), S_FALSE);
  EXPECT_EQ(gotCallbacker, nullptr);
}

TEST_F(KitsManagerTest, EachManagerReleasesWhatItHoldsWhenItGoes) {
  IWIKitRegistrar *other = nullptr;
  ASSERT_EQ(Create(kKitsManagerProgID, IID_IWIKitRegistrar, &other), S_OK);
  FakeKitPart factory, handler;
  ASSERT_EQ(other->RegisterKitFactory(&factory, 1), S_OK);
  ASSERT_EQ(other->RegisterRequestsHandler(&handler, 1), S_OK);
  IWIKitFactoryEx *got = nullptr;
  EXPECT_EQ(info_->GetKitFactory(&got), S_FALSE); // a different manager
  other->Release();
  EXPECT_EQ(factory.refs, 1);
  EXPECT_EQ(handler.refs, 1);
}

TEST_F(KitsManagerTest, RejectsNullsAndAnswersUnboundHostCallbacksAsNotImplemented) {
  EXPECT_EQ(kits_->RegisterKit(nullptr, 0), E_POINTER);
  EXPECT_EQ(kits_->RegisterKitFactory(nullptr, 1), E_POINTER);
  EXPECT_EQ(kits_->RegisterRequestsHandler(nullptr, 1), E_POINTER);
  EXPECT_EQ(callbacks_->RegisterCallbacker(nullptr), E_POINTER);
  EXPECT_EQ(info_->GetRequestsHandler(nullptr), E_POINTER);

  VARIANT input;
  VariantInit(&input);
  VARIANT output;
  output.vt = VT_I4;
  output.lVal = 42;
  TestBstr name(L"KitGetObjAttr");
  EXPECT_EQ(callbacks_->InvokeHostCallback(name, input, &output, 0), E_NOTIMPL);
  EXPECT_EQ(output.vt, VT_I4);
  EXPECT_EQ(output.lVal, 42);
  EXPECT_EQ(callbacks_->InvokeHostCallback(name, input, nullptr, 0), E_POINTER);
}

} // namespace

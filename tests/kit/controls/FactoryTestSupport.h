// Shared pieces of the factory and dynamic AO tests: the kit's factory as the
// host holds it, and a view-link frame double whose owner is a kit AO of a
// chosen class, so that dynamic rules can be reached without the host.
#pragma once

#include "WebObjTestSupport.h"

#include "recognition/DAORuleList.h"
#include "recognition/TallowickFactoryIE.h"

inline constexpr LONG kViewLinkFrameClass = 28;
inline constexpr LONG kUltraGridClass = 1030;
inline constexpr LONG kTreeViewClass = 1027;
inline constexpr LONG kUltraGridInnerRule = 1032;
inline constexpr LONG kTreeViewLinkRule = 1033;

// An element AO of a fixed web class.
class CClassedAO : public CIE4Obj {
public:
  CClassedAO(IUnknown *element, IWebObj2 *parent, LONG webClass) : CIE4Obj(element, parent) {
    SetWebClass(webClass);
  }
};

// A "ViewLinkFrame" AO whose owner is the AO it was given.
class CViewLinkFrameDouble : public CIE4Obj, public IWIViewLinkFrameAO {
public:
  CViewLinkFrameDouble(IUnknown *element, IWebObj2 *owner)
      : CIE4Obj(element, nullptr), owner_(owner) {
    SetWebClass(kViewLinkFrameClass);
  }
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv != nullptr && riid == IID_IWIViewLinkFrameAO) {
      *ppv = static_cast<IWIViewLinkFrameAO *>(this);
      AddRef();
      return S_OK;
    }
    return CIE4Obj::QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return CIE4Obj::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return CIE4Obj::Release(); }
  STDMETHODIMP GetOwnerAO(IWebObj2 **owner) override { return owner_.CopyTo(owner); }
  STDMETHODIMP GetOwnerElement(IUnknown **) override { return E_NOTIMPL; }
  STDMETHODIMP GetViewLinkDocument(IUnknown **) override { return E_NOTIMPL; }
  STDMETHODIMP GetFrameStyle(BSTR *) override { return E_NOTIMPL; }

private:
  CQilComPtr<IWebObj2> owner_;
};

class FactoryTestBase : public WebObjTest {
protected:
  void SetUp() override {
    WebObjTest::SetUp();
    ASSERT_EQ(CTallowickFactoryIE::Create(nullptr, IID_IWIKitFactoryEx,
                                          reinterpret_cast<void **>(&factory_)),
              S_OK);
  }
  void TearDown() override {
    factory_.Release();
    CTallowickFactoryIE::LoadBuiltInRules();
    WebObjTest::TearDown();
  }

  // A view-link frame whose owner is a kit AO of `ownerClass`.
  CQilComPtr<IWebObj2> ViewLinkFrame(LONG ownerClass) {
    CQilComPtr<IWebObj2> owner;
    CQilComPtr<IWebObj2> frame;
    EXPECT_EQ(CreateWebObject<CClassedAO>(&owner, Element(L"owner").Get(), nullptr, ownerClass),
              S_OK);
    EXPECT_EQ(CreateWebObject<CViewLinkFrameDouble>(&frame, Element(L"owner").Get(), owner.Get()),
              S_OK);
    return frame;
  }
  // The factory's answer for the element with `id` under `parent`.
  HRESULT NewAO(LPCOLESTR id, IWebObj2 *parent, CQilComPtr<IWebObj2> &ao) {
    ao.Release();
    return factory_->NewAO(Element(id).Get(), parent, &ao);
  }
  static LONG RecordableClass(IWebObj2 *ao) {
    LONG webClass = -1;
    if (ao != nullptr)
      ao->GetRecordableClass(&webClass);
    return webClass;
  }
  static LONG ObjectType(IWebObj2 *ao) {
    CQilComPtr<IWebRunTimeID> id;
    LONG type = 12345;
    if (ao != nullptr && SUCCEEDED(ao->GetId(&id)) && id)
      id->GetInnerObjTypeId(&type);
    return type;
  }

  CQilComPtr<IWIKitFactoryEx> factory_;
};

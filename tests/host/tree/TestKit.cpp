// The test kit module (see TestKit.h).
#include "TestKit.h"

#include <mshtml.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "TallowickHost.h"

namespace {

LONG g_live = 0;
LONG g_releaseRefs = 0;

template <class I> I *Query(IUnknown *from) {
  I *out = nullptr;
  if (from == nullptr || FAILED(from->QueryInterface(__uuidof(I), reinterpret_cast<void **>(&out))))
    return nullptr;
  return out;
}

std::wstring PanelName(IHTMLElement *element) {
  VARIANT value;
  VariantInit(&value);
  BSTR name = SysAllocString(L"testkit");
  element->getAttribute(name, 2, &value);
  SysFreeString(name);
  std::wstring out;
  if (value.vt == VT_BSTR)
    out.assign(value.bstrVal, SysStringLen(value.bstrVal));
  VariantClear(&value);
  return out;
}

IWIAgentObjectServices *ObjectServices() {
  IWIAgentObjectServices *services = nullptr;
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(kAgentServicesProgID, &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IWIAgentObjectServices),
                              reinterpret_cast<void **>(&services))))
    return nullptr;
  return services;
}

HRESULT NewAttr(const std::wstring &text, IWebAttrVal **out) {
  HRESULT hr = CoCreateInstance(CLSID_WebAttrVal, nullptr, CLSCTX_INPROC_SERVER, IID_IWebAttrVal,
                                reinterpret_cast<void **>(out));
  if (FAILED(hr))
    return hr;
  BSTR value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  hr = (*out)->AddString(value);
  SysFreeString(value);
  return hr;
}

#define NOT_OFFERED(signature)                                                                     \
  STDMETHODIMP signature override { return E_NOTIMPL; }

class CTestAO final : public IWebObj2, public IWebObjSelfEventConfig {
public:
  CTestAO(IHTMLElement *element, IWebObj2 *parent) : element_(element), parent_(parent) {
    element_->AddRef();
    parent_->AddRef();
    InterlockedIncrement(&g_live);
    CoCreateInstance(CLSID_WebRunTimeID, nullptr, CLSCTX_INPROC_SERVER, IID_IWebRunTimeID,
                     reinterpret_cast<void **>(&id_));
    name_ = PanelName(element);
  }
  ~CTestAO() {
    element_->Release();
    if (parent_ != nullptr)
      parent_->Release();
    if (id_ != nullptr)
      id_->Release();
    InterlockedDecrement(&g_live);
  }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == __uuidof(IWebObj2))
      *ppv = static_cast<IWebObj2 *>(this);
    else if (riid == __uuidof(IWebObjSelfEventConfig))
      *ppv = static_cast<IWebObjSelfEventConfig *>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = --refs_;
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }

  // The parent link is what the host must cut when the page goes.
  STDMETHODIMP ReleaseRefs() override {
    InterlockedIncrement(&g_releaseRefs);
    if (parent_ != nullptr)
      std::exchange(parent_, nullptr)->Release();
    return S_OK;
  }
  STDMETHODIMP SetId(IWebRunTimeID *id) override { return id_->SetId(id); }
  STDMETHODIMP GetId(IWebRunTimeID **id) override {
    if (id == nullptr)
      return E_POINTER;
    HRESULT hr = CoCreateInstance(CLSID_WebRunTimeID, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWebRunTimeID, reinterpret_cast<void **>(id));
    return FAILED(hr) ? hr : (*id)->SetId(id_);
  }
  STDMETHODIMP GetIdRef(IWebRunTimeID **id) override {
    if (id == nullptr)
      return E_POINTER;
    *id = id_;
    id_->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetKitId(LONG kitId) override {
    kitId_ = kitId;
    return S_OK;
  }
  STDMETHODIMP GetKitID(LONG *kitId) override {
    *kitId = kitId_;
    return S_OK;
  }
  NOT_OFFERED(SetParent(IWebObj2 *))
  STDMETHODIMP GetParent(IWebObj2 **ao) override { return GetParentFrame(ao); }
  STDMETHODIMP GetParentFrame(IWebObj2 **ao) override {
    *ao = parent_;
    if (parent_ != nullptr)
      parent_->AddRef();
    return S_OK;
  }
  NOT_OFFERED(AddChild(IWebObj2 *))
  NOT_OFFERED(RemoveChild(IWebObj2 *))
  NOT_OFFERED(GetChild(LONG, IWebObj2 **))
  NOT_OFFERED(GetChildByAttr(IWebAttrVal *, IWebObj2 **))
  NOT_OFFERED(GetChildById(IWebRunTimeID *, IWebObj2 **))
  NOT_OFFERED(GetDirectChildById(IWebRunTimeID *, IWebObj2 **))
  NOT_OFFERED(RemoveAllChildren())
  NOT_OFFERED(GetDirectChildCount(LONG, LONG *))
  NOT_OFFERED(GetChildIndex(IWebObj2 *, LONG *))
  NOT_OFFERED(GetAllChildren(IFilterStruct *, SAFEARRAY **))
  NOT_OFFERED(GetDirectChildren(IFilterStruct *, SAFEARRAY **))
  NOT_OFFERED(GetTreeBranch(IWebAttrVal **))
  NOT_OFFERED(GetTreeLevel(LONG *))
  STDMETHODIMP GetWrappedElement(IUnknown **element) override {
    return element_->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(element));
  }
  NOT_OFFERED(GetRecordAttr(IWebInfo **, IWebInfo **, BSTR *))
  NOT_OFFERED(GetRecordConfig(IWebInfo **, IWebInfo **, BSTR *))
  STDMETHODIMP FillRecordInformation(IUnknown *, tagWIEventData, IWebInfo **record) override {
    IWebAttrVal *value = nullptr;
    HRESULT hr = NewAttr(L"clicked " + name_, &value);
    if (SUCCEEDED(hr))
      hr = (*record)->ReplaceAttrValueByName(6, value, 1);
    if (value != nullptr)
      value->Release();
    return hr;
  }
  STDMETHODIMP GetAttr(LONG name, IWebAttrVal *data, IWebAttrVal **value) override {
    return GetAttrEx(name, data, value);
  }
  STDMETHODIMP GetAttrEx(LONG name, IWebAttrVal *, IWebAttrVal **value) override {
    if (value == nullptr)
      return E_POINTER;
    *value = nullptr;
    if (name == 146)
      return NewAttr(name_, value);
    if (name == 0)
      return NewAttr(L"TestPanel", value);
    return E_FAIL;
  }
  NOT_OFFERED(GetAttrs(IWebInfo **))
  NOT_OFFERED(CompareAttr(LONG, IWebAttrVal *, VARIANT_BOOL, VARIANT_BOOL))
  NOT_OFFERED(CompareAttrData(LONG, IWebAttrVal *, IWebAttrVal *, VARIANT_BOOL, VARIANT_BOOL))
  NOT_OFFERED(InvokeMethod(METHOD_NAME_ENUM, IWebInfo **))
  NOT_OFFERED(SetWebClass(LONG))
  STDMETHODIMP CompareClass(LONG webClass) override {
    return webClass == kTestPanelClass ? S_OK : S_FALSE;
  }
  STDMETHODIMP GetRecordableClass(LONG *webClass) override {
    *webClass = kTestPanelClass;
    return S_OK;
  }
  NOT_OFFERED(ResetWebClass())
  NOT_OFFERED(SetWebClassSet(IWIClassSet *))
  NOT_OFFERED(GetWebClassSet(IWIClassSet **))
  STDMETHODIMP CallUpdate() override { return S_OK; }
  STDMETHODIMP UpdateChildren() override { return S_OK; }
  STDMETHODIMP IsLockedForUpdate() override { return S_OK; }
  NOT_OFFERED(GetType(LONG *))
  STDMETHODIMP IsStandAlone() override { return S_OK; }
  NOT_OFFERED(IsPointInObj(tagPOINT))
  NOT_OFFERED(GetDirectChildrenForLearn(SAFEARRAY **))

  // IWebObjSelfEventConfig
  STDMETHODIMP GetEventConfigState(LONG *state) override {
    *state = 2;
    return S_OK;
  }
  STDMETHODIMP GetEventConfigFile(BSTR *file) override {
    const char *path = std::getenv(kTestKitEventsVariable);
    std::wstring wide;
    for (const char *c = path != nullptr ? path : ""; *c != '\0'; ++c)
      wide += static_cast<wchar_t>(*c);
    *file = SysAllocString(wide.c_str());
    return S_OK;
  }

private:
  LONG refs_ = 1;
  IHTMLElement *element_;
  IWebObj2 *parent_;
  IWebRunTimeID *id_ = nullptr;
  LONG kitId_ = 0;
  std::wstring name_;
};

class CTestFactory final : public IWIKitFactoryEx {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != __uuidof(IWIKitFactoryEx))
      return E_NOINTERFACE;
    *ppv = static_cast<IWIKitFactoryEx *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = --refs_;
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP NewAO(IUnknown *element, IWebObj2 *parent, IWebObj2 **ao) override {
    if (element == nullptr || parent == nullptr || ao == nullptr)
      return E_POINTER;
    *ao = nullptr;
    IHTMLElement *html = Query<IHTMLElement>(element);
    if (html == nullptr)
      return S_FALSE;
    if (!PanelName(html).empty())
      *ao = new CTestAO(html, parent);
    html->Release();
    return *ao != nullptr ? S_OK : S_FALSE;
  }
  STDMETHODIMP NewDefaultAO(IUnknown *, IWebObj2 *, IWebObj2 **ao) override {
    *ao = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP NewFrameAO(IWebObj2 *, IWebObj2 *, IWebObj2 **ao) override {
    *ao = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP IsAOSpyable(IWebObj2 *, LONG) override { return E_NOTIMPL; }
  // The panel around the element records the event.
  STDMETHODIMP GetRecordAO(IUnknown *element, VARIANT, IWebObj2 *parent, IWebObj2 **ao) override {
    if (element == nullptr || parent == nullptr || ao == nullptr)
      return E_POINTER;
    *ao = nullptr;
    IWIAgentObjectServices *services = ObjectServices();
    if (services == nullptr)
      return E_FAIL;
    IHTMLElement *at = Query<IHTMLElement>(element);
    while (at != nullptr && *ao == nullptr) {
      if (!PanelName(at).empty())
        services->GetElementAO(at, parent, VARIANT_FALSE, ao);
      IHTMLElement *up = nullptr;
      at->get_parentElement(&up);
      at->Release();
      at = up;
    }
    if (at != nullptr)
      at->Release();
    services->Release();
    return *ao != nullptr ? S_OK : E_FAIL;
  }

private:
  LONG refs_ = 1;
};

class CTestKit final : public IWIKit {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != __uuidof(IWIKit))
      return E_NOINTERFACE;
    *ppv = static_cast<IWIKit *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = --refs_;
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP Initialize(IUnknown *manager) override {
    IWIKitRegistrar *registrar = Query<IWIKitRegistrar>(manager);
    if (registrar == nullptr)
      return E_INVALIDARG;
    CTestFactory *factory = new CTestFactory;
    registrar->RegisterKitFactory(factory, 1);
    factory->Release();
    registrar->Release();
    IWIAgentServices *services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WIAgentServicesIE, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IUnknown, reinterpret_cast<void **>(&services)))) {
      BSTR name = SysAllocString(L"TestPanel");
      services->RegisterWebClass(kTestPanelClass, name);
      SysFreeString(name);
      services->Release();
    }
    return S_OK;
  }
  STDMETHODIMP Terminate() override { return S_OK; }
  STDMETHODIMP GetKitID(LONG *id) override {
    *id = kTestKitId;
    return S_OK;
  }
  STDMETHODIMP GetKitName(BSTR *name) override {
    *name = SysAllocString(L"Test kit");
    return S_OK;
  }

private:
  LONG refs_ = 1;
};

class CKitClassFactory final : public IClassFactory {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory)
      return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory *>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr)
      return CLASS_E_NOAGGREGATION;
    CTestKit *kit = new CTestKit;
    HRESULT hr = kit->QueryInterface(riid, ppv);
    kit->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

CKitClassFactory g_factory;

} // namespace

extern "C" LONG TestKitLiveObjects() { return g_live; }
extern "C" LONG TestKitReleaseRefsCalls() { return g_releaseRefs; }

STDAPI DllCanUnloadNow(void) { return S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID *ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (clsid != CLSID_TestKit)
    return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

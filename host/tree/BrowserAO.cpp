// CBrowserAO: a browser of the host, the root of an object tree and the
// object the host program drives (IWIHostBrowser). It owns the tree, and
// with it every agent object of its page, and the kits it loaded.
#include "TallowickHost.h"
#include "http/HttpSession.h"
#include "module/HostClasses.h"
#include "tallowick/Page.h"
#include "tree/HostAO.h"

namespace host::tree {
namespace {
LONG g_lastBrowserId = 0;
} // namespace

class CBrowserAO final : public CHostAO, public IWIHostBrowser, public IWIBrowserServices {
public:
  CBrowserAO() : CHostAO(nullptr, nullptr, kBrowser) {
    tree_ = new ObjectTree(InterlockedIncrement(&g_lastBrowserId));
    node_ = tree_->Root();
    node_->ao = this;
    node_->host = this;
    ComPtr<IWebRunTimeID> id;
    if (SUCCEEDED(GetIdRef(id.Out())))
      id->SetIdFromIds(tree_->BrowserId(), 0, 0, 0);
  }
  ~CBrowserAO() override {
    Close();
    delete tree_;
  }

  HOST_AO_IUNKNOWN
  std::wstring Name() override { return WebClassName(kBrowser); }

  // The browser's tree goes with the browser, not before.
  STDMETHODIMP ReleaseRefs() override { return S_OK; }

  // IWIHostBrowser
  STDMETHODIMP LoadKit(REFCLSID clsid) override {
    return Guarded([&]() -> HRESULT {
      ComPtr<IWIKit> kit;
      HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IWIKit,
                                    reinterpret_cast<void **>(kit.Out()));
      if (FAILED(hr))
        return hr;
      ComPtr<IWIKitsManagerInfo> manager;
      hr = CreateKitsManager(nullptr, __uuidof(IWIKitsManagerInfo),
                             reinterpret_cast<void **>(manager.Out()));
      if (FAILED(hr))
        return hr;
      hr = kit->Initialize(manager.Get());
      if (FAILED(hr))
        return hr;
      LONG kitId = 0;
      kit->GetKitID(&kitId);
      ComPtr<IWIKitFactoryEx> factory;
      if (manager->GetKitFactory(factory.Out()) == S_OK && factory)
        tree_->AddKit(factory.Get(), kitId);
      kits_.push_back({kit, manager});
      return S_OK;
    });
  }
  STDMETHODIMP AddKitFactory(IWIKitFactoryEx *factory, LONG kitId) override {
    if (factory == nullptr)
      return E_POINTER;
    return Guarded([&] {
      tree_->AddKit(factory, kitId);
      return S_OK;
    });
  }
  STDMETHODIMP LoadPage(BSTR path) override {
    if (SysStringLen(path) == 0)
      return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
      std::wstring page = FromBstr(path);
      if (http::IsHttpUrl(page))
        return tree_->LoadUrl(page);
      ComPtr<IHTMLDocument2> document;
      HRESULT hr = tallowick::platform::LoadPageFromFile(page, L"", document.Out());
      if (FAILED(hr))
        return hr;
      return tree_->Show(document.Get());
    });
  }
  STDMETHODIMP SetDocument(IUnknown *document) override {
    ComPtr<IHTMLDocument2> page = QueryAs<IHTMLDocument2>(document);
    if (!page)
      return E_INVALIDARG;
    return Guarded([&] { return tree_->Show(page.Get()); });
  }
  STDMETHODIMP GetPageAO(IWebObj2 **page) override {
    if (page == nullptr)
      return E_POINTER;
    *page = nullptr;
    Guarded([&] {
      tree_->Refresh();
      return S_OK;
    });
    Node *node = tree_->PageNode();
    if (node == nullptr)
      return S_FALSE;
    *page = node->ao;
    (*page)->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetRecording(VARIANT_BOOL on) override {
    tree_->SetRecording(on != VARIANT_FALSE);
    return S_OK;
  }
  STDMETHODIMP GetStepCount(LONG *count) override {
    if (count == nullptr)
      return E_POINTER;
    *count = static_cast<LONG>(tree_->Steps().size());
    return S_OK;
  }
  STDMETHODIMP GetStep(LONG index, BSTR *text, IWebInfo **record) override {
    if (text != nullptr)
      *text = nullptr;
    if (record != nullptr)
      *record = nullptr;
    const auto &steps = tree_->Steps();
    if (index < 0 || static_cast<size_t>(index) >= steps.size())
      return E_INVALIDARG;
    const auto &step = steps[static_cast<size_t>(index)];
    if (record != nullptr)
      step.record.CopyTo(record);
    return text != nullptr ? Guarded([&] { return PutBstr(step.text, text); }) : S_OK;
  }
  STDMETHODIMP Close() override {
    return Guarded([&]() -> HRESULT {
      tree_->Clear();
      tree_->ClearKits();
      std::vector<LoadedKit> kits;
      kits.swap(kits_);
      for (auto &loaded : kits) {
        loaded.kit->Terminate();
        loaded.manager->Reset();
      }
      return S_OK;
    });
  }

  STDMETHODIMP GetTreeChildren(IWebObj2 *ao, SAFEARRAY **children) override {
    if (children == nullptr)
      return E_POINTER;
    *children = nullptr;
    return Guarded([&]() -> HRESULT {
      tree_->Refresh();
      Node *node = tree_->NodeOfAO(ao);
      if (node == nullptr)
        return E_INVALIDARG;
      std::vector<IWebObj2 *> aos;
      for (Node *child : node->children)
        aos.push_back(child->ao);
      return AppendAOs(aos, children);
    });
  }
  STDMETHODIMP GetNavigationError(BSTR *message) override {
    if (message == nullptr)
      return E_POINTER;
    *message = nullptr;
    const std::wstring &error = tree_->NavigationError();
    if (error.empty())
      return S_FALSE;
    return Guarded([&] { return PutBstr(error, message); });
  }

  // IWIBrowserServices
  STDMETHODIMP GetCallbackRegistry(IUnknown **registry) override {
    if (registry == nullptr)
      return E_POINTER;
    *registry = nullptr;
    return CreateCallbackRegistry(nullptr, IID_IUnknown, reinterpret_cast<void **>(registry));
  }

protected:
  HRESULT QueryOther(REFIID riid, void **ppv) override {
    if (riid == __uuidof(IWIHostBrowser))
      *ppv = static_cast<IWIHostBrowser *>(this);
    else if (riid == __uuidof(IWIBrowserServices))
      *ppv = static_cast<IWIBrowserServices *>(this);
    else
      return CHostAO::QueryOther(riid, ppv);
    return S_OK;
  }
  IUnknown *Wrapped() override { return nullptr; }
  bool Rect(RECT *) override { return false; }

private:
  struct LoadedKit {
    ComPtr<IWIKit> kit;
    ComPtr<IWIKitsManagerInfo> manager;
  };
  std::vector<LoadedKit> kits_;
};

} // namespace host::tree

namespace host {
HRESULT CreateBrowser(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<tree::CBrowserAO>(outer, riid, ppv);
}
} // namespace host

// Agent services: the host's settings, the web-class table and the services
// for the host's own agent objects. One object per process; its IUnknown is
// its IWIAgentServices.
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "TallowickHost.h"
#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "tree/AgentObjectServices.h"

namespace host {
namespace {

// The host's own classes, by id.
constexpr const wchar_t *kHostClasses[] = {
    L"",        L"Any Web Object", L"HtmlRow",    L"HtmlCell",  L"Text",          L"Hyperlink",
    L"Applet",  L"StdObject",      L"HtmlToggle", L"ActiveX",   L"WebElement",    L"WebTable",
    L"Link",    L"Image",          L"WebArea",    L"WebButton", L"WebRadioGroup", L"WebCheckBox",
    L"WebEdit", L"WebFile",        L"WebList",    L"Frame",     L"Page",          L"Container",
    L"Browser", L"WebXML",         L"PlugIn",     L"ViewLink",  L"ViewLinkFrame"};

// A VARIANT that owns what it holds.
struct OwnedVariant {
  OwnedVariant() { VariantInit(&value); }
  ~OwnedVariant() { VariantClear(&value); }
  OwnedVariant(const OwnedVariant &) = delete;
  OwnedVariant &operator=(const OwnedVariant &) = delete;
  VARIANT value;
};
using Settings = std::map<std::wstring, std::unique_ptr<OwnedVariant>>;

class CAgentServices;

// The process-wide object. The slot holds no reference: the object clears it
// when its last reference goes. Release decrements under the same lock, so
// the factory never revives an object that is being destroyed.
std::recursive_mutex g_slotLock;
CAgentServices *g_instance = nullptr;

class CAgentServices final : public CHostObject<IWIAgentServices, IWIAgentObjectServices,
                                                IWIHostSettings, IWIHostWebClasses> {
public:
  CAgentServices() {
    for (LONG id = 0; id < static_cast<LONG>(std::size(kHostClasses)); ++id)
      AddClass(id, kHostClasses[id]);
  }
  ~CAgentServices() override {
    if (g_instance == this)
      g_instance = nullptr;
  }

  STDMETHODIMP_(ULONG) Release() override {
    std::lock_guard slot(g_slotLock);
    return CHostObject::Release();
  }

  // IWIAgentServices
  STDMETHODIMP GetSetting(BSTR name, VARIANT *value) override {
    if (value == nullptr)
      return E_POINTER;
    VariantInit(value);
    try {
      std::lock_guard guard(lock_);
      auto found = settings_.find(FromBstr(name));
      if (found == settings_.end())
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
      return VariantCopy(value, &found->second->value);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP RegisterWebClass(LONG classId, BSTR className) override {
    if (SysStringLen(className) == 0)
      return E_INVALIDARG;
    try {
      std::lock_guard guard(lock_);
      AddClass(classId, FromBstr(className));
      if (std::find(registered_.begin(), registered_.end(), classId) == registered_.end())
        registered_.push_back(classId);
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP GetWebClassName(LONG classId, BSTR *className) override {
    if (className == nullptr)
      return E_POINTER;
    *className = nullptr;
    try {
      std::lock_guard guard(lock_);
      auto found = names_.find(classId);
      if (found == names_.end()) {
        HRESULT hr = PutBstr(std::wstring(), className);
        return FAILED(hr) ? hr : S_FALSE;
      }
      return PutBstr(found->second, className);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP GetWebClassId(BSTR className, LONG *classId) override {
    if (classId == nullptr)
      return E_POINTER;
    *classId = 0;
    try {
      std::lock_guard guard(lock_);
      auto found = ids_.find(FromBstr(className));
      if (found == ids_.end())
        return S_FALSE;
      *classId = found->second;
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  // IWIAgentObjectServices: the agent objects of the host's object trees.
  STDMETHODIMP FindAO(IUnknown *element, IWebObj2 **ao) override {
    return tree::FindAO(element, ao);
  }
  STDMETHODIMP FindAOById(IWebRunTimeID *id, IWebObj2 **ao) override {
    return tree::FindAOById(id, ao);
  }
  STDMETHODIMP GetBrowserAO(IWebObj2 *from, IWebObj2 **ao) override {
    return tree::GetBrowserAO(from, ao);
  }
  STDMETHODIMP GetPageAO(IWebObj2 *from, IWebObj2 **ao) override {
    return tree::GetPageAO(from, ao);
  }
  STDMETHODIMP GetElementAO(IUnknown *element, IWebObj2 *parent, VARIANT_BOOL create,
                            IWebObj2 **ao) override {
    return tree::GetElementAO(element, parent, create != VARIANT_FALSE, ao);
  }
  STDMETHODIMP GetViewLinkElementAO(IUnknown *element, IWebObj2 *parent, IWebObj2 **ao) override {
    return tree::GetViewLinkElementAO(element, parent, ao);
  }

  // IWIHostSettings. A replaced or removed value is released outside the
  // lock: releasing an object it holds may call back into this one.
  STDMETHODIMP SetSetting(BSTR name, VARIANT value) override {
    if (SysStringLen(name) == 0)
      return E_INVALIDARG;
    try {
      auto copy = std::make_unique<OwnedVariant>();
      // By-reference values are stored as the value they refer to.
      HRESULT hr = VariantCopyInd(&copy->value, &value);
      if (FAILED(hr))
        return hr;
      std::unique_lock guard(lock_);
      std::swap(settings_[FromBstr(name)], copy);
      guard.unlock();
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP RemoveSetting(BSTR name) override {
    try {
      std::unique_ptr<OwnedVariant> removed;
      std::unique_lock guard(lock_);
      auto found = settings_.find(FromBstr(name));
      if (found == settings_.end())
        return S_FALSE;
      removed = std::move(found->second);
      settings_.erase(found);
      guard.unlock();
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP ClearSettings() override {
    Settings removed;
    {
      std::lock_guard guard(lock_);
      removed.swap(settings_);
    }
    return S_OK;
  }

  // IWIHostWebClasses
  STDMETHODIMP GetRegisteredClassCount(LONG *count) override {
    if (count == nullptr)
      return E_POINTER;
    std::lock_guard guard(lock_);
    *count = static_cast<LONG>(registered_.size());
    return S_OK;
  }

  STDMETHODIMP GetRegisteredClass(LONG index, LONG *id, BSTR *name) override {
    if (id == nullptr || name == nullptr)
      return E_POINTER;
    *id = 0;
    *name = nullptr;
    try {
      std::lock_guard guard(lock_);
      if (index < 0 || static_cast<size_t>(index) >= registered_.size())
        return E_INVALIDARG;
      *id = registered_[static_cast<size_t>(index)];
      return PutBstr(names_[*id], name);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

private:
  // Adds or replaces a class; a name answers the id it was last given.
  void AddClass(LONG id, const std::wstring &name) {
    auto old = names_.find(id);
    if (old != names_.end()) {
      auto oldId = ids_.find(old->second);
      if (oldId != ids_.end() && oldId->second == id)
        ids_.erase(oldId);
    }
    names_[id] = name;
    ids_[name] = id;
  }

  std::mutex lock_;
  Settings settings_;
  std::map<LONG, std::wstring> names_;
  std::map<std::wstring, LONG> ids_;
  std::vector<LONG> registered_;
};

} // namespace

HRESULT CreateAgentServices(IUnknown *outer, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  CAgentServices *services = nullptr;
  try {
    std::lock_guard slot(g_slotLock);
    if (g_instance != nullptr) {
      g_instance->AddRef();
    } else {
      g_instance = new CAgentServices;
    }
    services = g_instance;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  HRESULT hr = services->QueryInterface(riid, ppv);
  services->Release();
  return hr;
}

} // namespace host

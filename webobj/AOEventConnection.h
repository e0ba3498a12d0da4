// The base of every control object: an agent object of class T (CIE4Obj,
// CIE4Table or CIE55ViewLinkElement) that names the event configuration file
// governing the events recorded on it, through IWebObjSelfEventConfig and
// IWebObjEventConfigControl.
#pragma once

#include <windows.h>

#include <utility>

#include "TallowickIE_h.h"

// Event configuration states.
inline constexpr LONG kEventConfigNone = 0;
inline constexpr LONG kEventConfigSet = 1;
inline constexpr LONG kEventConfigEnabled = 2;

// The file that every control object names.
inline constexpr wchar_t kWebFormsEventConfiguration[] = L"WebFormsEventConfiguration.xml";

template <class T>
class CAOEventConnection : public T,
                           public IWebObjSelfEventConfig,
                           public IWebObjEventConfigControl {
public:
  template <class... Args>
  explicit CAOEventConnection(Args &&...args) : T(std::forward<Args>(args)...) {}
  ~CAOEventConnection() override { SysFreeString(m_bstrEventConfigFile); }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IWebObjSelfEventConfig) {
      *ppv = static_cast<IWebObjSelfEventConfig *>(this);
      T::AddRef();
      return S_OK;
    }
    if (riid == IID_IWebObjEventConfigControl) {
      *ppv = static_cast<IWebObjEventConfigControl *>(this);
      T::AddRef();
      return S_OK;
    }
    return T::QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return T::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return T::Release(); }

  // IWebObjSelfEventConfig
  STDMETHODIMP GetEventConfigState(LONG *plState) override {
    if (plState == nullptr)
      return E_POINTER;
    *plState = m_lEventConfigState;
    return S_OK;
  }
  STDMETHODIMP GetEventConfigFile(BSTR *pbstrFile) override {
    if (pbstrFile == nullptr)
      return E_POINTER;
    *pbstrFile = nullptr;
    if (m_bstrEventConfigFile == nullptr)
      return S_OK;
    *pbstrFile = SysAllocStringLen(m_bstrEventConfigFile, SysStringLen(m_bstrEventConfigFile));
    return *pbstrFile != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  // IWebObjEventConfigControl
  STDMETHODIMP SetEventConfig(BSTR bstrFile, VARIANT_BOOL bEnable) override {
    BSTR copy = nullptr;
    if (bstrFile != nullptr) {
      copy = SysAllocStringLen(bstrFile, SysStringLen(bstrFile));
      if (copy == nullptr)
        return E_OUTOFMEMORY;
    }
    SysFreeString(m_bstrEventConfigFile);
    m_bstrEventConfigFile = copy;
    if (SysStringLen(copy) == 0)
      m_lEventConfigState = kEventConfigNone;
    else
      m_lEventConfigState = bEnable != VARIANT_FALSE ? kEventConfigEnabled : kEventConfigSet;
    return S_OK;
  }

protected:
  // What every control object does right after setting its web class.
  HRESULT NameWebFormsEventConfiguration() {
    BSTR file = SysAllocString(kWebFormsEventConfiguration);
    if (file == nullptr)
      return E_OUTOFMEMORY;
    HRESULT hr = SetEventConfig(file, VARIANT_TRUE);
    SysFreeString(file);
    return hr;
  }

  BSTR m_bstrEventConfigFile = nullptr;
  LONG m_lEventConfigState = kEventConfigNone;
};

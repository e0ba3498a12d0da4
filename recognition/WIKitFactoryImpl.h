// The generic kit factory: the host's IWIKitFactoryEx and IWIKitFactoryEx2
// methods as argument checks around protected operations that a kit
// overrides. At this level every operation answers none.
#pragma once

#include "TallowickIE_h.h"
#include "support/QilComPtr.h"

// A failure raised by a factory operation; NewAO answers its HRESULT.
struct CKitFactoryError {
  HRESULT hr;
};

class CWIKitFactoryImpl : public IWIKitFactoryEx2 {
public:
  // IWIKitFactoryEx
  STDMETHODIMP NewAO(IUnknown *pElement, IWebObj2 *pParentAO, IWebObj2 **ppAO) override;
  STDMETHODIMP NewDefaultAO(IUnknown *pElement, IWebObj2 *pParentAO, IWebObj2 **ppAO) override;
  STDMETHODIMP NewFrameAO(IWebObj2 *pCoreFrameAO, IWebObj2 *pParentAO,
                          IWebObj2 **ppFrameAO) override;
  STDMETHODIMP IsAOSpyable(IWebObj2 *pAO, LONG index) override;
  STDMETHODIMP GetRecordAO(IUnknown *pElement, VARIANT vtEventData, IWebObj2 *pParentAO,
                           IWebObj2 **ppRecordAO) override;
  // IWIKitFactoryEx2
  STDMETHODIMP NewContainedAO(IUnknown *pElement, IWebObj2 *pParentAO, IWebObj2 **ppAO) override;
  STDMETHODIMP IsKitElement(IUnknown *pElement, IWebObj2 *pParentAO,
                            VARIANT_BOOL *pbIsKitElement) override;

  // The event data of GetRecordAO: VT_EMPTY or an array of variants holding
  // the event name, x, y and the window handle; missing items read as empty
  // or 0. False for any other VARIANT.
  static bool ReadEventData(const VARIANT &data, tagWIEventData &event);

protected:
  virtual ~CWIKitFactoryImpl() = default;

  virtual CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> NewDefaultAOImpl(IUnknown *element, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> NewFrameAOImpl(IWebObj2 *coreFrame, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> GetRecordAOImpl(IUnknown *element, const tagWIEventData &event,
                                               IWebObj2 *parent, bool &known);
  virtual CQilComPtr<IWebObj2> NewContainedAOImpl(IUnknown *element, IWebObj2 *parent);
  virtual bool IsKitElementImpl(IUnknown *element, IWebObj2 *parent);
};

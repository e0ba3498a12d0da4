// The Internet Explorer layer of the kit factory: every operation of
// CWIKitFactoryImpl first asks its element for IHTMLElement and then calls a
// typed operation. At this level every typed operation answers none.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include "recognition/WIKitFactoryImpl.h"

class CWIKitFactoryIEImpl : public CWIKitFactoryImpl {
protected:
  ~CWIKitFactoryIEImpl() override = default;

  CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent) override;
  CQilComPtr<IWebObj2> NewDefaultAOImpl(IUnknown *element, IWebObj2 *parent) override;
  CQilComPtr<IWebObj2> NewFrameAOImpl(IWebObj2 *coreFrame, IWebObj2 *parent) override;
  CQilComPtr<IWebObj2> GetRecordAOImpl(IUnknown *element, const tagWIEventData &event,
                                       IWebObj2 *parent, bool &known) override;
  CQilComPtr<IWebObj2> NewContainedAOImpl(IUnknown *element, IWebObj2 *parent) override;
  bool IsKitElementImpl(IUnknown *element, IWebObj2 *parent) override;

  virtual CQilComPtr<IWebObj2> NewElementAO(IHTMLElement *element, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> NewDefaultElementAO(IHTMLElement *element, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> NewFrameElementAO(IHTMLElement *element, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> NewContainedElementAO(IHTMLElement *element, IWebObj2 *parent);
  virtual bool IsKitHTMLElement(IHTMLElement *element, IWebObj2 *parent);
  virtual CQilComPtr<IWebObj2> GetRecordElementAO(IHTMLElement *element,
                                                  const tagWIEventData &event, IWebObj2 *parent,
                                                  bool &known);

  // The element's IHTMLElement; empty when it has none. A failure other than
  // E_NOINTERFACE is raised (CKitFactoryError) and answered as that HRESULT.
  static CQilComPtr<IHTMLElement> HTMLElementOf(IUnknown *element);
};

// The kit factory (coclass TallowickFactoryIE): recognises the Web Forms
// controls and the dynamic AOs inside them, and finds the kit AO that records
// a user event.
#pragma once

#include "kit/KitCom.h"
#include "recognition/WIKitFactoryIEImpl.h"

class CTallowickFactoryIE : public CWIKitFactoryIEImpl, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  // Resets the dynamic rule list and loads the built-in rules.
  CTallowickFactoryIE();

  static HRESULT Create(IUnknown *outer, REFIID riid, void **ppv);
  // Clears the process-wide rule list and adds "WbfUltraGridInner" (1032)
  // and "WbfTVLink" (1033).
  static void LoadBuiltInRules();

protected:
  // IUnknown and IWIKitFactoryEx; IWIKitFactoryEx2 is not offered.
  void *GetInterface(REFIID riid) override;

  CQilComPtr<IWebObj2> NewElementAO(IHTMLElement *element, IWebObj2 *parent) override;
  CQilComPtr<IWebObj2> GetRecordElementAO(IHTMLElement *element, const tagWIEventData &event,
                                          IWebObj2 *parent, bool &known) override;

  // Marks an AO made directly under a view-link frame (-3) and one made
  // under such an AO (-4) in its runtime id's inner object type id.
  static void MarkViewLinkDepth(IWebObj2 *ao, IWebObj2 *parent);
};

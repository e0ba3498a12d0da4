// The kit object (coclass TallowickIE): the object the host creates first and
// initialises with its kits manager.
#pragma once

#include "TallowickIE_h.h"
#include "kit/KitCom.h"

inline constexpr LONG kTallowickKitId = 4;
inline constexpr const wchar_t *kTallowickKitName = L"Tallowick for IE";

struct KitWebClass {
  LONG id;
  const wchar_t *name;
};
// The kit's web classes, registered with agent services in this order.
inline constexpr KitWebClass kKitWebClasses[] = {
    {1025, L"WbfTabStrip"}, {1026, L"WbfToolbar"}, {1027, L"WbfTreeView"},
    {1028, L"WbfCalendar"}, {1029, L"WbfGrid"},    {1030, L"WbfUltraGrid"},
};

class CTallowickIE : public IWIKit2, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  // IWIKit
  STDMETHODIMP Initialize(IUnknown *pKitsManager) override;
  STDMETHODIMP Terminate() override;
  STDMETHODIMP GetKitID(LONG *plKitID) override;
  STDMETHODIMP GetKitName(BSTR *pbsKitName) override;

  static HRESULT Create(IUnknown *outer, REFIID riid, void **ppv);

protected:
  void *GetInterface(REFIID riid) override;
};

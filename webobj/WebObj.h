// The identity of an agent object (run-time id, kit id, web classes), its
// link to the parent agent object, the stored children and the update guard.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "support/QilComPtr.h"
#include "webobj/WebObjBase.h"

// Orders child run-time ids by inner object, frame, type and standard-window
// id, each as a signed 32-bit number; a missing id orders first.
struct CWebRunTimeIDLess {
  bool operator()(const CQilComPtr<IWebRunTimeID> &a, const CQilComPtr<IWebRunTimeID> &b) const;
};

class CWebObj : public CWebObjBase {
public:
  CWebObj(IUnknown *element, IWebObj2 *parent);
  ~CWebObj() override;

  // Identity
  STDMETHODIMP ReleaseRefs() override;
  STDMETHODIMP SetId(IWebRunTimeID *pRTID) override;
  STDMETHODIMP GetId(IWebRunTimeID **ppRTID) override;
  STDMETHODIMP GetIdRef(IWebRunTimeID **ppRTID) override;
  STDMETHODIMP SetKitId(LONG KitId) override;
  STDMETHODIMP GetKitID(LONG *pKitId) override;

  // Stored tree
  STDMETHODIMP SetParent(IWebObj2 *pAO) override;
  STDMETHODIMP AddChild(IWebObj2 *pAO) override;
  STDMETHODIMP RemoveChild(IWebObj2 *pAO) override;
  STDMETHODIMP RemoveAllChildren() override;
  STDMETHODIMP GetChildIndex(IWebObj2 *pAO, LONG *plIndex) override;

  // Web classes
  STDMETHODIMP SetWebClass(LONG Class) override;
  STDMETHODIMP CompareClass(LONG Class) override;
  STDMETHODIMP GetRecordableClass(LONG *pClass) override;
  STDMETHODIMP ResetWebClass() override;
  STDMETHODIMP SetWebClassSet(IWIClassSet *pClassSet) override;
  STDMETHODIMP GetWebClassSet(IWIClassSet **ppClassSet) override;

  // Update
  STDMETHODIMP CallUpdate() override;
  STDMETHODIMP UpdateChildren() override;
  STDMETHODIMP IsLockedForUpdate() override;
  STDMETHODIMP IsStandAlone() override;

protected:
  using ChildMap = std::map<CQilComPtr<IWebRunTimeID>, CQilComPtr<IWebObj2>, CWebRunTimeIDLess>;
  using ChildList = std::vector<CQilComPtr<IWebObj2>>;

  // Creates whichever of the child list and map is missing; answers whether
  // both exist.
  bool CreateVectorAndMaps();

  CQilComPtr<IWebObj2> m_spParent;
  std::unique_ptr<ChildMap> m_pChildMap;
  std::unique_ptr<ChildList> m_pChildList;
  CQilComPtr<IWebRunTimeID> m_spRunTimeId;
  CQilComPtr<IWIClassSet> m_spClassSet;
  BYTE m_bKitId = 0xFF;
  BOOL m_bStandAlone = FALSE;
  BOOL m_bUpdateInProgress = FALSE;
  IUnknown *m_pElement = nullptr; // no reference of its own
};

#include "recognition/TallowickFactoryIE.h"

#include "recognition/DAORuleList.h"
#include "recognition/GenericDAORule.h"
#include "recognition/WfKitUtil.h"
#include "webobj/HostServices.h"

namespace {

constexpr LONG kViewLinkFrameClass = 28;
constexpr LONG kViewLinkFrameGrandchildType = -4;
constexpr LONG kUltraGridClass = 1030;
constexpr LONG kTreeViewClass = 1027;
constexpr LONG kUltraGridInnerRule = 1032;
constexpr LONG kTreeViewLinkRule = 1033;

LONG InnerObjectType(IWebRunTimeID *id) {
  LONG type = 0;
  if (id == nullptr || FAILED(id->GetInnerObjTypeId(&type)))
    return 0;
  return type;
}

} // namespace

CTallowickFactoryIE::CTallowickFactoryIE() { LoadBuiltInRules(); }

HRESULT CTallowickFactoryIE::Create(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateKitObject<CTallowickFactoryIE>(outer, riid, ppv);
}

void CTallowickFactoryIE::LoadBuiltInRules() {
  CDAORuleList &rules = CDAORuleList::Instance();
  rules.Reset();
  rules.AddRule(CGenericDAORule(kUltraGridClass, L"THEAD,TH,TR,TD,TABLE,IMG", kRuleMustContain,
                                nullptr, kRuleNotTested),
                CQilBstr(L"WbfUltraGridInner"), kUltraGridInnerRule);
  rules.AddRule(
      CGenericDAORule(kTreeViewClass, L"A", kRuleMustContain, L"_tnaccess", kRuleMustNotContain),
      CQilBstr(L"WbfTVLink"), kTreeViewLinkRule);
}

void *CTallowickFactoryIE::GetInterface(REFIID riid) {
  if (riid == IID_IWIKitFactoryEx)
    return static_cast<IWIKitFactoryEx *>(this);
  return nullptr;
}

CQilComPtr<IWebObj2> CTallowickFactoryIE::NewElementAO(IHTMLElement *element, IWebObj2 *parent) {
  if (element == nullptr || parent == nullptr)
    return {};
  CQilComPtr<IWebObj2> ao = CWfKitUtil::Instance().CreateControlAO(element, parent);
  if (!ao)
    ao = CDAORuleList::Instance().MatchRules(element, parent);
  if (!ao)
    return {};
  MarkViewLinkDepth(ao, parent);
  return ao;
}

void CTallowickFactoryIE::MarkViewLinkDepth(IWebObj2 *ao, IWebObj2 *parent) {
  CQilComPtr<IWebRunTimeID> id;
  if (FAILED(ao->GetId(&id)) || !id)
    return;
  if (parent->CompareClass(kViewLinkFrameClass) == S_OK) {
    id->SetInnerObjTypeId(kViewLinkFrameChildType);
    ao->SetId(id);
    return;
  }
  CQilComPtr<IWebRunTimeID> parentId;
  if (SUCCEEDED(parent->GetId(&parentId)) && InnerObjectType(parentId) == kViewLinkFrameChildType) {
    id->SetInnerObjTypeId(kViewLinkFrameGrandchildType);
    ao->SetId(id);
    return;
  }
  // An element AO starts with a copy of its parent's id: a mark copied from
  // a parent further down than one level is not this AO's.
  LONG own = InnerObjectType(id);
  if (own != kViewLinkFrameChildType && own != kViewLinkFrameGrandchildType)
    return;
  id->SetInnerObjTypeId(0);
  ao->SetId(id);
}

CQilComPtr<IWebObj2> CTallowickFactoryIE::GetRecordElementAO(IHTMLElement *element,
                                                             const tagWIEventData &,
                                                             IWebObj2 *parent, bool &) {
  if (element == nullptr || parent == nullptr)
    return {};
  CQilComPtr<IWebObj2> hostAO = HostServices::GetHostAO(element, parent, VARIANT_TRUE);
  return CWfKitUtil::Instance().FindRecordAO(hostAO, parent);
}

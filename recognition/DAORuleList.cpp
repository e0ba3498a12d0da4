#include "recognition/DAORuleList.h"

#include <new>

#include "recognition/GenericDAORule.h"
#include "recognition/WfDynamicAO.h"
#include "recognition/WfKitUtil.h"
#include "webobj/HostServices.h"

namespace {

constexpr LONG kViewLinkFrameClass = 28;

// Clears the busy flag on every way out.
class CBusyGuard {
public:
  explicit CBusyGuard(bool &busy) : busy_(busy) { busy_ = true; }
  ~CBusyGuard() { busy_ = false; }
  CBusyGuard(const CBusyGuard &) = delete;
  CBusyGuard &operator=(const CBusyGuard &) = delete;

private:
  bool &busy_;
};

CQilComPtr<IHTMLElement> ParentOf(IHTMLElement *element) {
  CQilComPtr<IHTMLElement> parent;
  if (FAILED(element->get_parentElement(&parent)))
    parent.Release();
  return parent;
}

// The kit AO that owns the view-link frame `parent`, seen from a temporary
// element AO of the element.
CQilComPtr<IWebObj2> ViewLinkOwner(IHTMLElement *element, IWebObj2 *parent) {
  CQilComPtr<IWebObj2> temporary;
  CQilComPtr<IWebObj2> frame;
  CQilComPtr<IWIViewLinkFrameAO> viewLinkFrame;
  CQilComPtr<IWebObj2> owner;
  if (FAILED(CreateWebObject<CIE4Obj>(&temporary, static_cast<IUnknown *>(element), parent)) ||
      FAILED(temporary->GetParentFrame(&frame)) || !frame ||
      FAILED(viewLinkFrame.QueryFrom(frame)) || !viewLinkFrame ||
      FAILED(viewLinkFrame->GetOwnerAO(&owner)) || !CWfKitUtil::IsKitAO(owner))
    owner.Release();
  return owner;
}

} // namespace

CDAORuleList &CDAORuleList::Instance() {
  static CDAORuleList list;
  return list;
}

void CDAORuleList::Reset() { m_entries.clear(); }

HRESULT CDAORuleList::AddRule(const CDAORecognitionRule &rule, BSTR name, LONG id) {
  HRESULT hr = HostServices::RegisterWebClass(id, name);
  if (FAILED(hr))
    return hr;
  Entry entry;
  entry.name = name;
  entry.rule = rule.Clone();
  entry.id = id;
  if (!entry.rule || (name != nullptr && !entry.name))
    return E_OUTOFMEMORY;
  try {
    m_entries.push_back(std::move(entry));
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

CQilComPtr<IWebObj2> CDAORuleList::MatchRules(IHTMLElement *element, IWebObj2 *parent) {
  return Match(element, parent, true);
}

CQilComPtr<IWebObj2> CDAORuleList::MatchRulesWithoutShortcuts(IHTMLElement *element,
                                                              IWebObj2 *parent) {
  return Match(element, parent, false);
}

CQilComPtr<IWebObj2> CDAORuleList::Match(IHTMLElement *element, IWebObj2 *parent, bool shortcuts) {
  if (m_bBusy)
    return {};
  CBusyGuard guard(m_bBusy);
  if (element == nullptr || parent == nullptr)
    return {};
  bool inViewLink = parent->CompareClass(kViewLinkFrameClass) == S_OK;
  if (shortcuts && !MayMatch(element, !inViewLink))
    return {};
  CQilComPtr<IWebObj2> container =
      inViewLink ? ViewLinkOwner(element, parent) : FindContainer(element, parent);
  if (!container)
    return {};
  return CreateDynamicAO(element, parent, container);
}

// Shortcuts, valid while every rule is a generic one: an element whose tag no
// rule accepts matches no rule whatever its container; outside a view-link
// frame, neither does one without an ancestor that could become a control of
// a class that some rule asks of its container.
bool CDAORuleList::MayMatch(IHTMLElement *element, bool searchAncestors) const {
  std::vector<LONG> classes;
  CQilBstr tag;
  element->get_tagName(&tag);
  for (const Entry &entry : m_entries) {
    auto *generic = dynamic_cast<const CGenericDAORule *>(entry.rule.get());
    if (generic == nullptr)
      return true;
    if (generic->MayMatchTag(tag.Text()))
      classes.push_back(generic->ContainerClass());
  }
  if (classes.empty())
    return false;
  if (!searchAncestors)
    return true;
  for (CQilComPtr<IHTMLElement> at = ParentOf(element); at; at = ParentOf(at)) {
    if (CWfKitUtil::MayCreateControlOfClass(at, classes))
      return true;
  }
  return false;
}

CQilComPtr<IWebObj2> CDAORuleList::FindContainer(IHTMLElement *element, IWebObj2 *parent) const {
  const CWfKitUtil &util = CWfKitUtil::Instance();
  for (CQilComPtr<IHTMLElement> at = ParentOf(element); at; at = ParentOf(at)) {
    if (CQilComPtr<IWebObj2> container = util.CreateControlAO(at, parent))
      return container;
  }
  return {};
}

CQilComPtr<IWebObj2> CDAORuleList::CreateDynamicAO(IHTMLElement *element, IWebObj2 *parent,
                                                   IWebObj2 *container) const {
  CQilComPtr<IWebObj2> ao;
  for (const Entry &entry : m_entries) {
    if (!entry.rule->Matches(element, container))
      continue;
    CreateWebObject<CWfDynamicAO>(&ao, entry.id, static_cast<IUnknown *>(element), parent);
    return ao;
  }
  return ao;
}

#include "recognition/GenericDAORule.h"

#include <new>
#include <string_view>

CGenericDAORule::CGenericDAORule(LONG containerClass, LPCOLESTR tagList, LONG tagMode,
                                 LPCOLESTR idText, LONG idMode)
    : m_lContainerClass(containerClass), m_bstrTagList(tagList), m_lTagMode(tagMode),
      m_bstrIdText(idText), m_lIdMode(idMode) {}

std::unique_ptr<CDAORecognitionRule> CGenericDAORule::Clone() const {
  return std::unique_ptr<CDAORecognitionRule>(new (std::nothrow) CGenericDAORule(*this));
}

bool CGenericDAORule::IsListItem(LPCOLESTR list, LPCOLESTR tag) {
  std::wstring_view items(list != nullptr ? list : L"");
  std::wstring_view name(tag != nullptr ? tag : L"");
  if (name.empty())
    return false;
  for (size_t at = items.find(name); at != std::wstring_view::npos; at = items.find(name, at + 1)) {
    size_t end = at + name.size();
    bool starts = at == 0 || items[at - 1] == L',';
    bool ends = end == items.size() || items[end] == L',';
    if (starts && ends)
      return true;
  }
  return false;
}

bool CGenericDAORule::TagPasses(LPCOLESTR tag) const {
  if (tag == nullptr || *tag == L'\0')
    return false;
  bool listed = IsListItem(m_bstrTagList.Text(), tag);
  if (listed && m_lTagMode == kRuleMustNotContain)
    return false;
  return listed || m_lTagMode != kRuleMustContain;
}

bool CGenericDAORule::MayMatchTag(LPCOLESTR tag) const {
  return m_lTagMode == kRuleNotTested || TagPasses(tag);
}

bool CGenericDAORule::IdPasses(IHTMLElement *element) const {
  if (m_lIdMode == kRuleNotTested)
    return true;
  CQilBstr id;
  if (FAILED(element->get_id(&id)) || id.IsEmpty())
    return m_lIdMode == kRuleMustNotContain;
  std::wstring_view text(id.Text(), id.Length());
  std::wstring_view wanted(m_bstrIdText.Text(), m_bstrIdText.Length());
  bool found = text.find(wanted) != std::wstring_view::npos;
  if (found && m_lIdMode == kRuleMustNotContain)
    return false;
  return found || m_lIdMode != kRuleMustContain;
}

bool CGenericDAORule::Matches(IHTMLElement *element, IWebObj2 *container) const {
  if (element == nullptr || container == nullptr)
    return false;
  LONG recordable = 0;
  if (FAILED(container->GetRecordableClass(&recordable)) || recordable != m_lContainerClass)
    return false;
  if (m_lTagMode != kRuleNotTested) {
    CQilBstr tag;
    if (FAILED(element->get_tagName(&tag)) || !TagPasses(tag.Text()))
      return false;
  }
  return IdPasses(element);
}

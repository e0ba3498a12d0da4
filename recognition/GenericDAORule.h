// The rule of the built-in dynamic AOs: the container's recordable class, the
// element's tag in or out of a comma-separated list, and a text in or out of
// the element's id.
#pragma once

#include "recognition/DAORecognitionRule.h"
#include "support/QilBstr.h"

// Tag and id modes.
inline constexpr LONG kRuleNotTested = 0;
inline constexpr LONG kRuleMustContain = 1;
inline constexpr LONG kRuleMustNotContain = 2;

class CGenericDAORule : public CDAORecognitionRule {
public:
  CGenericDAORule(LONG containerClass, LPCOLESTR tagList, LONG tagMode, LPCOLESTR idText,
                  LONG idMode);

  bool Matches(IHTMLElement *element, IWebObj2 *container) const override;
  std::unique_ptr<CDAORecognitionRule> Clone() const override;

  LONG ContainerClass() const { return m_lContainerClass; }
  // False when the tag test alone rules an element of this tag out.
  bool MayMatchTag(LPCOLESTR tag) const;
  // Whether `tag` is an item of the comma-separated `list` (case-sensitive).
  static bool IsListItem(LPCOLESTR list, LPCOLESTR tag);

private:
  bool TagPasses(LPCOLESTR tag) const;
  bool IdPasses(IHTMLElement *element) const;

  LONG m_lContainerClass;
  CQilBstr m_bstrTagList;
  LONG m_lTagMode;
  CQilBstr m_bstrIdText;
  LONG m_lIdMode;
};

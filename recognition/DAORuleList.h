// The process-wide list of dynamic AO recognition rules, consulted for every
// element that no control recognised: it looks for the kit control the
// element lies in (its container) and gives the element a dynamic AO of the
// first rule that matches.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <memory>
#include <vector>

#include "TallowickIE_h.h"
#include "recognition/DAORecognitionRule.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"

class CDAORuleList {
public:
  CDAORuleList() = default;
  CDAORuleList(const CDAORuleList &) = delete;
  CDAORuleList &operator=(const CDAORuleList &) = delete;

  // The process-wide list, created on first call and kept until unload.
  static CDAORuleList &Instance();

  void Reset();
  // Registers the web class (id, name) with the host and appends a copy of
  // the rule; nothing is added when the registration fails.
  HRESULT AddRule(const CDAORecognitionRule &rule, BSTR name, LONG id);
  size_t Count() const { return m_entries.size(); }

  // The dynamic AO of the element, or empty. Re-entrant calls answer empty.
  CQilComPtr<IWebObj2> MatchRules(IHTMLElement *element, IWebObj2 *parent);
  // The same without the cheap pre-tests that rule an element out early.
  CQilComPtr<IWebObj2> MatchRulesWithoutShortcuts(IHTMLElement *element, IWebObj2 *parent);

private:
  struct Entry {
    CQilBstr name;
    std::unique_ptr<CDAORecognitionRule> rule;
    LONG id = 0;
  };

  CQilComPtr<IWebObj2> Match(IHTMLElement *element, IWebObj2 *parent, bool shortcuts);
  // False when no rule can match the element whatever its container.
  bool MayMatch(IHTMLElement *element, bool searchAncestors) const;
  CQilComPtr<IWebObj2> FindContainer(IHTMLElement *element, IWebObj2 *parent) const;
  CQilComPtr<IWebObj2> CreateDynamicAO(IHTMLElement *element, IWebObj2 *parent,
                                       IWebObj2 *container) const;

  std::vector<Entry> m_entries;
  bool m_bBusy = false;
};

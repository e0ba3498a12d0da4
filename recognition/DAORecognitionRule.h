// A recognition rule for dynamic AOs: decides whether an element inside a
// kit control (its container AO) gets a dynamic AO.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <memory>

#include "TallowickIE_h.h"

class CDAORecognitionRule {
public:
  virtual ~CDAORecognitionRule() = default;

  virtual bool Matches(IHTMLElement *element, IWebObj2 *container) const = 0;
  // A new copy of the rule; empty when out of memory.
  virtual std::unique_ptr<CDAORecognitionRule> Clone() const = 0;
};

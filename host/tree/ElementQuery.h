// Element queries over the DOM: a common subset of XPath and of CSS
// selectors, and the XPath that identifies an element.
//
// XPath: steps separated by "/" (child) or "//" (descendant); a path that
// starts with "/" starts at the document, any other at the query's root
// element. A step is a tag name, "*" or "."; predicates [@attr='v'],
// [@attr="v"], [@attr] and positional [n] (1-based, among the step's matches
// under one parent), in any number and order.
// CSS: compound selectors of a type or "*", "#id", ".class", "[attr]",
// "[attr=v]" (v quoted or not), joined by descendant (space) and child (">")
// combinators; groups separated by ",".
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>
#include <vector>

#include "values/ValueHelpers.h"

namespace host::tree {

// The elements under `root` (not `root` itself) that match the XPath and the
// CSS selector (an empty one matches everything), in document order, at most
// `max` of them (a negative max: all). E_INVALIDARG for a selector outside the
// subset; S_OK otherwise, also when nothing matches.
HRESULT QueryElements(IHTMLElement *root, const std::wstring &xpath, const std::wstring &css,
                      LONG max, std::vector<ComPtr<IHTMLElement>> &found);

// An absolute XPath that finds the element again in its document, such as
// "/HTML/BODY[1]/FORM[1]/A[2]"; with "[@id='x']" for the last step when the
// element has an id.
std::wstring XPathOf(IHTMLElement *element);

} // namespace host::tree

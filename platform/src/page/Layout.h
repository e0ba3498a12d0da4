// The box layout of a page: every geometry answer of the page objects
// (offset*, client*, scroll* sizes, getBoundingClientRect, elementFromPoint,
// scrollIntoView, the --geometry output) comes from here. Layout.cpp documents
// the model.
#pragma once

#include "page/Dom.h"

namespace tallowick::page {

// The viewport of a top-level document.
constexpr long kViewportWidth = 1024;
constexpr long kViewportHeight = 768;

struct LayoutBox {
  long left = 0; // border box relative to the offset parent
  long top = 0;
  long width = 0;
  long height = 0;
  long clientLeft = 0; // padding box within the border box
  long clientTop = 0;
  long clientWidth = 0;
  long clientHeight = 0;
  long scrollWidth = 0; // content extent
  long scrollHeight = 0;
};

struct ViewportRect {
  long left = 0, top = 0, right = 0, bottom = 0;
};

LayoutBox BoxOf(const Node &element);
// The border box relative to the viewport of the element's frame.
ViewportRect ClientRectOf(const Node &element);
Node *OffsetParentOf(const Node &element);
// Clamps a scroll offset to what the element's content allows.
long ClampScroll(const Node &element, long value, bool vertical);
// Scrolls the element's scrolling ancestors and the document so that the
// element is in view: its top at the top (alignTop) or its bottom at the bottom.
void ScrollIntoView(Node &element, bool alignTop);
// The topmost element under a point of the document's viewport; null if none.
Node *ElementFromPoint(PageDocument &document, long x, long y);

} // namespace tallowick::page

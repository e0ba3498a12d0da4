#include "page/Layout.h"

namespace tallowick::page {

// LAYOUT HOOK: the box model replaces these answers.
LayoutBox BoxOf(const Node &) { return {}; }

ViewportRect ClientRectOf(const Node &) { return {}; }

Node *OffsetParentOf(const Node &element) {
  if (element.Is(L"BODY") || element.Is(L"HTML") || !element.document)
    return nullptr;
  Node *body = element.document->Body();
  return body && body->Contains(&element) ? body : nullptr;
}

// The box model limits the offset to the content's overflow; without it only
// negative offsets are refused.
long ClampScroll(const Node &, long value, bool) { return value < 0 ? 0 : value; }

} // namespace tallowick::page

// Rectangle arithmetic and the system metrics of the stand-in display.
#include <windows.h>

#include <algorithm>

namespace {

bool Empty(const RECT &r) { return r.left >= r.right || r.top >= r.bottom; }

} // namespace

extern "C" {

// A 1920x1080 screen with the classic 17-pixel scroll bars; other metrics are 0.
int WINAPI GetSystemMetrics(int nIndex) {
  switch (nIndex) {
  case SM_CXSCREEN:
    return 1920;
  case SM_CYSCREEN:
    return 1080;
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
    return 17;
  default:
    return 0;
  }
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (lprc == nullptr)
    return FALSE;
  *lprc = {xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT *lprcSrc) {
  if (lprcDst == nullptr || lprcSrc == nullptr)
    return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT *lprc) { return lprc == nullptr || Empty(*lprc); }

BOOL WINAPI EqualRect(const RECT *lprc1, const RECT *lprc2) {
  if (lprc1 == nullptr || lprc2 == nullptr)
    return FALSE;
  return lprc1->left == lprc2->left && lprc1->top == lprc2->top && lprc1->right == lprc2->right &&
         lprc1->bottom == lprc2->bottom;
}

BOOL WINAPI PtInRect(const RECT *lprc, POINT pt) {
  if (lprc == nullptr)
    return FALSE;
  return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (lprc == nullptr)
    return FALSE;
  lprc->left += dx;
  lprc->right += dx;
  lprc->top += dy;
  lprc->bottom += dy;
  return TRUE;
}

// Empty or disjoint sources give an empty rectangle and FALSE.
BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT *lprcSrc1, const RECT *lprcSrc2) {
  if (lprcDst == nullptr)
    return FALSE;
  if (lprcSrc1 == nullptr || lprcSrc2 == nullptr || Empty(*lprcSrc1) || Empty(*lprcSrc2)) {
    SetRectEmpty(lprcDst);
    return FALSE;
  }
  RECT r{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
         std::min(lprcSrc1->right, lprcSrc2->right), std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
  if (Empty(r)) {
    SetRectEmpty(lprcDst);
    return FALSE;
  }
  *lprcDst = r;
  return TRUE;
}

// An empty source does not count; two empty sources give an empty rectangle and FALSE.
BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT *lprcSrc1, const RECT *lprcSrc2) {
  if (lprcDst == nullptr)
    return FALSE;
  bool empty1 = lprcSrc1 == nullptr || Empty(*lprcSrc1);
  bool empty2 = lprcSrc2 == nullptr || Empty(*lprcSrc2);
  if (empty1 && empty2) {
    SetRectEmpty(lprcDst);
    return FALSE;
  }
  if (empty1 || empty2) {
    *lprcDst = empty1 ? *lprcSrc2 : *lprcSrc1;
    return TRUE;
  }
  *lprcDst = {std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
              std::max(lprcSrc1->right, lprcSrc2->right),
              std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
  return TRUE;
}

} // extern "C"

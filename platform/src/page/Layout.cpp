// The layout model. It is a model, not a renderer: every rule below is fixed
// so that geometry answers are exact and tests can pin them.
//
// Coordinates are whole pixels. Boxes are laid out in document coordinates
// (before any scrolling) and scroll offsets are applied when a rectangle is
// asked for, so scrolling never invalidates the layout.
//
// Document and viewport
// - A top-level document's viewport is 1024x768; a frame's viewport is its
//   frame element's client box. The document itself shows no scrollbars.
// - HTML is the viewport-wide box at (0,0); BODY is at (8,8) (its default
//   margin), as wide as the viewport less 16 (or its CSS width), as tall as
//   its content (or its CSS height); HTML is 16 taller than BODY.
// - The document's scroll offset is HTML's plus BODY's scrollLeft/scrollTop;
//   both report the viewport as their client size and the document's extent
//   (at least the viewport) as their scroll size.
// - A FRAMESET fills the viewport and splits it by its rows and cols lengths
//   (pixels, percentages, then * shares of what is left); its FRAMEs and
//   nested FRAMESETs fill the cells row by row.
//
// Flow
// - CSS margins, paddings and borders are not modelled; only BODY's margin,
//   the table attributes and frame borders below give insets.
// - Block-level elements stack vertically from the top of their container's
//   content box, as wide as that box unless CSS width is given; their height is
//   their content's unless CSS height is given. An empty block is 0 high.
// - Inline content flows in lines: every character is 8 wide, a line is 16
//   high, or as high as its tallest inline-block or replaced element. Runs of
//   white space collapse to one space (none at the start of a line); a word
//   that does not fit moves to the next line, and a word longer than the line
//   overflows it. PRE, TEXTAREA, XMP and LISTING keep white space and break
//   only at line feeds. Items on a line are aligned at its top.
// - BR ends the line (an empty line is still 16 high). An inline element's box
//   is the bounding box of what it holds (0 wide and 16 high when empty).
// - display:none gives no box to the element and its descendants;
//   visibility:hidden keeps the box (hit testing skips it).
// - Replaced and fixed-size elements (width/height attributes, then CSS
//   width/height, override the defaults): IMG 24x24; IFRAME 300x150 with a
//   2-pixel border (none with frameborder="0"); INPUT text and password
//   150x22 (size*8+6 wide with a size attribute), file 220x22, checkbox and
//   radio 13x13, button/submit/reset 16 wider than their label, 22 high,
//   image 24x24, hidden no box; SELECT 24 wider than its longest option, 22
//   high, or 16 per visible row plus 4 with size > 1 or multiple (4 rows);
//   TEXTAREA cols*8+21 by rows*16+4 (20 and 2 by default); BUTTON 16 wider
//   than its content, at least 22 high; OBJECT, EMBED and APPLET 0x0.
//   display:inline-block elements take their CSS width or shrink to fit.
// - Nesting deeper than 200 elements lays out no boxes below that depth.
//
// Positioning (lengths in px, %, em = 16px, pt, in, cm, mm)
// - position:relative lays the element out in the flow, then moves it and
//   its descendants by left/top (or -right/-bottom) without moving others.
// - position:absolute leaves the flow. Its containing block is the padding
//   box of the nearest positioned ancestor, else the viewport at (0,0):
//   left/top place it there, right/bottom against that box's far edges, and
//   without either it stays where it would have been in the flow. Without
//   CSS width it is as wide as left and right allow, else it shrinks to fit.
//   position:fixed is absolute against the viewport and ignores the
//   document's scroll.
// - offsetParent (IE's rules): the nearest positioned ancestor, or for a
//   static element the nearest TD, TH or TABLE, else BODY; none for BODY,
//   HTML, fixed elements and elements without a box. offsetLeft/Top are
//   relative to the offsetParent's padding box, or the document when it is
//   BODY; BODY's own are 0.
//
// Tables
// - Rows are THEAD's, then TBODY's and the table's own in order, then TFOOT's;
//   cells take grid slots row by row, spanning colspan columns and rowspan rows
//   (0 spans to the end of the section). A CAPTION sits above the grid,
//   inside the table's box.
// - border=N (1 when empty) frames the table with N pixels and each cell with
//   1; cellspacing (default 2) separates cells and the table's edges;
//   cellpadding (default 1) insets each cell's content.
// - Column widths follow the cells' content: each column is at least its
//   widest word or fixed-size element and at most its longest unwrapped line
//   (or a cell's width attribute or CSS width, if wider than its words); a
//   spanning cell widens its columns evenly. A table without a width is as wide
//   as its longest lines allow within its container, never narrower than its
//   words; a table width (px or % of the container) stretches the columns
//   evenly or narrows them towards their words.
// - A row is as high as its tallest cell (and its or its cells' height
//   attributes); a rowspan cell's extra height goes to its last row. Cell
//   content sits at the top of the cell. Row and section boxes span the grid.
//
// Scrolling
// - overflow (or overflow-x/-y) hidden, auto or scroll makes a container that
//   clips its content. scroll shows both scrollbars, auto one where content
//   overflows; a scrollbar is
//   GetSystemMetrics(SM_CXVSCROLL) = 17 wide and is taken from the client box.
//   Content is laid out beside a vertical scrollbar: overflow:auto with a CSS
//   height flows its content a second time when it overflows (one nested
//   inside 4 such containers keeps its content at the full width).
// - clientWidth/Height is the padding box less scrollbars; scrollWidth/Height
//   is the extent of the content (boxes of descendants, unless clipped by a
//   nearer container), at least the client size. scrollLeft/Top are clamped
//   to scroll size less client size (0 for containers that do not clip), also
//   when the content shrinks later.
// - getBoundingClientRect is the border box less the scroll offsets of every
//   clipping ancestor and of the document, relative to the frame's viewport.
// - Layout is recomputed on the first geometry question after any edit of the
//   document (its revision) or of the frame's size.
#include "page/Layout.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <unordered_map>
#include <vector>

#include "tallowick/Strings.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using platform::EqualsNoCase;

namespace layout {

enum class Display {
  None,
  Inline,
  Block,
  InlineBlock,
  Table,
  Row,
  Cell,
  Section,
  Caption,
  Replaced,
  Break,
  Frameset
};
enum class Position { Static, Relative, Absolute, Fixed };

struct Box {
  long x = 0, y = 0, w = 0, h = 0;          // border box, document coordinates
  long border = 0;                          // the same on every side
  long contentRight = 0, contentBottom = 0; // furthest extent of the content
  long clientW = 0, clientH = 0, scrollW = 0, scrollH = 0;
  Position position = Position::Static;
  bool clips = false, barsX = false, barsY = false, autoBars = false;
  bool layered = false; // positioned, or inside a positioned element
  bool fixed = false;   // fixed, or inside a fixed element
};

} // namespace layout

struct LayoutState {
  unsigned long revision = 0;
  unsigned long generation = 0;       // which computation this is
  unsigned long parentGeneration = 0; // of the parent document's layout it used
  long viewportW = 0, viewportH = 0;
  long documentW = 0, documentH = 0;
  std::unordered_map<const Node *, layout::Box> boxes;
};

namespace {

using namespace layout;

constexpr long kBodyMargin = 8;
constexpr long kCharWidth = 8;
constexpr long kLineHeight = 16;
constexpr int kMaxDepth = 200;
constexpr long kMaxLength = 10000000;
constexpr int kMaxColumns = 1000;
constexpr int kMaxRelayouts = 4;

unsigned long g_generation = 0;

long ScrollbarSize() { return GetSystemMetrics(SM_CXVSCROLL); }

std::wstring Lower(std::wstring s) {
  for (auto &c : s)
    if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c - L'A' + L'a');
  return s;
}

std::wstring Trim(const std::wstring &s) {
  size_t begin = s.find_first_not_of(L" \t\r\n\f");
  if (begin == std::wstring::npos)
    return {};
  size_t end = s.find_last_not_of(L" \t\r\n\f");
  return s.substr(begin, end - begin + 1);
}

// A CSS or attribute length in pixels; percentages of `base` (none when base < 0).
std::optional<long> Length(const std::wstring &text, long base) {
  std::wstring value = Lower(Trim(text));
  if (value.empty() || value == L"auto")
    return std::nullopt;
  wchar_t *end = nullptr;
  double number = std::wcstod(value.c_str(), &end);
  if (end == value.c_str() || !std::isfinite(number))
    return std::nullopt;
  std::wstring unit = Trim(end);
  double px = 0;
  if (unit.empty() || unit == L"px")
    px = number;
  else if (unit == L"%")
    px = base < 0 ? NAN : base * number / 100;
  else if (unit == L"em")
    px = number * kLineHeight;
  else if (unit == L"pt")
    px = number * 4 / 3;
  else if (unit == L"in")
    px = number * 96;
  else if (unit == L"cm")
    px = number * 96 / 2.54;
  else if (unit == L"mm")
    px = number * 96 / 25.4;
  else
    return std::nullopt;
  if (!std::isfinite(px))
    return std::nullopt;
  return std::clamp(std::lround(px), -kMaxLength, kMaxLength);
}

std::optional<long> Size(const std::wstring &text, long base) {
  auto value = Length(text, base);
  if (value && *value < 0)
    return std::nullopt;
  return value;
}

long Attribute(const Node &node, const wchar_t *name, long fallback, long low, long high) {
  if (!node.HasAttribute(name))
    return fallback;
  auto value = Length(node.AttributeValue(name), -1);
  return value ? std::clamp(*value, low, high) : fallback;
}

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}

struct Css {
  Display display = Display::Inline;
  Position position = Position::Static;
  std::wstring left, top, right, bottom, width, height;
  bool clips = false, barsX = false, barsY = false, autoBars = false;
  bool pre = false;
};

Display DisplayOf(const Node &node, const std::wstring &display) {
  static const wchar_t *const none[] = {L"NOSCRIPT", L"TEMPLATE", L"AREA",     L"MAP",
                                        L"PARAM",    L"META",     L"LINK",     L"BASE",
                                        L"OPTION",   L"OPTGROUP", L"COLGROUP", L"COL"};
  static const wchar_t *const replaced[] = {L"IMG",    L"INPUT",  L"SELECT", L"TEXTAREA", L"BUTTON",
                                            L"IFRAME", L"OBJECT", L"EMBED",  L"APPLET"};
  std::wstring value = Lower(Trim(display));
  if (value == L"none")
    return Display::None;
  for (const wchar_t *tag : none)
    if (node.Is(tag))
      return Display::None;
  if (node.Is(L"INPUT") && EqualsNoCase(Trim(node.AttributeValue(L"type")), L"hidden"))
    return Display::None;
  if (node.Is(L"BR"))
    return Display::Break;
  if (node.Is(L"FRAMESET"))
    return Display::Frameset;
  bool inlineLevel = value == L"inline" || value == L"inline-block" || value.empty();
  for (const wchar_t *tag : replaced)
    if (node.Is(tag))
      return inlineLevel ? Display::Replaced : Display::Block;
  if (value == L"block" || value == L"list-item" || value == L"run-in" || value == L"flex" ||
      value == L"grid")
    return Display::Block;
  if (value == L"table" || value == L"inline-table")
    return Display::Table;
  if (value == L"table-row")
    return Display::Row;
  if (value == L"table-cell")
    return Display::Cell;
  if (value == L"table-row-group" || value == L"table-header-group" ||
      value == L"table-footer-group")
    return Display::Section;
  if (value == L"table-caption")
    return Display::Caption;
  if (value == L"inline-block")
    return Display::InlineBlock;
  return Display::Inline;
}

struct Rect {
  long left, top, right, bottom;
};

// Inline formatting state of a block container's content box.
struct Flow {
  long left = 0, width = 0; // content box, document coordinates
  long top = 0;             // top of the current line
  long x = 0;               // cursor on the current line, from `left`
  long lineHeight = 0;
  bool open = false;  // something is on the current line
  bool space = false; // a collapsed space is pending
  bool pre = false;
  int inlineDepth = 0;   // inline elements open around the cursor
  size_t mergeFloor = 0; // fragments before this belong to enclosing elements only
  long right = 0;        // furthest right edge of the inline content
  std::vector<Rect> fragments;
};

// Min- and max-content widths while measuring.
struct Measure {
  long line = 0, max = 0, min = 0;
  bool space = false;
  bool pre = false;
  void Flush() {
    max = std::max(max, line);
    line = 0;
    space = false;
  }
};

struct Widths {
  long min = 0, max = 0;
};

struct Pending {
  const Node *node;
  long staticX, staticY;
  int depth;
  bool pre;
};

struct Grid {
  struct Cell {
    const Node *node;
    int row, col, rowSpan, colSpan;
  };
  std::vector<const Node *> captions;
  std::vector<std::vector<const Node *>> sections; // each a section's rows in order
  std::vector<const Node *> sectionNodes;          // null for the table's own rows
  std::vector<const Node *> rows;
  std::vector<Cell> cells;
  int columns = 0;
};

struct TableMetrics {
  long border, spacing, padding, cellBorder;
};

TableMetrics MetricsOf(const Node &table) {
  long border = 0;
  if (table.HasAttribute(L"border"))
    border =
        Trim(table.AttributeValue(L"border")).empty() ? 1 : Attribute(table, L"border", 0, 0, 1000);
  return {border, Attribute(table, L"cellSpacing", 2, 0, 1000),
          Attribute(table, L"cellPadding", 1, 0, 1000), border > 0 ? 1 : 0};
}

class Engine {
public:
  Engine(const PageDocument &document, LayoutState &state)
      : document_(document), state_(state), cascade_(document) {}

  void Run();

private:
  const Css &CssOf(const Node &node);
  Box &Record(const Node &node, const Css &css, long x, long y, long w, long h);
  void ShiftSubtree(const Node &node, long dx, long dy);

  // Lays out a block container with its border box at (x, y); returns its height.
  long LayoutContainer(const Node &node, const Css &css, long x, long y, long width,
                       std::optional<long> height, long border, long padding, int depth, bool pre);
  long LayoutBlockLevel(const Node &node, const Css &css, long x, long y, long available, int depth,
                        bool pre);
  template <class F> void Positioned(const Node &node, const Css &css, F layout);
  void LayoutAbsolute(const Pending &pending, Rect block);

  void FlowChildren(const Node &node, Flow &flow, int depth);
  void FlowNode(const Node &node, Flow &flow, int depth);
  void FlowText(const std::wstring &text, Flow &flow);
  void PlaceFragment(Flow &flow, long x, long w, long h);
  void EndLine(Flow &flow);
  void FlowAtomic(const Node &node, const Css &css, Flow &flow, int depth);
  // Lays out a replaced or inline-block element at (x, y); returns its height.
  long LayoutAtomic(const Node &node, const Css &css, long x, long y, long w, std::optional<long> h,
                    int depth, bool pre);

  // Replaced and inline-block sizes; height is empty when it follows the content.
  std::pair<long, std::optional<long>> AtomicSize(const Node &node, const Css &css, long available,
                                                  int depth);

  Widths WidthsOf(const Node &node, int depth);
  void MeasureChildren(const Node &node, Measure &measure, int depth);

  Grid BuildGrid(const Node &table);
  Widths TableWidths(const Node &table, int depth);
  std::vector<long> ColumnWidths(const Grid &grid, const TableMetrics &metrics, long target,
                                 bool stretch, int depth, std::vector<Widths> *columns);
  long LayoutTable(const Node &table, const Css &css, long x, long y, long available, int depth,
                   bool pre);

  void LayoutFrameset(const Node &frameset, Rect area, int depth);
  void ComputeExtents();

  const PageDocument &document_;
  LayoutState &state_;
  StyleCascade cascade_;
  std::unordered_map<const Node *, Css> css_;
  std::unordered_map<const Node *, Widths> widths_;
  std::vector<std::vector<Pending>> positioned_; // one list per open containing block
  int autoContainers_ = 0; // overflow:auto containers with a height being laid out
};

const Css &Engine::CssOf(const Node &node) {
  auto found = css_.find(&node);
  if (found != css_.end())
    return found->second;
  Css css;
  auto value = [&](const wchar_t *property) { return cascade_.Value(node, property); };
  css.display = DisplayOf(node, value(L"display"));
  std::wstring position = Lower(Trim(value(L"position")));
  if (position == L"relative")
    css.position = Position::Relative;
  else if (position == L"absolute")
    css.position = Position::Absolute;
  else if (position == L"fixed")
    css.position = Position::Fixed;
  if (css.position != Position::Static) {
    css.left = value(L"left");
    css.top = value(L"top");
    css.right = value(L"right");
    css.bottom = value(L"bottom");
  }
  css.width = value(L"width");
  css.height = value(L"height");
  std::wstring overflow = Lower(Trim(value(L"overflow")));
  auto axis = [&](const wchar_t *property) {
    std::wstring v = Lower(Trim(value(property)));
    return v.empty() || v == L"visible" ? overflow : v;
  };
  std::wstring x = axis(L"overflow-x"), y = axis(L"overflow-y");
  auto clipping = [](const std::wstring &v) {
    return v == L"hidden" || v == L"auto" || v == L"scroll";
  };
  css.clips = clipping(x) || clipping(y);
  css.barsX = x == L"scroll";
  css.barsY = y == L"scroll";
  css.autoBars = x == L"auto" || y == L"auto";
  std::wstring space = Lower(Trim(value(L"white-space")));
  css.pre = node.Is(L"PRE") || node.Is(L"TEXTAREA") || node.Is(L"XMP") || node.Is(L"LISTING") ||
            space == L"pre";
  return css_.emplace(&node, std::move(css)).first->second;
}

Box &Engine::Record(const Node &node, const Css &css, long x, long y, long w, long h) {
  Box &box = state_.boxes[&node];
  box.x = x;
  box.y = y;
  box.w = std::max(0L, w);
  box.h = std::max(0L, h);
  box.position = css.position;
  box.clips = css.clips;
  box.barsX = css.barsX;
  box.barsY = css.barsY;
  box.autoBars = css.autoBars;
  box.contentRight = x;
  box.contentBottom = y;
  const Node *parent = node.ParentElement();
  auto up = parent ? state_.boxes.find(parent) : state_.boxes.end();
  bool parentLayered = up != state_.boxes.end() && up->second.layered;
  bool parentFixed = up != state_.boxes.end() && up->second.fixed;
  box.layered = parentLayered || css.position != Position::Static;
  box.fixed = parentFixed || css.position == Position::Fixed;
  return box;
}

void Engine::ShiftSubtree(const Node &node, long dx, long dy) {
  if (!dx && !dy)
    return;
  auto shift = [&](const Node *n) {
    auto found = state_.boxes.find(n);
    if (found == state_.boxes.end())
      return;
    Box &box = found->second;
    box.x += dx;
    box.y += dy;
    box.contentRight += dx;
    box.contentBottom += dy;
  };
  shift(&node);
  for (Node *n : Descendants(&node))
    shift(n);
}

template <class F> void Engine::Positioned(const Node &node, const Css &css, F layout) {
  if (css.position == Position::Static) {
    layout();
    return;
  }
  positioned_.emplace_back();
  layout();
  std::vector<Pending> pending = std::move(positioned_.back());
  positioned_.pop_back();
  auto found = state_.boxes.find(&node);
  if (found == state_.boxes.end())
    return;
  const Box &box = found->second;
  Rect block{box.x + box.border, box.y + box.border, box.x + box.w - box.border,
             box.y + box.h - box.border};
  for (const Pending &item : pending)
    LayoutAbsolute(item, block);
  if (css.position != Position::Relative)
    return;
  long width = block.right - block.left;
  auto left = Length(css.left, width), right = Length(css.right, width);
  auto top = Length(css.top, -1), bottom = Length(css.bottom, -1);
  long dx = left ? *left : right ? -*right : 0;
  long dy = top ? *top : bottom ? -*bottom : 0;
  ShiftSubtree(node, dx, dy);
}

long Engine::LayoutContainer(const Node &node, const Css &css, long x, long y, long width,
                             std::optional<long> height, long border, long padding, int depth,
                             bool pre) {
  long inset = border + padding;
  bool barY = css.barsY;
  std::vector<size_t> marks; // pending absolutes before this container, kept on a second pass
  for (const auto &list : positioned_)
    marks.push_back(list.size());
  bool autoHeight = css.autoBars && !css.barsY && height;
  bool mayFlowAgain = autoHeight && autoContainers_ < kMaxRelayouts;
  if (autoHeight)
    ++autoContainers_;
  for (;;) {
    Flow flow;
    flow.left = x + inset;
    flow.top = y + inset;
    flow.width = std::max(0L, width - 2 * inset - (barY ? ScrollbarSize() : 0));
    flow.pre = pre || css.pre;
    flow.right = flow.left;
    Box &box = Record(node, css, x, y, width, height.value_or(0));
    box.border = border;
    box.barsY = barY;
    FlowChildren(node, flow, depth + 1);
    EndLine(flow);
    long content = flow.top - (y + inset);
    // overflow:auto with content taller than the box: the content makes room for the
    // vertical scrollbar and flows again (nested second passes are bounded).
    if (!barY && mayFlowAgain && content + 2 * inset > *height) {
      barY = true;
      for (size_t i = 0; i < marks.size() && i < positioned_.size(); ++i)
        positioned_[i].resize(std::min(positioned_[i].size(), marks[i]));
      continue;
    }
    if (autoHeight)
      --autoContainers_;
    long h = height ? *height : content + 2 * inset + (css.barsX ? ScrollbarSize() : 0);
    box.h = std::max(0L, h);
    box.contentRight = std::max(box.contentRight, flow.right);
    box.contentBottom = std::max(box.contentBottom, flow.top);
    return box.h;
  }
}

long Engine::LayoutBlockLevel(const Node &node, const Css &css, long x, long y, long available,
                              int depth, bool pre) {
  if (css.display == Display::Table)
    return LayoutTable(node, css, x, y, available, depth, pre);
  if (css.display == Display::Frameset) {
    LayoutFrameset(node, {x, y, x + available, y + state_.viewportH}, depth);
    return state_.viewportH;
  }
  long width = Size(css.width, available).value_or(available);
  return LayoutContainer(node, css, x, y, width, Size(css.height, -1), 0, 0, depth, pre);
}

void Engine::LayoutAbsolute(const Pending &pending, Rect block) {
  const Node &node = *pending.node;
  const Css &css = CssOf(node);
  long blockW = block.right - block.left, blockH = block.bottom - block.top;
  auto left = Length(css.left, blockW), right = Length(css.right, blockW);
  auto top = Length(css.top, blockH), bottom = Length(css.bottom, blockH);
  auto width = Size(css.width, blockW), height = Size(css.height, blockH);
  long x = left ? block.left + *left : pending.staticX;
  long available = right ? block.right - *right - (left ? x : block.left) : block.right - x;
  bool atomic = css.display == Display::Replaced;
  if (atomic) {
    auto size = AtomicSize(node, css, blockW, pending.depth);
    width = size.first;
    if (!height)
      height = size.second;
  } else if (!width && left && right) {
    width = std::max(0L, available);
  } else if (!width && css.display != Display::Table) {
    Widths content = WidthsOf(node, pending.depth);
    width = std::min(std::max(content.min, available), content.max);
  }
  long y = top ? block.top + *top : pending.staticY;
  if (top && bottom && !height)
    height = std::max(0L, blockH - *top - *bottom);
  Positioned(node, css, [&] {
    long h = 0;
    if (atomic)
      h = LayoutAtomic(node, css, x, y, width.value_or(0), height, pending.depth, pending.pre);
    else if (css.display == Display::Table)
      h = LayoutTable(node, css, x, y, width.value_or(available), pending.depth, pending.pre);
    else
      h = LayoutContainer(node, css, x, y, width.value_or(0), height, 0, 0, pending.depth,
                          pending.pre);
    auto found = state_.boxes.find(&node);
    long w = found == state_.boxes.end() ? 0 : found->second.w;
    ShiftSubtree(node, !left && right ? block.right - *right - w - x : 0,
                 !top && bottom ? block.bottom - *bottom - h - y : 0);
  });
}

void Engine::EndLine(Flow &flow) {
  if (flow.open)
    flow.top += flow.lineHeight;
  flow.x = 0;
  flow.lineHeight = 0;
  flow.open = false;
  flow.space = false;
}

void Engine::PlaceFragment(Flow &flow, long x, long w, long h) {
  flow.open = true;
  flow.lineHeight = std::max(flow.lineHeight, h);
  flow.right = std::max(flow.right, x + w);
  if (flow.inlineDepth == 0)
    return;
  Rect rect{x, flow.top, x + w, flow.top + h};
  if (flow.fragments.size() > flow.mergeFloor) {
    Rect &last = flow.fragments.back();
    if (last.top == rect.top && last.right <= rect.left && last.bottom == rect.bottom) {
      last.right = rect.right; // extends the run on the same line
      return;
    }
  }
  flow.fragments.push_back(rect);
}

void Engine::FlowText(const std::wstring &text, Flow &flow) {
  if (flow.pre) {
    long run = 0;
    auto flush = [&] {
      if (run == 0)
        return;
      PlaceFragment(flow, flow.left + flow.x, run, kLineHeight);
      flow.x += run;
      run = 0;
    };
    for (wchar_t c : text) {
      if (c == L'\r')
        continue;
      if (c == L'\n') {
        flush();
        flow.open = true;
        flow.lineHeight = std::max(flow.lineHeight, kLineHeight);
        EndLine(flow);
        continue;
      }
      if (c == L'\t')
        run += 8 * kCharWidth - (flow.x + run) % (8 * kCharWidth);
      else
        run += kCharWidth;
    }
    flush();
    return;
  }
  size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i])) {
      flow.space = true;
      ++i;
      continue;
    }
    size_t start = i;
    while (i < text.size() && !IsSpace(text[i]))
      ++i;
    long word =
        static_cast<long>(std::min<size_t>(i - start, kMaxLength / kCharWidth)) * kCharWidth;
    long gap = flow.space && flow.x > 0 ? kCharWidth : 0;
    if (flow.x > 0 && flow.x + gap + word > flow.width) {
      EndLine(flow);
      gap = 0;
    }
    PlaceFragment(flow, flow.left + flow.x + gap, word, kLineHeight);
    flow.x += gap + word;
    flow.space = false;
  }
}

void Engine::FlowChildren(const Node &node, Flow &flow, int depth) {
  if (depth > kMaxDepth)
    return;
  for (const auto &child : node.children) {
    if (child->kind == NodeKind::Text)
      FlowText(child->text, flow);
    else if (child->IsElement())
      FlowNode(*child, flow, depth);
  }
}

void Engine::FlowNode(const Node &node, Flow &flow, int depth) {
  const Css &css = CssOf(node);
  if (css.display == Display::None)
    return;
  bool blockLevel = css.display != Display::Inline && css.display != Display::InlineBlock &&
                    css.display != Display::Replaced && css.display != Display::Break;
  if (css.position == Position::Absolute || css.position == Position::Fixed) {
    long x = flow.left + (blockLevel ? 0 : flow.x + (flow.space && flow.x > 0 ? kCharWidth : 0));
    long y = blockLevel && flow.open ? flow.top + flow.lineHeight : flow.top;
    size_t list = css.position == Position::Fixed ? 0 : positioned_.size() - 1;
    positioned_[list].push_back({&node, x, y, depth, flow.pre});
    return;
  }
  if (css.display == Display::Break) {
    Record(node, css, flow.left + flow.x, flow.top, 0, kLineHeight);
    PlaceFragment(flow, flow.left + flow.x, 0, kLineHeight);
    EndLine(flow);
    return;
  }
  Positioned(node, css, [&] {
    if (blockLevel) {
      EndLine(flow);
      long h = LayoutBlockLevel(node, css, flow.left, flow.top, flow.width, depth, flow.pre);
      const Box &box = state_.boxes[&node];
      flow.right = std::max(flow.right, box.x + box.w);
      if (flow.inlineDepth > 0)
        flow.fragments.push_back({box.x, box.y, box.x + box.w, box.y + h});
      flow.top += h;
      return;
    }
    if (css.display != Display::Inline) {
      FlowAtomic(node, css, flow, depth);
      return;
    }
    Record(node, css, flow.left + flow.x, flow.top, 0, kLineHeight);
    size_t first = flow.fragments.size(), floor = flow.mergeFloor;
    flow.mergeFloor = first;
    ++flow.inlineDepth;
    FlowChildren(node, flow, depth + 1);
    --flow.inlineDepth;
    flow.mergeFloor = floor;
    Box &box = state_.boxes[&node];
    if (first == flow.fragments.size())
      return;
    Rect bounds = flow.fragments[first];
    for (size_t i = first + 1; i < flow.fragments.size(); ++i) {
      const Rect &r = flow.fragments[i];
      bounds = {std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
    }
    box.x = bounds.left;
    box.y = bounds.top;
    box.w = bounds.right - bounds.left;
    box.h = bounds.bottom - bounds.top;
    box.contentRight = box.x;
    box.contentBottom = box.y;
    if (flow.inlineDepth == 0)
      flow.fragments.resize(first);
  });
}

std::pair<long, std::optional<long>> Engine::AtomicSize(const Node &node, const Css &css,
                                                        long available, int depth) {
  long w = 0;
  std::optional<long> h = 0;
  if (node.Is(L"IMG")) {
    w = 24;
    h = 24;
  } else if (node.Is(L"INPUT")) {
    std::wstring type = Lower(Trim(node.AttributeValue(L"type")));
    if (type == L"checkbox" || type == L"radio") {
      w = 13;
      h = 13;
    } else if (type == L"button" || type == L"submit" || type == L"reset") {
      std::wstring label = node.HasAttribute(L"value") ? node.AttributeValue(L"value")
                           : type == L"submit"         ? L"Submit Query"
                           : type == L"reset"          ? L"Reset"
                                                       : L"";
      w = static_cast<long>(std::min<size_t>(label.size(), 100000)) * kCharWidth + 16;
      h = 22;
    } else if (type == L"image") {
      w = 24;
      h = 24;
    } else if (type == L"file") {
      w = 220;
      h = 22;
    } else {
      w = node.HasAttribute(L"size") ? Attribute(node, L"size", 20, 1, 10000) * kCharWidth + 6
                                     : 150;
      h = 22;
    }
  } else if (node.Is(L"SELECT")) {
    long longest = 0;
    for (Node *option : Descendants(&node))
      if (option->Is(L"OPTION"))
        longest = std::max(longest, static_cast<long>(InnerText(*option).size()));
    w = std::min(longest, 100000L) * kCharWidth + 24;
    long rows = Attribute(node, L"size", 0, 0, 10000);
    if (rows <= 1 && node.HasAttribute(L"multiple"))
      rows = 4;
    h = rows > 1 ? rows * kLineHeight + 4 : 22;
  } else if (node.Is(L"TEXTAREA")) {
    w = Attribute(node, L"cols", 20, 1, 10000) * kCharWidth + 21;
    h = Attribute(node, L"rows", 2, 1, 10000) * kLineHeight + 4;
  } else if (node.Is(L"BUTTON")) {
    w = WidthsOf(node, depth).max + 16;
    h = std::nullopt;
  } else if (node.Is(L"IFRAME")) {
    w = 300;
    h = 150;
  } else if (css.display == Display::InlineBlock) {
    Widths content = WidthsOf(node, depth);
    w = available < 0 ? content.max : std::min(std::max(content.min, available), content.max);
    h = std::nullopt;
  }
  if (css.display == Display::Replaced || node.Is(L"IMG")) {
    if (auto attr = Size(node.AttributeValue(L"width"), available))
      w = *attr;
    if (auto attr = Size(node.AttributeValue(L"height"), -1))
      h = *attr;
  }
  if (auto width = Size(css.width, available))
    w = *width;
  if (auto height = Size(css.height, -1))
    h = *height;
  return {w, h};
}

void Engine::FlowAtomic(const Node &node, const Css &css, Flow &flow, int depth) {
  auto [w, h] = AtomicSize(node, css, flow.width, depth);
  long gap = flow.space && flow.x > 0 ? kCharWidth : 0;
  if (flow.x > 0 && flow.x + gap + w > flow.width) {
    EndLine(flow);
    gap = 0;
  }
  long x = flow.left + flow.x + gap;
  long height = LayoutAtomic(node, css, x, flow.top, w, h, depth, flow.pre);
  PlaceFragment(flow, x, w, height);
  flow.x = x - flow.left + w;
  flow.space = false;
}

long Engine::LayoutAtomic(const Node &node, const Css &css, long x, long y, long w,
                          std::optional<long> h, int depth, bool pre) {
  if (node.Is(L"BUTTON")) {
    // The content sits inside an 8-pixel padding left and right, 3 above and below.
    long content = LayoutContainer(node, css, x + 5, y, std::max(0L, w - 10), std::nullopt, 0, 3,
                                   depth, false);
    Box &box = state_.boxes[&node];
    box.x = x;
    box.w = std::max(0L, w);
    box.h = h ? *h : std::max(22L, content);
    return box.h;
  }
  if (css.display == Display::InlineBlock)
    return LayoutContainer(node, css, x, y, w, h, 0, 0, depth, pre);
  long height = h.value_or(0);
  Box &box = Record(node, css, x, y, w, height);
  if (node.Is(L"IFRAME") && Trim(node.AttributeValue(L"frameBorder")) != L"0")
    box.border = std::min(2L, std::min(w, height) / 2);
  return box.h;
}

// --- measuring ---

Widths Engine::WidthsOf(const Node &node, int depth) {
  auto found = widths_.find(&node);
  if (found != widths_.end())
    return found->second;
  Widths result;
  const Css &css = CssOf(node);
  if (depth <= kMaxDepth) {
    if (css.display == Display::Table) {
      result = TableWidths(node, depth);
    } else {
      Measure measure;
      measure.pre = css.pre;
      MeasureChildren(node, measure, depth + 1);
      measure.Flush();
      result = {measure.min, std::max(measure.min, measure.max)};
    }
  }
  widths_[&node] = result;
  return result;
}

void Engine::MeasureChildren(const Node &node, Measure &measure, int depth) {
  if (depth > kMaxDepth)
    return;
  for (const auto &child : node.children) {
    if (child->kind == NodeKind::Text) {
      long word = 0;
      auto endWord = [&] {
        if (!word)
          return;
        measure.line += (measure.space && measure.line > 0 ? kCharWidth : 0) + word;
        measure.min = std::max(measure.min, measure.pre ? measure.line : word);
        measure.space = false;
        word = 0;
      };
      for (wchar_t c : child->text) {
        if (measure.pre && c == L'\n') {
          endWord();
          measure.Flush();
        } else if (!measure.pre && IsSpace(c)) {
          endWord();
          measure.space = true;
        } else if (c != L'\r') {
          word = std::min(word + kCharWidth, kMaxLength);
        }
      }
      endWord();
      continue;
    }
    if (!child->IsElement())
      continue;
    const Css &css = CssOf(*child);
    if (css.display == Display::None || css.position == Position::Absolute ||
        css.position == Position::Fixed)
      continue;
    if (css.display == Display::Break) {
      measure.Flush();
    } else if (css.display == Display::Inline) {
      bool pre = measure.pre;
      measure.pre = pre || css.pre;
      MeasureChildren(*child, measure, depth + 1);
      measure.pre = pre;
    } else if (css.display == Display::Replaced || css.display == Display::InlineBlock) {
      long w = AtomicSize(*child, css, -1, depth).first;
      measure.line += (measure.space && measure.line > 0 ? kCharWidth : 0) + w;
      measure.min = std::max(measure.min, w);
      measure.space = false;
    } else {
      measure.Flush();
      Widths inner = WidthsOf(*child, depth);
      if (auto width = Size(css.width, -1))
        inner = {std::max(inner.min, *width), std::max(inner.min, *width)};
      measure.min = std::max(measure.min, inner.min);
      measure.max = std::max(measure.max, inner.max);
    }
  }
}

// --- tables ---

Grid Engine::BuildGrid(const Node &table) {
  Grid grid;
  std::vector<const Node *> heads, bodies, feet;
  for (Node *child : ChildElements(&table)) {
    Display display = CssOf(*child).display;
    if (display == Display::None)
      continue;
    if (child->Is(L"CAPTION"))
      grid.captions.push_back(child);
    else if (child->Is(L"THEAD"))
      heads.push_back(child);
    else if (child->Is(L"TFOOT"))
      feet.push_back(child);
    else if (child->Is(L"TBODY") || child->Is(L"TR"))
      bodies.push_back(child);
  }
  std::vector<const Node *> order = heads;
  order.insert(order.end(), bodies.begin(), bodies.end());
  order.insert(order.end(), feet.begin(), feet.end());
  // Rows straight under the table group with their neighbours into one section.
  for (const Node *part : order) {
    if (part->Is(L"TR")) {
      if (grid.sectionNodes.empty() || grid.sectionNodes.back() != nullptr) {
        grid.sectionNodes.push_back(nullptr);
        grid.sections.emplace_back();
      }
      grid.sections.back().push_back(part);
      continue;
    }
    grid.sectionNodes.push_back(part);
    grid.sections.emplace_back();
    for (Node *row : ChildElements(part))
      if (row->Is(L"TR") && CssOf(*row).display != Display::None)
        grid.sections.back().push_back(row);
  }
  for (const auto &section : grid.sections) {
    int base = static_cast<int>(grid.rows.size());
    int count = static_cast<int>(section.size());
    std::vector<std::vector<bool>> taken(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r) {
      grid.rows.push_back(section[static_cast<size_t>(r)]);
      int col = 0;
      for (Node *cell : ChildElements(section[static_cast<size_t>(r)])) {
        if ((!cell->Is(L"TD") && !cell->Is(L"TH")) || CssOf(*cell).display == Display::None)
          continue;
        auto &row = taken[static_cast<size_t>(r)];
        while (col < static_cast<int>(row.size()) && row[static_cast<size_t>(col)])
          ++col;
        if (col >= kMaxColumns)
          break;
        int colSpan = static_cast<int>(Attribute(*cell, L"colSpan", 1, 1, kMaxColumns - col));
        long rowSpanValue = Attribute(*cell, L"rowSpan", 1, 0, 65534);
        int rowSpan = rowSpanValue == 0 ? count - r
                                        : static_cast<int>(std::min<long>(rowSpanValue, count - r));
        for (int rr = r; rr < r + rowSpan; ++rr) {
          auto &slots = taken[static_cast<size_t>(rr)];
          if (slots.size() < static_cast<size_t>(col + colSpan))
            slots.resize(static_cast<size_t>(col + colSpan), false);
          for (int cc = col; cc < col + colSpan; ++cc)
            slots[static_cast<size_t>(cc)] = true;
        }
        grid.cells.push_back({cell, base + r, col, rowSpan, colSpan});
        grid.columns = std::max(grid.columns, col + colSpan);
        col += colSpan;
      }
    }
  }
  return grid;
}

std::vector<long> Engine::ColumnWidths(const Grid &grid, const TableMetrics &metrics, long target,
                                       bool stretch, int depth, std::vector<Widths> *columns) {
  size_t count = static_cast<size_t>(grid.columns);
  std::vector<Widths> cols(count);
  long inset = 2 * (metrics.padding + metrics.cellBorder);
  auto cellWidths = [&](const Grid::Cell &cell) {
    Widths content = WidthsOf(*cell.node, depth + 1);
    Widths outer{content.min + inset, content.max + inset};
    auto fixed = Size(cell.node->AttributeValue(L"width"), -1);
    if (auto css = Size(CssOf(*cell.node).width, -1))
      fixed = css;
    if (fixed)
      outer.max = std::max(outer.min, *fixed);
    return outer;
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto &cell : grid.cells) {
      if ((pass == 0) != (cell.colSpan == 1))
        continue;
      Widths outer = cellWidths(cell);
      size_t first = static_cast<size_t>(cell.col), last = first + cell.colSpan;
      long gaps = (cell.colSpan - 1) * metrics.spacing;
      long haveMin = gaps, haveMax = gaps;
      for (size_t c = first; c < last; ++c) {
        haveMin += cols[c].min;
        haveMax += cols[c].max;
      }
      long span = cell.colSpan;
      for (size_t c = first; c < last; ++c) {
        long share = static_cast<long>(c - first);
        if (outer.min > haveMin)
          cols[c].min += (outer.min - haveMin) / span + (share < (outer.min - haveMin) % span);
        if (outer.max > haveMax)
          cols[c].max += (outer.max - haveMax) / span + (share < (outer.max - haveMax) % span);
        cols[c].max = std::max(cols[c].max, cols[c].min);
      }
    }
  }
  if (columns)
    *columns = cols;
  long sumMin = 0, sumMax = 0;
  for (const Widths &c : cols) {
    sumMin += c.min;
    sumMax += c.max;
  }
  std::vector<long> widths(count);
  long n = static_cast<long>(count);
  if (target >= sumMax) {
    long extra = stretch && n ? target - sumMax : 0;
    for (long c = 0; c < n; ++c)
      widths[static_cast<size_t>(c)] =
          cols[static_cast<size_t>(c)].max + (n ? extra / n + (c < extra % n) : 0);
  } else if (target <= sumMin) {
    for (size_t c = 0; c < count; ++c)
      widths[c] = cols[c].min;
  } else {
    long room = target - sumMin, range = sumMax - sumMin, used = 0;
    for (size_t c = 0; c < count; ++c) {
      widths[c] = cols[c].min + (cols[c].max - cols[c].min) * room / range;
      used += widths[c] - cols[c].min;
    }
    if (n)
      widths.back() += room - used;
  }
  return widths;
}

Widths Engine::TableWidths(const Node &table, int depth) {
  Grid grid = BuildGrid(table);
  TableMetrics metrics = MetricsOf(table);
  std::vector<Widths> cols;
  ColumnWidths(grid, metrics, 0, false, depth, &cols);
  long frame = 2 * metrics.border + (grid.columns + 1) * metrics.spacing;
  Widths result{frame, frame};
  for (const Widths &c : cols) {
    result.min += c.min;
    result.max += c.max;
  }
  for (const Node *caption : grid.captions) {
    Widths inner = WidthsOf(*caption, depth + 1);
    result.min = std::max(result.min, inner.min);
    result.max = std::max(result.max, inner.max);
  }
  auto fixed = Size(table.AttributeValue(L"width"), -1);
  if (auto css = Size(CssOf(table).width, -1))
    fixed = css;
  if (fixed)
    result.max = std::max(result.min, *fixed);
  return result;
}

long Engine::LayoutTable(const Node &table, const Css &css, long x, long y, long available,
                         int depth, bool pre) {
  Grid grid = BuildGrid(table);
  TableMetrics m = MetricsOf(table);
  long frame = 2 * m.border + (grid.columns + 1) * m.spacing;
  auto fixed = Size(table.AttributeValue(L"width"), available);
  if (auto cssWidth = Size(css.width, available))
    fixed = cssWidth;
  long target = fixed ? *fixed - frame : available - frame;
  std::vector<long> cols = ColumnWidths(grid, m, target, fixed.has_value(), depth, nullptr);
  long gridWidth = frame;
  for (long w : cols)
    gridWidth += w;
  long width = std::max(gridWidth, fixed.value_or(0));
  Box &tableBox = Record(table, css, x, y, width, 0);
  tableBox.border = m.border;

  long top = y + m.border;
  for (const Node *caption : grid.captions)
    top += LayoutBlockLevel(*caption, CssOf(*caption), x + m.border, top, width - 2 * m.border,
                            depth + 1, pre);
  std::vector<long> colLeft(cols.size());
  long left = x + m.border + m.spacing;
  for (size_t c = 0; c < cols.size(); ++c) {
    colLeft[c] = left;
    left += cols[c] + m.spacing;
  }
  auto spanWidth = [&](const Grid::Cell &cell) {
    long w = (cell.colSpan - 1) * m.spacing;
    for (int c = cell.col; c < cell.col + cell.colSpan; ++c)
      w += cols[static_cast<size_t>(c)];
    return w;
  };
  size_t rowCount = grid.rows.size();
  long rowLeft = x + m.border + m.spacing;
  long rowWidth = std::max(0L, width - 2 * m.border - 2 * m.spacing);
  // Sections and rows are recorded first so that their cells inherit their state.
  for (size_t s = 0; s < grid.sections.size(); ++s)
    if (const Node *section = grid.sectionNodes[s])
      Record(*section, CssOf(*section), rowLeft, top, rowWidth, 0);
  for (const Node *row : grid.rows)
    Record(*row, CssOf(*row), rowLeft, top, rowWidth, 0);
  std::vector<size_t> tall; // cells spanning several rows
  for (size_t i = 0; i < grid.cells.size(); ++i)
    if (grid.cells[i].rowSpan > 1)
      tall.push_back(i);
  std::vector<long> rowTop(rowCount), rowHeight(rowCount);
  std::vector<long> cellHeight(grid.cells.size());
  long inset = m.cellBorder + m.padding;
  long at = top + m.spacing;
  size_t next = 0; // cells are in row order
  for (size_t r = 0; r < rowCount; ++r) {
    rowTop[r] = at;
    long height = Size(grid.rows[r]->AttributeValue(L"height"), -1).value_or(0);
    if (auto cssHeight = Size(CssOf(*grid.rows[r]).height, -1))
      height = std::max(height, *cssHeight);
    for (; next < grid.cells.size() && grid.cells[next].row == static_cast<int>(r); ++next) {
      const Grid::Cell &cell = grid.cells[next];
      const Css &cellCss = CssOf(*cell.node);
      long content = 0;
      Positioned(*cell.node, cellCss, [&] {
        content =
            LayoutContainer(*cell.node, cellCss, colLeft[static_cast<size_t>(cell.col)], at,
                            spanWidth(cell), std::nullopt, m.cellBorder, m.padding, depth + 2, pre);
      });
      long h = content;
      if (auto fixedHeight = Size(cell.node->AttributeValue(L"height"), -1))
        h = std::max(h, *fixedHeight);
      if (auto cssHeight = Size(cellCss.height, -1))
        h = std::max(h, *cssHeight);
      cellHeight[next] = std::max(h, 2 * inset);
      if (cell.rowSpan == 1)
        height = std::max(height, cellHeight[next]);
    }
    for (size_t i : tall) {
      const Grid::Cell &cell = grid.cells[i];
      if (cell.row + cell.rowSpan - 1 != static_cast<int>(r))
        continue;
      long above = 0;
      for (int rr = cell.row; rr < static_cast<int>(r); ++rr)
        above += rowHeight[static_cast<size_t>(rr)] + m.spacing;
      height = std::max(height, cellHeight[i] - above);
    }
    rowHeight[r] = height;
    at += height + m.spacing;
  }
  // Cells, rows and sections get their final heights.
  for (const Grid::Cell &cell : grid.cells) {
    auto found = state_.boxes.find(cell.node);
    if (found == state_.boxes.end())
      continue;
    long h = (cell.rowSpan - 1) * m.spacing;
    for (int rr = cell.row; rr < cell.row + cell.rowSpan; ++rr)
      h += rowHeight[static_cast<size_t>(rr)];
    long dy = rowTop[static_cast<size_t>(cell.row)] - found->second.y;
    found->second.h = h;
    if (dy)
      ShiftSubtree(*cell.node, 0, dy);
  }
  for (size_t r = 0; r < rowCount; ++r) {
    Box &row = state_.boxes[grid.rows[r]];
    row.y = rowTop[r];
    row.h = rowHeight[r];
    row.contentRight = rowLeft;
    row.contentBottom = rowTop[r];
  }
  size_t firstRow = 0;
  for (size_t s = 0; s < grid.sections.size(); ++s) {
    size_t count = grid.sections[s].size();
    if (const Node *section = grid.sectionNodes[s]) {
      long sy = count ? rowTop[firstRow] : at;
      Box &box = state_.boxes[section];
      box.y = sy;
      box.h = count ? rowTop[firstRow + count - 1] + rowHeight[firstRow + count - 1] - sy : 0;
      box.contentBottom = sy;
    }
    firstRow += count;
  }
  long height = at + m.border - y;
  if (auto fixedHeight = Size(table.AttributeValue(L"height"), -1))
    height = std::max(height, *fixedHeight);
  if (auto cssHeight = Size(css.height, -1))
    height = std::max(height, *cssHeight);
  Box &done = state_.boxes[&table];
  done.h = height;
  return height;
}

// --- frames ---

std::vector<long> SplitLengths(const std::wstring &spec, long total) {
  if (Trim(spec).empty())
    return {total};
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start <= spec.size() && parts.size() < 1000) {
    size_t comma = spec.find(L',', start);
    parts.push_back(
        Trim(spec.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start)));
    if (comma == std::wstring::npos)
      break;
    start = comma + 1;
  }
  std::vector<long> sizes(parts.size());
  std::vector<long> stars(parts.size());
  long used = 0, starTotal = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::wstring &p = parts[i];
    if (!p.empty() && p.back() == L'*') {
      auto weight = Size(p.substr(0, p.size() - 1), -1);
      stars[i] = p.size() == 1 ? 1 : weight.value_or(1);
      starTotal += stars[i];
      continue;
    }
    sizes[i] = std::min(Size(p, total).value_or(0), std::max(0L, total - used));
    used += sizes[i];
  }
  long rest = std::max(0L, total - used), given = 0;
  size_t lastStar = parts.size();
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!stars[i])
      continue;
    sizes[i] = starTotal ? rest * stars[i] / starTotal : 0;
    given += sizes[i];
    lastStar = i;
  }
  if (lastStar < parts.size())
    sizes[lastStar] += rest - given;
  return sizes;
}

void Engine::LayoutFrameset(const Node &frameset, Rect area, int depth) {
  Record(frameset, CssOf(frameset), area.left, area.top, area.right - area.left,
         area.bottom - area.top);
  if (depth > kMaxDepth)
    return;
  auto rows = SplitLengths(frameset.AttributeValue(L"rows"), area.bottom - area.top);
  auto cols = SplitLengths(frameset.AttributeValue(L"cols"), area.right - area.left);
  size_t slot = 0;
  for (Node *child : ChildElements(&frameset)) {
    if (!child->Is(L"FRAME") && !child->Is(L"FRAMESET"))
      continue;
    if (slot >= rows.size() * cols.size())
      break;
    size_t r = slot / cols.size(), c = slot % cols.size();
    ++slot;
    long top = area.top, left = area.left;
    for (size_t i = 0; i < r; ++i)
      top += rows[i];
    for (size_t i = 0; i < c; ++i)
      left += cols[i];
    Rect cell{left, top, left + cols[c], top + rows[r]};
    if (child->Is(L"FRAMESET"))
      LayoutFrameset(*child, cell, depth + 1);
    else
      Record(*child, CssOf(*child), cell.left, cell.top, cols[c], rows[r]);
  }
}

// --- the whole document ---

void Engine::ComputeExtents() {
  std::vector<Node *> all = Descendants(document_.root.get());
  long bar = ScrollbarSize();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    auto found = state_.boxes.find(*it);
    if (found == state_.boxes.end())
      continue;
    Box &box = found->second;
    long innerLeft = box.x + box.border, innerTop = box.y + box.border;
    long innerW = std::max(0L, box.w - 2 * box.border);
    long innerH = std::max(0L, box.h - 2 * box.border);
    bool barY = box.barsY, barX = box.barsX;
    if (box.autoBars) {
      barY = barY || box.contentBottom > innerTop + innerH;
      barX = barX || box.contentRight > innerLeft + innerW - (barY ? bar : 0);
      barY = barY || box.contentBottom > innerTop + innerH - (barX ? bar : 0);
    }
    box.clientW = std::max(0L, innerW - (barY ? bar : 0));
    box.clientH = std::max(0L, innerH - (barX ? bar : 0));
    box.scrollW = std::max(box.clientW, box.contentRight - innerLeft);
    box.scrollH = std::max(box.clientH, box.contentBottom - innerTop);
    Node *parent = (*it)->ParentElement();
    auto up = parent ? state_.boxes.find(parent) : state_.boxes.end();
    if (up == state_.boxes.end())
      continue;
    long right = box.x + box.w, bottom = box.y + box.h;
    if (!box.clips) {
      right = std::max(right, box.contentRight);
      bottom = std::max(bottom, box.contentBottom);
    }
    up->second.contentRight = std::max(up->second.contentRight, right);
    up->second.contentBottom = std::max(up->second.contentBottom, bottom);
  }
}

void Engine::Run() {
  state_.boxes.clear();
  Node *html = document_.DocumentElement();
  if (!html)
    return;
  long vw = state_.viewportW, vh = state_.viewportH;
  positioned_.assign(1, {});
  Css htmlCss = CssOf(*html);
  htmlCss.position = Position::Static;
  Record(*html, htmlCss, 0, 0, vw, vh);
  Node *body = document_.Body();
  long height = vh;
  if (body && body->Is(L"FRAMESET")) {
    LayoutFrameset(*body, {0, 0, vw, vh}, 1);
  } else if (body && CssOf(*body).display != Display::None) {
    const Css &css = CssOf(*body);
    long width = Size(css.width, vw - 2 * kBodyMargin).value_or(vw - 2 * kBodyMargin);
    long bodyHeight = 0;
    Positioned(*body, css, [&] {
      bodyHeight = LayoutContainer(*body, css, kBodyMargin, kBodyMargin, width,
                                   Size(css.height, vh - 2 * kBodyMargin), 0, 0, 1, false);
    });
    height = bodyHeight + 2 * kBodyMargin;
  }
  state_.boxes[html].h = height;
  for (size_t i = 0; i < positioned_[0].size(); ++i) {
    Pending item = positioned_[0][i];
    LayoutAbsolute(item, {0, 0, vw, vh});
  }
  ComputeExtents();
  const Box &root = state_.boxes[html];
  state_.documentW = std::max({vw, root.x + root.w, root.contentRight});
  state_.documentH = std::max({vh, root.y + root.h, root.contentBottom});
  for (Node *scroller : {html, body}) {
    if (!scroller || !state_.boxes.count(scroller))
      continue;
    Box &box = state_.boxes[scroller];
    box.clientW = vw;
    box.clientH = vh;
    box.scrollW = state_.documentW;
    box.scrollH = state_.documentH;
  }
}

// --- queries ---

// The frame element showing `document` in its parent, found in the parent's live tree.
const Node *FrameElementOf(const PageDocument &document) {
  if (!document.parent || !document.parent->root)
    return nullptr;
  for (Node *node : Descendants(document.parent->root.get()))
    if (node->frame.get() == &document)
      return node;
  return nullptr;
}

const LayoutState *Ensure(const PageDocument &document, int depth = 0) {
  auto &state = const_cast<PageDocument &>(document).layout;
  const LayoutState *parent = nullptr;
  if (document.parent && depth < 16)
    parent = Ensure(*document.parent, depth + 1);
  unsigned long parentGeneration = parent ? parent->generation : 0;
  if (state && state->revision == document.revision && state->parentGeneration == parentGeneration)
    return state.get();
  auto next = std::make_shared<LayoutState>();
  next->revision = document.revision;
  next->generation = ++g_generation;
  next->parentGeneration = parentGeneration;
  next->viewportW = kViewportWidth;
  next->viewportH = kViewportHeight;
  if (parent) {
    const Node *frame = FrameElementOf(document);
    auto found = frame ? parent->boxes.find(frame) : parent->boxes.end();
    next->viewportW = found != parent->boxes.end() ? found->second.clientW : 0;
    next->viewportH = found != parent->boxes.end() ? found->second.clientH : 0;
  }
  if (document.root)
    Engine(document, *next).Run();
  state = std::move(next);
  // Content may have shrunk under a scrolled container: offsets follow.
  if (document.root)
    for (Node *node : Descendants(document.root.get())) {
      if (node->scrollTop)
        node->scrollTop = ClampScroll(*node, node->scrollTop, true);
      if (node->scrollLeft)
        node->scrollLeft = ClampScroll(*node, node->scrollLeft, false);
    }
  return state.get();
}

const Box *Find(const LayoutState &state, const Node &node) {
  auto found = state.boxes.find(&node);
  return found == state.boxes.end() ? nullptr : &found->second;
}

bool IsDocumentScroller(const Node &node) { return node.Is(L"HTML") || node.Is(L"BODY"); }

struct Offset {
  long x = 0, y = 0;
};

// The document's scroll offset: HTML's plus BODY's.
Offset DocumentScroll(const PageDocument &document) {
  Offset offset;
  for (const Node *node : {document.DocumentElement(), document.Body()})
    if (node) {
      offset.x += node->scrollLeft;
      offset.y += node->scrollTop;
    }
  return offset;
}

// What the scroll offsets of the element's clipping ancestors and of the document move it by.
Offset ScrollOffset(const LayoutState &state, const Node &element, const Box &box) {
  Offset offset;
  for (const Node *p = element.ParentElement(); p; p = p->ParentElement()) {
    if (IsDocumentScroller(*p))
      continue;
    const Box *pb = Find(state, *p);
    if (pb && pb->clips) {
      offset.x += p->scrollLeft;
      offset.y += p->scrollTop;
    }
  }
  if (!box.fixed && element.document) {
    Offset document = DocumentScroll(*element.document);
    offset.x += document.x;
    offset.y += document.y;
  }
  return offset;
}

const Box *BoxFor(const Node &element, const LayoutState **state) {
  if (!element.IsElement() || !element.document || !element.document->root ||
      !element.document->root->Contains(&element))
    return nullptr;
  *state = Ensure(*element.document);
  return Find(**state, element);
}

Node *OffsetParentIn(const LayoutState &state, const Node &element, const Box &box) {
  if (IsDocumentScroller(element) || box.fixed)
    return nullptr;
  bool isStatic = box.position == Position::Static;
  for (Node *p = element.ParentElement(); p; p = p->ParentElement()) {
    if (p->Is(L"BODY") || p->Is(L"HTML"))
      return element.document->Body();
    const Box *pb = Find(state, *p);
    if (pb && pb->position != Position::Static)
      return p;
    if (isStatic && (p->Is(L"TD") || p->Is(L"TH") || p->Is(L"TABLE")))
      return p;
  }
  return nullptr;
}

} // namespace

LayoutBox BoxOf(const Node &element) {
  try {
    const LayoutState *state = nullptr;
    const Box *box = BoxFor(element, &state);
    if (!box)
      return {};
    LayoutBox out;
    out.width = box->w;
    out.height = box->h;
    out.clientLeft = box->border;
    out.clientTop = box->border;
    out.clientWidth = box->clientW;
    out.clientHeight = box->clientH;
    out.scrollWidth = box->scrollW;
    out.scrollHeight = box->scrollH;
    if (element.Is(L"BODY"))
      return out;
    out.left = box->x;
    out.top = box->y;
    Node *parent = OffsetParentIn(*state, element, *box);
    if (parent && !parent->Is(L"BODY")) {
      if (const Box *pb = Find(*state, *parent)) {
        out.left -= pb->x + pb->border;
        out.top -= pb->y + pb->border;
      }
    }
    return out;
  } catch (...) {
    return {};
  }
}

ViewportRect ClientRectOf(const Node &element) {
  try {
    const LayoutState *state = nullptr;
    const Box *box = BoxFor(element, &state);
    if (!box)
      return {};
    Offset scroll = ScrollOffset(*state, element, *box);
    long left = box->x - scroll.x, top = box->y - scroll.y;
    return {left, top, left + box->w, top + box->h};
  } catch (...) {
    return {};
  }
}

Node *OffsetParentOf(const Node &element) {
  try {
    const LayoutState *state = nullptr;
    const Box *box = BoxFor(element, &state);
    return box ? OffsetParentIn(*state, element, *box) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

long ClampScroll(const Node &element, long value, bool vertical) {
  if (value <= 0)
    return 0;
  try {
    const LayoutState *state = nullptr;
    const Box *box = BoxFor(element, &state);
    if (!box)
      return 0;
    long most = 0;
    if (IsDocumentScroller(element)) {
      const PageDocument &document = *element.document;
      Offset total = DocumentScroll(document);
      long own = vertical ? element.scrollTop : element.scrollLeft;
      long others = (vertical ? total.y : total.x) - own;
      most = vertical ? state->documentH - state->viewportH - others
                      : state->documentW - state->viewportW - others;
    } else if (box->clips) {
      most = vertical ? box->scrollH - box->clientH : box->scrollW - box->clientW;
    }
    return std::clamp(value, 0L, std::max(0L, most));
  } catch (...) {
    return 0;
  }
}

void ScrollIntoView(Node &element, bool alignTop) {
  try {
    const LayoutState *state = nullptr;
    const Box *box = BoxFor(element, &state);
    if (!box)
      return;
    Offset inner; // scroll offsets of the containers already handled
    for (Node *p = element.ParentElement(); p; p = p->ParentElement()) {
      const Box *pb = Find(*state, *p);
      if (IsDocumentScroller(*p) || !pb || !pb->clips)
        continue;
      long y = box->y - inner.y - (pb->y + pb->border);
      p->scrollTop = ClampScroll(*p, alignTop ? y : y + box->h - pb->clientH, true);
      long x = box->x - inner.x - (pb->x + pb->border);
      if (x < p->scrollLeft || x + box->w > p->scrollLeft + pb->clientW)
        p->scrollLeft = ClampScroll(*p, x, false);
      inner.x += p->scrollLeft;
      inner.y += p->scrollTop;
    }
    if (box->fixed)
      return;
    PageDocument &document = *element.document;
    Node *scroller = document.Body() ? document.Body() : document.DocumentElement();
    Node *html = document.DocumentElement();
    if (!scroller)
      return;
    if (html && html != scroller)
      html->scrollLeft = html->scrollTop = 0;
    long y = box->y - inner.y;
    scroller->scrollTop =
        ClampScroll(*scroller, alignTop ? y : y + box->h - state->viewportH, true);
    long x = box->x - inner.x;
    if (x < scroller->scrollLeft || x + box->w > scroller->scrollLeft + state->viewportW)
      scroller->scrollLeft = ClampScroll(*scroller, x, false);
  } catch (...) {
  }
}

Node *ElementFromPoint(PageDocument &document, long x, long y) {
  try {
    if (!document.root)
      return nullptr;
    const LayoutState *state = Ensure(document);
    if (x < 0 || y < 0 || x >= state->viewportW || y >= state->viewportH)
      return nullptr;
    StyleCascade cascade(document);
    auto inside = [&](const Node &node, const Box &box, bool client) {
      Offset scroll = ScrollOffset(*state, node, box);
      long left = box.x - scroll.x + (client ? box.border : 0);
      long top = box.y - scroll.y + (client ? box.border : 0);
      long w = client ? box.clientW : box.w, h = client ? box.clientH : box.h;
      return x >= left && x < left + w && y >= top && y < top + h;
    };
    Node *best = nullptr;
    bool bestLayered = false;
    for (Node *node : Descendants(document.root.get())) {
      const Box *box = Find(*state, *node);
      if (!box || (bestLayered && !box->layered) || !inside(*node, *box, false))
        continue;
      bool clipped = false;
      for (const Node *p = node->ParentElement(); p && !clipped; p = p->ParentElement()) {
        const Box *pb = Find(*state, *p);
        clipped = pb && pb->clips && !IsDocumentScroller(*p) && !inside(*p, *pb, true);
      }
      if (clipped || EqualsNoCase(Trim(cascade.Value(*node, L"visibility")), L"hidden"))
        continue;
      best = node;
      bestLayered = box->layered;
    }
    if (!best || best->Is(L"HTML"))
      best = document.Body();
    return best;
  } catch (...) {
    return nullptr;
  }
}

} // namespace tallowick::page

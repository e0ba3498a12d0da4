// The box layout: exact rectangles and offsets for positioned elements, block
// stacking, text wrapping, tables, scrolling containers and the document's
// scroll, offsetParent chains, hidden elements and layout after edits.
#include "PageTestSupport.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Rect = std::array<LONG, 4>;

class PageLayout : public ::testing::Test {
protected:
  void Load(const char *html) { doc = LoadHtml(html); }
  Ptr<IHTMLElement> El(const wchar_t *id) {
    Ptr<IHTMLElement> element = ById(doc.get(), id);
    EXPECT_TRUE(element) << id;
    return element;
  }
  Rect RectOf(const wchar_t *id) {
    Ptr<IHTMLElement2> element = El(id).As<IHTMLElement2>();
    Ptr<IHTMLRect> rect;
    Rect out{-1, -1, -1, -1};
    if (!element || FAILED(element->getBoundingClientRect(&rect)) || !rect)
      return out;
    rect->get_left(&out[0]);
    rect->get_top(&out[1]);
    rect->get_right(&out[2]);
    rect->get_bottom(&out[3]);
    return out;
  }
  // offsetLeft, offsetTop, offsetWidth, offsetHeight
  Rect Offsets(const wchar_t *id) {
    Ptr<IHTMLElement> element = El(id);
    Rect out{-1, -1, -1, -1};
    if (!element)
      return out;
    element->get_offsetLeft(&out[0]);
    element->get_offsetTop(&out[1]);
    element->get_offsetWidth(&out[2]);
    element->get_offsetHeight(&out[3]);
    return out;
  }
  std::wstring OffsetParent(const wchar_t *id) {
    Ptr<IHTMLElement> parent;
    EXPECT_EQ(S_OK, El(id)->get_offsetParent(&parent));
    if (!parent)
      return L"<null>";
    std::wstring name = Id(parent.get());
    return name.empty() ? Tag(parent.get()) : name;
  }
  LONG Metric(const wchar_t *id, const wchar_t *name) { return Get(El(id).get(), name).v.lVal; }
  void Scroll(IHTMLElement *element, LONG top, LONG left = 0) {
    Ptr<IHTMLElement2> e2;
    ASSERT_EQ(S_OK, element->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void **>(&e2)));
    EXPECT_EQ(S_OK, e2->put_scrollTop(top));
    EXPECT_EQ(S_OK, e2->put_scrollLeft(left));
  }
  Ptr<IHTMLElement> Body() {
    Ptr<IHTMLElement> body;
    doc->get_body(&body);
    return body;
  }
  Ptr<IHTMLDocument2> doc;
};

// A frame's document, by the frame's name.
Ptr<IHTMLDocument2> FrameDocument(IHTMLDocument2 *top, const wchar_t *name) {
  Ptr<IHTMLWindow2> window, frame;
  Ptr<IHTMLDocument2> document;
  if (FAILED(top->get_parentWindow(&window)) || !window)
    return document;
  Var key(name), result;
  if (FAILED(window->item(&key.v, &result.v)) || result.v.vt != VT_DISPATCH)
    return document;
  result.v.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void **>(&frame));
  if (frame)
    frame->get_document(&document);
  return document;
}

TEST_F(PageLayout, AbsolutelyPositionedElementsHaveExactRectangles) {
  Load(R"(<body>
<div id="a" style="position:absolute;left:100px;top:50px;width:200px;height:80px"></div>
<div id="corner" style="position:absolute;right:10px;bottom:10px;width:50px;height:20px"></div>
<p id="flow">text</p>
<img id="img" style="position:absolute;left:0;top:0" width="40" height="30">
</body>)");
  EXPECT_EQ((Rect{100, 50, 300, 130}), RectOf(L"a"));
  EXPECT_EQ((Rect{100, 50, 200, 80}), Offsets(L"a"));
  EXPECT_EQ((Rect{964, 738, 1014, 758}), RectOf(L"corner"));
  EXPECT_EQ((Rect{8, 8, 1016, 24}), RectOf(L"flow")); // absolutes leave the flow
  EXPECT_EQ((Rect{0, 0, 40, 30}), RectOf(L"img"));
}

TEST_F(PageLayout, AbsoluteInsideRelativeIsPlacedInItsPaddingBoxAndMovesWithIt) {
  Load(R"(<body><div id="before">x</div>
<div id="rel" style="position:relative;left:10px;top:20px;height:100px">
<span id="abs" style="position:absolute;left:5px;top:7px;width:30px;height:10px"></span>
<span id="static" style="position:absolute;width:10px;height:10px"></span>
</div><div id="after">y</div></body>)");
  EXPECT_EQ((Rect{18, 44, 1026, 144}), RectOf(L"rel"));
  EXPECT_EQ((Rect{23, 51, 53, 61}), RectOf(L"abs"));
  EXPECT_EQ((Rect{5, 7, 30, 10}), Offsets(L"abs"));
  EXPECT_EQ(L"rel", OffsetParent(L"abs"));
  // Without left/top it stays where the flow would have put it.
  EXPECT_EQ((Rect{18, 44, 28, 54}), RectOf(L"static"));
  // The relative shift does not move what follows.
  EXPECT_EQ((Rect{8, 124, 1016, 140}), RectOf(L"after"));
}

TEST_F(PageLayout, BlocksStackAndTextWrapsAtTheContainerWidth) {
  Load(R"(<body><div id="d1">Hello</div>
<div id="d2" style="width:80px">aaaa bbbb cccc</div>
<div id="d3" style="height:40px"></div>
<div id="d4" style="width:80px"><span id="s">aaaa bbbb cccc</span></div>
<div id="d5">one<br id="br">two<br><br>three</div></body>)");
  EXPECT_EQ((Rect{8, 8, 1016, 24}), RectOf(L"d1"));
  EXPECT_EQ((Rect{8, 24, 88, 56}), RectOf(L"d2")); // two lines
  EXPECT_EQ((Rect{8, 56, 1016, 96}), RectOf(L"d3"));
  EXPECT_EQ((Rect{8, 96, 80, 128}), RectOf(L"s")); // the span's box covers both lines
  EXPECT_EQ((Rect{8, 128, 1016, 192}), RectOf(L"d5"));
  EXPECT_EQ((Rect{32, 128, 32, 144}), RectOf(L"br"));
  EXPECT_EQ((Rect{8, 128, 1008, 64}), Offsets(L"d5"));
  Ptr<IHTMLElement> body = Body();
  LONG height = 0;
  body->get_offsetHeight(&height);
  EXPECT_EQ(184, height);
}

TEST_F(PageLayout, TablesLayOutAsGridsWithSpansSpacingPaddingAndBorders) {
  Load(R"(<body><table id="t" border="1" cellspacing="2" cellpadding="1">
<tr id="r0"><td id="a">ab</td><td id="b">abcd</td></tr>
<tr><td id="c" colspan="2">x</td></tr></table>
<table id="w" width="200" cellspacing="0" cellpadding="0"><tr>
<td id="w1" rowspan="2">a</td><td id="w2">abc</td></tr><tr><td id="w3">a<br>b<br>c</td></tr>
</table></body>)");
  EXPECT_EQ((Rect{8, 8, 72, 56}), RectOf(L"t"));
  EXPECT_EQ((Rect{11, 11, 31, 31}), RectOf(L"a"));
  EXPECT_EQ((Rect{33, 11, 69, 31}), RectOf(L"b"));
  EXPECT_EQ((Rect{11, 33, 69, 53}), RectOf(L"c"));
  EXPECT_EQ((Rect{11, 11, 69, 31}), RectOf(L"r0"));
  EXPECT_EQ(L"t", OffsetParent(L"a"));
  EXPECT_EQ((Rect{2, 2, 20, 20}), Offsets(L"a")); // from the table's padding box
  EXPECT_EQ(1, Metric(L"t", L"clientLeft"));
  // A table width stretches the columns evenly; a rowspan cell covers both rows.
  EXPECT_EQ((Rect{8, 56, 208, 120}), RectOf(L"w"));
  EXPECT_EQ((Rect{8, 56, 100, 120}), RectOf(L"w1"));
  EXPECT_EQ((Rect{100, 56, 208, 72}), RectOf(L"w2"));
  EXPECT_EQ((Rect{100, 72, 208, 120}), RectOf(L"w3"));
}

constexpr const char *kScrolling = R"(<body>
<div id="outer" style="overflow:auto;width:300px;height:100px">
  <div id="pad" style="height:50px"></div>
  <div id="inner" style="overflow:scroll;width:200px;height:60px">
    <div style="height:100px"></div>
    <div id="target" style="height:20px">t</div>
  </div>
  <div style="height:200px"></div>
</div></body>)";

TEST_F(PageLayout, NestedScrolledContainersMoveTheirContent) {
  Load(kScrolling);
  EXPECT_EQ(283, Metric(L"outer", L"clientWidth")); // a vertical scrollbar only
  EXPECT_EQ(100, Metric(L"outer", L"clientHeight"));
  EXPECT_EQ(310, Metric(L"outer", L"scrollHeight"));
  EXPECT_EQ(283, Metric(L"pad", L"offsetWidth")); // content flows beside the scrollbar
  EXPECT_EQ(183, Metric(L"inner", L"clientWidth"));
  EXPECT_EQ(43, Metric(L"inner", L"clientHeight"));
  EXPECT_EQ(120, Metric(L"inner", L"scrollHeight"));
  EXPECT_EQ((Rect{8, 158, 191, 178}), RectOf(L"target"));

  Scroll(El(L"outer").get(), 50);
  EXPECT_EQ((Rect{8, 8, 208, 68}), RectOf(L"inner"));
  EXPECT_EQ((Rect{8, 108, 191, 128}), RectOf(L"target"));
  Scroll(El(L"inner").get(), 1000, 1000); // clamped to the overflow
  EXPECT_EQ(77, Metric(L"inner", L"scrollTop"));
  EXPECT_EQ(0, Metric(L"inner", L"scrollLeft"));
  EXPECT_EQ((Rect{8, 31, 191, 51}), RectOf(L"target"));
  // Scroll offsets are not layout: offsetTop stays.
  EXPECT_EQ(158, Metric(L"target", L"offsetTop"));
  Scroll(El(L"pad").get(), 10); // a container that does not clip does not scroll
  EXPECT_EQ(0, Metric(L"pad", L"scrollTop"));
  // When the content shrinks, the offset follows.
  ASSERT_EQ(S_OK, El(L"inner")->put_innerHTML(Bstr(L"<div style='height:50px'></div>")));
  EXPECT_EQ(7, Metric(L"inner", L"scrollTop")); // 50 high content, client height 43
  EXPECT_EQ(50, Metric(L"outer", L"scrollTop"));
}

TEST_F(PageLayout, ScrollIntoViewScrollsEveryContainerAndHitTestingFollows) {
  Load(kScrolling);
  ASSERT_EQ(S_OK, El(L"target")->scrollIntoView(Var().v));
  EXPECT_EQ(77, Metric(L"inner", L"scrollTop"));
  EXPECT_EQ(73, Metric(L"outer", L"scrollTop"));
  EXPECT_EQ((Rect{8, 8, 191, 28}), RectOf(L"target"));
  Ptr<IHTMLElement> hit;
  ASSERT_EQ(S_OK, doc->elementFromPoint(20, 20, &hit));
  EXPECT_EQ(L"target", Id(hit.get()));
  ASSERT_EQ(S_OK, doc->elementFromPoint(295, 60, &hit)); // on the scrollbar
  EXPECT_EQ(L"outer", Id(hit.get()));
  // Content below the container's client box is clipped, not hit.
  ASSERT_EQ(S_OK, doc->elementFromPoint(20, 112, &hit));
  EXPECT_EQ(L"BODY", Tag(hit.get()));
}

TEST_F(PageLayout, DocumentScrollMovesEverythingButOffsets) {
  Load(R"(<body><div id="tall" style="height:2000px"><span id="s">x</span></div>
<div id="fixed" style="position:fixed;left:0;top:0;width:10px;height:10px"></div></body>)");
  Ptr<IHTMLElement> body = Body();
  EXPECT_EQ(768, Get(body.get(), L"clientHeight").v.lVal);
  EXPECT_EQ(2016, Get(body.get(), L"scrollHeight").v.lVal);
  Ptr<IHTMLDocument3> doc3 = doc.As<IHTMLDocument3>();
  Ptr<IHTMLElement> html;
  ASSERT_EQ(S_OK, doc3->get_documentElement(&html));
  Scroll(html.get(), 100);
  EXPECT_EQ((Rect{8, -92, 16, -76}), RectOf(L"s"));
  Scroll(body.get(), 5000);
  EXPECT_EQ(1148, Get(body.get(), L"scrollTop").v.lVal);
  EXPECT_EQ((Rect{8, -1240, 16, -1224}), RectOf(L"s"));
  EXPECT_EQ(8, Metric(L"s", L"offsetTop"));
  EXPECT_EQ((Rect{0, 0, 10, 10}), RectOf(L"fixed"));
}

TEST_F(PageLayout, OffsetParentChainsEndAtBody) {
  Load(R"(<body><div id="p" style="position:relative">
<table id="t"><tr><td id="c"><span id="s">x</span>
<div id="abs" style="position:absolute;left:1px;top:1px"></div></td></tr></table></div>
<div id="plain"><b id="b">y</b></div></body>)");
  EXPECT_EQ(L"c", OffsetParent(L"s"));
  EXPECT_EQ(L"t", OffsetParent(L"c"));
  EXPECT_EQ(L"p", OffsetParent(L"t"));
  EXPECT_EQ(L"p", OffsetParent(L"abs")); // positioned elements skip cells and tables
  EXPECT_EQ(L"BODY", OffsetParent(L"p"));
  EXPECT_EQ(L"BODY", OffsetParent(L"b"));
  Ptr<IHTMLElement> none;
  ASSERT_EQ(S_OK, Body()->get_offsetParent(&none));
  EXPECT_FALSE(none);
  EXPECT_EQ((Rect{8, 30, 8, 16}), Offsets(L"b")); // relative to the document
  EXPECT_EQ((Rect{8, 8, 1016, 30}), RectOf(L"p"));
}

TEST_F(PageLayout, DisplayNoneHasNoBoxAndVisibilityHiddenKeepsIt) {
  Load(R"(<body><div id="n" style="display:none"><span id="ns">x</span></div>
<div id="h" style="visibility:hidden">x</div><div id="next">y</div></body>)");
  EXPECT_EQ((Rect{0, 0, 0, 0}), RectOf(L"n"));
  EXPECT_EQ((Rect{0, 0, 0, 0}), RectOf(L"ns"));
  EXPECT_EQ((Rect{0, 0, 0, 0}), Offsets(L"ns"));
  EXPECT_EQ(L"<null>", OffsetParent(L"ns"));
  EXPECT_EQ((Rect{8, 8, 1016, 24}), RectOf(L"h"));
  EXPECT_EQ((Rect{8, 24, 1016, 40}), RectOf(L"next"));
  Ptr<IHTMLElement> hit;
  ASSERT_EQ(S_OK, doc->elementFromPoint(20, 12, &hit));
  EXPECT_EQ(L"BODY", Tag(hit.get())); // hidden boxes are not hit
}

TEST_F(PageLayout, EditsRelayTheDocument) {
  Load(R"(<body><div id="box">x</div><div id="next">y</div></body>)");
  EXPECT_EQ((Rect{8, 24, 1016, 40}), RectOf(L"next"));
  ASSERT_EQ(S_OK, El(L"box")->put_innerHTML(Bstr(L"a<br>b<br>c")));
  EXPECT_EQ(48, Metric(L"box", L"offsetHeight"));
  EXPECT_EQ((Rect{8, 56, 1016, 72}), RectOf(L"next"));
  ASSERT_EQ(S_OK, El(L"box")->setAttribute(Bstr(L"style"), Var(L"display:none").v, 0));
  EXPECT_EQ((Rect{8, 8, 1016, 24}), RectOf(L"next"));
  Ptr<IHTMLStyle> style;
  ASSERT_EQ(S_OK, El(L"next")->get_style(&style));
  ASSERT_EQ(S_OK, style->setAttribute(Bstr(L"position"), Var(L"absolute").v, 0));
  ASSERT_EQ(S_OK, style->put_left(Var(L"30px").v));
  ASSERT_EQ(S_OK, style->put_top(Var(L"40px").v));
  ASSERT_EQ(S_OK, style->put_width(Var(L"50px").v));
  EXPECT_EQ((Rect{30, 40, 80, 56}), RectOf(L"next"));
}

TEST_F(PageLayout, FormControlsAndImagesHaveFixedSizes) {
  Load(R"(<body><img id="i" width="100" height="50"><input id="t"><input id="c" type="checkbox">
<input id="h" type="hidden"><input id="s" type="submit" value="Go"><select id="l"><option>abcdef
</option></select><textarea id="a" cols="10" rows="3"></textarea></body>)");
  EXPECT_EQ((Rect{8, 8, 108, 58}), RectOf(L"i"));
  EXPECT_EQ((Rect{108, 8, 258, 30}), RectOf(L"t"));
  EXPECT_EQ((Rect{258, 8, 271, 21}), RectOf(L"c"));
  EXPECT_EQ((Rect{0, 0, 0, 0}), RectOf(L"h"));
  EXPECT_EQ((Rect{279, 8, 311, 30}), RectOf(L"s")); // after a collapsed space
  EXPECT_EQ((Rect{311, 8, 383, 30}), RectOf(L"l"));
  EXPECT_EQ((Rect{383, 8, 484, 60}), RectOf(L"a"));
  EXPECT_EQ(52, Metric(L"a", L"offsetHeight")); // the line is as tall as its tallest item
}

TEST_F(PageLayout, FramesSplitTheViewportAndFrameDocumentsUseTheirFramesSize) {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / ("tallowick-layout-" + std::to_string(getpid()));
  fs::create_directories(folder);
  auto write = [&](const char *name, const char *html) { std::ofstream(folder / name) << html; };
  write("top.html", "<frameset rows='100,*' cols='30%,*'><frame id='a' name='a' src='leaf.html'>"
                    "<frame id='b' src='leaf.html'><frame id='c' name='c' src='holder.html'>"
                    "<frame id='d'></frameset>");
  write("holder.html", "<body><iframe id='f' name='f' src='leaf.html' width='200' "
                       "height='100'></iframe></body>");
  write("leaf.html", "<body><div id='wide'>x</div></body>");
  ASSERT_EQ(S_OK,
            tallowick::platform::LoadPageFromFile((folder / "top.html").wstring(), L"", &doc));
  EXPECT_EQ((Rect{0, 0, 307, 100}), RectOf(L"a"));
  EXPECT_EQ((Rect{307, 0, 1024, 100}), RectOf(L"b"));
  EXPECT_EQ((Rect{0, 100, 307, 768}), RectOf(L"c"));
  EXPECT_EQ((Rect{307, 100, 1024, 768}), RectOf(L"d"));

  Ptr<IHTMLDocument2> top = std::move(doc);
  doc = FrameDocument(top.get(), L"a");
  ASSERT_TRUE(doc);
  EXPECT_EQ((Rect{8, 8, 299, 24}), RectOf(L"wide"));
  EXPECT_EQ(100, Get(Body().get(), L"clientHeight").v.lVal);

  doc = FrameDocument(top.get(), L"c");
  ASSERT_TRUE(doc);
  EXPECT_EQ((Rect{8, 8, 208, 108}), RectOf(L"f"));
  EXPECT_EQ(196, Metric(L"f", L"clientWidth")); // inside its 2-pixel border
  Ptr<IHTMLDocument2> holder = std::move(doc);
  doc = FrameDocument(holder.get(), L"f");
  ASSERT_TRUE(doc);
  EXPECT_EQ((Rect{8, 8, 188, 24}), RectOf(L"wide"));
  doc = Ptr<IHTMLDocument2>();
  fs::remove_all(folder);
}

} // namespace

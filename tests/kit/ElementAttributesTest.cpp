// Element attributes of the element object on real pages.
#include "WebObjTestSupport.h"

namespace {

TEST_F(WebObjTest, AttributeQueryEdges) {
  Load("<html><body><div id=d class=box>Hello <b>you</b></div></body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"d");
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(ao->GetAttr(-1, nullptr, &value), E_UNEXPECTED);
  EXPECT_EQ(ao->GetAttr(9999, nullptr, &value), E_FAIL);
  EXPECT_FALSE(value);
  EXPECT_EQ(ao->GetAttr(58, nullptr, nullptr), E_POINTER);
  ao->SetKitId(4);
  ASSERT_EQ(ao->GetAttr(185, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 4);

  ASSERT_EQ(ao->GetAttr(58, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"DIV");
  ASSERT_EQ(ao->GetAttr(138, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"d");
  ASSERT_EQ(ao->GetAttr(103, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"box");
  ASSERT_EQ(ao->GetAttr(105, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"Hello you");
  // 160: the inner text when there is one; 146: id 2 (none here), then the inner text.
  ASSERT_EQ(ao->GetAttr(160, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"Hello you");
  ASSERT_EQ(ao->GetAttr(146, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"Hello you");
  ASSERT_EQ(ao->GetAttr(100, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 1);
  // No parent frame: 20 answers nothing, 9 an empty value (not handed out).
  EXPECT_EQ(ao->GetAttr(20, nullptr, &value), S_OK);
  EXPECT_FALSE(value);
  EXPECT_EQ(ao->GetAttr(9, nullptr, &value), S_OK);
  EXPECT_FALSE(value);
}

TEST_F(WebObjTest, WidthHeightAndGeometry) {
  Load("<html><body style='margin:0'>"
       "<img id=pct width='50%' style='position:absolute; left:10px; top:20px; width:80px; "
       "height:30px'>"
       "<img id=num width=64 height=16 style='position:absolute; left:0; top:100px'>"
       "<div id=box style='position:absolute; left:5px; top:7px; width:40px; height:9px'></div>"
       "</body></html>");
  CQilComPtr<IWebObj2> pct = AO(L"pct");
  CQilComPtr<IHTMLElement2> element2;
  element2.QueryFrom(Element(L"pct"));
  CQilComPtr<IHTMLRect> bounds;
  ASSERT_EQ(element2->getBoundingClientRect(&bounds), S_OK);
  LONG left = 0, right = 0, top = 0, bottom = 0;
  bounds->get_left(&left);
  bounds->get_right(&right);
  bounds->get_top(&top);
  bounds->get_bottom(&bottom);
  CQilComPtr<IWebAttrVal> value;
  ASSERT_EQ(pct->GetAttr(7, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), right - left); // the rectangle's width, not 50
  EXPECT_EQ(Long(value), 80);

  CQilComPtr<IWebObj2> num = AO(L"num");
  ASSERT_EQ(num->GetAttr(7, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 64);
  ASSERT_EQ(num->GetAttr(8, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 16);

  CQilComPtr<IWebObj2> box = AO(L"box");
  ASSERT_EQ(box->GetAttr(7, nullptr, &value), S_OK); // no attribute: the style's pixelWidth
  EXPECT_EQ(Long(value), 40);
  ASSERT_EQ(box->GetAttr(70, nullptr, &value), S_OK);
  RECT rect = {};
  ASSERT_EQ(value->GetRectValue(0, &rect), S_OK);
  EXPECT_EQ(rect.left, 5);
  EXPECT_EQ(rect.top, 7);
  EXPECT_EQ(rect.right, 45);
  EXPECT_EQ(rect.bottom, 16);
  ASSERT_EQ(box->GetAttr(65, nullptr, &value), S_OK);
  POINT point = {};
  ASSERT_EQ(value->GetPointValue(0, &point), S_OK);
  EXPECT_EQ(point.x, 5);
  EXPECT_EQ(point.y, 7);
  ASSERT_EQ(box->GetAttr(143, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 5);
  // Without a parent frame the screen rectangle is unshifted.
  ASSERT_EQ(box->GetAttr(102, nullptr, &value), S_OK);
  ASSERT_EQ(value->GetRectValue(0, &rect), S_OK);
  EXPECT_EQ(rect.left, 5);
  EXPECT_EQ(rect.right, 45);
  // With one, shifted by the top-left corner of the frame's rectangle 70.
  CQilComPtr<IWebObj2> frame = AO(L"pct");
  CQilComPtr<IWebObj2> inFrame = AO(L"box", frame);
  ASSERT_EQ(inFrame->GetAttr(102, nullptr, &value), S_OK);
  ASSERT_EQ(value->GetRectValue(0, &rect), S_OK);
  EXPECT_EQ(rect.left, 5 + left);
  EXPECT_EQ(rect.top, 7 + top);
  ASSERT_EQ(inFrame->GetAttr(155, nullptr, &value), S_OK);
  EXPECT_EQ(Long(value), 7 + top);
}

TEST_F(WebObjTest, VisibilityFollowsInherit) {
  Load("<html><body>"
       "<div style='visibility:hidden'><span id=hidden style='visibility:inherit'>x</span></div>"
       "<div><span id=open style='visibility:inherit'>y</span></div>"
       "<div style='visibility:visible'><span id=shown>z</span></div>"
       "</body></html>");
  CQilComPtr<IWebAttrVal> value;
  LONG visible = -1;
  ASSERT_EQ(AO(L"hidden")->GetAttr(149, nullptr, &value), S_OK);
  ASSERT_EQ(value->GetBoolValue(0, &visible), S_OK);
  EXPECT_EQ(visible, 0);
  ASSERT_EQ(AO(L"open")->GetAttr(149, nullptr, &value), S_OK);
  ASSERT_EQ(value->GetBoolValue(0, &visible), S_OK);
  EXPECT_NE(visible, 0);
  ASSERT_EQ(AO(L"shown")->GetAttr(149, nullptr, &value), S_OK);
  ASSERT_EQ(value->GetBoolValue(0, &visible), S_OK);
  EXPECT_NE(visible, 0);

  // Comparison of 149 takes a long or a boolean; anything else is E_FAIL.
  CQilComPtr<IWebObj2> hidden = AO(L"hidden");
  EXPECT_EQ(hidden->CompareAttr(149, HostServices::NewWebAttrValBool(false), 0, 0), S_OK);
  EXPECT_EQ(hidden->CompareAttr(149, HostServices::NewWebAttrValLong(1), 0, 0), S_FALSE);
  EXPECT_EQ(hidden->CompareAttr(149, HostServices::NewWebAttrValString(CQilBstr(L"1")), 0, 0),
            E_FAIL);
}

TEST_F(WebObjTest, SubtreeListingIsPreOrder) {
  Load("<html><body><div id=d><p>a<i>b</i></p><span>c</span></div></body></html>");
  CQilComPtr<IWebAttrVal> value;
  ASSERT_EQ(AO(L"d")->GetAttr(168, nullptr, &value), S_OK);
  UINT size = 0;
  value->GetSize(&size);
  ASSERT_EQ(size, 4u);
  EXPECT_EQ(String(value, 0), L"0 DIV");
  EXPECT_EQ(String(value, 1), L"1 P");
  EXPECT_EQ(String(value, 2), L"2 I");
  EXPECT_EQ(String(value, 3), L"1 SPAN");
}

TEST_F(WebObjTest, ComparisonsAndNamedDomAttributes) {
  Load("<html><body><a id=l href='x.html' data-k='v1'>Link text</a></body></html>");
  CQilComPtr<IWebObj2> ao = AO(L"l");
  auto text = [](LPCOLESTR s) { return HostServices::NewWebAttrValString(CQilBstr(s)); };
  EXPECT_EQ(ao->CompareAttr(0, text(L"Any Web Object"), 0, 0), S_OK);
  EXPECT_EQ(ao->CompareAttr(0, text(L"WebElement"), 0, 0), S_OK);
  EXPECT_EQ(ao->CompareAttr(0, text(L"Link"), 0, 0), S_FALSE);
  EXPECT_EQ(ao->CompareAttr(0, text(L"NoSuchClass"), 0, 0), S_FALSE);
  EXPECT_EQ(ao->CompareAttr(214, text(L"whatever"), 0, 0), S_OK);
  EXPECT_EQ(ao->CompareAttr(58, text(L"A"), 0, 0), S_OK);
  EXPECT_EQ(ao->CompareAttr(58, text(L"a"), 0, -1), S_OK);
  EXPECT_EQ(ao->CompareAttr(58, text(L"B"), 0, 0), S_FALSE);
  EXPECT_EQ(ao->CompareAttr(-1, text(L"A"), 0, 0), E_UNEXPECTED);
  // 132 asks CONTAINS_TEXT, which needs id 3: a plain element answers no.
  EXPECT_EQ(ao->CompareAttr(132, text(L"Link"), 0, 0), S_OK);

  CQilComPtr<IWebAttrVal> value;
  ASSERT_EQ(ao->GetAttr(164, text(L"data-k"), &value), S_OK);
  EXPECT_EQ(String(value), L"v1");
  EXPECT_EQ(ao->GetAttrEx(164, nullptr, &value), E_INVALIDARG);

  // GetAttrs fills a record entry by entry.
  CQilComPtr<IWebInfo> info = Request();
  info->InsertAttr(58);
  info->InsertAttr(138);
  info->InsertAttr(9999);
  IWebInfo *record = info;
  ASSERT_EQ(ao->GetAttrs(&record), S_OK);
  CQilBstr tag;
  EXPECT_EQ(info->GetStringValueByName(58, &tag), S_OK);
  EXPECT_STREQ(tag.Text(), L"A");
  IWebInfo *none = nullptr;
  EXPECT_EQ(ao->GetAttrs(&none), E_UNEXPECTED);
}

} // namespace

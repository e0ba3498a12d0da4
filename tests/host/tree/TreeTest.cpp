// Building the tree, the agent object services, frames and the host objects'
// attributes.
#include "TreeTestSupport.h"

namespace {

const char kPage[] = R"(<html><head><title>Shop</title></head><body>
<div class="menu" id="menu"><a id="first" href="a.html">First</a><a href="b.html">Second <b id="bold">page</b></a></div>
<p>plain <i>text</i></p>
<table id="grid"><tr><td>1</td><td>2</td></tr><tr><td>3</td><td><input type="checkbox" id="chk" checked></td></tr></table>
<input type="text" name="q" value="Tea" class="search box">
</body></html>)";

TEST_F(TreeTest, FormPageBecomesATreeOfStandardClasses) {
  LoadExample("form.html");
  EXPECT_EQ(Dump(Page().Get()), "Page Order form\n"
                                "  Frame Order form\n"
                                "    WebElement Panel1\n"
                                "      WebEdit txtName\n"
                                "      WebList ddlCountry\n"
                                "      WebElement rblShip\n"
                                "        WebRadioGroup rblShip\n"
                                "      WebCheckBox chkGift\n"
                                "      WebEdit txtNotes\n"
                                "      Image Logo\n"
                                "      WebButton Order\n");
  // Both radio buttons are the one group object.
  EXPECT_EQ(AO(Find(L"#rblShip_0").Get()).Get(), AO(Find(L"#rblShip_1").Get()).Get());
  EXPECT_EQ(Text(AO(Find(L"#rblShip_1").Get()).Get(), 6), L"Air");
}

TEST_F(TreeTest, ElementAOIsMadeOnDemandOnlyWithTheCreateFlag) {
  Load(kPage);
  ComPtr<IHTMLElement> italic = Find(L"p > i");
  ComPtr<IWebObj2> none;
  EXPECT_EQ(services_->GetElementAO(italic.Get(), TopFrame().Get(), VARIANT_FALSE, none.Out()),
            S_FALSE);
  EXPECT_FALSE(none);

  ComPtr<IWebObj2> made;
  ASSERT_EQ(services_->GetElementAO(italic.Get(), TopFrame().Get(), VARIANT_TRUE, made.Out()),
            S_OK);
  EXPECT_EQ(Class(made.Get()), 10); // WebElement
  ComPtr<IWebObj2> again;
  EXPECT_EQ(services_->GetElementAO(italic.Get(), nullptr, VARIANT_FALSE, again.Out()), S_OK);
  EXPECT_EQ(again.Get(), made.Get());
  // It hangs under the nearest object above it: the frame.
  ComPtr<IWebObj2> parent;
  ASSERT_EQ(made->GetParent(parent.Out()), S_OK);
  EXPECT_EQ(parent.Get(), TopFrame().Get());

  ComPtr<IWebObj2> link;
  ASSERT_EQ(
      services_->GetElementAO(Find(L"#first").Get(), TopFrame().Get(), VARIANT_FALSE, link.Out()),
      S_OK);
  EXPECT_EQ(Class(link.Get()), 12); // Link
  EXPECT_EQ(services_->GetElementAO(nullptr, nullptr, VARIANT_TRUE, link.Out()), E_INVALIDARG);
  EXPECT_EQ(services_->GetElementAO(Find(L"#first").Get(), nullptr, VARIANT_TRUE, nullptr),
            E_POINTER);
}

TEST_F(TreeTest, ElementsOfAPageWithoutTreeHaveNoAO) {
  Load(kPage);
  ComPtr<IHTMLDocument2> other;
  ASSERT_EQ(tallowick::platform::LoadPageFromString("<a href='x'>x</a>", L"", other.Out()), S_OK);
  ComPtr<IHTMLElement> root = DocumentElementOf(other.Get());
  ComPtr<IWebObj2> ao;
  EXPECT_EQ(services_->GetElementAO(root.Get(), nullptr, VARIANT_TRUE, ao.Out()), S_FALSE);
  EXPECT_FALSE(ao);
}

TEST_F(TreeTest, FrameFindsAnyOfItsObjectsById) {
  Load(kPage);
  ComPtr<IWebObj2> checkbox = AO(Find(L"#chk").Get());
  ASSERT_TRUE(checkbox);
  ComPtr<IWebRunTimeID> id;
  ASSERT_EQ(checkbox->GetId(id.Out()), S_OK);
  ComPtr<IWebObj2> found;
  EXPECT_EQ(TopFrame()->GetChildById(id.Get(), found.Out()), S_OK);
  EXPECT_EQ(found.Get(), checkbox.Get());
  // Not a direct child: the checkbox is in a cell of a row of the table.
  EXPECT_EQ(TopFrame()->GetDirectChildById(id.Get(), found.Out()), E_FAIL);

  LONG browser = 0, frame = 0, object = 0;
  id->GetInnerStdWinId(&browser);
  id->GetInnerFrameId(&frame);
  id->GetInnerObjId(&object);
  EXPECT_NE(browser, 0);
  EXPECT_NE(frame, 0);
  EXPECT_NE(object, 0);
  id->SetInnerObjId(object + 1000);
  EXPECT_EQ(TopFrame()->GetChildById(id.Get(), found.Out()), E_FAIL);
  EXPECT_FALSE(found);
  EXPECT_EQ(TopFrame()->GetChildById(nullptr, found.Out()), E_INVALIDARG);

  // Agent services find it from the id alone.
  ASSERT_EQ(checkbox->GetId(id.Out()), S_OK);
  ComPtr<IWebObj2> byId;
  EXPECT_EQ(services_->FindAOById(id.Get(), byId.Out()), S_OK);
  EXPECT_EQ(byId.Get(), checkbox.Get());
}

TEST_F(TreeTest, ParentsChildrenAndIndexes) {
  Load(kPage);
  ComPtr<IWebObj2> table = AO(Find(L"#grid").Get());
  ComPtr<IWebObj2> row = Child(table.Get(), 1);
  ASSERT_TRUE(row);
  EXPECT_EQ(Class(row.Get()), 2); // HtmlRow
  LONG index = 0;
  EXPECT_EQ(table->GetChildIndex(row.Get(), &index), S_OK);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(table->GetChildIndex(TopFrame().Get(), &index), S_OK);
  EXPECT_EQ(index, -1);
  ComPtr<IWebObj2> none;
  EXPECT_EQ(table->GetChild(2, none.Out()), static_cast<HRESULT>(0x80040211));

  ComPtr<IWebObj2> frame;
  ASSERT_EQ(AO(Find(L"#chk").Get())->GetParentFrame(frame.Out()), S_OK);
  EXPECT_EQ(frame.Get(), TopFrame().Get());
  // The page's own frame has no parent frame; its parent is the page.
  EXPECT_EQ(TopFrame()->GetParentFrame(frame.Out()), S_OK);
  EXPECT_FALSE(frame);
  ComPtr<IWebObj2> parent;
  ASSERT_EQ(TopFrame()->GetParent(parent.Out()), S_OK);
  EXPECT_EQ(parent.Get(), Page().Get());
  ASSERT_EQ(Page()->GetParent(parent.Out()), S_OK);
  EXPECT_EQ(QueryAs<IUnknown>(parent.Get()).Get(), QueryAs<IUnknown>(browser_.Get()).Get());

  // All children of the table: rows, cells, the checkbox.
  SAFEARRAY *all = nullptr;
  ASSERT_EQ(table->GetAllChildren(nullptr, &all), S_OK);
  LONG upper = -1;
  SafeArrayGetUBound(all, 1, &upper);
  EXPECT_EQ(upper + 1, 2 + 4 + 1);
  SafeArrayDestroy(all);
}

TEST_F(TreeTest, HostObjectsAnswerTheAttributesKitsRead) {
  Load(kPage);
  ComPtr<IWebObj2> link = AO(Find(L"#first").Get());
  EXPECT_EQ(Text(link.Get(), 0), L"Link");
  EXPECT_EQ(Text(link.Get(), 3), L"First");
  EXPECT_EQ(Text(link.Get(), 6), L"First");
  EXPECT_EQ(Text(link.Get(), 53), L"http://test/a.html");
  EXPECT_EQ(Text(link.Get(), 58), L"A");
  EXPECT_EQ(Text(link.Get(), 95), L"First");
  EXPECT_EQ(Text(link.Get(), 104), L"First");
  EXPECT_EQ(Text(link.Get(), 138), L"first");

  ComPtr<IWebObj2> edit = AO(Find(L"[name=q]").Get());
  EXPECT_EQ(Text(edit.Get(), 0), L"WebEdit");
  EXPECT_EQ(Text(edit.Get(), 6), L"Tea");
  EXPECT_EQ(Text(edit.Get(), 95), L"q");
  EXPECT_EQ(Text(edit.Get(), 139), L"search box");

  ComPtr<IWebObj2> checkbox = AO(Find(L"#chk").Get());
  ComPtr<IWebAttrVal> checked;
  ASSERT_EQ(checkbox->GetAttr(17, nullptr, checked.Out()), S_OK);
  LONG flag = 0;
  EXPECT_EQ(checked->GetBoolValue(0, &flag), S_OK);
  EXPECT_NE(flag, 0);
  EXPECT_EQ(Text(AO(Find(L"#grid").Get()).Get(), 95), L"grid");

  // 70 is the client rectangle; 102 the same in screen terms.
  ComPtr<IWebAttrVal> rect;
  ASSERT_EQ(link->GetAttr(70, nullptr, rect.Out()), S_OK);
  tagRECT r{};
  EXPECT_EQ(rect->GetRectValue(0, &r), S_OK);
  EXPECT_GT(r.right, r.left);
  EXPECT_GT(r.bottom, r.top);

  ComPtr<IWebAttrVal> expected;
  ASSERT_EQ(CoCreateInstance(CLSID_WebAttrVal, nullptr, CLSCTX_INPROC_SERVER, IID_IWebAttrVal,
                             reinterpret_cast<void **>(expected.Out())),
            S_OK);
  BSTR text = SysAllocString(L"FIRST");
  expected->AddString(text);
  SysFreeString(text);
  EXPECT_EQ(link->CompareAttr(95, expected.Get(), VARIANT_FALSE, VARIANT_TRUE), S_OK);
  EXPECT_EQ(link->CompareAttr(95, expected.Get(), VARIANT_FALSE, VARIANT_FALSE), S_FALSE);

  ComPtr<IWebAttrVal> value;
  EXPECT_EQ(link->GetAttr(99999, nullptr, value.Out()), E_FAIL);
  EXPECT_FALSE(value);
  EXPECT_EQ(link->GetAttr(0, nullptr, nullptr), E_POINTER);
}

TEST_F(TreeTest, FramesAndIframesHaveTheirOwnFrameObjects) {
  LoadExample("frames.html");
  std::string tree = Dump(Page().Get());
  EXPECT_EQ(tree.substr(0, tree.find("          HtmlRow")), "Page Frames\n"
                                                            "  Frame Frames\n"
                                                            "    Frame nav\n"
                                                            "      Link Orders\n"
                                                            "      Link Grid\n"
                                                            "    Frame main\n"
                                                            "      WebElement Main\n"
                                                            "      Frame calendar\n"
                                                            "        WebTable Calendar1\n");
  EXPECT_NE(tree.find("\n    Frame gone\n"), std::string::npos);

  // Screen offsets: the page's own frame at the client origin, each frame
  // further in at its element's place; 70 is the frame's screen rectangle.
  ComPtr<IWebObj2> nav = Child(TopFrame().Get(), 0);
  ComPtr<IWebObj2> main = Child(TopFrame().Get(), 1);
  ComPtr<IWebObj2> calendar = Child(main.Get(), 1);
  auto offset = [](IWebObj2 *frame) {
    ComPtr<IWebAttrVal> value;
    tagPOINT p{-1, -1};
    if (frame->GetAttr(201, nullptr, value.Out()) == S_OK)
      value->GetPointValue(0, &p);
    return p;
  };
  auto rect = [](IWebObj2 *frame) {
    ComPtr<IWebAttrVal> value;
    tagRECT r{-1, -1, -1, -1};
    if (frame->GetAttr(70, nullptr, value.Out()) == S_OK)
      value->GetRectValue(0, &r);
    return r;
  };
  EXPECT_EQ(offset(TopFrame().Get()).x, 0);
  EXPECT_EQ(offset(TopFrame().Get()).y, 0);
  EXPECT_EQ(offset(nav.Get()).x, 0);
  EXPECT_EQ(offset(main.Get()).x, 200); // cols="200,*"
  EXPECT_EQ(rect(nav.Get()).right, 200);
  EXPECT_EQ(rect(main.Get()).left, 200);
  RECT iframe = ClientRect(Find(L"#ifrCalendar", main.Get()).Get());
  EXPECT_EQ(offset(calendar.Get()).x, 200 + iframe.left);
  EXPECT_EQ(offset(calendar.Get()).y, iframe.top);
  EXPECT_EQ(rect(calendar.Get()).right - rect(calendar.Get()).left, 300);

  // Frame services: the frame's document and window number.
  auto frameAO = QueryAs<IWIFrameAO>(main.Get());
  ASSERT_TRUE(frameAO);
  ComPtr<IUnknown> document;
  ASSERT_EQ(frameAO->GetDocument(document.Out()), S_OK);
  auto document2 = QueryAs<IHTMLDocument2>(document.Get());
  ASSERT_TRUE(document2);
  BSTR url = nullptr;
  document2->get_URL(&url);
  EXPECT_NE(std::wstring(url, SysStringLen(url)).find(L"frames/main.html"), std::wstring::npos);
  SysFreeString(url);
  LONG window = 0;
  EXPECT_EQ(frameAO->GetWindowNumber(&window), S_OK);
  EXPECT_GT(window, 0);
}

TEST_F(TreeTest, TableSectionsAreLookedThroughNotMadeObjects) {
  Load("<table id='t'><caption>Prices</caption><tbody><tr><td>1</td></tr></tbody></table>"
       "<div><span>made on demand</span></div>");
  ComPtr<IWebObj2> made;
  for (const wchar_t *css : {L"#t > tbody", L"#t > caption"}) {
    EXPECT_EQ(services_->GetElementAO(Find(css).Get(), TopFrame().Get(), VARIANT_TRUE, made.Out()),
              S_FALSE)
        << tallowick::platform::Narrow(css);
    EXPECT_FALSE(made);
  }
  ComPtr<IWebObj2> row = AO(Find(L"#t tr").Get());
  ASSERT_TRUE(row);
  ComPtr<IWebObj2> parent;
  ASSERT_EQ(row->GetParent(parent.Out()), S_OK);
  EXPECT_EQ(parent.Get(), AO(Find(L"#t").Get()).Get());
  // Other elements without an object still get one when asked to create it.
  EXPECT_EQ(services_->GetElementAO(Find(L"div > span").Get(), TopFrame().Get(), VARIANT_TRUE,
                                    made.Out()),
            S_OK);
  EXPECT_TRUE(made);
}

} // namespace

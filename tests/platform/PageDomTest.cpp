// The element tree as IE reports it: tag names, collections, text, source
// order, attributes and expandos, tables, links, mutations and identity.
#include "PageTestSupport.h"

#include <string>

namespace {

constexpr const char *kPage = R"html(<html><head><title>Orders</title></head><body>
<div id="top" class="banner">Welcome<br>back</div>
<ie:TabStrip id="tabs"><ie:Tab>One</ie:Tab></ie:TabStrip>
<custom id="unknown">x</custom>
<input name="qty" id="q1"><input name="qty" id="q2"><input name="qty" id="q3">
<img id="logo" src="img/logo.gif" width="100" myattr="mine">
<a id="next" href="../list.aspx?page=2">Next</a>
<a id="post" href="javascript:__doPostBack('Cal','1')">1</a>
<p id="para"><span id="s1">a</span><span id="s2">b</span></p>
</body></html>)html";

class PageDom : public ::testing::Test {
protected:
  Ptr<IHTMLDocument2> doc = LoadHtml(kPage);
  Ptr<IHTMLElement> El(const wchar_t *id) { return ById(doc.get(), id); }
  Ptr<IHTMLElementCollection> All() {
    Ptr<IHTMLElementCollection> all;
    EXPECT_EQ(S_OK, doc->get_all(&all));
    return all;
  }
  Var Attr(const wchar_t *id, const wchar_t *name, LONG flags) {
    Var value;
    EXPECT_EQ(S_OK, El(id)->getAttribute(Bstr(name), flags, &value.v));
    return value;
  }
};

TEST_F(PageDom, TagNamesAreUpperCaseExceptPrefixedTagsLocalNames) {
  EXPECT_EQ(L"DIV", Tag(El(L"top").get()));
  EXPECT_EQ(L"TabStrip", Tag(El(L"tabs").get()));
  EXPECT_EQ(L"CUSTOM", Tag(El(L"unknown").get()));
  Ptr<IHTMLElement2> tabs = El(L"tabs").As<IHTMLElement2>();
  BSTR scope = nullptr;
  ASSERT_EQ(S_OK, tabs->get_scopeName(&scope));
  EXPECT_EQ(L"ie", Take(scope));
}

TEST_F(PageDom, ItemByNameAndIndex) {
  Ptr<IHTMLElementCollection> all = All();
  Ptr<IDispatch> one;
  ASSERT_EQ(S_OK, all->item(Var(L"top").v, Var().v, &one));
  EXPECT_EQ(L"top", Id(one.get())); // a single hit is the element

  Ptr<IDispatch> several;
  ASSERT_EQ(S_OK, all->item(Var(L"qty").v, Var().v, &several));
  Ptr<IHTMLElementCollection> named = several.As<IHTMLElementCollection>();
  ASSERT_TRUE(named);
  EXPECT_EQ(3, Length(named.get()));

  Ptr<IDispatch> second;
  ASSERT_EQ(S_OK, all->item(Var(L"qty").v, Var(LONG{1}).v, &second));
  EXPECT_EQ(L"q2", Id(second.get()));

  Ptr<IDispatch> first;
  ASSERT_EQ(S_OK, all->item(Var(LONG{0}).v, Var().v, &first));
  EXPECT_EQ(L"HTML", Tag(first.As<IHTMLElement>().get()));

  Ptr<IDispatch> none;
  EXPECT_EQ(S_OK, all->item(Var(L"absent").v, Var().v, &none));
  EXPECT_FALSE(none);
  EXPECT_EQ(S_OK, all->item(Var(LONG{9999}).v, Var().v, &none));
  EXPECT_FALSE(none);
  EXPECT_EQ(E_POINTER, all->item(Var(LONG{0}).v, Var().v, nullptr));
}

TEST_F(PageDom, TagsIsCaseInsensitiveAndChildrenAreDirect) {
  Ptr<IDispatch> inputs;
  ASSERT_EQ(S_OK, All()->tags(Var(L"input").v, &inputs));
  EXPECT_EQ(3, Length(inputs.As<IHTMLElementCollection>().get()));
  Ptr<IDispatch> tabs;
  ASSERT_EQ(S_OK, All()->tags(Var(L"TABSTRIP").v, &tabs));
  EXPECT_EQ(1, Length(tabs.As<IHTMLElementCollection>().get()));

  Ptr<IHTMLElement> body;
  ASSERT_EQ(S_OK, doc->get_body(&body));
  Ptr<IDispatch> children, all;
  ASSERT_EQ(S_OK, body->get_children(&children));
  ASSERT_EQ(S_OK, body->get_all(&all));
  EXPECT_EQ(10, Length(children.As<IHTMLElementCollection>().get()));
  EXPECT_EQ(14, Length(all.As<IHTMLElementCollection>().get()));
}

TEST_F(PageDom, InnerTextOfBreaksAndTables) {
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, El(L"top")->get_innerText(&text));
  EXPECT_EQ(L"Welcome\r\nback", Take(text));

  Ptr<IHTMLDocument2> tables = LoadHtml(
      "<table id='t'><tr><td> a  b </td><td>c</td></tr><tr><td>d</td><td>e</td></tr></table>");
  ASSERT_EQ(S_OK, ById(tables.get(), L"t")->get_innerText(&text));
  EXPECT_EQ(L"a b\tc\r\nd\te", Take(text));
}

TEST_F(PageDom, SourceIndexIsDocumentOrder) {
  Ptr<IHTMLElementCollection> all = All();
  for (LONG i = 0; i < Length(all.get()); ++i) {
    Ptr<IDispatch> item;
    ASSERT_EQ(S_OK, all->item(Var(i).v, Var().v, &item));
    LONG index = -1;
    ASSERT_EQ(S_OK, item.As<IHTMLElement>()->get_sourceIndex(&index));
    EXPECT_EQ(i, index);
  }
}

TEST_F(PageDom, GetAttributeFlagsAndTypes) {
  EXPECT_EQ(VT_NULL, Attr(L"logo", L"absent", 0).v.vt);
  Var width = Attr(L"logo", L"width", 0);
  ASSERT_EQ(VT_I4, width.v.vt);
  EXPECT_EQ(100, width.v.lVal);
  Var mine = Attr(L"logo", L"MYATTR", 0);
  ASSERT_EQ(VT_BSTR, mine.v.vt);
  EXPECT_EQ(L"mine", mine.Text());
  EXPECT_EQ(VT_NULL, Attr(L"logo", L"MYATTR", 1).v.vt); // flag 1: case-sensitive
  // Properties answer first; flag 2 gives the attribute as written.
  EXPECT_EQ(L"http://example.test/list.aspx?page=2", Attr(L"next", L"href", 0).Text());
  EXPECT_EQ(L"../list.aspx?page=2", Attr(L"next", L"href", 2).Text());
  EXPECT_EQ(L"Welcome\r\nback", Attr(L"top", L"innerText", 0).Text());
  EXPECT_EQ(L"banner", Attr(L"top", L"className", 0).Text());
}

TEST_F(PageDom, ExpandosBySetAttributeAndByDispatch) {
  Ptr<IHTMLElement> div = El(L"top");
  ASSERT_EQ(S_OK, div->setAttribute(Bstr(L"rowKey"), Var(LONG{42}).v, 0));
  Var typed = Attr(L"top", L"rowkey", 0);
  ASSERT_EQ(VT_I4, typed.v.vt);
  EXPECT_EQ(42, typed.v.lVal);
  Var byName = Get(div.get(), L"ROWKEY");
  ASSERT_EQ(VT_I4, byName.v.vt);
  EXPECT_EQ(42, byName.v.lVal);

  Var text(L"changed");
  ASSERT_EQ(S_OK, Invoke(div.get(), L"rowKey", DISPATCH_PROPERTYPUT, {text.v}, nullptr));
  EXPECT_EQ(L"changed", Attr(L"top", L"rowKey", 0).Text());
  // Markup attributes are expandos too; unknown names are not members.
  EXPECT_EQ(L"mine", Get(El(L"logo").get(), L"myattr").Text());
  DISPID id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"noSuchThing")};
  EXPECT_EQ(DISP_E_UNKNOWNNAME, div->GetIDsOfNames(IID_NULL, names, 1, 0, &id));

  VARIANT_BOOL removed = VARIANT_FALSE;
  ASSERT_EQ(S_OK, div->removeAttribute(Bstr(L"rowKey"), 1, &removed));
  EXPECT_EQ(VARIANT_TRUE, removed);
  EXPECT_EQ(VT_NULL, Attr(L"top", L"rowKey", 0).v.vt);
}

TEST_F(PageDom, AnchorsResolveAgainstThePageUrl) {
  Ptr<IHTMLAnchorElement> next = El(L"next").As<IHTMLAnchorElement>();
  ASSERT_TRUE(next);
  BSTR href = nullptr;
  ASSERT_EQ(S_OK, next->get_href(&href));
  EXPECT_EQ(L"http://example.test/list.aspx?page=2", Take(href));
  ASSERT_EQ(S_OK, El(L"post").As<IHTMLAnchorElement>()->get_href(&href));
  EXPECT_EQ(L"javascript:__doPostBack('Cal','1')", Take(href));
  EXPECT_FALSE(El(L"top").As<IHTMLAnchorElement>()); // a DIV is no anchor
}

TEST_F(PageDom, ContainsAndIdentity) {
  Ptr<IHTMLElement> para = El(L"para"), span = El(L"s1");
  VARIANT_BOOL result = VARIANT_FALSE;
  ASSERT_EQ(S_OK, para->contains(span.get(), &result));
  EXPECT_EQ(VARIANT_TRUE, result);
  ASSERT_EQ(S_OK, span->contains(para.get(), &result));
  EXPECT_EQ(VARIANT_FALSE, result);
  ASSERT_EQ(S_OK, para->contains(para.get(), &result));
  EXPECT_EQ(VARIANT_TRUE, result);

  Ptr<IHTMLElement> parent;
  ASSERT_EQ(S_OK, span->get_parentElement(&parent));
  EXPECT_EQ(para.get(), parent.get());
  Ptr<IUnknown> a = para.As<IUnknown>(), b = parent.As<IHTMLDOMNode>().As<IUnknown>();
  EXPECT_EQ(a.get(), b.get());
}

TEST_F(PageDom, MutationsKeepCollectionsLive) {
  Ptr<IHTMLElement> para = El(L"para");
  Ptr<IDispatch> spansDispatch;
  ASSERT_EQ(S_OK, para->get_children(&spansDispatch));
  Ptr<IHTMLElementCollection> spans = spansDispatch.As<IHTMLElementCollection>();
  Ptr<IHTMLElement> kept = El(L"s1");
  EXPECT_EQ(2, Length(spans.get()));

  ASSERT_EQ(S_OK, para->insertAdjacentHTML(Bstr(L"beforeEnd"), Bstr(L"<b id='s3'>c</b>")));
  EXPECT_EQ(3, Length(spans.get()));
  ASSERT_EQ(S_OK, para->insertAdjacentHTML(Bstr(L"afterBegin"), Bstr(L"<i id='s0'>z</i>")));
  BSTR html = nullptr;
  ASSERT_EQ(S_OK, para->get_innerHTML(&html));
  EXPECT_EQ(L"<I id=\"s0\">z</I><SPAN id=\"s1\">a</SPAN><SPAN id=\"s2\">b</SPAN><B id=\"s3\">c</B>",
            Take(html));
  EXPECT_EQ(E_INVALIDARG, para->insertAdjacentHTML(Bstr(L"sideways"), Bstr(L"x")));

  ASSERT_EQ(S_OK, El(L"s2")->put_outerHTML(Bstr(L"")));
  EXPECT_EQ(3, Length(spans.get()));
  EXPECT_FALSE(El(L"s2"));

  ASSERT_EQ(S_OK, para->put_innerHTML(Bstr(L"<em>new</em>")));
  EXPECT_EQ(1, Length(spans.get()));
  // A removed element lives on, detached, while someone holds it.
  BSTR tag = nullptr;
  ASSERT_EQ(S_OK, kept->get_tagName(&tag));
  EXPECT_EQ(L"SPAN", Take(tag));
  Ptr<IHTMLElement> orphanParent;
  ASSERT_EQ(S_OK, kept->get_parentElement(&orphanParent));
  EXPECT_FALSE(orphanParent);
  LONG index = 0;
  ASSERT_EQ(S_OK, kept->get_sourceIndex(&index));
  EXPECT_EQ(-1, index);
}

TEST_F(PageDom, NullOutPointersAreRefused) {
  Ptr<IHTMLElement> div = El(L"top");
  EXPECT_EQ(E_POINTER, div->get_tagName(nullptr));
  EXPECT_EQ(E_POINTER, div->getAttribute(Bstr(L"id"), 0, nullptr));
  EXPECT_EQ(E_POINTER, div->get_parentElement(nullptr));
  EXPECT_EQ(E_POINTER, doc->get_all(nullptr));
  EXPECT_EQ(E_POINTER, div->QueryInterface(IID_IHTMLElement, nullptr));
}

TEST(PageLimits, DeepNestingAndHugeAttributesLoad) {
  std::string deep;
  for (int i = 0; i < 10000; ++i)
    deep += "<div>";
  deep += "<span id='leaf'>x</span>";
  Ptr<IHTMLDocument2> doc = LoadHtml(deep.c_str());
  Ptr<IHTMLElement> leaf = ById(doc.get(), L"leaf");
  ASSERT_TRUE(leaf);
  LONG index = 0;
  ASSERT_EQ(S_OK, leaf->get_sourceIndex(&index));
  EXPECT_GT(index, 10000);
  Ptr<IHTMLElement> body;
  ASSERT_EQ(S_OK, doc->get_body(&body));
  BSTR html = nullptr;
  ASSERT_EQ(S_OK, body->get_outerHTML(&html));
  EXPECT_GT(SysStringLen(html), 50000u);
  SysFreeString(html);
  ASSERT_EQ(S_OK, body->put_innerHTML(Bstr(L"")));

  std::string huge = "<p id='p' title='" + std::string(4 << 20, 'a') + "'>x</p>";
  doc = LoadHtml(huge.c_str());
  BSTR title = nullptr;
  ASSERT_EQ(S_OK, ById(doc.get(), L"p")->get_title(&title));
  EXPECT_EQ(4u << 20, SysStringLen(title));
  SysFreeString(title);
}

} // namespace

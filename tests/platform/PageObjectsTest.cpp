// The page's smaller objects: text ranges over the body, attribute nodes,
// DOM node navigation, locations, window events, and text assignment.
#include "PageTestSupport.h"

namespace {

constexpr const char *kPage =
    "<body><p id='first'>Hello big world. Second one!</p><div id='second'>tail <b id='b'>bold</b>"
    "</div><!-- note --></body>";

class PageObjects : public ::testing::Test {
protected:
  Ptr<IHTMLDocument2> doc = LoadHtml(kPage, L"http://host.test:8080/dir/page.aspx?x=1#top");
  Ptr<IHTMLTxtRange> BodyRange() {
    Ptr<IHTMLElement> body;
    EXPECT_EQ(S_OK, doc->get_body(&body));
    Ptr<IHTMLTxtRange> range;
    EXPECT_EQ(S_OK, body.As<IHTMLBodyElement>()->createTextRange(&range));
    return range;
  }
  std::wstring RangeText(IHTMLTxtRange *range) {
    BSTR text = nullptr;
    EXPECT_EQ(S_OK, range->get_text(&text));
    return Take(text);
  }
};

TEST_F(PageObjects, TextRangeSelectsExpandsAndCompares) {
  Ptr<IHTMLTxtRange> range = BodyRange();
  EXPECT_EQ(L"Hello big world. Second one!\r\ntail bold", RangeText(range.get()));
  ASSERT_EQ(S_OK, range->moveToElementText(ById(doc.get(), L"b").get()));
  EXPECT_EQ(L"bold", RangeText(range.get()));
  Ptr<IHTMLElement> parent;
  ASSERT_EQ(S_OK, range->parentElement(&parent));
  EXPECT_EQ(L"b", Id(parent.get()));

  Ptr<IHTMLTxtRange> word = BodyRange();
  ASSERT_EQ(S_OK, word->collapse(VARIANT_TRUE));
  LONG moved = 0;
  ASSERT_EQ(S_OK, word->move(Bstr(L"character"), 7, &moved));
  EXPECT_EQ(7, moved);
  VARIANT_BOOL expanded = VARIANT_FALSE;
  ASSERT_EQ(S_OK, word->expand(Bstr(L"word"), &expanded));
  EXPECT_EQ(VARIANT_TRUE, expanded);
  EXPECT_EQ(L"big ", RangeText(word.get()));
  ASSERT_EQ(S_OK, word->expand(Bstr(L"sentence"), &expanded));
  EXPECT_EQ(L"Hello big world.", RangeText(word.get()));
  EXPECT_EQ(E_INVALIDARG, word->expand(Bstr(L"galaxy"), &expanded));

  LONG order = 0;
  ASSERT_EQ(S_OK, word->compareEndPoints(Bstr(L"StartToStart"), range.get(), &order));
  EXPECT_EQ(-1, order);
  ASSERT_EQ(S_OK, range->compareEndPoints(Bstr(L"EndToEnd"), BodyRange().get(), &order));
  EXPECT_EQ(0, order);
  ASSERT_EQ(S_OK, range->compareEndPoints(Bstr(L"StartToEnd"), word.get(), &order));
  EXPECT_EQ(1, order);
  EXPECT_EQ(E_INVALIDARG, range->compareEndPoints(Bstr(L"Sideways"), word.get(), &order));

  VARIANT_BOOL found = VARIANT_FALSE;
  Ptr<IHTMLTxtRange> search = BodyRange();
  ASSERT_EQ(S_OK, search->findText(Bstr(L"SECOND"), 1, 0, &found));
  EXPECT_EQ(VARIANT_TRUE, found);
  EXPECT_EQ(L"Second", RangeText(search.get()));
}

TEST_F(PageObjects, AttributeNodesAndNodeNavigation) {
  Ptr<IHTMLElement> first = ById(doc.get(), L"first");
  Ptr<IHTMLDOMAttribute> id, missing;
  ASSERT_EQ(S_OK, first.As<IHTMLElement4>()->getAttributeNode(Bstr(L"ID"), &id));
  VARIANT_BOOL specified = VARIANT_FALSE;
  ASSERT_EQ(S_OK, id->get_specified(&specified));
  EXPECT_EQ(VARIANT_TRUE, specified);
  Var value;
  ASSERT_EQ(S_OK, id->get_nodeValue(&value.v));
  EXPECT_EQ(L"first", value.Text());
  ASSERT_EQ(S_OK, first.As<IHTMLElement4>()->getAttributeNode(Bstr(L"title"), &missing));
  ASSERT_EQ(S_OK, missing->get_specified(&specified));
  EXPECT_EQ(VARIANT_FALSE, specified);

  Ptr<IHTMLDOMNode> node = first.As<IHTMLDOMNode>(), text, next, comment;
  ASSERT_EQ(S_OK, node->get_firstChild(&text));
  LONG type = 0;
  ASSERT_EQ(S_OK, text->get_nodeType(&type));
  EXPECT_EQ(3, type);
  ASSERT_EQ(S_OK, node->get_nextSibling(&next));
  EXPECT_EQ(L"second", Id(next.get()));
  ASSERT_EQ(S_OK, next->get_nextSibling(&comment));
  ASSERT_EQ(S_OK, comment->get_nodeType(&type));
  EXPECT_EQ(8, type);
  Ptr<IDispatch> childNodes;
  ASSERT_EQ(S_OK, next->get_childNodes(&childNodes));
  LONG count = 0;
  ASSERT_EQ(S_OK, childNodes.As<IHTMLDOMChildrenCollection>()->get_length(&count));
  EXPECT_EQ(2, count);

  // removeNode(false) leaves the children in the element's place.
  Ptr<IHTMLDOMNode> removed;
  ASSERT_EQ(S_OK, ById(doc.get(), L"b").As<IHTMLDOMNode>()->removeNode(VARIANT_FALSE, &removed));
  BSTR html = nullptr;
  ASSERT_EQ(S_OK, ById(doc.get(), L"second")->get_innerHTML(&html));
  EXPECT_EQ(L"tail bold", Take(html));
}

TEST_F(PageObjects, LocationParts) {
  Ptr<IHTMLLocation> location;
  ASSERT_EQ(S_OK, doc->get_location(&location));
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, location->get_host(&text));
  EXPECT_EQ(L"host.test:8080", Take(text));
  ASSERT_EQ(S_OK, location->get_pathname(&text));
  EXPECT_EQ(L"/dir/page.aspx", Take(text));
  ASSERT_EQ(S_OK, location->get_search(&text));
  EXPECT_EQ(L"?x=1", Take(text));
  ASSERT_EQ(S_OK, location->get_hash(&text));
  EXPECT_EQ(L"#top", Take(text));
  ASSERT_EQ(S_OK, location->put_href(Bstr(L"other.aspx")));
  std::vector<tallowick::platform::PageEvent> events;
  ASSERT_EQ(S_OK, tallowick::platform::GetPageEvents(doc.get(), &events));
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ(L"navigate", events[0].type);
  EXPECT_EQ(L"http://host.test:8080/dir/other.aspx", events[0].detail);
}

TEST_F(PageObjects, WindowEventDuringFireEvent) {
  Ptr<IHTMLWindow2> window;
  ASSERT_EQ(S_OK, doc->get_parentWindow(&window));
  std::wstring seen;
  ASSERT_EQ(S_OK, tallowick::platform::SetPageEventHandler(
                      doc.get(), [&](const tallowick::platform::PageEvent &) {
                        Ptr<IHTMLEventObj> event;
                        if (window->get_event(&event) == S_OK && event) {
                          BSTR type = nullptr;
                          event->get_type(&type);
                          seen = Take(type);
                        }
                        return true;
                      }));
  VARIANT_BOOL ran = VARIANT_FALSE;
  ASSERT_EQ(S_OK,
            ById(doc.get(), L"b").As<IHTMLElement3>()->fireEvent(Bstr(L"onclick"), nullptr, &ran));
  EXPECT_EQ(L"click", seen);
  Ptr<IHTMLEventObj> after;
  ASSERT_EQ(S_OK, window->get_event(&after));
  EXPECT_FALSE(after);
  ASSERT_EQ(S_OK, tallowick::platform::SetPageEventHandler(doc.get(), nullptr));
}

TEST_F(PageObjects, TextAssignmentTurnsLineBreaksIntoBr) {
  Ptr<IHTMLElement> first = ById(doc.get(), L"first");
  ASSERT_EQ(S_OK, first->put_innerText(Bstr(L"a <b>\r\nc")));
  BSTR html = nullptr;
  ASSERT_EQ(S_OK, first->get_innerHTML(&html));
  EXPECT_EQ(L"a &lt;b&gt;<BR>c", Take(html));
  ASSERT_EQ(S_OK, first->put_outerText(Bstr(L"plain")));
  Ptr<IHTMLElement> body;
  ASSERT_EQ(S_OK, doc->get_body(&body));
  ASSERT_EQ(S_OK, body->get_innerHTML(&html));
  EXPECT_EQ(0u, Take(html).find(L"plain<DIV id=\"second\">"));
}

} // namespace

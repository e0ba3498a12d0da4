// Page objects reached late-bound, as scripts and the kit's dispatch driver
// reach them: members by name, collections' default member and enumerator,
// styles and the cascade; and the vtable slots the SDK fixes.
#include "PageTestSupport.h"

namespace {

constexpr const char *kPage = R"html(<html><head><style>
.hidden { visibility: hidden }
#box span { color: red }
div.note { font-style: italic; color: blue }
</style></head><body>
<div id="box" class="hidden" style="width: 120px; LEFT: 10px"><span id="inner">in</span></div>
<div id="note" class="note"><b id="bold">b</b></div>
<form name="f1" id="form1" action="Post.aspx" method="post">
 <input id="name" name="user" value="ann"><input id="agree" type="checkbox" checked>
 <select id="pick"><option value="a">A</option><option value="b" selected>B</option></select>
</form></body></html>)html";

class PageDispatch : public ::testing::Test {
protected:
  Ptr<IHTMLDocument2> doc = LoadHtml(kPage);
  Ptr<IHTMLElement> El(const wchar_t *id) { return ById(doc.get(), id); }
};

TEST_F(PageDispatch, MembersByNameIgnoreCase) {
  Ptr<IHTMLElement> box = El(L"box");
  EXPECT_EQ(L"DIV", Get(box.get(), L"TAGNAME").Text());
  EXPECT_EQ(L"hidden", Get(box.get(), L"classname").Text());

  Var result;
  ASSERT_EQ(S_OK, Invoke(box.get(), L"getAttribute", DISPATCH_METHOD, {Var(L"id").v}, &result.v));
  EXPECT_EQ(L"box", result.Text());

  Var title(L"Tip");
  ASSERT_EQ(S_OK, Invoke(box.get(), L"title", DISPATCH_PROPERTYPUT, {title.v}, nullptr));
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, box->get_title(&text));
  EXPECT_EQ(L"Tip", Take(text));

  Var parent = Get(El(L"inner").get(), L"parentElement");
  ASSERT_EQ(VT_DISPATCH, parent.v.vt);
  EXPECT_EQ(L"box", Id(parent.v.pdispVal));
  // Chained through the document and its window.
  Var window = Get(doc.get(), L"parentWindow");
  ASSERT_EQ(VT_DISPATCH, window.v.vt);
  Var back = Get(window.v.pdispVal, L"document");
  ASSERT_EQ(VT_DISPATCH, back.v.vt);
  EXPECT_EQ(L"http://example.test/app/page.aspx", Get(back.v.pdispVal, L"url").Text());
}

TEST_F(PageDispatch, CollectionDefaultMemberNamesAndEnumerator) {
  Ptr<IHTMLElementCollection> all;
  ASSERT_EQ(S_OK, doc->get_all(&all));
  Var name(L"note"), found;
  DISPPARAMS params = {&name.v, nullptr, 1, 0};
  ASSERT_EQ(S_OK, all->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                              &params, &found.v, nullptr, nullptr));
  ASSERT_EQ(VT_DISPATCH, found.v.vt);
  EXPECT_EQ(L"note", Id(found.v.pdispVal));
  EXPECT_EQ(L"inner", Id(Get(all.get(), L"inner").v.pdispVal)); // all.inner

  Var enumerator;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(S_OK, all->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                              &enumerator.v, nullptr, nullptr));
  ASSERT_EQ(VT_UNKNOWN, enumerator.v.vt);
  Ptr<IEnumVARIANT> items;
  ASSERT_EQ(S_OK, enumerator.v.punkVal->QueryInterface(IID_IEnumVARIANT,
                                                       reinterpret_cast<void **>(&items)));
  LONG count = 0;
  for (;;) {
    Var item;
    ULONG fetched = 0;
    if (items->Next(1, &item.v, &fetched) != S_OK)
      break;
    ASSERT_EQ(VT_DISPATCH, item.v.vt);
    ++count;
  }
  EXPECT_EQ(Length(all.get()), count);
}

TEST_F(PageDispatch, InlineStyleReadAndWritten) {
  Ptr<IHTMLStyle> style;
  ASSERT_EQ(S_OK, El(L"box")->get_style(&style));
  LONG width = 0;
  ASSERT_EQ(S_OK, style->get_pixelWidth(&width));
  EXPECT_EQ(120, width);
  Var left;
  ASSERT_EQ(S_OK, style->get_left(&left.v));
  EXPECT_EQ(L"10px", left.Text());
  ASSERT_EQ(S_OK, style->put_visibility(Bstr(L"hidden")));
  Var color(L"green");
  ASSERT_EQ(S_OK,
            Invoke(style.get(), L"backgroundColor", DISPATCH_PROPERTYPUT, {color.v}, nullptr));
  EXPECT_EQ(L"green", Get(style.get(), L"BACKGROUNDCOLOR").Text());
  Var byAttribute;
  ASSERT_EQ(S_OK, style->getAttribute(Bstr(L"visibility"), 0, &byAttribute.v));
  EXPECT_EQ(L"hidden", byAttribute.Text());
  BSTR css = nullptr;
  ASSERT_EQ(S_OK, style->get_cssText(&css));
  EXPECT_EQ(L"WIDTH: 120px; LEFT: 10px; VISIBILITY: hidden; BACKGROUND-COLOR: green;", Take(css));
}

TEST_F(PageDispatch, CurrentStyleCascadesAndInherits) {
  auto current = [&](const wchar_t *id) {
    Ptr<IHTMLCurrentStyle> style;
    EXPECT_EQ(S_OK, El(id).As<IHTMLElement2>()->get_currentStyle(&style));
    return style;
  };
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, current(L"inner")->get_visibility(&text));
  EXPECT_EQ(L"hidden", Take(text)); // inherited from the class rule on its parent
  Var color;
  ASSERT_EQ(S_OK, current(L"inner")->get_color(&color.v));
  EXPECT_EQ(L"red", color.Text()); // descendant selector
  ASSERT_EQ(S_OK, current(L"bold")->get_fontStyle(&text));
  EXPECT_EQ(L"italic", Take(text));
  Var inherited;
  ASSERT_EQ(S_OK, current(L"bold")->get_color(&inherited.v));
  EXPECT_EQ(L"blue", inherited.Text());
  ASSERT_EQ(S_OK, current(L"bold")->get_display(&text));
  EXPECT_EQ(L"inline", Take(text));
  ASSERT_EQ(S_OK, current(L"note")->get_display(&text));
  EXPECT_EQ(L"block", Take(text));
}

TEST_F(PageDispatch, FormControls) {
  Ptr<IHTMLFormElement> form = El(L"form1").As<IHTMLFormElement>();
  ASSERT_TRUE(form);
  LONG length = 0;
  ASSERT_EQ(S_OK, form->get_length(&length));
  EXPECT_EQ(3, length);
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, form->get_method(&text));
  EXPECT_EQ(L"post", Take(text));
  Ptr<IDispatch> user;
  ASSERT_EQ(S_OK, form->item(Var(L"user").v, Var().v, &user));
  ASSERT_EQ(S_OK, user.As<IHTMLInputElement>()->get_value(&text));
  EXPECT_EQ(L"ann", Take(text));

  Ptr<IHTMLInputElement> agree = El(L"agree").As<IHTMLInputElement>();
  VARIANT_BOOL checked = VARIANT_FALSE;
  ASSERT_EQ(S_OK, agree->get_checked(&checked));
  EXPECT_EQ(VARIANT_TRUE, checked);
  ASSERT_EQ(S_OK, El(L"agree")->click());
  ASSERT_EQ(S_OK, agree->get_checked(&checked));
  EXPECT_EQ(VARIANT_FALSE, checked);

  Ptr<IHTMLSelectElement> pick = El(L"pick").As<IHTMLSelectElement>();
  LONG index = -1;
  ASSERT_EQ(S_OK, pick->get_selectedIndex(&index));
  EXPECT_EQ(1, index);
  ASSERT_EQ(S_OK, pick->put_selectedIndex(0));
  ASSERT_EQ(S_OK, pick->get_value(&text));
  EXPECT_EQ(L"a", Take(text));
  EXPECT_EQ(L"a", Get(pick.get(), L"value").Text());
}

TEST_F(PageDispatch, FireEventAndClickAreRecordedAndAnswered) {
  ASSERT_EQ(S_OK, tallowick::platform::SetPageEventHandler(
                      doc.get(), [](const tallowick::platform::PageEvent &event) {
                        return event.type != L"onchange";
                      }));
  VARIANT_BOOL ran = VARIANT_FALSE;
  Ptr<IHTMLElement3> name = El(L"name").As<IHTMLElement3>();
  ASSERT_EQ(S_OK, name->fireEvent(Bstr(L"onfocus"), nullptr, &ran));
  EXPECT_EQ(VARIANT_TRUE, ran);
  ASSERT_EQ(S_OK, name->fireEvent(Bstr(L"onchange"), nullptr, &ran));
  EXPECT_EQ(VARIANT_FALSE, ran);
  EXPECT_EQ(E_INVALIDARG, name->fireEvent(Bstr(L"x"), nullptr, &ran));
  std::vector<tallowick::platform::PageEvent> events;
  ASSERT_EQ(S_OK, tallowick::platform::GetPageEvents(doc.get(), &events));
  ASSERT_EQ(2u, events.size());
  EXPECT_EQ(L"onfocus", events[0].type);
  EXPECT_EQ(L"INPUT", events[0].tagName);
  EXPECT_EQ(L"name", events[0].id);
}

// Calls slot `slot` of the object's vtable as a one-out-parameter method.
template <class T> HRESULT CallSlot(void *object, size_t slot, T *out) {
  using Method = HRESULT (*)(void *, T *);
  void **vtable = *static_cast<void ***>(object);
  return reinterpret_cast<Method>(vtable[slot])(object, out);
}

TEST_F(PageDispatch, VtableSlotsAreTheSdks) {
  Ptr<IHTMLElement> box = El(L"box");
  BSTR tag = nullptr;
  ASSERT_EQ(S_OK, CallSlot(box.get(), 14, &tag)); // IHTMLElement::get_tagName
  EXPECT_EQ(L"DIV", Take(tag));
  Ptr<IDispatch> children;
  ASSERT_EQ(S_OK, CallSlot(box.get(), 92, &children)); // IHTMLElement::get_children
  EXPECT_EQ(1, Length(children.As<IHTMLElementCollection>().get()));
  Ptr<IHTMLElement2> box2 = box.As<IHTMLElement2>();
  LONG scrollTop = -1;
  ASSERT_EQ(S_OK, CallSlot(box2.get(), 83, &scrollTop)); // IHTMLElement2::get_scrollTop
  EXPECT_EQ(0, scrollTop);
  BSTR url = nullptr;
  ASSERT_EQ(S_OK, CallSlot(doc.get(), 40, &url)); // IHTMLDocument2::get_URL
  EXPECT_EQ(L"http://example.test/app/page.aspx", Take(url));
  Ptr<IHTMLElementCollection> all;
  ASSERT_EQ(S_OK, doc->get_all(&all));
  LONG length = 0;
  ASSERT_EQ(S_OK, CallSlot(all.get(), 9, &length)); // IHTMLElementCollection::get_length
  EXPECT_EQ(Length(all.get()), length);
  Ptr<IHTMLStyle> style;
  ASSERT_EQ(S_OK, box->get_style(&style));
  BSTR visibility = nullptr;
  ASSERT_EQ(S_OK, CallSlot(style.get(), 134, &visibility)); // IHTMLStyle::get_visibility
  EXPECT_EQ(L"", Take(visibility));
}

} // namespace

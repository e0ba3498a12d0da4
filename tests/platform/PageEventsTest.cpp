// Page events, forms and navigation, and element behaviours with their
// view-link documents, as C++ callers (the kit, the host) drive them.
#include <filesystem>
#include <fstream>
#include <vector>

#include "PageTestSupport.h"

namespace {

namespace tp = tallowick::platform;

std::wstring Str(const Var &value) {
  return value.v.vt == VT_BSTR ? value.Text() : L"<not a string>";
}

Ptr<IHTMLDocument2> LoadExample(const char *name) {
  Ptr<IHTMLDocument2> document;
  std::string path = std::string(TALLOWICK_EXAMPLES_DIR) + "/" + name;
  EXPECT_EQ(S_OK, tp::LoadPageFromFile(std::wstring(path.begin(), path.end()), L"", &document));
  return document;
}

HRESULT Exec(IHTMLDocument2 *document, const wchar_t *code) {
  Ptr<IHTMLWindow2> window;
  document->get_parentWindow(&window);
  return window->execScript(Bstr(code), Bstr(L"javascript"), nullptr);
}

Var Eval(IHTMLDocument2 *document, const wchar_t *code) {
  Ptr<IHTMLWindow2> window;
  document->get_parentWindow(&window);
  Var result;
  EXPECT_EQ(S_OK, Invoke(window.get(), L"eval", DISPATCH_METHOD, {Var(code).v}, &result.v)) << code;
  return result;
}

std::vector<std::wstring> EventTypes(IHTMLDocument2 *document) {
  std::vector<tp::PageEvent> events;
  tp::GetPageEvents(document, &events);
  std::vector<std::wstring> types;
  for (const auto &event : events)
    types.push_back(event.type + L":" + event.id);
  return types;
}

constexpr const char *kEventsPage = R"html(<body>
<div id="outer" onclick="log('outer ' + event.srcElement.id + ' ' + event.clientX + ' ' + event.treeNodeIndex)">
  <span id="inner" onclick="log('inner ' + window.event.type + ' ' + (window.event == event))">in</span>
  <b id="stopper" onclick="log('stop'); event.cancelBubble = true;">s</b>
  <i id="refuser" onclick="return false;">r</i>
  <em id="remover" onclick="this.parentNode.removeChild(this); log('removed')">x</em>
</div>
<form id="f" action="Next.aspx" method="post" onsubmit="log('submit'); return allow;">
  <input id="agree" type="checkbox" name="agree" onclick="log('check ' + this.checked)" onchange="log('change')">
  <input id="name" name="name" value="ann" onfocus="log('focus name')" onblur="log('blur name')">
  <input id="other" name="other" value="bob" onfocus="log('focus other')">
  <input id="go" type="submit" value="Go" onclick="log('click go')">
</form>
<script>var text = []; var allow = true; function log(t) { text.push(t); }</script>
</body>)html";

class PageEvents : public ::testing::Test {
protected:
  Ptr<IHTMLDocument2> doc = LoadHtml(kEventsPage);
  Ptr<IHTMLElement> El(const wchar_t *id) { return ById(doc.get(), id); }
  std::wstring Log() {
    std::wstring text = Str(Eval(doc.get(), L"text.join('; ')"));
    Exec(doc.get(), L"text = []");
    return text;
  }
};

TEST_F(PageEvents, FireEventCopiesTheEventObjectAndBubbles) {
  Ptr<IHTMLDocument4> document4 = doc.As<IHTMLDocument4>();
  Ptr<IHTMLEventObj> event;
  ASSERT_EQ(S_OK, document4->createEventObject(nullptr, &event));
  Ptr<IHTMLEventObj2> writable = event.As<IHTMLEventObj2>();
  ASSERT_TRUE(writable);
  ASSERT_EQ(S_OK, writable->put_clientX(12));
  ASSERT_EQ(S_OK, writable->setAttribute(Bstr(L"treeNodeIndex"), Var(L"0.1").v, 0));
  LONG x = 0;
  ASSERT_EQ(S_OK, event->get_clientX(&x));
  EXPECT_EQ(12, x);
  Var node = Get(event.get(), L"treeNodeIndex"); // an expando by name
  EXPECT_EQ(L"0.1", Str(node));

  Var argument;
  argument.v.vt = VT_DISPATCH;
  argument.v.pdispVal = event.get();
  event->AddRef();
  VARIANT_BOOL notCancelled = VARIANT_FALSE;
  Ptr<IHTMLElement3> inner = El(L"inner").As<IHTMLElement3>();
  ASSERT_EQ(S_OK, inner->fireEvent(Bstr(L"onclick"), &argument.v, &notCancelled));
  EXPECT_EQ(VARIANT_TRUE, notCancelled);
  EXPECT_EQ(L"inner click true; outer inner 12 0.1", Log());
  // The caller's object is a template: its srcElement stays unset.
  Ptr<IHTMLElement> source;
  ASSERT_EQ(S_OK, event->get_srcElement(&source));
  EXPECT_FALSE(source);
  Ptr<IHTMLEventObj> outside;
  Ptr<IHTMLWindow2> window;
  doc->get_parentWindow(&window);
  ASSERT_EQ(S_OK, window->get_event(&outside));
  EXPECT_FALSE(outside);

  ASSERT_EQ(
      S_OK,
      El(L"stopper").As<IHTMLElement3>()->fireEvent(Bstr(L"onclick"), nullptr, &notCancelled));
  EXPECT_EQ(L"stop", Log());
  ASSERT_EQ(
      S_OK,
      El(L"refuser").As<IHTMLElement3>()->fireEvent(Bstr(L"onclick"), nullptr, &notCancelled));
  EXPECT_EQ(VARIANT_FALSE, notCancelled);
  EXPECT_EQ(E_INVALIDARG, inner->fireEvent(Bstr(L"click"), nullptr, &notCancelled));
}

TEST_F(PageEvents, HandlerRemovingItsOwnElement) {
  Ptr<IHTMLElement> remover = El(L"remover");
  ASSERT_EQ(S_OK, remover->click());
  EXPECT_EQ(L"removed", Log());
  EXPECT_FALSE(El(L"remover"));
  Ptr<IHTMLElement> parent;
  ASSERT_EQ(S_OK, remover->get_parentElement(&parent));
  EXPECT_FALSE(parent);
  ASSERT_EQ(S_OK, remover->click()); // detached: its handler still runs, nothing breaks
}

TEST_F(PageEvents, ClickRunsHandlersThenDefaultActions) {
  std::vector<tp::Navigation> seen;
  ASSERT_EQ(S_OK, tp::SetNavigationHandler(doc.get(),
                                           [&](const tp::Navigation &n, tp::NavigationAnswer *) {
                                             seen.push_back(n);
                                             return S_OK;
                                           }));
  Ptr<IHTMLInputElement> agree = El(L"agree").As<IHTMLInputElement>();
  ASSERT_EQ(S_OK, El(L"agree")->click());
  EXPECT_EQ(L"check true; change", Log());
  ASSERT_EQ(S_OK, El(L"go")->click());
  EXPECT_EQ(L"click go; submit", Log());
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(L"http://example.test/app/Next.aspx", seen[0].url);
  EXPECT_EQ(L"post", seen[0].method);
  using Field = std::pair<std::wstring, std::wstring>;
  std::vector<Field> fields = {{L"agree", L"on"}, {L"name", L"ann"}, {L"other", L"bob"}};
  EXPECT_EQ(fields, seen[0].fields);
  auto types = EventTypes(doc.get());
  ASSERT_GE(types.size(), 3u);
  EXPECT_EQ((std::vector<std::wstring>{L"onclick:go", L"onsubmit:f", L"navigate:f"}),
            std::vector<std::wstring>(types.end() - 3, types.end()));
  // onsubmit answering false stops the submission.
  Exec(doc.get(), L"allow = false");
  ASSERT_EQ(S_OK, El(L"go")->click());
  EXPECT_EQ(L"click go; submit", Log());
  EXPECT_EQ(1u, seen.size());
  // A click whose onclick answers false leaves a check box as it was.
  Exec(doc.get(), L"document.getElementById('agree').onclick = function () { return false; }");
  ASSERT_EQ(S_OK, El(L"agree")->click());
  VARIANT_BOOL checked = VARIANT_FALSE;
  agree->get_checked(&checked);
  EXPECT_EQ(VARIANT_TRUE, checked);
}

TEST_F(PageEvents, FocusMovesTheActiveElement) {
  ASSERT_EQ(S_OK, El(L"name").As<IHTMLElement2>()->focus());
  ASSERT_EQ(S_OK, El(L"other").As<IHTMLElement2>()->focus());
  EXPECT_EQ(L"focus name; blur name; focus other", Log());
  Ptr<IHTMLElement> active;
  ASSERT_EQ(S_OK, doc->get_activeElement(&active));
  EXPECT_EQ(L"other", Id(active.get()));
}

TEST_F(PageEvents, PropertyAndAttachedHandlers) {
  Exec(doc.get(), L"var b = document.getElementById('stopper');"
                  L"b.onclick = function () { log('prop ' + this.id); };"
                  L"function first() { log('first'); } function second() { log('second'); }"
                  L"b.attachEvent('onclick', first); b.attachEvent('onclick', second);"
                  L"b.detachEvent('onclick', first);");
  ASSERT_EQ(S_OK, El(L"stopper")->click());
  EXPECT_EQ(L"prop stopper; second; outer stopper 0 undefined", Log());
  // C++ reads the handler property as the script function and calls it.
  Var handler = Get(El(L"stopper").get(), L"onclick");
  ASSERT_EQ(VT_DISPATCH, handler.v.vt);
  Var none;
  ASSERT_EQ(S_OK, Invoke(El(L"stopper").get(), L"onclick", DISPATCH_METHOD, {}, &none.v));
  EXPECT_EQ(L"prop stopper", Log());
}

TEST_F(PageEvents, HandlerPropertiesByName) {
  // A handler from markup reads as a function and is called by name with the element as this.
  Ptr<IHTMLElement> form = El(L"f");
  EXPECT_EQ(VT_DISPATCH, Get(form.get(), L"onsubmit").v.vt);
  Var result;
  ASSERT_EQ(S_OK, Invoke(form.get(), L"onsubmit", DISPATCH_METHOD, {Var().v}, &result.v));
  ASSERT_EQ(VT_BOOL, result.v.vt);
  EXPECT_EQ(VARIANT_TRUE, result.v.boolVal);
  EXPECT_EQ(L"submit", Log());
  // Without a handler the property is null; calling it fails.
  EXPECT_EQ(VT_NULL, Get(El(L"go").get(), L"onsubmit").v.vt);
  EXPECT_EQ(VARIANT_TRUE,
            Eval(doc.get(), L"document.getElementById('go').onblur === null").v.boolVal);
  EXPECT_EQ(DISP_E_TYPEMISMATCH,
            Invoke(El(L"go").get(), L"onblur", DISPATCH_METHOD, {}, &result.v));
}

TEST(PagePostback, DoPostBackSubmitsTheEventTargetAndArgument) {
  Ptr<IHTMLDocument2> doc = LoadExample("postback.html");
  ASSERT_TRUE(doc);
  std::vector<tp::ScriptError> errors;
  tp::GetScriptErrors(doc.get(), &errors);
  EXPECT_TRUE(errors.empty());
  std::vector<tp::Navigation> seen;
  tp::SetNavigationHandler(doc.get(), [&](const tp::Navigation &n, tp::NavigationAnswer *) {
    seen.push_back(n);
    return S_OK;
  });
  ASSERT_EQ(S_OK, Exec(doc.get(), L"__doPostBack('Calendar1','3657')"));
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(L"post", seen[0].method);
  EXPECT_NE(std::wstring::npos, seen[0].url.rfind(L"/examples/pages/Calendar.aspx"));
  ASSERT_GE(seen[0].fields.size(), 4u);
  EXPECT_EQ(L"__EVENTTARGET", seen[0].fields[0].first);
  EXPECT_EQ(L"Calendar1", seen[0].fields[0].second);
  EXPECT_EQ(L"__EVENTARGUMENT", seen[0].fields[1].first);
  EXPECT_EQ(L"3657", seen[0].fields[1].second);
  EXPECT_EQ(L"__VIEWSTATE", seen[0].fields[2].first);
  // A day link runs its javascript: URL.
  ASSERT_EQ(S_OK, ById(doc.get(), L"day5")->click());
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ(L"3657", seen[1].fields[1].second);
  // onsubmit answering false stops the postback.
  ASSERT_EQ(S_OK, Exec(doc.get(), L"allowSubmit = false"));
  ASSERT_EQ(S_OK, Exec(doc.get(), L"__doPostBack('Calendar1','V3622')"));
  EXPECT_EQ(2u, seen.size());
}

TEST(PageNavigation, AnswerReplacesTheDocumentInItsWindow) {
  Ptr<IHTMLDocument2> doc =
      LoadHtml("<body><form id='f' action='Two.aspx'><input name='q' value='1'></form>"
               "<a id='away' href='Three.aspx'>x</a></body>");
  // Without a handler a submission is recorded and nothing else happens.
  Ptr<IHTMLFormElement> form = ById(doc.get(), L"f").As<IHTMLFormElement>();
  ASSERT_EQ(S_OK, form->submit());
  std::vector<tp::Navigation> recorded;
  ASSERT_EQ(S_OK, tp::GetNavigations(doc.get(), &recorded));
  ASSERT_EQ(1u, recorded.size());
  EXPECT_EQ(L"http://example.test/app/Two.aspx", recorded[0].url);
  Ptr<IHTMLDocument2> current;
  ASSERT_EQ(S_OK, tp::GetCurrentDocument(doc.get(), &current));
  EXPECT_EQ(doc.get(), current.get());

  // A failing handler: the call fails, the page stays.
  tp::SetNavigationHandler(
      doc.get(), [](const tp::Navigation &, tp::NavigationAnswer *) { return E_ACCESSDENIED; });
  EXPECT_EQ(E_ACCESSDENIED, form->submit());
  tp::SetNavigationHandler(doc.get(), [](const tp::Navigation &n, tp::NavigationAnswer *answer) {
    answer->replace = true;
    answer->html = "<body><span id='next'>next</span><script>var arrived = '" +
                   std::string(n.url.begin(), n.url.end()) + "';</script></body>";
    return S_OK;
  });
  Ptr<IHTMLWindow2> window;
  doc->get_parentWindow(&window);
  Ptr<IHTMLElement> link = ById(doc.get(), L"away");
  ASSERT_EQ(S_OK, link->click());
  ASSERT_EQ(S_OK, tp::GetCurrentDocument(doc.get(), &current));
  EXPECT_NE(doc.get(), current.get());
  Ptr<IHTMLDocument2> shown;
  ASSERT_EQ(S_OK, window->get_document(&shown));
  EXPECT_EQ(current.get(), shown.get());
  EXPECT_TRUE(ById(current.get(), L"next"));
  EXPECT_EQ(L"http://example.test/app/Three.aspx", Str(Eval(current.get(), L"arrived")));
  // The old document's objects are still valid, detached from the window.
  EXPECT_EQ(L"A", Tag(link.get()));
  EXPECT_TRUE(ById(doc.get(), L"away"));
}

TEST(PageNavigation, ScriptFunctionCalledFromCppNavigatesWhenItReturns) {
  Ptr<IHTMLDocument2> doc = LoadHtml(
      "<body><form id='f' action='A.aspx'></form><script>function go() {"
      " document.getElementById('f').submit(); return document.getElementById('f') ? 'sent' : ''; }"
      "</script></body>");
  tp::SetNavigationHandler(doc.get(), [](const tp::Navigation &, tp::NavigationAnswer *answer) {
    answer->replace = true;
    answer->html = "<body><p id='arrived'>here</p></body>";
    return S_OK;
  });
  Ptr<IHTMLWindow2> window;
  doc->get_parentWindow(&window);
  Var go = Get(window.get(), L"go");
  ASSERT_EQ(VT_DISPATCH, go.v.vt);
  Var result;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(S_OK, go.v.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD, &none,
                                        &result.v, nullptr, nullptr));
  EXPECT_EQ(L"sent", Str(result)); // the script finished on its own document
  Ptr<IHTMLDocument2> current;
  ASSERT_EQ(S_OK, tp::GetCurrentDocument(doc.get(), &current));
  EXPECT_TRUE(ById(current.get(), L"arrived"));
  // The function belonged to the old document's script: it is gone with it.
  Var again;
  EXPECT_EQ(E_UNEXPECTED, go.v.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD, &none,
                                                &again.v, nullptr, nullptr));
}

TEST(PageNavigation, PagesThatNavigateWhileLoadingEndInAnError) {
  Ptr<IHTMLDocument2> doc = LoadHtml("<body><form id='f' action='Loop.aspx'></form></body>");
  int calls = 0;
  tp::SetNavigationHandler(doc.get(), [&](const tp::Navigation &, tp::NavigationAnswer *answer) {
    ++calls;
    answer->replace = true;
    answer->html = "<body><form id='f' action='Loop.aspx'></form>"
                   "<script>document.getElementById('f').submit();</script></body>";
    return S_OK;
  });
  ASSERT_EQ(S_OK, ById(doc.get(), L"f").As<IHTMLFormElement>()->submit());
  EXPECT_EQ(9, calls);
  std::vector<tp::ScriptError> errors;
  Ptr<IHTMLDocument2> current;
  ASSERT_EQ(S_OK, tp::GetCurrentDocument(doc.get(), &current));
  tp::GetScriptErrors(current.get(), &errors);
  ASSERT_FALSE(errors.empty());
  EXPECT_NE(std::wstring::npos, errors.back().message.find(L"Navigation loop"));
  EXPECT_EQ(L"42", Str(Eval(current.get(), L"String(40 + 2)")));
}

TEST(PageBehavior, TabStripThroughIDispatch) {
  Ptr<IHTMLDocument2> doc = LoadExample("tabstrip-behavior.html");
  ASSERT_TRUE(doc);
  std::vector<tp::ScriptError> errors;
  tp::GetScriptErrors(doc.get(), &errors);
  ASSERT_TRUE(errors.empty()) << errors[0].message;
  Ptr<IHTMLElement> strip = ById(doc.get(), L"TabStrip1");
  Var count = Get(strip.get(), L"numTabs");
  ASSERT_EQ(VT_I4, count.v.vt);
  EXPECT_EQ(3, count.v.lVal);
  EXPECT_EQ(1, Get(strip.get(), L"selectedindex").v.lVal);
  Var tab;
  ASSERT_EQ(S_OK, Invoke(strip.get(), L"getTab", DISPATCH_METHOD, {Var(LONG(2)).v}, &tab.v));
  ASSERT_EQ(VT_DISPATCH, tab.v.vt);
  Var text;
  ASSERT_EQ(S_OK, Invoke(tab.v.pdispVal, L"getAttribute", DISPATCH_METHOD, {Var(L"innerText").v},
                         &text.v));
  EXPECT_EQ(L"Summary", Str(text));

  // The view-link document: one cell per tab, its own body and all; its
  // nodes stop at its root; its owner is the element.
  Ptr<IHTMLDocument2> viewLink;
  ASSERT_EQ(S_OK, tp::GetViewLinkDocument(strip.get(), &viewLink));
  ASSERT_TRUE(viewLink);
  EXPECT_NE(doc.get(), viewLink.get());
  Ptr<IHTMLElementCollection> cells;
  ASSERT_EQ(S_OK, viewLink.As<IHTMLDocument3>()->getElementsByTagName(Bstr(L"TD"), &cells));
  EXPECT_EQ(3, Length(cells.get()));
  Ptr<IHTMLElement> cell = ById(viewLink.get(), L"tab0");
  ASSERT_TRUE(cell);
  EXPECT_FALSE(ById(doc.get(), L"tab0"));
  Ptr<IHTMLElement> up = std::move(cell), next;
  int depth = 0;
  for (; SUCCEEDED(up->get_parentElement(&next)) && next; ++depth)
    up = std::move(next);
  EXPECT_EQ(L"HTML", Tag(up.get()));
  EXPECT_EQ(5, depth); // TD, TR, TBODY, TABLE, BODY up to HTML
  Ptr<IHTMLElement> owner;
  ASSERT_EQ(S_OK, tp::GetViewLinkOwner(viewLink.get(), &owner));
  EXPECT_EQ(L"TabStrip1", Id(owner.get()));
  EXPECT_EQ(S_FALSE, tp::GetViewLinkOwner(doc.get(), &owner));

  // A put reaches the component, which fires its event with its own members.
  Var zero(LONG(0));
  ASSERT_EQ(S_OK, Invoke(strip.get(), L"selectedIndex", DISPATCH_PROPERTYPUT, {zero.v}, nullptr));
  EXPECT_EQ(0, Get(strip.get(), L"selectedIndex").v.lVal);
  EXPECT_EQ(L"change 1>0;", Str(Get(ById(doc.get(), L"log").get(), L"innerText")));
  Var wrong(LONG(7));
  EXPECT_EQ(DISP_E_EXCEPTION,
            Invoke(strip.get(), L"selectedIndex", DISPATCH_PROPERTYPUT, {wrong.v}, nullptr));

  // A click on a tab cell reaches the component; the host hook sees the cell.
  std::vector<std::wstring> clicked;
  tp::SetPageEventHandler(doc.get(), [&](const tp::PageEvent &event) {
    if (event.type == L"onclick" && event.element) {
      BSTR id = nullptr;
      event.element->get_id(&id);
      clicked.push_back(Take(id));
    }
    return true;
  });
  ASSERT_EQ(S_OK, ById(viewLink.get(), L"tab2")->click());
  EXPECT_EQ(2, Get(strip.get(), L"selectedIndex").v.lVal);
  EXPECT_EQ(L"change 1>0;change 0>2;", Str(Get(ById(doc.get(), L"log").get(), L"innerText")));
  EXPECT_EQ(std::vector<std::wstring>{L"tab2"}, clicked);
  // The rendered cells follow the selection.
  EXPECT_EQ(L"selected", Str(Get(ById(viewLink.get(), L"tab2").get(), L"className")));
}

TEST(PageBehavior, ComponentsBindToTheirOwnTag) {
  auto folder = std::filesystem::temp_directory_path() / "tallowick-behavior-tags";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "strip.htc")
      << "<public:component tagName='Strip'><public:property name='kind' get='k'/>"
         "<public:defaults viewLinkContent/><script>function k() { return 'strip'; }</script>"
         "</public:component>";
  std::ofstream(folder / "item.htc")
      << "<public:component tagName='ITEM'><public:property name='kind' get='k'/>"
         "<script>function k() { return 'item'; }</script></public:component>";
  std::ofstream(folder / "page.html")
      << "<?import namespace='t' implementation='strip.htc'?>"
         "<?import namespace='t' implementation='item.htc'?>"
         "<body><t:Strip id='s'><t:Item id='i'>1</t:Item><t:Other id='o'>2</t:Other></t:Strip>"
         "</body>";
  Ptr<IHTMLDocument2> doc;
  ASSERT_EQ(S_OK, tp::LoadPageFromFile((folder / "page.html").wstring(), L"", &doc));
  EXPECT_EQ(L"strip", Str(Get(ById(doc.get(), L"s").get(), L"kind")));
  EXPECT_EQ(L"item", Str(Get(ById(doc.get(), L"i").get(), L"kind")));
  Ptr<IHTMLDocument2> viewLink;
  EXPECT_EQ(S_OK, tp::GetViewLinkDocument(ById(doc.get(), L"s").get(), &viewLink));
  // Neither the strip's item nor a tag no component names gets a behaviour.
  EXPECT_EQ(S_FALSE, tp::GetViewLinkDocument(ById(doc.get(), L"i").get(), &viewLink));
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"kind")};
  EXPECT_EQ(DISP_E_UNKNOWNNAME, ById(doc.get(), L"o")->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  std::filesystem::remove_all(folder);
}

TEST(PageBehavior, MissingOrMalformedComponents) {
  auto folder = std::filesystem::temp_directory_path() / "tallowick-behaviors";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "bad.htc") << "<script>var x = 1;</script>";
  std::ofstream(folder / "broken.htc")
      << "<public:component><public:method name='go'/><script>function go( {</script>"
         "</public:component>";
  std::ofstream(folder / "page.html")
      << "<?import namespace='a' implementation='missing.htc'?>"
         "<?import namespace='b' implementation='bad.htc'?>"
         "<?import namespace='c' implementation='broken.htc'?>"
         "<body><a:X id='one'>1</a:X><b:Y id='two'>2</b:Y><c:Z id='three'>3</c:Z></body>";
  Ptr<IHTMLDocument2> doc;
  ASSERT_EQ(S_OK, tp::LoadPageFromFile((folder / "page.html").wstring(), L"", &doc));
  std::vector<tp::ScriptError> errors;
  tp::GetScriptErrors(doc.get(), &errors);
  ASSERT_EQ(3u, errors.size());
  EXPECT_NE(std::wstring::npos, errors[0].message.find(L"Cannot load behaviour"));
  EXPECT_NE(std::wstring::npos, errors[1].message.find(L"Malformed behaviour"));
  EXPECT_NE(std::wstring::npos, errors[2].message.find(L"SyntaxError"));
  // The elements stay plain elements.
  Ptr<IHTMLDocument2> none;
  EXPECT_EQ(S_FALSE, tp::GetViewLinkDocument(ById(doc.get(), L"three").get(), &none));
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"go")};
  EXPECT_EQ(DISP_E_UNKNOWNNAME,
            ById(doc.get(), L"three")->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  std::filesystem::remove_all(folder);
}

} // namespace

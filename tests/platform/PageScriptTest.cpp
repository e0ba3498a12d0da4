// Page scripts: evaluation through the window, script values as VARIANTs,
// the DOM in script, expandos both ways, errors, budgets and timers.
#include <vector>

#include "PageTestSupport.h"

namespace {

using tallowick::platform::ScriptError;

Ptr<IHTMLWindow2> WindowOf(IHTMLDocument2 *document) {
  Ptr<IHTMLWindow2> window;
  EXPECT_EQ(S_OK, document->get_parentWindow(&window));
  return window;
}

// window.eval(code) through IDispatch, as the kit evaluates script.
HRESULT Eval(IHTMLDocument2 *document, const wchar_t *code, VARIANT *result,
             EXCEPINFO *info = nullptr) {
  Ptr<IHTMLWindow2> window = WindowOf(document);
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"eval")};
  HRESULT hr = window->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(hr))
    return hr;
  Var text(code);
  DISPPARAMS params = {&text.v, nullptr, 1, 0};
  return window->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, info, nullptr);
}

std::wstring Str(const Var &value) {
  return value.v.vt == VT_BSTR ? value.Text() : L"<not a string>";
}

class PageScript : public ::testing::Test {
protected:
  void Load(const char *html) {
    doc = LoadHtml(html);
    ASSERT_TRUE(doc);
    // Errors of loading are kept; later ones reach the handler.
    ASSERT_EQ(S_OK, tallowick::platform::GetScriptErrors(doc.get(), &errors));
    ASSERT_EQ(S_OK, tallowick::platform::SetScriptErrorHandler(
                        doc.get(), [this](const ScriptError &e) { errors.push_back(e); }));
  }
  Var EvalOk(const wchar_t *code) {
    Var result;
    EXPECT_EQ(S_OK, Eval(doc.get(), code, &result.v))
        << code << " " << (errors.empty() ? std::wstring() : errors.back().message);
    return result;
  }
  Ptr<IHTMLDocument2> doc;
  std::vector<ScriptError> errors;
};

TEST_F(PageScript, ValuesCrossAsVariants) {
  Load("<body><script>var answer = 1 + 2;</script></body>");
  Var three = EvalOk(L"answer");
  EXPECT_EQ(VT_I4, three.v.vt);
  EXPECT_EQ(3, three.v.lVal);
  Var half = EvalOk(L"answer / 2");
  ASSERT_EQ(VT_R8, half.v.vt);
  EXPECT_DOUBLE_EQ(1.5, half.v.dblVal);
  Var big = EvalOk(L"4294967296");
  EXPECT_EQ(VT_R8, big.v.vt);
  Var text = EvalOk(L"'x' + answer");
  ASSERT_EQ(VT_BSTR, text.v.vt);
  EXPECT_EQ(L"x3", text.Text());
  Var yes = EvalOk(L"answer == 3");
  ASSERT_EQ(VT_BOOL, yes.v.vt);
  EXPECT_EQ(VARIANT_TRUE, yes.v.boolVal);
  EXPECT_EQ(VT_NULL, EvalOk(L"null").v.vt);
  EXPECT_EQ(VT_EMPTY, EvalOk(L"undefined").v.vt);
  EXPECT_EQ(VT_DISPATCH, EvalOk(L"(function () {})").v.vt);
  // A global defined by a page script is a member of the window by name.
  Var direct = Get(WindowOf(doc.get()).get(), L"answer");
  EXPECT_EQ(VT_I4, direct.v.vt);
}

TEST_F(PageScript, ScriptObjectsAreReachableByName) {
  Load(R"(<body><script>
    var grid = { name: "G1", cells: [10, "b", null],
      getCell: function (i) { var v = this.cells[i]; return { getValue: function () { return v; } }; } };
    </script></body>)");
  Var grid = EvalOk(L"grid");
  ASSERT_EQ(VT_DISPATCH, grid.v.vt);
  EXPECT_EQ(L"G1", Get(grid.v.pdispVal, L"name").Text());
  Var cell;
  ASSERT_EQ(S_OK, Invoke(grid.v.pdispVal, L"getCell", DISPATCH_METHOD, {Var(LONG(1)).v}, &cell.v));
  ASSERT_EQ(VT_DISPATCH, cell.v.vt);
  Var value;
  ASSERT_EQ(S_OK, Invoke(cell.v.pdispVal, L"getValue", DISPATCH_METHOD, {}, &value.v));
  EXPECT_EQ(L"b", value.Text());
  // Arrays: indexes by name, length, enumeration.
  Var cells = Get(grid.v.pdispVal, L"cells");
  ASSERT_EQ(VT_DISPATCH, cells.v.vt);
  EXPECT_EQ(3, Get(cells.v.pdispVal, L"length").v.lVal);
  EXPECT_EQ(10, Get(cells.v.pdispVal, L"0").v.lVal);
  EXPECT_EQ(VT_NULL, Get(cells.v.pdispVal, L"2").v.vt);
  Var enumerator;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(S_OK, cells.v.pdispVal->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                           &enumerator.v, nullptr, nullptr));
  Ptr<IEnumVARIANT> items;
  ASSERT_EQ(S_OK, enumerator.v.punkVal->QueryInterface(IID_IEnumVARIANT,
                                                       reinterpret_cast<void **>(&items)));
  VARIANT got[4];
  ULONG fetched = 0;
  EXPECT_EQ(S_FALSE, items->Next(4, got, &fetched));
  ASSERT_EQ(3u, fetched);
  EXPECT_EQ(VT_I4, got[0].vt);
  EXPECT_EQ(VT_BSTR, got[1].vt);
  EXPECT_EQ(VT_NULL, got[2].vt);
  for (ULONG i = 0; i < fetched; ++i)
    VariantClear(&got[i]);
  // A C++ put is visible to script; unknown names fail.
  Var renamed(L"G2");
  ASSERT_EQ(S_OK, Invoke(grid.v.pdispVal, L"name", DISPATCH_PROPERTYPUT, {renamed.v}, nullptr));
  EXPECT_EQ(L"G2", Str(EvalOk(L"grid.name")));
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"missing")};
  EXPECT_EQ(DISP_E_UNKNOWNNAME, grid.v.pdispVal->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  // The same script object crosses as the same COM object, and back.
  Var again = EvalOk(L"grid");
  EXPECT_EQ(grid.v.pdispVal, again.v.pdispVal);
  Var window = Get(WindowOf(doc.get()).get(), L"self");
  ASSERT_EQ(VT_DISPATCH, window.v.vt);
}

TEST_F(PageScript, DomObjectsKeepTheirIdentityAndExpandos) {
  Load(R"(<body><div id="box" class="a">text</div><select id="pick"><option>A</option>
    <option selected>B</option></select><form name="f"><input name="q" value="1"></form>
    <script>
      var box = document.getElementById("box");
      box.className = "b";
      box.note = { label: "from script" };
      var made = document.createElement("SPAN");
      made.id = "made";
      made.innerText = "new";
      document.body.appendChild(made);
    </script></body>)");
  Ptr<IHTMLElement> box = ById(doc.get(), L"box");
  Var fromScript = EvalOk(L"box");
  ASSERT_EQ(VT_DISPATCH, fromScript.v.vt);
  Ptr<IUnknown> a, b;
  box->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&a));
  fromScript.v.pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&b));
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(VARIANT_TRUE, EvalOk(L"document.getElementById('box') === box").v.boolVal);
  EXPECT_EQ(L"b", Get(box.get(), L"className").Text());
  // A script expando is a member by name for C++ ...
  Var note = Get(box.get(), L"note");
  ASSERT_EQ(VT_DISPATCH, note.v.vt);
  EXPECT_EQ(L"from script", Get(note.v.pdispVal, L"label").Text());
  // ... and a C++ put is visible to script.
  Var mark(L"set in C++");
  ASSERT_EQ(S_OK, box->setAttribute(Bstr(L"mark"), mark.v, 0));
  EXPECT_EQ(L"set in C++", Str(EvalOk(L"box.mark")));
  EXPECT_EQ(L"new", Str(EvalOk(L"document.getElementById('made').innerText")));
  EXPECT_EQ(1, EvalOk(L"document.getElementById('pick').selectedIndex").v.lVal);
  EXPECT_EQ(L"A", Str(EvalOk(L"document.getElementById('pick').options[0].text")));
  EXPECT_EQ(L"1", Str(EvalOk(L"document.forms['f'].q.value")));
  EXPECT_EQ(L"DIV", Str(EvalOk(L"var t = box.tagName; t")));
  // A DOM method read as a value stays callable.
  EXPECT_EQ(L"box", Str(EvalOk(L"var g = box.getAttribute; g.call(box, 'id')")));
  EXPECT_EQ(L"b", Str(EvalOk(L"box.style.color = 'red'; box.className")));
  EXPECT_EQ(L"red", Str(EvalOk(L"box.style.color")));
  EXPECT_EQ(VARIANT_TRUE,
            EvalOk(L"box.removeChild(box.firstChild); !box.hasChildNodes()").v.boolVal);
  EXPECT_TRUE(errors.empty());
}

TEST_F(PageScript, FrozenObjectsAndWindowOnload) {
  Load("<body><script>var state = 'loading'; window.onload = function () { state = 'loaded'; };"
       "var frozen = Object.freeze({ a: 1 });</script></body>");
  EXPECT_EQ(L"loaded", Str(EvalOk(L"state")));
  Var frozen = EvalOk(L"frozen");
  ASSERT_EQ(VT_DISPATCH, frozen.v.vt);
  EXPECT_EQ(1, Get(frozen.v.pdispVal, L"a").v.lVal);
  EXPECT_TRUE(errors.empty());
}

TEST_F(PageScript, MembersCollidingWithDomMembersStayDomMembers) {
  Load("<body><div id='box'>x</div><script>var box = document.getElementById('box');"
       "box.tagName = 'P';</script><script>var id = 'shadow';</script></body>");
  // tagName is read-only: the put failed and was reported; the element is intact.
  ASSERT_EQ(1u, errors.size());
  EXPECT_EQ(L"DIV", Str(EvalOk(L"box.tagName")));
  EXPECT_EQ(L"shadow", Str(EvalOk(L"id")));
}

TEST_F(PageScript, ErrorsAreReportedAndAnsweredAsExceptions) {
  Load("<body><script>function fail() { throw new TypeError('bad thing'); }\n"
       "var ok = 1; nosuch();</script></body>");
  ASSERT_EQ(1u, errors.size()); // the load-time error
  EXPECT_NE(std::wstring::npos, errors[0].message.find(L"ReferenceError"));
  EXPECT_EQ(2, errors[0].line);
  errors.clear();
  Var result;
  EXCEPINFO info{};
  EXPECT_EQ(DISP_E_EXCEPTION, Eval(doc.get(), L"fail()", &result.v, &info));
  ASSERT_NE(nullptr, info.bstrDescription);
  EXPECT_EQ(L"TypeError: bad thing", Take(info.bstrDescription));
  SysFreeString(info.bstrSource);
  ASSERT_EQ(1u, errors.size());
  EXPECT_EQ(L"TypeError: bad thing", errors[0].message);
  // try/catch inside script handles it; the engine stays usable.
  EXPECT_EQ(L"caught bad thing",
            Str(EvalOk(L"try { fail(); } catch (e) { 'caught ' + e.message }")));
  EXPECT_EQ(DISP_E_EXCEPTION, Eval(doc.get(), L"var x = ;", &result.v));
  EXPECT_EQ(1, EvalOk(L"ok").v.lVal);
  Ptr<IHTMLWindow2> window = WindowOf(doc.get());
  EXPECT_EQ(DISP_E_EXCEPTION, window->execScript(Bstr(L"fail()"), Bstr(L"javascript"), nullptr));
  EXPECT_EQ(E_INVALIDARG, window->execScript(Bstr(L"x"), Bstr(L"vbscript"), nullptr));
}

TEST_F(PageScript, BudgetAndRecursionLimits) {
  Load("<body><script>function forever() { for (;;) {} }"
       "function deep(n) { return deep(n + 1) + 1; }</script></body>");
  ASSERT_EQ(S_OK, tallowick::platform::SetScriptBudget(doc.get(), 200));
  Var result;
  EXCEPINFO info{};
  EXPECT_EQ(DISP_E_EXCEPTION, Eval(doc.get(), L"forever()", &result.v, &info));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_TIMEOUT), info.scode);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  ASSERT_FALSE(errors.empty());
  EXPECT_TRUE(errors.back().timeout);
  // A catch cannot swallow the timeout.
  EXPECT_EQ(DISP_E_EXCEPTION,
            Eval(doc.get(), L"try { forever(); } catch (e) {} 'escaped'", &result.v));
  Ptr<IHTMLWindow2> window = WindowOf(doc.get());
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_TIMEOUT),
            window->execScript(Bstr(L"forever()"), Bstr(L"JScript"), nullptr));
  EXPECT_EQ(DISP_E_EXCEPTION, Eval(doc.get(), L"deep(0)", &result.v));
  EXPECT_NE(std::wstring::npos, errors.back().message.find(L"RangeError"));
  // Recursion through the DOM (a handler that clicks its own element).
  EXPECT_EQ(S_OK,
            Eval(doc.get(),
                 L"var b = document.body; b.onclick = function () { b.click(); }; b.click(); 1",
                 &result.v));
  EXPECT_EQ(42, EvalOk(L"42").v.lVal);
}

TEST_F(PageScript, TimersRunOnlyWhenPumped) {
  Load("<body><script>var log = [];"
       "setTimeout(function () { log.push('late'); }, 100);"
       "setTimeout(\"log.push('soon')\", 10);"
       "var every = setInterval(function () { log.push('tick'); if (log.length > 3) "
       "clearInterval(every); }, 30);"
       "</script></body>");
  EXPECT_EQ(L"", Str(EvalOk(L"log.join()")));
  long ran = 0;
  ASSERT_EQ(S_OK, tallowick::platform::RunPageTimers(doc.get(), 50, &ran));
  EXPECT_EQ(2, ran);
  EXPECT_EQ(L"soon,tick", Str(EvalOk(L"log.join()")));
  ASSERT_EQ(S_OK, tallowick::platform::RunPageTimers(doc.get(), 1000, &ran));
  EXPECT_EQ(L"soon,tick,tick,tick,late", Str(EvalOk(L"log.join()")));
  ASSERT_EQ(S_OK, tallowick::platform::RunPageTimers(doc.get(), 1000, &ran));
  EXPECT_EQ(0, ran);
}

} // namespace

namespace {

// Script holds the element too: the page must stay until the last outside
// reference goes, and the element keeps working meanwhile.
TEST_F(PageScript, ElementHeldOutsideKeepsThePageAfterItsDocument) {
  Load("<html><body><div id=d>text</div>"
       "<script>var held = document.getElementById('d');</script></body></html>");
  Ptr<IHTMLElement> element = ById(doc.get(), L"d");
  ASSERT_TRUE(element);
  EvalOk(L"held.title = 'x'");
  doc = Ptr<IHTMLDocument2>();
  BSTR tag = nullptr;
  ASSERT_EQ(S_OK, element->get_tagName(&tag));
  EXPECT_STREQ(tag, L"DIV");
  SysFreeString(tag);
}

// The window scrolls through the document element, within the extent.
TEST_F(PageScript, WindowScrollsByAndToWithinTheDocument) {
  Load("<html><body style='margin:0'><div style='height:3000px'></div></body></html>");
  Ptr<IHTMLWindow2> window = WindowOf(doc.get());
  Ptr<IHTMLElement2> root;
  Ptr<IHTMLDocument3> document3;
  ASSERT_EQ(S_OK, doc->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void **>(&document3)));
  Ptr<IHTMLElement> html;
  ASSERT_EQ(S_OK, document3->get_documentElement(&html));
  ASSERT_EQ(S_OK, html->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void **>(&root)));
  LONG top = -1;
  ASSERT_EQ(S_OK, window->scrollBy(0, 100));
  ASSERT_EQ(S_OK, window->scrollBy(0, 50));
  root->get_scrollTop(&top);
  EXPECT_EQ(top, 150);
  ASSERT_EQ(S_OK, window->scrollTo(0, 100000));
  LONG bottom = -1;
  root->get_scrollTop(&bottom);
  EXPECT_GT(bottom, 3000 - 768 - 50); // the layout's extent, the viewport's height less
  ASSERT_EQ(S_OK, window->scrollBy(0, 10));
  root->get_scrollTop(&top);
  EXPECT_EQ(top, bottom);
  ASSERT_EQ(S_OK, window->scrollTo(0, -5));
  root->get_scrollTop(&top);
  EXPECT_EQ(top, 0);
}

} // namespace

namespace {

// currentStyle reads border, padding and margin longhands through their
// shorthands, the most specific one first, as IE computed them.
TEST_F(PageScript, CurrentStyleExpandsBoxShorthands) {
  Load("<html><head><style>#s { border: 3px dotted green; margin: 1px 2px 3px; }</style></head>"
       "<body><div id='a' style='border: 2px dashed rgb(1, 2, 3); border-top: thick solid red;"
       " border-width: 4px 5px; padding: 1px 2px 3px 4px'>x</div><div id='s'>y</div>"
       "<div id='n'>z</div></body></html>");
  EXPECT_EQ(Str(EvalOk(L"var c = document.getElementById('a').currentStyle;"
                       L"[c.borderTopWidth, c.borderTopStyle, c.borderTopColor].join('|')")),
            L"thick|solid|red");
  EXPECT_EQ(Str(EvalOk(L"[c.borderLeftWidth, c.borderLeftStyle, c.borderLeftColor,"
                       L" c.borderBottomWidth].join('|')")),
            L"5px|dashed|rgb(1, 2, 3)|4px");
  EXPECT_EQ(
      Str(EvalOk(L"[c.paddingTop, c.paddingRight, c.paddingBottom, c.paddingLeft].join('|')")),
      L"1px|2px|3px|4px");
  EXPECT_EQ(Str(EvalOk(L"var s = document.getElementById('s').currentStyle;"
                       L"[s.borderRightWidth, s.borderRightStyle, s.borderRightColor,"
                       L" s.marginTop, s.marginLeft, s.marginBottom].join('|')")),
            L"3px|dotted|green|1px|2px|3px");
  // Nothing given: IE's initial values.
  EXPECT_EQ(Str(EvalOk(L"var n = document.getElementById('n').currentStyle;"
                       L"[n.borderTopWidth, n.borderTopStyle, n.paddingLeft].join('|')")),
            L"medium|none|0px");
}

TEST_F(PageScript, DocumentSelectionIsAnEmptySelection) {
  Load("<html><body><p id='p'>Hello world</p></body></html>");
  EXPECT_EQ(Str(EvalOk(L"document.selection.type")), L"None");
  EXPECT_EQ(Str(EvalOk(L"var r = document.selection.createRange(); r.text")), L"");
  EXPECT_EQ(Str(EvalOk(L"r.expand('word'); r.text")), L"Hello "); // a word takes its space
  EXPECT_EQ(Str(EvalOk(L"document.selection.empty(); document.selection.clear();"
                       L" document.selection.type")),
            L"None");
  EXPECT_TRUE(errors.empty());
}

} // namespace

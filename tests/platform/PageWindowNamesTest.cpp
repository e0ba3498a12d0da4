// Names the window's dispatch resolves: script globals and frames by name,
// on a page without frames and on one with an iframe.
#include "PageTestSupport.h"

namespace {

DISPID IdOf(IDispatch *object, const wchar_t *name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id)))
    return DISPID_UNKNOWN;
  return id;
}

Var Property(IDispatch *object, const wchar_t *name) {
  Var result;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  DISPID id = IdOf(object, name);
  if (id != DISPID_UNKNOWN)
    object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result.v,
                   nullptr, nullptr);
  return result;
}

Ptr<IDispatch> WindowOf(IHTMLDocument2 *document) {
  Ptr<IHTMLWindow2> window;
  EXPECT_EQ(S_OK, document->get_parentWindow(&window));
  Ptr<IDispatch> dispatch;
  if (window)
    window->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch));
  return dispatch;
}

} // namespace

TEST(PageWindowNames, GlobalsWithoutFramesAndFramesByName) {
  std::string rows;
  for (int i = 0; i < 500; ++i)
    rows += "<tr><td>" + std::to_string(i) + "</td></tr>";
  Ptr<IHTMLDocument2> plain = LoadHtml(
      ("<body><table>" + rows + "</table><script>var answer = 42;</script></body>").c_str());
  Ptr<IDispatch> window = WindowOf(plain.get());
  ASSERT_TRUE(window);
  Var answer = Property(window.get(), L"answer");
  EXPECT_EQ(VT_I4, answer.v.vt);
  EXPECT_EQ(42, answer.v.lVal);
  EXPECT_EQ(DISPID_UNKNOWN, IdOf(window.get(), L"nothing"));
  Ptr<IHTMLWindow2> html;
  ASSERT_EQ(S_OK, plain->get_parentWindow(&html));
  LONG count = -1;
  EXPECT_EQ(S_OK, html->get_length(&count));
  EXPECT_EQ(0, count);

  // An iframe's window by its name, ahead of a global of the same name.
  Ptr<IHTMLDocument2> framed = LoadHtml(
      "<body><iframe name='inner'></iframe><script>var inner = 1; var other = 2;</script></body>");
  Ptr<IDispatch> top = WindowOf(framed.get());
  ASSERT_TRUE(top);
  Var inner = Property(top.get(), L"inner");
  ASSERT_EQ(VT_DISPATCH, inner.v.vt);
  Ptr<IHTMLWindow2> frame;
  EXPECT_EQ(S_OK,
            inner.v.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void **>(&frame)));
  EXPECT_TRUE(frame);
  Var other = Property(top.get(), L"other");
  EXPECT_EQ(VT_I4, other.v.vt);
}

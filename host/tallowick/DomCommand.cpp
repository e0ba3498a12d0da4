// tallowick dom PAGE [--geometry]: the page's element tree, one element a
// line, indented by depth; frames' documents nested under their elements.
#include <windows.h>

#include <mshtml.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Cli.h"
#include "PageSource.h"
#include "tallowick/Page.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {

namespace {

using platform::Narrow;

template <class T> class Ref {
public:
  Ref() = default;
  explicit Ref(T *p) : p_(p) {}
  Ref(const Ref &) = delete;
  Ref(Ref &&other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ~Ref() {
    if (p_)
      p_->Release();
  }
  T **operator&() { return &p_; }
  T *operator->() const { return p_; }
  T *get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  T *p_ = nullptr;
};

template <class I> Ref<I> As(IUnknown *object) {
  Ref<I> out;
  if (object)
    object->QueryInterface(__uuidof(I), reinterpret_cast<void **>(&out));
  return out;
}

std::wstring Take(BSTR text) {
  std::wstring out = text ? std::wstring(text, SysStringLen(text)) : L"";
  SysFreeString(text);
  return out;
}

std::vector<Ref<IHTMLElement>> Children(IHTMLElement *element) {
  std::vector<Ref<IHTMLElement>> out;
  Ref<IDispatch> dispatch;
  if (FAILED(element->get_children(&dispatch)))
    return out;
  Ref<IHTMLElementCollection> children = As<IHTMLElementCollection>(dispatch.get());
  LONG length = 0;
  if (!children || FAILED(children->get_length(&length)))
    return out;
  for (LONG i = 0; i < length; ++i) {
    VARIANT index, none;
    VariantInit(&index);
    VariantInit(&none);
    index.vt = VT_I4;
    index.lVal = i;
    Ref<IDispatch> item;
    if (SUCCEEDED(children->item(index, none, &item)))
      out.push_back(As<IHTMLElement>(item.get()));
  }
  return out;
}

std::string Line(IHTMLElement *element, bool geometry) {
  BSTR text = nullptr;
  element->get_tagName(&text);
  std::wstring line = Take(text);
  element->get_id(&text);
  std::wstring id = Take(text);
  if (!id.empty())
    line += L"#" + id;
  element->get_className(&text);
  std::wstring classes = Take(text), name;
  for (wchar_t c : classes + L" ") {
    if (c != L' ' && c != L'\t' && c != L'\n' && c != L'\r') {
      name += c;
      continue;
    }
    if (!name.empty())
      line += L"." + name;
    name.clear();
  }
  if (geometry) {
    Ref<IHTMLElement2> element2 = As<IHTMLElement2>(element);
    Ref<IHTMLRect> rect;
    LONG left = 0, top = 0, right = 0, bottom = 0;
    if (element2 && SUCCEEDED(element2->getBoundingClientRect(&rect)) && rect) {
      rect->get_left(&left);
      rect->get_top(&top);
      rect->get_right(&right);
      rect->get_bottom(&bottom);
    }
    line += L" [" + std::to_wstring(left) + L"," + std::to_wstring(top) + L"," +
            std::to_wstring(right) + L"," + std::to_wstring(bottom) + L"]";
  }
  return Narrow(line);
}

bool IsFrame(IHTMLElement *element) {
  BSTR text = nullptr;
  element->get_tagName(&text);
  std::wstring tag = Take(text);
  return tag == L"FRAME" || tag == L"IFRAME";
}

// The document of the index-th frame of a window.
Ref<IHTMLDocument2> FrameDocument(IHTMLWindow2 *window, LONG index) {
  Ref<IHTMLDocument2> document;
  if (!window)
    return document;
  VARIANT at, result;
  VariantInit(&at);
  VariantInit(&result);
  at.vt = VT_I4;
  at.lVal = index;
  if (SUCCEEDED(window->item(&at, &result)) && result.vt == VT_DISPATCH && result.pdispVal) {
    Ref<IHTMLWindow2> frame = As<IHTMLWindow2>(result.pdispVal);
    if (frame)
      frame->get_document(&document);
  }
  VariantClear(&result);
  return document;
}

struct Pending {
  Ref<IHTMLElement> element;
  int depth;
  IHTMLWindow2 *window; // the window whose frames this element's frames are
  LONG *frameCounter;
};

void PrintDocument(IHTMLDocument2 *top, bool geometry) {
  // Explicit stacks: pages may nest elements thousands deep.
  std::vector<Ref<IHTMLWindow2>> windows;
  std::vector<std::unique_ptr<LONG>> counters;
  std::vector<Pending> stack;
  auto pushDocument = [&](IHTMLDocument2 *document, int depth) {
    Ref<IHTMLDocument3> document3 = As<IHTMLDocument3>(document);
    Ref<IHTMLElement> root;
    if (!document3 || FAILED(document3->get_documentElement(&root)) || !root)
      return;
    Ref<IHTMLWindow2> window;
    document->get_parentWindow(&window);
    windows.push_back(std::move(window));
    counters.push_back(std::make_unique<LONG>(0));
    stack.push_back({std::move(root), depth, windows.back().get(), counters.back().get()});
  };
  pushDocument(top, 0);
  while (!stack.empty()) {
    Pending item = std::move(stack.back());
    stack.pop_back();
    std::printf("%s%s\n", std::string(static_cast<size_t>(item.depth) * 2, ' ').c_str(),
                Line(item.element.get(), geometry).c_str());
    std::vector<Ref<IHTMLElement>> children = Children(item.element.get());
    if (IsFrame(item.element.get())) {
      Ref<IHTMLDocument2> frame = FrameDocument(item.window, (*item.frameCounter)++);
      if (frame)
        pushDocument(frame.get(), item.depth + 1);
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back({std::move(*it), item.depth + 1, item.window, item.frameCounter});
  }
}

} // namespace

int RunDom(const Invocation &invocation) {
  const auto &args = invocation.args;
  std::string page;
  bool geometry = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--geometry") {
      geometry = true;
      continue;
    }
    if (args[i].rfind("--", 0) == 0 || !page.empty()) {
      std::fputs("usage: tallowick dom PAGE [--geometry]\n", stderr);
      return 2;
    }
    page = args[i];
  }
  if (page.empty()) {
    std::fputs("usage: tallowick dom PAGE [--geometry]\n", stderr);
    return 2;
  }
  Ref<IHTMLDocument2> document;
  host::http::HttpSession session;
  if (FAILED(LoadPageArgument(page, session, &document)) || !document)
    return 1;
  PrintDocument(document.get(), geometry);
  return 0;
}

} // namespace tallowick::cli

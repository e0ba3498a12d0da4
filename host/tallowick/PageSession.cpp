#include "PageSession.h"

#include <cstdio>
#include <cstdlib>

#include "TallowickIE_h.h"
#include "tallowick/Page.h"

namespace tallowick::cli {
namespace {

using platform::Narrow;
using platform::Widen;

constexpr LONG kAttrName = 95;
constexpr LONG kAttrLogicalName = 146;

std::string ElementId(IWebObj2 *ao) {
  Ref<IUnknown> wrapped;
  if (FAILED(ao->GetWrappedElement(wrapped.Out())) || !wrapped)
    return {};
  Ref<IHTMLElement> element = wrapped.As<IHTMLElement>();
  BSTR id = nullptr;
  if (!element || FAILED(element->get_id(&id)))
    return {};
  return TakeText(id);
}

std::vector<std::string> SplitSelector(const std::string &selector) {
  std::vector<std::string> steps;
  size_t start = 0;
  while (true) {
    size_t at = selector.find(">>", start);
    std::string step = selector.substr(start, at == std::string::npos ? at : at - start);
    size_t first = step.find_first_not_of(' ');
    size_t last = step.find_last_not_of(' ');
    steps.push_back(first == std::string::npos ? std::string()
                                               : step.substr(first, last - first + 1));
    if (at == std::string::npos)
      return steps;
    start = at + 2;
  }
}

// "tag:n": the tag name and the index, or false.
bool TagIndex(const std::string &part, std::string &tag, LONG &index) {
  size_t colon = part.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= part.size() ||
      part.find_first_not_of("0123456789", colon + 1) != std::string::npos)
    return false;
  tag = part.substr(0, colon);
  index = std::atoi(part.c_str() + colon + 1);
  return true;
}

HRESULT ItemOf(IHTMLElementCollection *list, LONG index, IHTMLElement **element) {
  VARIANT at, none;
  at.vt = VT_I4;
  at.lVal = index;
  VariantInit(&none);
  Ref<IDispatch> item;
  if (list == nullptr || FAILED(list->item(at, none, item.Out())) || !item)
    return E_FAIL;
  return item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void **>(element));
}

HRESULT NthInDocument(IHTMLDocument2 *document, const std::string &tag, LONG index,
                      IHTMLElement **element) {
  Ref<IHTMLElementCollection> all;
  if (FAILED(document->get_all(all.Out())) || !all)
    return E_FAIL;
  VARIANT name;
  name.vt = VT_BSTR;
  name.bstrVal = SysAllocString(Widen(tag).c_str());
  Ref<IDispatch> tags;
  HRESULT hr = all->tags(name, tags.Out());
  VariantClear(&name);
  if (FAILED(hr))
    return hr;
  return ItemOf(tags.As<IHTMLElementCollection>().Get(), index, element);
}

HRESULT NthInElement(IHTMLElement *scope, const std::string &tag, LONG index,
                     IHTMLElement **element) {
  Ref<IHTMLElement2> scope2;
  scope->QueryInterface(IID_IHTMLElement2, scope2.OutVoid());
  Ref<IHTMLElementCollection> list;
  BSTR name = SysAllocString(Widen(tag).c_str());
  HRESULT hr = scope2 ? scope2->getElementsByTagName(name, list.Out()) : E_FAIL;
  SysFreeString(name);
  if (FAILED(hr))
    return hr;
  return ItemOf(list.Get(), index, element);
}

HRESULT ById(IHTMLDocument2 *document, const std::string &text, IHTMLElement **element) {
  std::string id = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (id.empty())
    return E_INVALIDARG;
  Ref<IHTMLDocument3> document3;
  if (FAILED(document->QueryInterface(IID_IHTMLDocument3, document3.OutVoid())))
    return E_FAIL;
  BSTR name = SysAllocString(Widen(id).c_str());
  HRESULT hr = document3->getElementById(name, element);
  SysFreeString(name);
  return SUCCEEDED(hr) && *element == nullptr ? E_FAIL : hr;
}

// One step: an id, "#id" or "tag:n" in the document, then any number of
// "/tag:n", the n-th element of that tag inside the one found so far.
HRESULT FindStep(IHTMLDocument2 *document, const std::string &step, IHTMLElement **element) {
  *element = nullptr;
  size_t slash = step.find('/');
  std::string first = step.substr(0, slash);
  std::string tag;
  LONG index = 0;
  Ref<IHTMLElement> found;
  HRESULT hr = TagIndex(first, tag, index) ? NthInDocument(document, tag, index, found.Out())
                                           : ById(document, first, found.Out());
  while (SUCCEEDED(hr) && slash != std::string::npos) {
    size_t next = step.find('/', slash + 1);
    std::string part = step.substr(slash + 1, next == std::string::npos ? next : next - slash - 1);
    if (!TagIndex(part, tag, index))
      return E_INVALIDARG;
    Ref<IHTMLElement> inner;
    hr = NthInElement(found.Get(), tag, index, inner.Out());
    found = inner;
    slash = next;
  }
  if (FAILED(hr) || !found)
    return FAILED(hr) ? hr : E_FAIL;
  *element = found.Get();
  found->AddRef();
  return S_OK;
}

bool SameObject(IUnknown *a, IUnknown *b) {
  Ref<IUnknown> left, right;
  a->QueryInterface(IID_IUnknown, left.OutVoid());
  b->QueryInterface(IID_IUnknown, right.OutVoid());
  return left && left.Get() == right.Get();
}

bool IsFrameTag(IHTMLElement *element) {
  BSTR tag = nullptr;
  element->get_tagName(&tag);
  std::string name = TakeText(tag);
  return name == "FRAME" || name == "IFRAME";
}

// The document of a FRAME or IFRAME element: the window's frame of the same
// position among the document's frames.
Ref<IHTMLDocument2> FrameDocument(IHTMLElement *frame) {
  Ref<IHTMLDocument2> inner;
  Ref<IDispatch> owner;
  if (!IsFrameTag(frame) || FAILED(frame->get_document(owner.Out())) || !owner)
    return inner;
  Ref<IHTMLDocument2> document = owner.As<IHTMLDocument2>();
  Ref<IHTMLElementCollection> all;
  LONG count = 0;
  if (!document || FAILED(document->get_all(all.Out())) || !all || FAILED(all->get_length(&count)))
    return inner;
  LONG index = 0;
  for (LONG i = 0; i < count; ++i) {
    VARIANT at, none;
    at.vt = VT_I4;
    at.lVal = i;
    VariantInit(&none);
    Ref<IDispatch> item;
    Ref<IHTMLElement> element;
    if (FAILED(all->item(at, none, item.Out())) || !item || !(element = item.As<IHTMLElement>()) ||
        !IsFrameTag(element.Get()))
      continue;
    if (SameObject(element.Get(), frame))
      break;
    ++index;
  }
  Ref<IHTMLWindow2> window;
  if (FAILED(document->get_parentWindow(window.Out())) || !window)
    return inner;
  VARIANT at, result;
  at.vt = VT_I4;
  at.lVal = index;
  VariantInit(&result);
  if (SUCCEEDED(window->item(&at, &result)) && result.vt == VT_DISPATCH && result.pdispVal) {
    Ref<IHTMLWindow2> frameWindow;
    result.pdispVal->QueryInterface(IID_IHTMLWindow2, frameWindow.OutVoid());
    if (frameWindow)
      frameWindow->get_document(inner.Out());
  }
  VariantClear(&result);
  return inner;
}

// The document inside an element: its view-link document, or a frame's.
Ref<IHTMLDocument2> InnerDocument(IHTMLElement *element) {
  Ref<IHTMLDocument2> document;
  if (SUCCEEDED(platform::GetViewLinkDocument(element, document.Out())) && document)
    return document;
  return FrameDocument(element);
}

} // namespace

HRESULT FindInDocument(IHTMLDocument2 *document, const std::string &selector,
                       IHTMLElement **element) {
  return FindStep(document, selector, element);
}

HRESULT EvalInWindow(IHTMLWindow2 *window, const std::string &script, VARIANT *result) {
  DISPID id = 0;
  wchar_t evalName[] = L"eval";
  LPOLESTR names[] = {evalName};
  VARIANT code;
  code.vt = VT_BSTR;
  code.bstrVal = SysAllocString(Widen(script).c_str());
  DISPPARAMS params = {&code, nullptr, 1, 0};
  EXCEPINFO info{};
  HRESULT hr = window->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (SUCCEEDED(hr))
    hr = window->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, &info, nullptr);
  VariantClear(&code);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return hr;
}

std::vector<Ref<IWebObj2>> TreeChildren(IWIHostBrowser *browser, IWebObj2 *ao) {
  std::vector<Ref<IWebObj2>> out;
  SAFEARRAY *array = nullptr;
  if (FAILED(browser->GetTreeChildren(ao, &array)) || array == nullptr)
    return out;
  LONG upper = -1;
  SafeArrayGetUBound(array, 1, &upper);
  for (LONG i = 0; i <= upper; ++i) {
    VARIANT item;
    VariantInit(&item);
    if (SUCCEEDED(SafeArrayGetElement(array, &i, &item)) && item.vt == VT_UNKNOWN &&
        item.punkVal != nullptr) {
      Ref<IWebObj2> child;
      if (SUCCEEDED(item.punkVal->QueryInterface(__uuidof(IWebObj2), child.OutVoid())))
        out.push_back(std::move(child));
    }
    VariantClear(&item);
  }
  SafeArrayDestroy(array);
  return out;
}

PageSession::~PageSession() {
  if (browser_)
    browser_->Close();
}

bool PageSession::Open(const std::vector<std::pair<std::string, std::string>> &settings,
                       const std::string &page, bool quietWithoutKit) {
  if (!host_.Start(settings))
    return false;
  HRESULT hr = CoCreateInstance(CLSID_WIBrowserIE, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IWIHostBrowser), browser_.OutVoid());
  if (FAILED(hr)) {
    std::fprintf(stderr,
                 "tallowick: cannot create the host's browser: 0x%08X\n"
                 "register the host with: tallowick register libTallowickHost.so\n",
                 static_cast<unsigned>(hr));
    return false;
  }
  hr = browser_->LoadKit(CLSID_TallowickIE);
  if (hr == REGDB_E_CLASSNOTREG && !quietWithoutKit)
    std::fputs("tallowick: no kit registered (tallowick register libTallowickIE.so); "
               "the tree has the host's classes only\n",
               stderr);
  else if (FAILED(hr) && hr != REGDB_E_CLASSNOTREG)
    std::fprintf(stderr, "tallowick: the kit did not load: 0x%08X\n", static_cast<unsigned>(hr));

  BSTR path = SysAllocString(Widen(page).c_str());
  hr = browser_->LoadPage(path);
  SysFreeString(path);
  if (FAILED(hr) || !PageAO()) {
    BSTR why = nullptr;
    if (browser_->GetNavigationError(&why) == S_OK)
      std::fprintf(stderr, "tallowick: %s (error 0x%08X)\n", TakeText(why).c_str(),
                   static_cast<unsigned>(hr));
    else
      std::fprintf(stderr, "tallowick: cannot load page '%s' (error 0x%08X)\n", page.c_str(),
                   static_cast<unsigned>(hr));
    return false;
  }
  return true;
}

Ref<IWebObj2> PageSession::PageAO() const {
  Ref<IWebObj2> page;
  if (!browser_ || browser_->GetPageAO(page.Out()) != S_OK)
    page.Reset();
  return page;
}

Ref<IHTMLDocument2> PageSession::Document() const {
  Ref<IHTMLDocument2> document;
  Ref<IWebObj2> page = PageAO();
  Ref<IUnknown> wrapped;
  if (!page || FAILED(page->GetWrappedElement(wrapped.Out())) || !wrapped)
    return document;
  Ref<IHTMLDocument2> shown = wrapped.As<IHTMLDocument2>();
  if (shown && FAILED(platform::GetCurrentDocument(shown.Get(), document.Out())))
    document = shown;
  return document ? document : shown;
}

TreeObject PageSession::Describe(IWebObj2 *ao, int depth) const {
  TreeObject object;
  object.ao = Ref<IWebObj2>(ao);
  object.depth = depth;
  ao->GetRecordableClass(&object.webClass);
  BSTR text = nullptr;
  if (SUCCEEDED(AgentServices()->GetWebClassName(object.webClass, &text)))
    object.className = TakeText(text);
  ao->GetKitID(&object.kitId);
  Ref<IWebAttrVal> name;
  text = nullptr;
  if (ao->GetAttr(object.kitId != 0 ? kAttrLogicalName : kAttrName, nullptr, name.Out()) == S_OK &&
      name && SUCCEEDED(name->GetStringValue(0, &text)))
    object.name = TakeText(text);
  Ref<IWebRunTimeID> id;
  text = nullptr;
  if (SUCCEEDED(ao->GetId(id.Out())) && id && SUCCEEDED(id->GetIdAsString(&text)))
    object.rtid = TakeText(text);
  return object;
}

std::vector<TreeObject> PageSession::Walk() const {
  std::vector<TreeObject> objects;
  Ref<IWebObj2> page = PageAO();
  if (!page)
    return objects;
  struct Pending {
    Ref<IWebObj2> ao;
    int depth;
  };
  std::vector<Pending> stack; // explicit: trees may nest deep
  stack.push_back({page, 0});
  while (!stack.empty()) {
    Pending item = std::move(stack.back());
    stack.pop_back();
    objects.push_back(Describe(item.ao.Get(), item.depth));
    auto children = TreeChildren(browser_.Get(), item.ao.Get());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back({std::move(*it), item.depth + 1});
  }
  return objects;
}

Ref<IWebObj2> PageSession::FindObject(const std::string &spec, std::string &error) const {
  std::vector<TreeObject> objects = Walk();
  size_t colon = spec.rfind(':');
  if (colon != std::string::npos && colon > 0 && colon + 1 < spec.size() &&
      spec.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
    std::string className = spec.substr(0, colon);
    long wanted = std::atol(spec.c_str() + colon + 1);
    long seen = 0;
    for (const TreeObject &object : objects) {
      if (object.className == className && seen++ == wanted)
        return object.ao;
    }
    error = "no object " + spec + " (" + std::to_string(seen) + " of class " + className + ")";
    return {};
  }
  for (const TreeObject &object : objects) {
    if (object.kitId != 0 && object.name == spec)
      return object.ao;
  }
  for (const TreeObject &object : objects) {
    if (object.depth > 0 && ElementId(object.ao.Get()) == spec)
      return object.ao;
  }
  error = "no object named '" + spec + "' (a kit object's name, an element id or Class:n)";
  return {};
}

Ref<IWebObj2> PageSession::FindByClassAndName(const std::string &className,
                                              const std::string &name) const {
  for (const TreeObject &object : Walk()) {
    if (object.className == className && object.name == name)
      return object.ao;
  }
  return {};
}

HRESULT PageSession::FindElement(const std::string &selector, IHTMLElement **element,
                                 std::string &error) const {
  *element = nullptr;
  Ref<IHTMLDocument2> document = Document();
  if (!document) {
    error = "no page is shown";
    return E_FAIL;
  }
  Ref<IHTMLElement> found;
  std::vector<std::string> steps = SplitSelector(selector);
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) {
      document = InnerDocument(found.Get());
      if (!document) {
        error = "'" + steps[i - 1] + "' holds no view-link or frame document";
        return E_FAIL;
      }
    }
    if (FAILED(FindStep(document.Get(), steps[i], found.Out())) || !found) {
      error = "no element matches '" + steps[i] + "'" +
              (steps.size() > 1 ? " in selector '" + selector + "'" : std::string());
      return E_FAIL;
    }
  }
  *element = found.Get();
  found->AddRef();
  return S_OK;
}

} // namespace tallowick::cli

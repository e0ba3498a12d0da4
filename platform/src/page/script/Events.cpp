// Event dispatch as IE does it: the host hook, window.event, handlers from
// attributes and properties, attachEvent handlers, bubbling through the
// ancestors (from a view-link document on to its owner element),
// cancelBubble and returnValue.
#include <windows.h>

#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

namespace {

bool Bubbles(const std::wstring &type) {
  static const wchar_t *const kBubbling[] = {
      L"onclick",       L"ondblclick",    L"onmousedown", L"onmouseup", L"onmouseover",
      L"onmouseout",    L"onmousemove",   L"onkeydown",   L"onkeyup",   L"onkeypress",
      L"oncontextmenu", L"onselectstart", L"onhelp"};
  for (const wchar_t *name : kBubbling)
    if (type == name)
      return true;
  return false;
}

Node *NextUp(Node &node) {
  if (node.parent)
    return node.parent;
  if (node.kind == NodeKind::Document && node.document)
    return node.document->viewLinkOwner;
  return nullptr;
}

bool ReturnedFalse(const VARIANT &value) {
  return value.vt == VT_BOOL && value.boolVal == VARIANT_FALSE;
}

void Cancel(IHTMLEventObj *event) {
  VARIANT no;
  no.vt = VT_BOOL;
  no.boolVal = VARIANT_FALSE;
  event->put_returnValue(no);
}

// The handler that an attribute names: a function put as a property, or the
// attribute's text compiled as function(event) { text }.
HRESULT AttributeHandler(Page *page, const Node &node, const std::wstring &type,
                         IDispatch **handler) {
  *handler = nullptr;
  const Attribute *attribute = node.FindAttribute(type);
  if (!attribute)
    return S_FALSE;
  if (attribute->typed) {
    const VARIANT &value = attribute->typed->value.v;
    if (value.vt != VT_DISPATCH || !value.pdispVal)
      return S_FALSE;
    value.pdispVal->AddRef();
    *handler = value.pdispVal;
    return S_OK;
  }
  if (attribute->value.empty())
    return S_FALSE;
  ScriptEngine *engine = EngineOf(page);
  if (!engine)
    return E_FAIL;
  std::wstring source = node.document ? node.document->url : L"";
  return engine->CompileHandler(attribute->value, source, handler, const_cast<Node *>(&node));
}

void RunHandlers(Page *page, Node &node, const std::wstring &type, IHTMLEventObj *event) {
  if (!node.IsElement() && node.kind != NodeKind::Document)
    return;
  IDispatch *self = WrapNode(&node);
  VARIANT argument;
  argument.vt = VT_DISPATCH;
  argument.pdispVal = event;
  IDispatch *handler = nullptr;
  if (node.IsElement() && AttributeHandler(page, node, type, &handler) == S_OK && handler) {
    Var result;
    if (ScriptEngine *engine = EngineOf(page))
      if (SUCCEEDED(engine->CallHandler(handler, self, {&argument}, &result.v)) &&
          ReturnedFalse(result.v))
        Cancel(event);
    handler->Release();
  }
  // attachEvent handlers run with the window as `this`, in attach order; a
  // handler may detach others or remove the element meanwhile.
  std::vector<std::shared_ptr<TypedValue>> attached;
  for (const Listener &listener : node.listeners)
    if (listener.type == type)
      attached.push_back(listener.handler);
  for (const auto &value : attached) {
    if (value->value.v.vt != VT_DISPATCH || !value->value.v.pdispVal)
      continue;
    Var result;
    if (ScriptEngine *engine = EngineOf(page))
      if (SUCCEEDED(
              engine->CallHandler(value->value.v.pdispVal, nullptr, {&argument}, &result.v)) &&
          ReturnedFalse(result.v))
        Cancel(event);
  }
  if (self)
    self->Release();
}

} // namespace

bool DispatchEvent(Page *page, Node &target, const std::wstring &type, IHTMLEventObj *given,
                   const std::wstring &detail) {
  std::shared_ptr<Node> held = target.shared_from_this();
  IHTMLEventObj *event = given;
  if (event)
    event->AddRef();
  else if (FAILED(NewEventObject(page, held, type.substr(2), &event)) || !event)
    return page->Fire(type, &target, detail);
  IHTMLEventObj2 *writable = nullptr;
  if (SUCCEEDED(event->QueryInterface(IID_IHTMLEventObj2, reinterpret_cast<void **>(&writable)))) {
    IHTMLElement *source = nullptr;
    WrapNodeAs(&target, &source);
    writable->putref_srcElement(source);
    if (source)
      source->Release();
    BSTR name = SysAllocString(type.substr(2).c_str());
    writable->put_type(name);
    SysFreeString(name);
    writable->Release();
  }

  IHTMLEventObj *outer = page->currentEvent;
  page->currentEvent = event;
  bool run = page->Fire(type, &target, detail);
  bool bubbles = Bubbles(type);
  std::shared_ptr<Node> current = held;
  while (current) {
    RunHandlers(page, *current, type, event);
    VARIANT_BOOL stop = VARIANT_FALSE;
    event->get_cancelBubble(&stop);
    Node *next = bubbles && !stop ? NextUp(*current) : nullptr;
    current = next ? next->shared_from_this() : nullptr;
  }
  page->currentEvent = outer;
  Var returnValue;
  if (SUCCEEDED(event->get_returnValue(&returnValue.v)) && ReturnedFalse(returnValue.v))
    run = false;
  event->Release();
  return run;
}

namespace {

bool HearsPropertyChange(const Node &node) {
  if (node.FindAttribute(L"onpropertychange"))
    return true;
  for (const Listener &listener : node.listeners)
    if (listener.type == L"onpropertychange")
      return true;
  return false;
}

} // namespace

void FirePropertyChange(Page *page, Node &target, const std::wstring &name) {
  ++page->propertyChanges;
  if (!target.IsElement() || !HearsPropertyChange(target))
    return;
  NavigationHold hold(page);
  IHTMLEventObj *event = nullptr;
  if (FAILED(NewEventObject(page, target.shared_from_this(), L"propertychange", &event)) || !event)
    return;
  void *found = nullptr;
  if (SUCCEEDED(event->QueryInterface(IID_ITallowickExpandoHost, &found)) && found) {
    Var value;
    value.v.vt = VT_BSTR;
    value.v.bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    static_cast<ExpandoHost *>(found)->PutExpando(L"propertyName", value.v);
  }
  DispatchEvent(page, target, L"onpropertychange", event);
  event->Release();
}

} // namespace tallowick::page

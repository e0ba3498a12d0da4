// Element behaviours: component files, one instance per element, the
// element's members that the component adds, its view-link document and its
// lifecycle events.
#include "page/script/Behavior.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <map>
#include <sstream>

#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

using platform::EqualsNoCase;
using platform::Narrow;
using platform::Widen;

namespace {

std::wstring Trim(const std::wstring &text) {
  size_t begin = text.find_first_not_of(L" \t\r\n");
  size_t end = text.find_last_not_of(L" \t\r\n");
  return begin == std::wstring::npos ? L"" : text.substr(begin, end - begin + 1);
}

std::wstring Lower(std::wstring text) {
  for (wchar_t &c : text)
    c = static_cast<wchar_t>(towlower(c));
  return text;
}

// The value of name="..." (or '...' or bare) in a processing instruction.
std::wstring PiAttribute(const std::wstring &text, const std::wstring &name) {
  std::wstring lower = Lower(text);
  std::wstring key = Lower(name);
  for (size_t at = lower.find(key); at != std::wstring::npos; at = lower.find(key, at + 1)) {
    if (at > 0 && !iswspace(lower[at - 1]))
      continue;
    size_t eq = lower.find_first_not_of(L" \t\r\n", at + key.size());
    if (eq == std::wstring::npos || text[eq] != L'=')
      continue;
    size_t start = text.find_first_not_of(L" \t\r\n", eq + 1);
    if (start == std::wstring::npos)
      return L"";
    wchar_t quote = text[start];
    if (quote == L'"' || quote == L'\'') {
      size_t close = text.find(quote, start + 1);
      return text.substr(start + 1,
                         close == std::wstring::npos ? std::wstring::npos : close - start - 1);
    }
    size_t close = text.find_first_of(L" \t\r\n?", start);
    return text.substr(start, close == std::wstring::npos ? std::wstring::npos : close - start);
  }
  return L"";
}

bool ReadFile(const std::string &path, std::string *content) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream data;
  data << in.rdbuf();
  *content = data.str();
  return true;
}

bool IsPublic(const Node &node, const wchar_t *tag) {
  return node.IsElement() && EqualsNoCase(node.scope, L"public") && EqualsNoCase(node.tag, tag);
}

// A declared boolean: present without a value or "true" is true, "false" false.
std::optional<bool> Flag(const Node &node, const wchar_t *name) {
  const Attribute *attribute = node.FindAttribute(name);
  if (!attribute)
    return std::nullopt;
  std::wstring value = Lower(Trim(attribute->value));
  return !(value == L"false" || value == L"0" || value == L"no");
}

std::optional<std::wstring> OptionalValue(const Node &node, const wchar_t *name) {
  const Attribute *attribute = node.FindAttribute(name);
  return attribute ? std::optional<std::wstring>(attribute->value) : std::nullopt;
}

// Script blocks keep the lines they have in the file, so that errors name them.
void AddScript(Component &component, const std::string &file, size_t &searchFrom,
               const std::wstring &text) {
  std::string utf8 = Narrow(text);
  size_t at = file.find(utf8, searchFrom);
  long line = 1;
  if (at != std::string::npos) {
    line += static_cast<long>(std::count(file.begin(), file.begin() + static_cast<long>(at), '\n'));
    searchFrom = at + utf8.size();
  }
  if (component.script.empty())
    component.scriptLine = line;
  long current =
      component.scriptLine +
      static_cast<long>(std::count(component.script.begin(), component.script.end(), L'\n'));
  for (; current < line; ++current)
    component.script += L"\n";
  component.script += text + L"\n";
}

void Declare(Component &component, const Node &node) {
  if (IsPublic(node, L"property")) {
    Component::Property property{node.AttributeValue(L"name"), node.AttributeValue(L"internalName"),
                                 node.AttributeValue(L"get"),  node.AttributeValue(L"put"),
                                 node.AttributeValue(L"id"),   OptionalValue(node, L"value")};
    if (property.internal.empty())
      property.internal = property.name;
    component.properties.push_back(std::move(property));
  } else if (IsPublic(node, L"method")) {
    Component::Method method{node.AttributeValue(L"name"), node.AttributeValue(L"internalName")};
    if (method.internal.empty())
      method.internal = method.name;
    component.methods.push_back(std::move(method));
  } else if (IsPublic(node, L"event")) {
    component.events.push_back({node.AttributeValue(L"name"), node.AttributeValue(L"id")});
  } else if (IsPublic(node, L"attach")) {
    component.attaches.push_back(
        {Lower(node.AttributeValue(L"event")), node.AttributeValue(L"onevent")});
  } else if (IsPublic(node, L"defaults")) {
    component.defaults = {Flag(node, L"viewLinkContent"), Flag(node, L"tabStop"),
                          Flag(node, L"viewInheritStyle"), Flag(node, L"contentEditable")};
  }
}

// An identifier the generated script may use as it stands.
bool IsIdentifier(const std::wstring &name) {
  if (name.empty() || std::iswdigit(name[0]))
    return false;
  for (wchar_t c : name)
    if (!std::iswalnum(c) && c != L'_' && c != L'$')
      return false;
  return true;
}

std::wstring CheckNames(const Component &component) {
  for (const auto &property : component.properties) {
    if (property.name.empty())
      return L"a property without a name";
    for (const std::wstring *name :
         {&property.internal, &property.get, &property.put, &property.id})
      if (!name->empty() && !IsIdentifier(*name))
        return L"'" + *name + L"' is no script name";
  }
  for (const auto &method : component.methods)
    if (method.name.empty() || !IsIdentifier(method.internal))
      return L"a method without a script name";
  for (const auto &event : component.events)
    if (!event.id.empty() && !IsIdentifier(event.id))
      return L"'" + event.id + L"' is no script name";
  return L"";
}

// Parses a component file; null with `error` set when it is missing or malformed.
std::shared_ptr<Component> LoadComponent(const std::wstring &url, std::wstring *error) {
  std::string content;
  if (!ReadFile(PathFromUrl(url), &content)) {
    *error = L"Cannot load behaviour " + url;
    return nullptr;
  }
  auto file = ParseDocument(content, url);
  auto component = std::make_shared<Component>();
  component->url = url;
  bool declared = false;
  size_t searchFrom = 0;
  for (Node *node : Descendants(file->root.get())) {
    if (IsPublic(*node, L"component")) {
      declared = true;
      component->tagName = node->AttributeValue(L"tagName");
      component->literalContent = Flag(*node, L"literalContent").value_or(false);
      component->lightweight = Flag(*node, L"lightweight").value_or(false);
    } else if (node->Is(L"SCRIPT")) {
      for (const auto &child : node->children)
        if (child->kind == NodeKind::Text)
          AddScript(*component, content, searchFrom, child->text);
    } else {
      Declare(*component, *node);
    }
  }
  if (!declared) {
    *error = L"Malformed behaviour " + url + L": no <public:component>";
    return nullptr;
  }
  std::wstring wrong = CheckNames(*component);
  if (!wrong.empty()) {
    *error = L"Malformed behaviour " + url + L": " + wrong;
    return nullptr;
  }
  return component;
}

std::wstring Quoted(const std::wstring &text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\')
      out += L'\\';
    if (c == L'\n' || c == L'\r') {
      out += c == L'\n' ? L"\\n" : L"\\r";
      continue;
    }
    out += c;
  }
  return out + L"\"";
}

std::wstring BoolText(std::optional<bool> value, bool fallback) {
  return value.value_or(fallback) ? L"true" : L"false";
}

bool Stored(const Component::Property &property) {
  return property.get.empty() && property.put.empty();
}

// The declarations the component's script sees, on one line: its events,
// property change objects, internal variables, `defaults` and createEventObject.
std::wstring Prelude(const Component &component) {
  std::wstring source;
  for (const auto &event : component.events)
    if (!event.id.empty())
      source += L"var " + event.id + L" = { fire: function (e) { return __native.fire(element, " +
                Quoted(event.name) + L", e); } }; ";
  for (const auto &property : component.properties) {
    if (!property.id.empty())
      source += L"var " + property.id +
                L" = { fireChange: function () { __native.change(element, " +
                Quoted(property.name) + L"); } }; ";
    if (Stored(property))
      source += L"var " + property.internal +
                (property.value ? L" = " + Quoted(*property.value) : L"") + L"; ";
  }
  const Component::Defaults &d = component.defaults;
  source += L"var defaults = { tabStop: " + BoolText(d.tabStop, true) + L", viewInheritStyle: " +
            BoolText(d.viewInheritStyle, true) + L", contentEditable: " +
            BoolText(d.contentEditable, false) + L", viewLinkContent: " +
            BoolText(d.viewLinkContent, false) +
            L" }; "
            L"Object.defineProperty(defaults, 'viewLink', { enumerable: true, "
            L"get: function () { return __native.viewLink(element); }, "
            L"set: function (d) { __native.viewLink(element, d); } }); "
            L"Object.defineProperty(defaults, 'style', { enumerable: true, "
            L"get: function () { return element.style; } }); "
            L"function createEventObject() { return __doc.createEventObject(); } ";
  return source;
}

// The member table the instance answers: {get, put, methods, attach}.
std::wstring Epilogue(const Component &component) {
  std::wstring source = L"\nreturn { get: {";
  for (const auto &property : component.properties)
    source += Quoted(property.name) + L": " +
              (property.get.empty() ? L"function () { return " + property.internal + L"; }"
                                    : property.get) +
              L", ";
  source += L"}, put: {";
  for (const auto &property : component.properties) {
    if (!property.put.empty())
      source += Quoted(property.name) + L": " + property.put + L", ";
    else if (Stored(property))
      source += Quoted(property.name) + L": function (v) { " + property.internal + L" = v; }, ";
  }
  source += L"}, methods: {";
  for (const auto &method : component.methods)
    source += Quoted(method.name) + L": " + method.internal + L", ";
  source += L"}, attach: [";
  for (const auto &attach : component.attaches)
    source += L"[" + Quoted(attach.event) + L", function (event) { " + attach.handler + L"\n}], ";
  return source + L"] };\n";
}

// The component as a factory function(element, document, native). Its script
// runs in a function of its own inside `with (element)`: its own names come
// first, then the element's members, then the page's globals, as IE scoped
// component script.
std::wstring FactorySource(const Component &component) {
  std::wstring source = L"(function (element, __doc, __native) { with (element) { "
                        L"return (function (element, document) { ";
  source += Prelude(component);
  for (long line = 1; line < component.scriptLine; ++line)
    source += L"\n";
  source += component.script;
  source += Epilogue(component);
  source += L"})(element, __doc); } })";
  return source;
}

ScriptEngine &EngineOfContext(duk_context *ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<ScriptEngine *>(functions.udata);
}

Node *ElementArgument(duk_context *ctx, ScriptEngine &engine) {
  Node *node = NodeOf(engine.ComOf(0));
  if (!node)
    duk_error(ctx, DUK_ERR_TYPE_ERROR, "no element");
  return node;
}

// fire(element, "onname", eventObject): the component fires its event on the element.
duk_ret_t FireOnElement(duk_context *ctx) {
  ScriptEngine &engine = EngineOfContext(ctx);
  Node *node = ElementArgument(ctx, engine);
  std::wstring type = Lower(Widen(duk_safe_to_string(ctx, 1)));
  IHTMLEventObj *model = nullptr;
  if (IDispatch *given = engine.ComOf(2))
    given->QueryInterface(IID_IHTMLEventObj, reinterpret_cast<void **>(&model));
  IHTMLEventObj *event = nullptr;
  Page *page = &engine.GetPage();
  CopyEventObject(page, model, node->shared_from_this(), type.size() > 2 ? type.substr(2) : type,
                  &event);
  if (model)
    model->Release();
  bool run = DispatchEvent(page, *node, type, event);
  if (event)
    event->Release();
  duk_push_boolean(ctx, run);
  return 1;
}

// change(element, "name"): a property's fireChange().
duk_ret_t FireChange(duk_context *ctx) {
  ScriptEngine &engine = EngineOfContext(ctx);
  Node *node = ElementArgument(ctx, engine);
  FirePropertyChange(&engine.GetPage(), *node, Widen(duk_safe_to_string(ctx, 1)));
  return 0;
}

void SetViewLink(Node &owner, std::shared_ptr<PageDocument> document) {
  Behavior &behavior = *owner.behavior;
  if (behavior.viewLink && behavior.viewLink->viewLinkOwner == &owner)
    behavior.viewLink->viewLinkOwner = nullptr;
  behavior.viewLink = std::move(document);
  if (behavior.viewLink)
    behavior.viewLink->viewLinkOwner = &owner;
}

// viewLink(element[, document]): reads or sets defaults.viewLink.
duk_ret_t ViewLinkAccess(duk_context *ctx) {
  ScriptEngine &engine = EngineOfContext(ctx);
  Node *node = ElementArgument(ctx, engine);
  if (!node->behavior)
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "defaults: the behaviour is gone");
  Page &page = engine.GetPage();
  if (duk_get_top(ctx) < 2) {
    PageDocument *current = node->behavior->viewLink.get();
    if (!current)
      duk_push_null(ctx);
    else
      engine.PushObject(static_cast<IHTMLDocument2 *>(page.DocumentObject(*current)));
    return 1;
  }
  if (duk_is_null_or_undefined(ctx, 1)) {
    SetViewLink(*node, nullptr);
    return 0;
  }
  void *found = nullptr;
  IDispatch *object = engine.ComOf(1);
  if (!object || FAILED(object->QueryInterface(IID_ITallowickPageDocument, &found)) || !found)
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "defaults.viewLink: not a document");
  PageDocument &document = static_cast<HtmlDocument *>(found)->Data();
  bool foreign = document.page != &page || &document == node->document ||
                 &document == &page.Top() || document.frameElement;
  bool taken = document.viewLinkOwner && document.viewLinkOwner != node;
  if (foreign || taken)
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "defaults.viewLink: the document is in use");
  SetViewLink(*node, document.shared_from_this());
  return 0;
}

void PushNatives(duk_context *ctx) {
  duk_push_object(ctx);
  duk_push_c_function(ctx, FireOnElement, 3);
  duk_put_prop_string(ctx, -2, "fire");
  duk_push_c_function(ctx, FireChange, 2);
  duk_put_prop_string(ctx, -2, "change");
  duk_push_c_function(ctx, ViewLinkAccess, DUK_VARARGS);
  duk_put_prop_string(ctx, -2, "viewLink");
}

std::shared_ptr<PageDocument> NewViewLink(Page &page, Node &owner, const std::wstring &url) {
  auto document = ParseDocument("<html><head></head><body></body></html>", url);
  document->viewLinkOwner = &owner;
  page.Adopt(*document);
  return document;
}

// literalContent: the element's children leave the page for a container of
// the component's own.
void TakeLiteralContent(Node &element, Behavior &behavior) {
  auto literal = std::make_shared<Node>();
  literal->tag = element.tag;
  literal->scope = element.scope;
  literal->document = element.document;
  for (auto &child : element.children)
    child->parent = literal.get();
  literal->children = std::move(element.children);
  element.children.clear();
  Changed(element);
  behavior.literal = std::move(literal);
}

void GiveBackLiteralContent(Node &element, Behavior &behavior) {
  if (!behavior.literal)
    return;
  InsertChildren(element, 0, std::move(behavior.literal->children));
  behavior.literal->children.clear();
  behavior.literal.reset();
}

bool IsLifecycle(const std::wstring &type) {
  return type == L"oncontentready" || type == L"ondocumentready" || type == L"ondetach";
}

const Component::Property *FindProperty(const Component &component, const std::wstring &name) {
  for (const auto &property : component.properties)
    if (EqualsNoCase(property.name, name))
      return &property;
  return nullptr;
}

const Component::Method *FindMethod(const Component &component, const std::wstring &name) {
  for (const auto &method : component.methods)
    if (EqualsNoCase(method.name, name))
      return &method;
  return nullptr;
}

// Declared properties start from the element's attributes of the same name
// (ignoring case), else from a declared value when the property has a put.
void ApplyInitialValues(Node &element, const Component &component) {
  for (const auto &property : component.properties) {
    if (!property.get.empty() && property.put.empty())
      continue; // read-only
    const Attribute *attribute = element.FindAttribute(property.name);
    std::optional<std::wstring> initial =
        attribute ? std::optional<std::wstring>(attribute->value)
                  : (property.put.empty() ? std::nullopt : property.value);
    if (!initial)
      continue;
    Var value;
    value.v.vt = VT_BSTR;
    value.v.bstrVal = SysAllocStringLen(initial->data(), static_cast<UINT>(initial->size()));
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value.v, &put, 1, 1};
    InvokeBehaviorMember(element, property.name, DISPATCH_PROPERTYPUT, &params, nullptr);
  }
}

bool Instantiate(Page &page, Node &element, std::shared_ptr<const Component> component,
                 const std::wstring &factory) {
  ScriptEngine *engine = page.Script();
  if (!engine)
    return false;
  auto behavior = std::make_shared<Behavior>();
  behavior->component = component;
  if (component->literalContent)
    TakeLiteralContent(element, *behavior);
  if (component->defaults.viewLinkContent.value_or(false))
    behavior->viewLink = NewViewLink(page, element, component->url);
  element.behavior = behavior;
  PageDocument &own = behavior->viewLink ? *behavior->viewLink : *element.document;
  IDispatch *self = WrapNode(&element);
  IHTMLDocument2 *document = page.DocumentObject(own);
  std::string text = Narrow(factory), name = Narrow(component->url);
  std::vector<Listener> attached;
  HRESULT hr = engine->Protected(component->url, true, [&](duk_context *ctx) {
    duk_push_lstring(ctx, name.data(), name.size());
    duk_compile_lstring_filename(ctx, DUK_COMPILE_EVAL, text.data(), text.size());
    duk_call(ctx, 0);
    engine->PushObject(self);
    engine->PushObject(document);
    PushNatives(ctx);
    duk_call(ctx, 3);
    behavior->instance = engine->Keep(-1);
    duk_get_prop_string(ctx, -1, "attach");
    duk_size_t count = duk_get_length(ctx, -1);
    for (duk_size_t i = 0; i < count; ++i) {
      duk_get_prop_index(ctx, -1, static_cast<duk_uarridx_t>(i));
      duk_get_prop_index(ctx, -1, 0);
      std::wstring type = Lower(Widen(duk_safe_to_string(ctx, -1)));
      duk_get_prop_index(ctx, -2, 1);
      auto handler = std::make_shared<TypedValue>();
      if (SUCCEEDED(engine->ToVariant(-1, &handler->value.v)))
        attached.push_back({type, handler});
      duk_pop_3(ctx);
    }
  });
  if (self)
    self->Release();
  if (FAILED(hr)) {
    if (behavior->instance)
      engine->Forget(behavior->instance);
    if (behavior->viewLink)
      behavior->viewLink->viewLinkOwner = nullptr;
    GiveBackLiteralContent(element, *behavior);
    element.behavior.reset();
    return false;
  }
  behavior->link = engine->Link();
  for (Listener &listener : attached)
    (IsLifecycle(listener.type) ? behavior->lifecycle : element.listeners)
        .push_back(std::move(listener));
  ApplyInitialValues(element, *component);
  return true;
}

} // namespace

namespace {

using LoadedComponent = std::pair<std::shared_ptr<const Component>, std::wstring>;

// Loads each implementation once; a failure is reported once and remembered.
const LoadedComponent &LoadOnce(Page &page, std::map<std::wstring, LoadedComponent> &loaded,
                                const std::wstring &url) {
  auto found = loaded.find(url);
  if (found != loaded.end())
    return found->second;
  std::wstring error;
  auto component = LoadComponent(url, &error);
  if (!component)
    page.ReportError({error, 0, url, false});
  std::wstring factory = component ? FactorySource(*component) : L"";
  return loaded.emplace(url, std::make_pair(std::move(component), factory)).first->second;
}

bool InTree(const Node &element, const PageDocument &document) {
  const Node *top = &element;
  while (top->parent)
    top = top->parent;
  return top == document.root.get();
}

bool BindsTo(const Component &component, const Node &element) {
  return component.tagName.empty() || EqualsNoCase(component.tagName, element.tag);
}

} // namespace

std::vector<std::shared_ptr<Node>> AttachBehaviors(Page &page, PageDocument &document) {
  std::vector<std::shared_ptr<Node>> bound;
  // lower-case namespace -> implementation URLs, in import order
  std::map<std::wstring, std::vector<std::wstring>> imports;
  for (Node *node = NextInTree(document.root.get(), document.root.get()); node;
       node = NextInTree(node, document.root.get())) {
    if (node->kind != NodeKind::Comment)
      continue;
    std::wstring text = Trim(node->text);
    if (text.size() < 7 || !EqualsNoCase(text.substr(0, 7), L"?import"))
      continue;
    std::wstring ns = PiAttribute(text, L"namespace");
    std::wstring implementation = PiAttribute(text, L"implementation");
    if (!ns.empty() && !implementation.empty())
      imports[Lower(ns)].push_back(document.ResolveUrl(implementation));
  }
  if (imports.empty())
    return bound;
  std::map<std::wstring, LoadedComponent> loaded;
  std::vector<std::shared_ptr<Node>> elements;
  for (Node *node : Descendants(document.root.get()))
    if (!node->scope.empty() && imports.count(Lower(node->scope)))
      elements.push_back(node->shared_from_this());
  for (const auto &element : elements) {
    if (!InTree(*element, document))
      continue; // taken as the literal content of a component
    for (const std::wstring &url : imports[Lower(element->scope)]) {
      const LoadedComponent &component = LoadOnce(page, loaded, url);
      if (!component.first || !BindsTo(*component.first, *element))
        continue;
      if (Instantiate(page, *element, component.first, component.second))
        bound.push_back(element);
      break;
    }
  }
  return bound;
}

void FireLifecycle(Page &page, Node &element, const std::wstring &type) {
  if (!element.behavior)
    return;
  std::vector<std::shared_ptr<TypedValue>> handlers;
  for (const Listener &listener : element.behavior->lifecycle)
    if (listener.type == type)
      handlers.push_back(listener.handler);
  if (handlers.empty())
    return;
  ScriptEngine *engine = page.ExistingScript();
  if (!engine)
    return;
  NavigationHold hold(&page);
  std::shared_ptr<Node> held = element.shared_from_this();
  IHTMLEventObj *event = nullptr;
  if (FAILED(NewEventObject(&page, held, type.substr(2), &event)) || !event)
    return;
  VARIANT argument;
  argument.vt = VT_DISPATCH;
  argument.pdispVal = event;
  IHTMLEventObj *outer = page.currentEvent;
  page.currentEvent = event;
  for (const auto &handler : handlers)
    if (handler->value.v.vt == VT_DISPATCH && handler->value.v.pdispVal)
      engine->CallHandler(handler->value.v.pdispVal, nullptr, {&argument}, nullptr);
  page.currentEvent = outer;
  event->Release();
}

void DetachBehaviors(Page &page, Node &root) {
  std::vector<std::shared_ptr<Node>> bound;
  if (root.behavior)
    bound.push_back(root.shared_from_this());
  for (Node *node : Descendants(&root))
    if (node->behavior)
      bound.push_back(node->shared_from_this());
  for (const auto &element : bound)
    FireLifecycle(page, *element, L"ondetach");
}

PageDocument *ViewLinkOf(const Node &element) {
  return element.behavior ? element.behavior->viewLink.get() : nullptr;
}

Node *LiteralContentOf(const Node &element) {
  return element.behavior ? element.behavior->literal.get() : nullptr;
}

bool FindBehaviorMember(const Node &element, const std::wstring &name) {
  if (!element.behavior)
    return false;
  const Component &component = *element.behavior->component;
  return FindProperty(component, name) || FindMethod(component, name);
}

HRESULT InvokeBehaviorMember(Node &element, const std::wstring &name, WORD flags,
                             DISPPARAMS *params, VARIANT *result) {
  if (!element.behavior)
    return DISP_E_MEMBERNOTFOUND;
  Behavior &behavior = *element.behavior;
  auto link = behavior.link.lock();
  ScriptEngine *engine = link ? link->engine : nullptr;
  if (!engine || !behavior.instance)
    return DISP_E_MEMBERNOTFOUND;
  const Component &component = *behavior.component;
  const Component::Property *property = FindProperty(component, name);
  const Component::Method *method = property ? nullptr : FindMethod(component, name);
  if (!property && !method)
    return DISP_E_MEMBERNOTFOUND;
  bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  if (method && (flags & kBridgeGet) && !(flags & DISPATCH_METHOD))
    return kMemberIsMethod;
  if (put && (!params || params->cArgs < 1))
    return DISP_E_BADPARAMCOUNT;
  if (put && method)
    return DISP_E_MEMBERNOTFOUND;
  if (put && property->put.empty() && !Stored(*property))
    return DISP_E_MEMBERNOTFOUND; // read-only
  const char *group = method ? "methods" : put ? "put" : "get";
  std::string member = Narrow(method ? method->name : property->name);
  IDispatch *self = WrapNode(&element);
  NavigationHold hold(&engine->GetPage());
  HRESULT inner = S_OK;
  HRESULT hr = engine->Protected(component.url, false, [&](duk_context *ctx) {
    engine->PushKept(behavior.instance);
    duk_get_prop_string(ctx, -1, group);
    duk_get_prop_lstring(ctx, -1, member.data(), member.size());
    engine->PushObject(self);
    duk_idx_t count = 0;
    if (put) {
      engine->Push(params->rgvarg[0]);
      count = 1;
    } else if (params) {
      for (UINT i = params->cArgs; i > params->cNamedArgs; --i, ++count)
        engine->Push(params->rgvarg[i - 1]);
    }
    duk_call_method(ctx, count);
    if (result && !put)
      inner = engine->ToVariant(-1, result);
  });
  if (self)
    self->Release();
  return FAILED(hr) ? hr : inner;
}

} // namespace tallowick::page

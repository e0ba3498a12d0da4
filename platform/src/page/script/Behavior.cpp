// Element behaviours: component files, one instance per element, the
// element's members that the component adds, and its view-link document.
#include "page/script/Behavior.h"

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

// The value of name="..." (or '...' or bare) in a processing instruction.
std::wstring PiAttribute(const std::wstring &text, const std::wstring &name) {
  std::wstring lower;
  for (wchar_t c : text)
    lower += static_cast<wchar_t>(towlower(c));
  std::wstring key;
  for (wchar_t c : name)
    key += static_cast<wchar_t>(towlower(c));
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
  for (Node *node : Descendants(file->root.get())) {
    if (IsPublic(*node, L"component")) {
      declared = true;
      component->tagName = node->AttributeValue(L"tagName");
    } else if (IsPublic(*node, L"property"))
      component->properties.push_back({node->AttributeValue(L"name"), node->AttributeValue(L"get"),
                                       node->AttributeValue(L"put")});
    else if (IsPublic(*node, L"method"))
      component->methods.push_back(node->AttributeValue(L"name"));
    else if (IsPublic(*node, L"event"))
      component->events.push_back({node->AttributeValue(L"name"), node->AttributeValue(L"id")});
    else if (IsPublic(*node, L"attach"))
      component->attaches.push_back(
          {node->AttributeValue(L"event"), node->AttributeValue(L"onevent")});
    else if (IsPublic(*node, L"defaults"))
      component->viewLink = node->HasAttribute(L"viewLinkContent");
    else if (node->Is(L"SCRIPT"))
      for (const auto &child : node->children)
        if (child->kind == NodeKind::Text)
          component->script += child->text + L"\n";
  }
  if (!declared) {
    *error = L"Malformed behaviour " + url + L": no <public:component>";
    return nullptr;
  }
  for (const auto &property : component->properties)
    if (property.name.empty()) {
      *error = L"Malformed behaviour " + url + L": a property without a name";
      return nullptr;
    }
  return component;
}

std::wstring Quoted(const std::wstring &text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\')
      out += L'\\';
    out += c;
  }
  return out + L"\"";
}

// The component as a factory function(element, document, fire) answering
// {get, put, methods, values, attach}.
std::wstring FactorySource(const Component &component) {
  std::wstring source = L"(function (element, document, __fire) {\n";
  for (const auto &event : component.events)
    if (!event.id.empty())
      source += L"var " + event.id + L" = { fire: function (e) { return __fire(element, " +
                Quoted(event.name) + L", e); } };\n";
  source += L"function createEventObject() { return document.createEventObject(); }\n";
  source += component.script;
  source += L"\nreturn { values: {}, get: {";
  for (const auto &property : component.properties)
    if (!property.get.empty())
      source += Quoted(property.name) + L": " + property.get + L", ";
  source += L"}, put: {";
  for (const auto &property : component.properties)
    if (!property.put.empty())
      source += Quoted(property.name) + L": " + property.put + L", ";
  source += L"}, methods: {";
  for (const auto &method : component.methods)
    source += Quoted(method) + L": " + method + L", ";
  source += L"}, attach: [";
  for (const auto &attach : component.attaches)
    source += L"[" + Quoted(attach.event) + L", function (event) { " + attach.handler + L"\n}], ";
  source += L"] };\n})";
  return source;
}

ScriptEngine &EngineOfContext(duk_context *ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<ScriptEngine *>(functions.udata);
}

std::wstring Lower(std::wstring text) {
  for (wchar_t &c : text)
    c = static_cast<wchar_t>(towlower(c));
  return text;
}

// fire(element, "onname", eventObject): the component fires its event on the element.
duk_ret_t FireOnElement(duk_context *ctx) {
  ScriptEngine &engine = EngineOfContext(ctx);
  Node *node = NodeOf(engine.ComOf(0));
  if (!node)
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "fire: no element");
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

std::shared_ptr<PageDocument> NewViewLink(Page &page, Node &owner, const std::wstring &url) {
  auto document = ParseDocument("<html><head></head><body></body></html>", url);
  document->viewLinkOwner = &owner;
  page.Adopt(*document);
  return document;
}

void Instantiate(Page &page, Node &element, std::shared_ptr<const Component> component,
                 const std::wstring &factory) {
  ScriptEngine *engine = page.Script();
  if (!engine)
    return;
  auto behavior = std::make_shared<Behavior>();
  behavior->component = component;
  PageDocument &own = component->viewLink
                          ? *(behavior->viewLink = NewViewLink(page, element, component->url))
                          : *element.document;
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
    duk_push_c_function(ctx, FireOnElement, 3);
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
  if (FAILED(hr))
    return;
  behavior->link = engine->Link();
  for (Listener &listener : attached)
    element.listeners.push_back(std::move(listener));
  element.behavior = std::move(behavior);
}

const Component::Property *FindProperty(const Component &component, const std::wstring &name) {
  for (const auto &property : component.properties)
    if (EqualsNoCase(property.name, name))
      return &property;
  return nullptr;
}

const std::wstring *FindMethod(const Component &component, const std::wstring &name) {
  for (const auto &method : component.methods)
    if (EqualsNoCase(method, name))
      return &method;
  return nullptr;
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

bool BindsTo(const Component &component, const Node &element) {
  return component.tagName.empty() || EqualsNoCase(component.tagName, element.tag);
}

} // namespace

void AttachBehaviors(Page &page, PageDocument &document) {
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
    return;
  std::map<std::wstring, LoadedComponent> loaded;
  std::vector<std::shared_ptr<Node>> elements;
  for (Node *node : Descendants(document.root.get()))
    if (!node->scope.empty() && imports.count(Lower(node->scope)))
      elements.push_back(node->shared_from_this());
  for (const auto &element : elements) {
    for (const std::wstring &url : imports[Lower(element->scope)]) {
      const LoadedComponent &component = LoadOnce(page, loaded, url);
      if (!component.first || !BindsTo(*component.first, *element))
        continue;
      Instantiate(page, *element, component.first, component.second);
      break;
    }
  }
}

PageDocument *ViewLinkOf(const Node &element) {
  return element.behavior ? element.behavior->viewLink.get() : nullptr;
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
  if (!engine)
    return DISP_E_MEMBERNOTFOUND;
  const Component &component = *behavior.component;
  const Component::Property *property = FindProperty(component, name);
  const std::wstring *method = property ? nullptr : FindMethod(component, name);
  if (!property && !method)
    return DISP_E_MEMBERNOTFOUND;
  bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  if (method && (flags & kBridgeGet) && !(flags & DISPATCH_METHOD))
    return kMemberIsMethod;
  if (put && (!params || params->cArgs < 1))
    return DISP_E_BADPARAMCOUNT;
  if (put && property && property->put.empty() && !property->get.empty())
    return DISP_E_MEMBERNOTFOUND; // read-only
  // group: where the function (or the stored value) is in the instance.
  const char *group = method ? "methods"
                      : put  ? (property->put.empty() ? "values" : "put")
                             : (property->get.empty() ? "values" : "get");
  bool stored = !method && std::string(group) == "values";
  std::string member = Narrow(method ? *method : property->name);
  IDispatch *self = WrapNode(&element);
  NavigationHold hold(&engine->GetPage());
  HRESULT inner = S_OK;
  HRESULT hr = engine->Protected(component.url, false, [&](duk_context *ctx) {
    engine->PushKept(behavior.instance);
    duk_get_prop_string(ctx, -1, group);
    if (stored && put) {
      engine->Push(params->rgvarg[0]);
      duk_put_prop_lstring(ctx, -2, member.data(), member.size());
      return;
    }
    duk_get_prop_lstring(ctx, -1, member.data(), member.size());
    if (stored) {
      if (result)
        inner = engine->ToVariant(-1, result);
      return;
    }
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

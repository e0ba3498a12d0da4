// The two-way bridge between script values and VARIANTs: COM objects enter
// script as proxies whose traps call IDispatch by name; the window is the
// global object; script objects leave as ScriptObject wrappers.
#include <windows.h>

#include <cmath>
#include <limits>

#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"
#include "xml/XmlDocument.h"

namespace tallowick::page {

using platform::Narrow;
using platform::Widen;

namespace {

constexpr const char *kHolder = DUK_HIDDEN_SYMBOL("holder");
constexpr const char *kMemberName = DUK_HIDDEN_SYMBOL("member");
constexpr const char *kBound = DUK_HIDDEN_SYMBOL("bound");
constexpr const char *kHandler = "proxyHandler";
constexpr const char *kIdentity = "identity";
constexpr const char *kRecent = "recent";
constexpr size_t kRecentCount = 16;

// One reference on a COM object held by a script proxy. A reference on an
// object of the engine's own page does not keep that page alive.
struct ComHolder {
  IDispatch *object = nullptr;
  Page *pinned = nullptr;
};

Page *PageOwner(IUnknown *object) {
  void *owner = nullptr;
  if (FAILED(object->QueryInterface(IID_ITallowickPageObject, &owner)))
    return nullptr;
  return static_cast<Page *>(owner);
}

ScriptEngine &EngineFrom(duk_context *ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<ScriptEngine *>(functions.udata);
}

ComHolder *HolderAt(duk_context *ctx, duk_idx_t index) {
  if (!duk_is_object(ctx, index))
    return nullptr;
  duk_get_prop_string(ctx, index, kHolder);
  auto *holder = static_cast<ComHolder *>(duk_get_pointer(ctx, -1));
  duk_pop(ctx);
  return holder;
}

duk_ret_t FinalizeHolder(duk_context *ctx) {
  ComHolder *holder = HolderAt(ctx, 0);
  if (!holder)
    return 0;
  duk_push_pointer(ctx, nullptr);
  duk_put_prop_string(ctx, 0, kHolder);
  if (holder->pinned)
    holder->pinned->Pin();
  holder->object->Release();
  delete holder;
  return 0;
}

std::wstring KeyName(duk_context *ctx, duk_idx_t index) {
  size_t length = 0;
  const char *key = duk_get_lstring(ctx, index, &length);
  return key ? Widen(std::string_view(key, length)) : std::wstring();
}

bool IsIndex(const std::wstring &name, LONG *index) {
  if (name.empty() || name.size() > 9)
    return false;
  LONG value = 0;
  for (wchar_t c : name) {
    if (c < L'0' || c > L'9')
      return false;
    value = value * 10 + (c - L'0');
  }
  *index = value;
  return true;
}

// The error at the stack top names the script line that called the DOM
// member, not the engine's own source.
void PointAtCaller(duk_context *ctx) {
  duk_idx_t error = duk_get_top_index(ctx);
  duk_inspect_callstack_entry(ctx, -2); // -1 is the native member itself
  if (duk_is_object(ctx, -1)) {
    duk_get_prop_string(ctx, -1, "lineNumber");
    duk_put_prop_string(ctx, error, "lineNumber");
    duk_get_prop_string(ctx, -1, "function");
    duk_get_prop_string(ctx, -1, "fileName");
    duk_put_prop_string(ctx, error, "fileName");
    duk_pop(ctx);
  }
  duk_set_top(ctx, error + 1);
}

// Throws a script error for a failed Invoke (the script error itself when the
// call into script failed).
[[noreturn]] void ThrowFailure(duk_context *ctx, HRESULT hr, const std::wstring &name,
                               EXCEPINFO &info) {
  std::string message;
  if (hr == DISP_E_EXCEPTION && info.bstrDescription)
    message = Narrow(std::wstring(info.bstrDescription, SysStringLen(info.bstrDescription)));
  else {
    char text[96];
    std::snprintf(text, sizeof text, "'%s' failed (0x%08X)", Narrow(name).c_str(),
                  static_cast<unsigned>(hr));
    message = text;
  }
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  duk_push_error_object(ctx, DUK_ERR_ERROR, "%s", message.c_str());
  PointAtCaller(ctx);
  duk_throw(ctx);
  __builtin_unreachable();
}

HRESULT InvokeArgs(duk_context *ctx, IDispatch *object, DISPID id, WORD flags, duk_idx_t first,
                   duk_idx_t count, VARIANT *result, EXCEPINFO *info) {
  ScriptEngine &engine = EngineFrom(ctx);
  std::vector<VARIANT> args(static_cast<size_t>(count));
  HRESULT hr = S_OK;
  for (duk_idx_t i = 0; i < count && SUCCEEDED(hr); ++i) {
    VariantInit(&args[static_cast<size_t>(count - 1 - i)]);
    hr = engine.ToVariant(first + i, &args[static_cast<size_t>(count - 1 - i)]);
  }
  if (SUCCEEDED(hr)) {
    DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(count), 0};
    hr = object->Invoke(id, IID_NULL, 0, flags, &params, result, info, nullptr);
  }
  for (VARIANT &arg : args)
    VariantClear(&arg);
  return hr;
}

// onpropertychange after script changed a member of an element or of its
// style, unless the element already told of it (`before`: the page's count).
void NotifyChange(ScriptEngine &engine, IDispatch *object, const std::wstring &name,
                  unsigned long before) {
  Page &page = engine.GetPage();
  if (page.propertyChanges != before)
    return;
  if (Node *node = NodeOf(object)) {
    FirePropertyChange(&page, *node, name);
    return;
  }
  void *found = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_ITallowickStyleNode, &found)) && found)
    FirePropertyChange(&page, *static_cast<Node *>(found), L"style." + name);
}

bool ChangesAttribute(const std::wstring &method) {
  return platform::EqualsNoCase(method, L"setAttribute") ||
         platform::EqualsNoCase(method, L"removeAttribute");
}

// A DOM method read as a value: calls the member by name on `this`, or on
// the object it was read from.
duk_ret_t CallMember(duk_context *ctx) {
  ScriptEngine &engine = EngineFrom(ctx);
  duk_idx_t count = duk_get_top(ctx);
  duk_push_current_function(ctx);
  duk_get_prop_string(ctx, -1, kMemberName);
  std::wstring name = KeyName(ctx, -1);
  duk_pop(ctx);
  duk_push_this(ctx);
  IDispatch *object = engine.ComOf(-1);
  duk_pop(ctx);
  if (!object) {
    duk_get_prop_string(ctx, -1, kBound);
    object = engine.ComOf(-1);
    duk_pop(ctx);
  }
  duk_pop(ctx);
  if (!object)
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "'%s' called on an object without it",
                     Narrow(name).c_str());
  DISPID id = 0;
  LPOLESTR names[] = {name.data()};
  EXCEPINFO info{};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  Var result;
  unsigned long before = engine.GetPage().propertyChanges;
  if (SUCCEEDED(hr))
    hr = InvokeArgs(ctx, object, id, DISPATCH_METHOD, 0, count, &result.v, &info);
  if (FAILED(hr))
    ThrowFailure(ctx, hr, name, info);
  if (count > 0 && ChangesAttribute(name))
    NotifyChange(engine, object, Widen(duk_safe_to_string(ctx, 0)), before);
  engine.Push(result.v);
  return 1;
}

void PushMethod(duk_context *ctx, const std::wstring &name, duk_idx_t bound) {
  bound = duk_normalize_index(ctx, bound);
  duk_push_c_function(ctx, CallMember, DUK_VARARGS);
  std::string utf8 = Narrow(name);
  duk_push_lstring(ctx, utf8.data(), utf8.size());
  duk_put_prop_string(ctx, -2, kMemberName);
  duk_dup(ctx, bound);
  duk_put_prop_string(ctx, -2, kBound);
}

// --- proxy traps: (target, key, [value,] receiver) ---

// Index keys may reach the traps as numbers.
void KeyAsString(duk_context *ctx) {
  if (duk_is_number(ctx, 1))
    duk_to_string(ctx, 1);
}

bool HasOwn(duk_context *ctx, duk_idx_t object, duk_idx_t key) {
  duk_dup(ctx, key);
  duk_get_prop_desc(ctx, object, 0);
  bool own = !duk_is_undefined(ctx, -1);
  duk_pop(ctx);
  return own;
}

duk_ret_t TrapGet(duk_context *ctx) {
  ScriptEngine &engine = EngineFrom(ctx);
  KeyAsString(ctx);
  if (duk_is_symbol(ctx, 1) || !duk_is_string(ctx, 1)) {
    duk_dup(ctx, 1);
    duk_get_prop(ctx, 0);
    return 1;
  }
  ComHolder *holder = HolderAt(ctx, 0);
  if (!holder)
    return 0;
  if (HasOwn(ctx, 0, 1)) { // a value script put over a method or a read-only member
    duk_dup(ctx, 1);
    duk_get_prop(ctx, 0);
    return 1;
  }
  std::wstring name = KeyName(ctx, 1);
  DISPID id = 0;
  LPOLESTR names[] = {name.data()};
  HRESULT hr = holder->object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  EXCEPINFO info{};
  Var result;
  if (FAILED(hr)) {
    LONG index = 0;
    if (IsIndex(name, &index)) {
      Var position;
      position.v.vt = VT_I4;
      position.v.lVal = index;
      DISPPARAMS params = {&position.v, nullptr, 1, 0};
      if (SUCCEEDED(holder->object->Invoke(DISPID_VALUE, IID_NULL, 0,
                                           DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                                           &result.v, nullptr, nullptr))) {
        engine.Push(result.v);
        return 1;
      }
    }
    // Script-only members of the object, and Object.prototype's.
    duk_dup(ctx, 1);
    duk_get_prop(ctx, 0);
    return 1;
  }
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  hr = holder->object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | kBridgeGet, &none, &result.v,
                              &info, nullptr);
  if (hr == kMemberIsMethod || hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_BADPARAMCOUNT) {
    PushMethod(ctx, name, 2);
    return 1;
  }
  if (FAILED(hr))
    ThrowFailure(ctx, hr, name, info);
  engine.Push(result.v);
  return 1;
}

// Element properties IE let script write that this engine only reads:
// the value becomes the attribute they read.
bool WritableInIE(const std::wstring &name) {
  static const wchar_t *const kWritable[] = {L"cellSpacing",  L"cellPadding",    L"width",
                                             L"height",       L"readOnly",       L"alt",
                                             L"action",       L"method",         L"target",
                                             L"dir",          L"tabIndex",       L"accessKey",
                                             L"bgColor",      L"vAlign",         L"noWrap",
                                             L"maxLength",    L"size",           L"summary",
                                             L"rules",        L"frame",          L"multiple",
                                             L"hspace",       L"vspace",         L"encoding",
                                             L"defaultValue", L"defaultChecked", L"background",
                                             L"borderColor",  L"scrolling",      L"frameBorder",
                                             L"marginWidth",  L"marginHeight"};
  for (const wchar_t *writable : kWritable)
    if (platform::EqualsNoCase(name, writable))
      return true;
  return false;
}

// A put on a member that takes none, as IE does it: a method name becomes a
// script value that shadows the method; a property IE could write keeps the
// value as its attribute (which the property then reads). A property IE
// only read fails as it did there ("member not found").
HRESULT KeepOver(duk_context *ctx, IDispatch *object, DISPID id, const std::wstring &name,
                 const VARIANT &value) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  Var probe;
  bool method = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | kBridgeGet, &none, &probe.v,
                               nullptr, nullptr) == kMemberIsMethod;
  void *host = nullptr;
  if (!method && !WritableInIE(name))
    return DISP_E_MEMBERNOTFOUND;
  if (!method && SUCCEEDED(object->QueryInterface(IID_ITallowickExpandoHost, &host)) && host)
    return static_cast<ExpandoHost *>(host)->PutExpando(name, value);
  duk_dup(ctx, 1);
  duk_dup(ctx, 2);
  duk_put_prop(ctx, 0);
  return S_OK;
}

duk_ret_t TrapSet(duk_context *ctx) {
  ScriptEngine &engine = EngineFrom(ctx);
  KeyAsString(ctx);
  ComHolder *holder = HolderAt(ctx, 0);
  if (duk_is_symbol(ctx, 1) || !duk_is_string(ctx, 1) || !holder) {
    duk_dup(ctx, 1);
    duk_dup(ctx, 2);
    duk_put_prop(ctx, 0);
    duk_push_true(ctx);
    return 1;
  }
  std::wstring name = KeyName(ctx, 1);
  Var value;
  HRESULT hr = engine.ToVariant(2, &value.v);
  if (FAILED(hr))
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "value cannot cross to the page");
  DISPID id = 0;
  LPOLESTR names[] = {name.data()};
  EXCEPINFO info{};
  unsigned long before = engine.GetPage().propertyChanges;
  if (SUCCEEDED(holder->object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) {
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value.v, &put, 1, 1};
    hr = holder->object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &info,
                                nullptr);
    if (hr == DISP_E_MEMBERNOTFOUND)
      hr = KeepOver(ctx, holder->object, id, name, value.v);
    if (FAILED(hr))
      ThrowFailure(ctx, hr, name, info);
  } else {
    void *found = nullptr;
    if (SUCCEEDED(holder->object->QueryInterface(IID_ITallowickExpandoHost, &found)) && found) {
      hr = static_cast<ExpandoHost *>(found)->PutExpando(name, value.v);
      if (FAILED(hr))
        ThrowFailure(ctx, hr, name, info);
    } else {
      duk_dup(ctx, 1);
      duk_dup(ctx, 2);
      duk_put_prop(ctx, 0);
    }
  }
  NotifyChange(engine, holder->object, name, before);
  duk_push_true(ctx);
  return 1;
}

duk_ret_t TrapHas(duk_context *ctx) {
  KeyAsString(ctx);
  ComHolder *holder = HolderAt(ctx, 0);
  if (holder && duk_is_string(ctx, 1) && !duk_is_symbol(ctx, 1)) {
    std::wstring name = KeyName(ctx, 1);
    DISPID id = 0;
    LPOLESTR names[] = {name.data()};
    if (SUCCEEDED(holder->object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) {
      duk_push_true(ctx);
      return 1;
    }
  }
  duk_dup(ctx, 1);
  duk_push_boolean(ctx, duk_has_prop(ctx, 0));
  return 1;
}

duk_ret_t TrapDelete(duk_context *ctx) {
  duk_dup(ctx, 1);
  duk_del_prop(ctx, 0);
  duk_push_true(ctx);
  return 1;
}

duk_ret_t TrapApply(duk_context *ctx) {
  ScriptEngine &engine = EngineFrom(ctx);
  ComHolder *holder = HolderAt(ctx, 0);
  if (!holder)
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "not callable");
  duk_idx_t count = static_cast<duk_idx_t>(duk_get_length(ctx, 2));
  duk_idx_t first = duk_get_top(ctx);
  for (duk_idx_t i = 0; i < count; ++i)
    duk_get_prop_index(ctx, 2, static_cast<duk_uarridx_t>(i));
  Var result;
  EXCEPINFO info{};
  HRESULT hr = InvokeArgs(ctx, holder->object, DISPID_VALUE, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                          first, count, &result.v, &info);
  if (FAILED(hr))
    ThrowFailure(ctx, hr, L"call", info);
  engine.Push(result.v);
  return 1;
}

duk_ret_t TrapOwnKeys(duk_context *ctx) {
  ComHolder *holder = HolderAt(ctx, 0);
  duk_push_array(ctx);
  if (!holder)
    return 1;
  Var length;
  DISPID id = 0;
  wchar_t lengthName[] = L"length";
  LPOLESTR names[] = {lengthName};
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  if (FAILED(holder->object->GetIDsOfNames(IID_NULL, names, 1, 0, &id)) ||
      FAILED(holder->object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &length.v,
                                    nullptr, nullptr)) ||
      length.v.vt != VT_I4)
    return 1;
  for (LONG i = 0; i < length.v.lVal; ++i) {
    duk_push_string(ctx, std::to_string(i).c_str());
    duk_put_prop_index(ctx, -2, static_cast<duk_uarridx_t>(i));
  }
  return 1;
}

// --- the window's members on the global object ---

constexpr const wchar_t *kWindowProperties[] = {L"document", L"event",  L"location", L"status",
                                                L"frames",   L"parent", L"top",      L"self",
                                                L"window",   L"name",   L"closed",   L"length"};

IDispatch *TopWindow(ScriptEngine &engine) {
  Page &page = engine.GetPage();
  return static_cast<IHTMLWindow2 *>(page.WindowObject(page.Top()));
}

duk_ret_t WindowProperty(duk_context *ctx) {
  ScriptEngine &engine = EngineFrom(ctx);
  bool put = duk_get_top(ctx) > 0;
  std::wstring name = kWindowProperties[duk_get_current_magic(ctx)];
  IDispatch *window = TopWindow(engine);
  DISPID id = 0;
  LPOLESTR names[] = {name.data()};
  EXCEPINFO info{};
  HRESULT hr = window->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  Var result;
  if (SUCCEEDED(hr))
    hr = InvokeArgs(ctx, window, id, put ? DISPATCH_PROPERTYPUT : DISPATCH_PROPERTYGET, 0,
                    put ? 1 : 0, &result.v, &info);
  if (FAILED(hr))
    ThrowFailure(ctx, hr, name, info);
  if (put)
    return 0;
  engine.Push(result.v);
  return 1;
}

duk_ret_t Alert(duk_context *) { return 0; }

duk_ret_t SetTimer(duk_context *ctx) {
  ScriptEngine &engine = EngineFrom(ctx);
  Var handler;
  engine.ToVariant(0, &handler.v);
  long id = 0;
  long ms = static_cast<long>(duk_get_int_default(ctx, 1, 0));
  if (FAILED(engine.AddTimer(handler.v, ms, duk_get_current_magic(ctx) == 1, &id)))
    return duk_error(ctx, DUK_ERR_ERROR, "timer not set");
  duk_push_int(ctx, static_cast<duk_int_t>(id));
  return 1;
}

duk_ret_t ClearTimer(duk_context *ctx) {
  EngineFrom(ctx).ClearTimer(static_cast<long>(duk_get_int_default(ctx, 0, 0)));
  return 0;
}

duk_ret_t ExecScript(duk_context *ctx) {
  duk_push_string(ctx, "execScript");
  duk_compile_string_filename(ctx, DUK_COMPILE_EVAL, duk_safe_to_string(ctx, 0));
  duk_call(ctx, 0);
  return 0;
}

// new ActiveXObject(progId) for the XML document; other ProgIDs fail as in IE.
duk_ret_t CreateObject(duk_context *ctx) {
  std::wstring progId = Widen(duk_safe_to_string(ctx, 0));
  static const wchar_t *const kXmlDocuments[] = {
      L"Microsoft.XMLDOM",       L"Msxml2.DOMDocument", L"Msxml2.DOMDocument.3.0",
      L"Msxml2.DOMDocument.6.0", L"MSXML.DOMDocument",  L"Msxml2.FreeThreadedDOMDocument"};
  bool xml = false;
  for (const wchar_t *id : kXmlDocuments)
    xml = xml || platform::EqualsNoCase(progId, id);
  IDispatch *object = nullptr;
  if (!xml ||
      FAILED(platform::xml::CreateDomDocument(nullptr, IID_IDispatch,
                                              reinterpret_cast<void **>(&object))) ||
      !object)
    return duk_error(ctx, DUK_ERR_ERROR, "Automation server can't create object (%s)",
                     Narrow(progId).c_str());
  EngineFrom(ctx).PushObject(object);
  object->Release();
  return 1;
}

// The window's constructors of IE's page script. XMLHTTP has no HTTP path
// in the page engine: it opens, and its send fails cleanly.
constexpr const char *kConstructors = R"js(
function Image(width, height) {
  var image = document.createElement("IMG");
  if (width != null) image.width = width;
  if (height != null) image.height = height;
  return image;
}
function XMLHttpRequest() { this.readyState = 0; this.status = 0; this.responseText = ""; }
XMLHttpRequest.prototype.open = function (method, url) {
  this.method = method; this.url = url; this.readyState = 1;
};
XMLHttpRequest.prototype.setRequestHeader = function () {};
XMLHttpRequest.prototype.getResponseHeader = function () { return null; };
XMLHttpRequest.prototype.getAllResponseHeaders = function () { return ""; };
XMLHttpRequest.prototype.abort = function () { this.readyState = 0; };
XMLHttpRequest.prototype.send = function () {
  throw new Error("XMLHTTP: the page has no HTTP path for " + this.url);
};
function ActiveXObject(progId) {
  var id = String(progId).toLowerCase();
  if (/^(microsoft|msxml2)\.xmlhttp(\.[0-9.]+)?$/.test(id) || id == "msxml2.serverxmlhttp")
    return new XMLHttpRequest();
  return __createObject(progId);
}
)js";

void DefineFunction(duk_context *ctx, const char *name, duk_c_function function, duk_idx_t nargs,
                    int magic = 0) {
  duk_push_c_function(ctx, function, nargs);
  duk_set_magic(ctx, -1, magic);
  duk_put_prop_string(ctx, -2, name);
}

} // namespace

void InstallBridge(ScriptEngine &engine) {
  duk_context *ctx = engine.Context();
  duk_push_heap_stash(ctx);
  duk_push_object(ctx);
  const duk_function_list_entry traps[] = {
      {"get", TrapGet, 3},     {"set", TrapSet, 4},
      {"has", TrapHas, 2},     {"deleteProperty", TrapDelete, 2},
      {"apply", TrapApply, 3}, {"ownKeys", TrapOwnKeys, 1},
      {nullptr, nullptr, 0}};
  duk_put_function_list(ctx, -1, traps);
  duk_put_prop_string(ctx, -2, kHandler);
  duk_push_object(ctx);
  duk_put_prop_string(ctx, -2, kIdentity);
  duk_push_object(ctx);
  duk_put_prop_string(ctx, -2, kRecent);
  duk_pop(ctx);

  duk_push_global_object(ctx);
  for (size_t i = 0; i < std::size(kWindowProperties); ++i) {
    std::string name = Narrow(kWindowProperties[i]);
    duk_push_string(ctx, name.c_str());
    duk_push_c_function(ctx, WindowProperty, 0);
    duk_set_magic(ctx, -1, static_cast<duk_int_t>(i));
    duk_push_c_function(ctx, WindowProperty, 1);
    duk_set_magic(ctx, -1, static_cast<duk_int_t>(i));
    duk_def_prop(ctx, -4,
                 DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_HAVE_SETTER | DUK_DEFPROP_SET_CONFIGURABLE);
  }
  DefineFunction(ctx, "alert", Alert, 1);
  DefineFunction(ctx, "setTimeout", SetTimer, 2, 0);
  DefineFunction(ctx, "setInterval", SetTimer, 2, 1);
  DefineFunction(ctx, "clearTimeout", ClearTimer, 1);
  DefineFunction(ctx, "clearInterval", ClearTimer, 1);
  DefineFunction(ctx, "execScript", ExecScript, 2);
  DefineFunction(ctx, "__createObject", CreateObject, 1);
  duk_push_object(ctx);
  duk_push_string(ctx, "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0)");
  duk_put_prop_string(ctx, -2, "userAgent");
  duk_push_string(ctx, "Microsoft Internet Explorer");
  duk_put_prop_string(ctx, -2, "appName");
  duk_put_prop_string(ctx, -2, "navigator");
  duk_pop(ctx);
  duk_push_string(ctx, "window");
  duk_compile_string_filename(ctx, 0, kConstructors);
  duk_call(ctx, 0);
  duk_pop(ctx);
}

IDispatch *ScriptEngine::ComOf(duk_idx_t index) {
  ComHolder *holder = HolderAt(ctx_, index);
  return holder ? holder->object : nullptr;
}

void ScriptEngine::PushObject(IDispatch *object) {
  duk_context *ctx = ctx_;
  if (!object) {
    duk_push_null(ctx);
    return;
  }
  IHTMLWindow2 *window = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void **>(&window)))) {
    bool top = window == static_cast<IHTMLWindow2 *>(page_.WindowObject(page_.Top()));
    window->Release();
    if (top) {
      duk_push_global_object(ctx);
      return;
    }
  }
  ScriptLink *link = nullptr;
  uint32_t key = 0;
  if (ScriptObjectKey(object, &link, &key) && link->engine == this) {
    PushKept(key);
    return;
  }
  // Nodes and documents keep one script object while the page lives.
  void *found = nullptr;
  bool lasting =
      NodeOf(object) || SUCCEEDED(object->QueryInterface(IID_ITallowickPageDocument, &found));
  IUnknown *identity = nullptr;
  object->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity));
  char cacheKey[32] = {};
  std::snprintf(cacheKey, sizeof cacheKey, "%p", static_cast<void *>(identity));
  if (identity)
    identity->Release();
  // Nodes and documents are cached for the page's life; other objects (an
  // event object seen as `event` and as window.event) among the recent ones.
  const char *cache = lasting ? kIdentity : kRecent;
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, cache);
  if (duk_get_prop_string(ctx, -1, cacheKey)) {
    duk_remove(ctx, -2);
    duk_remove(ctx, -2);
    return;
  }
  duk_pop_3(ctx);
  IHTMLElementCollection *collection = nullptr;
  bool callable = SUCCEEDED(
      object->QueryInterface(IID_IHTMLElementCollection, reinterpret_cast<void **>(&collection)));
  if (collection)
    collection->Release();
  if (callable)
    duk_push_c_function(ctx, Alert, DUK_VARARGS); // a callable target for the apply trap
  else
    duk_push_object(ctx);
  auto *holder = new ComHolder{object, nullptr};
  object->AddRef();
  Page *owner = PageOwner(object);
  if (owner == &page_ && page_.Unpin())
    holder->pinned = owner;
  duk_push_pointer(ctx, holder);
  duk_put_prop_string(ctx, -2, kHolder);
  duk_push_c_function(ctx, FinalizeHolder, 1);
  duk_set_finalizer(ctx, -2);
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, kHandler);
  duk_remove(ctx, -2);
  duk_push_proxy(ctx, 0);
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, cache);
  duk_dup(ctx, -3);
  duk_put_prop_string(ctx, -2, cacheKey);
  if (!lasting) {
    recent_.push_back(cacheKey);
    if (recent_.size() > kRecentCount) {
      duk_del_prop_string(ctx, -1, recent_.front().c_str());
      recent_.pop_front();
    }
  }
  duk_pop_2(ctx);
}

void ScriptEngine::Push(const VARIANT &given) {
  duk_context *ctx = ctx_;
  const VARIANT *value = &given;
  while (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal)
    value = value->pvarVal;
  switch (value->vt) {
  case VT_EMPTY:
    duk_push_undefined(ctx);
    return;
  case VT_NULL:
    duk_push_null(ctx);
    return;
  case VT_BOOL:
    duk_push_boolean(ctx, value->boolVal != VARIANT_FALSE);
    return;
  case VT_I4:
  case VT_INT:
    duk_push_int(ctx, value->lVal);
    return;
  case VT_R8:
    duk_push_number(ctx, value->dblVal);
    return;
  case VT_BSTR: {
    std::string text =
        value->bstrVal ? Narrow(std::wstring(value->bstrVal, SysStringLen(value->bstrVal))) : "";
    duk_push_lstring(ctx, text.data(), text.size());
    return;
  }
  case VT_DISPATCH:
    PushObject(value->pdispVal);
    return;
  case VT_UNKNOWN: {
    IDispatch *dispatch = nullptr;
    if (value->punkVal)
      value->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch));
    PushObject(dispatch);
    if (dispatch)
      dispatch->Release();
    return;
  }
  default:
    break;
  }
  Var number;
  if (SUCCEEDED(VariantChangeType(&number.v, const_cast<VARIANT *>(value), 0, VT_R8))) {
    duk_push_number(ctx, number.v.dblVal);
    return;
  }
  Var text;
  if (SUCCEEDED(VariantChangeType(&text.v, const_cast<VARIANT *>(value), 0, VT_BSTR))) {
    Push(text.v);
    return;
  }
  duk_push_undefined(ctx);
}

HRESULT ScriptEngine::ToVariant(duk_idx_t index, VARIANT *out) {
  duk_context *ctx = ctx_;
  VariantInit(out);
  switch (duk_get_type(ctx, index)) {
  case DUK_TYPE_NONE:
  case DUK_TYPE_UNDEFINED:
    return S_OK;
  case DUK_TYPE_NULL:
    out->vt = VT_NULL;
    return S_OK;
  case DUK_TYPE_BOOLEAN:
    out->vt = VT_BOOL;
    out->boolVal = duk_get_boolean(ctx, index) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  case DUK_TYPE_NUMBER: {
    double number = duk_get_number(ctx, index);
    if (std::isfinite(number) && std::trunc(number) == number &&
        number >= std::numeric_limits<LONG>::min() && number <= std::numeric_limits<LONG>::max()) {
      out->vt = VT_I4;
      out->lVal = static_cast<LONG>(number);
    } else {
      out->vt = VT_R8;
      out->dblVal = number;
    }
    return S_OK;
  }
  case DUK_TYPE_STRING: {
    size_t length = 0;
    const char *text = duk_get_lstring(ctx, index, &length);
    std::wstring wide = Widen(std::string_view(text, length));
    out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!out->bstrVal)
      return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
  }
  case DUK_TYPE_OBJECT:
  case DUK_TYPE_LIGHTFUNC: {
    if (IDispatch *object = ComOf(index)) {
      object->AddRef();
      out->vt = VT_DISPATCH;
      out->pdispVal = object;
      return S_OK;
    }
    duk_push_global_object(ctx);
    bool global = duk_strict_equals(ctx, index < 0 ? index - 1 : index, -1);
    duk_pop(ctx);
    if (global) {
      IDispatch *window = TopWindow(*this);
      window->AddRef();
      out->vt = VT_DISPATCH;
      out->pdispVal = window;
      return S_OK;
    }
    IDispatch *object = nullptr;
    HRESULT hr = NewScriptObject(*this, index, &object);
    if (FAILED(hr))
      return hr;
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
    return S_OK;
  }
  default:
    return S_OK; // buffers and pointers do not cross
  }
}

} // namespace tallowick::page

// The script engine: heap, protected entry points with an execution budget,
// error reports, members by name for ScriptObject and the window, timers.
#include "page/script/ScriptEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tallowick/Strings.h"

extern "C" duk_bool_t tallowick_duk_exec_timeout(void *udata) {
  return udata && static_cast<tallowick::page::ScriptEngine *>(udata)->TimeoutDue() ? 1 : 0;
}

extern "C" void tallowick_duk_fatal(void *, const char *message) {
  std::fprintf(stderr, "tallowick: fatal script engine error: %s\n", message ? message : "");
  std::abort();
}

namespace tallowick::page {

using platform::Narrow;
using platform::Widen;

namespace {

// Nested entries from C++ into script (handler -> fireEvent -> handler ...).
constexpr int kMaxDepth = 40;
constexpr long kMaxTimerRuns = 10000;
constexpr const char *kKept = "kept";

std::wstring Lower(std::wstring text) {
  for (wchar_t &c : text)
    c = platform::FoldCase(c);
  return text;
}

// The own property of the object at `index` named `name`, else one whose
// name equals it ignoring case.
bool ResolveName(duk_context *ctx, duk_idx_t index, const std::wstring &name, std::string *exact) {
  std::string utf8 = Narrow(name);
  if (duk_has_prop_lstring(ctx, index, utf8.data(), utf8.size())) {
    *exact = utf8;
    return true;
  }
  std::wstring lower = Lower(name);
  bool found = false;
  duk_enum(ctx, index, DUK_ENUM_INCLUDE_NONENUMERABLE);
  while (!found && duk_next(ctx, -1, 0)) {
    size_t length = 0;
    const char *key = duk_get_lstring(ctx, -1, &length);
    if (key && Lower(Widen(std::string_view(key, length))) == lower) {
      exact->assign(key, length);
      found = true;
    }
    duk_pop(ctx);
  }
  duk_pop(ctx);
  return found;
}

} // namespace

ScriptEngine::ScriptEngine(Page &page)
    : page_(page), link_(std::make_shared<ScriptLink>(ScriptLink{this})) {
  ctx_ = duk_create_heap(nullptr, nullptr, nullptr, this, nullptr);
  if (!ctx_)
    throw std::bad_alloc();
  duk_push_heap_stash(ctx_);
  duk_push_object(ctx_);
  duk_put_prop_string(ctx_, -2, kKept);
  duk_pop(ctx_);
  InstallBridge(*this);
}

ScriptEngine::~ScriptEngine() {
  link_->engine = nullptr;
  // Finalizers release the page objects the heap still holds.
  duk_destroy_heap(ctx_);
}

bool ScriptEngine::TimeoutDue() {
  if (depth_ == 0)
    return false;
  if (!timedOut_ && std::chrono::steady_clock::now() < deadline_)
    return false;
  timedOut_ = true; // keeps failing until the outermost call returns
  return true;
}

platform::ScriptError ScriptEngine::ErrorAt(duk_idx_t index) {
  platform::ScriptError error;
  index = duk_normalize_index(ctx_, index);
  if (duk_is_error(ctx_, index)) {
    duk_get_prop_string(ctx_, index, "lineNumber");
    error.line = static_cast<long>(duk_get_int_default(ctx_, -1, 0));
    duk_pop(ctx_);
    duk_get_prop_string(ctx_, index, "fileName");
    if (duk_is_string(ctx_, -1))
      error.source = Widen(duk_get_string(ctx_, -1));
    duk_pop(ctx_);
  }
  duk_dup(ctx_, index);
  error.message = Widen(duk_safe_to_string(ctx_, -1));
  duk_pop(ctx_);
  if (timedOut_) {
    error.timeout = true;
    error.message = L"Script timeout";
  }
  return error;
}

HRESULT ScriptEngine::RunSafe(const std::wstring &source, bool report, void *body,
                              duk_ret_t (*thunk)(duk_context *, void *)) {
  bool outer = depth_ == 0;
  if (depth_ >= kMaxDepth) {
    platform::ScriptError error{L"RangeError: out of stack space (nested script calls)", 0, source,
                                false};
    page_.ReportError(error);
    SetPendingException(error.message, E_FAIL);
    return DISP_E_EXCEPTION;
  }
  if (outer) {
    timedOut_ = false;
    unsigned long budget = page_.budgetMs ? page_.budgetMs : 5000;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(budget);
  }
  ++depth_;
  if (outer)
    DefineNamedElements();
  duk_idx_t top = duk_get_top(ctx_);
  duk_int_t rc = duk_safe_call(ctx_, thunk, body, 0, 1);
  HRESULT hr = S_OK;
  if (rc != DUK_EXEC_SUCCESS) {
    platform::ScriptError error = ErrorAt(-1);
    if (error.source.empty())
      error.source = source;
    if (report || outer)
      page_.ReportError(error);
    SetPendingException(error.message, error.timeout ? HRESULT_FROM_WIN32(ERROR_TIMEOUT) : E_FAIL);
    hr = DISP_E_EXCEPTION;
  }
  duk_set_top(ctx_, top);
  --depth_;
  if (outer)
    timedOut_ = false;
  return hr;
}

HRESULT ScriptEngine::Evaluate(const std::wstring &code, const std::wstring &source,
                               VARIANT *result) {
  std::string text = Narrow(code), name = Narrow(source);
  HRESULT inner = S_OK;
  HRESULT hr = Protected(source, false, [&](duk_context *ctx) {
    duk_push_lstring(ctx, name.data(), name.size());
    duk_compile_lstring_filename(ctx, DUK_COMPILE_EVAL, text.data(), text.size());
    duk_call(ctx, 0);
    if (result)
      inner = ToVariant(-1, result);
  });
  return FAILED(hr) ? hr : inner;
}

void ScriptEngine::RunProgram(const std::wstring &code, const std::wstring &source) {
  std::string text = Narrow(code), name = Narrow(source);
  Protected(source, true, [&](duk_context *ctx) {
    duk_push_lstring(ctx, name.data(), name.size());
    duk_compile_lstring_filename(ctx, 0, text.data(), text.size());
    duk_call(ctx, 0);
  });
}

HRESULT ScriptEngine::CompileHandler(const std::wstring &body, const std::wstring &source,
                                     IDispatch **function, Node *element) {
  if (!function)
    return E_POINTER;
  *function = nullptr;
  std::string text = element ? "(function(__element, __form, __document) { with (__document) "
                               "with (__form) with (__element) return function(event){" +
                                   Narrow(body) + "\n}; })"
                             : "(function(event){" + Narrow(body) + "\n})";
  std::string name = Narrow(source);
  IDispatch *self = element ? WrapNode(element) : nullptr;
  Node *formNode = element;
  while (formNode && !formNode->Is(L"FORM"))
    formNode = formNode->parent;
  IDispatch *form = formNode ? WrapNode(formNode) : nullptr;
  IDispatch *document =
      element && element->document
          ? static_cast<IHTMLDocument2 *>(page_.DocumentObject(*element->document))
          : nullptr;
  HRESULT inner = S_OK;
  HRESULT hr = Protected(source, true, [&](duk_context *ctx) {
    duk_push_lstring(ctx, name.data(), name.size());
    duk_compile_lstring_filename(ctx, DUK_COMPILE_EVAL, text.data(), text.size());
    duk_call(ctx, 0);
    if (element) {
      PushObject(self);
      if (form)
        PushObject(form);
      else
        duk_push_object(ctx);
      PushObject(document);
      duk_call(ctx, 3);
    }
    inner = NewScriptObject(*this, -1, function);
  });
  if (self)
    self->Release();
  if (form)
    form->Release();
  return FAILED(hr) ? hr : inner;
}

HRESULT ScriptEngine::CallHandler(IDispatch *function, IDispatch *self, std::vector<VARIANT *> args,
                                  VARIANT *result) {
  if (!function)
    return E_INVALIDARG;
  HRESULT inner = S_OK;
  HRESULT hr = Protected(L"event handler", true, [&](duk_context *ctx) {
    PushObject(function);
    if (self)
      PushObject(self);
    else
      duk_push_global_object(ctx);
    for (VARIANT *arg : args)
      Push(*arg);
    duk_call_method(ctx, static_cast<duk_idx_t>(args.size()));
    if (result)
      inner = ToVariant(-1, result);
  });
  return FAILED(hr) ? hr : inner;
}

bool ScriptEngine::HasGlobal(const std::wstring &name, std::wstring *exact) {
  bool found = false;
  Protected(L"window", false, [&](duk_context *ctx) {
    duk_push_global_object(ctx);
    std::string key;
    found = ResolveName(ctx, -1, name, &key);
    if (found && exact)
      *exact = Widen(key);
  });
  return found;
}

namespace {

// Arguments of an Invoke in call order (DISPPARAMS keeps them reversed);
// named arguments (the value of a put) are skipped.
std::vector<VARIANT *> Positional(DISPPARAMS *params) {
  std::vector<VARIANT *> args;
  if (!params)
    return args;
  for (UINT i = params->cArgs; i > params->cNamedArgs; --i)
    args.push_back(&params->rgvarg[i - 1]);
  return args;
}

} // namespace

HRESULT ScriptEngine::InvokeGlobal(const std::wstring &name, WORD flags, DISPPARAMS *params,
                                   VARIANT *result) {
  HRESULT inner = S_OK;
  HRESULT hr = Protected(L"window." + name, false, [&](duk_context *ctx) {
    duk_push_global_object(ctx);
    duk_idx_t global = duk_get_top_index(ctx);
    std::string key;
    if (!ResolveName(ctx, global, name, &key))
      key = Narrow(name);
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!params || params->cArgs < 1) {
        inner = DISP_E_BADPARAMCOUNT;
        return;
      }
      Push(params->rgvarg[0]);
      duk_put_prop_lstring(ctx, global, key.data(), key.size());
      return;
    }
    duk_get_prop_lstring(ctx, global, key.data(), key.size());
    if ((flags & DISPATCH_METHOD) && duk_is_callable(ctx, -1)) {
      std::vector<VARIANT *> args = Positional(params);
      duk_push_undefined(ctx);
      for (VARIANT *arg : args)
        Push(*arg);
      duk_call_method(ctx, static_cast<duk_idx_t>(args.size()));
    } else if (!(flags & DISPATCH_PROPERTYGET)) {
      inner = DISP_E_TYPEMISMATCH;
      return;
    }
    if (result)
      inner = ToVariant(-1, result);
  });
  return FAILED(hr) ? hr : inner;
}

uint32_t ScriptEngine::Keep(duk_idx_t index) {
  index = duk_normalize_index(ctx_, index);
  uint32_t key = nextKey_++;
  duk_push_heap_stash(ctx_);
  duk_get_prop_string(ctx_, -1, kKept);
  duk_dup(ctx_, index);
  duk_put_prop_index(ctx_, -2, key);
  duk_pop_2(ctx_);
  return key;
}

void ScriptEngine::Forget(uint32_t key) {
  duk_push_heap_stash(ctx_);
  duk_get_prop_string(ctx_, -1, kKept);
  duk_del_prop_index(ctx_, -1, key);
  duk_pop_2(ctx_);
}

void ScriptEngine::PushKept(uint32_t key) {
  duk_push_heap_stash(ctx_);
  duk_get_prop_string(ctx_, -1, kKept);
  duk_get_prop_index(ctx_, -1, key);
  duk_remove(ctx_, -2);
  duk_remove(ctx_, -2);
}

HRESULT ScriptEngine::FindMember(uint32_t key, const std::wstring &name, std::wstring *exact) {
  bool found = false;
  HRESULT hr = Protected(L"", false, [&](duk_context *ctx) {
    PushKept(key);
    if (!duk_is_object(ctx, -1))
      return;
    std::string resolved;
    found = ResolveName(ctx, -1, name, &resolved);
    if (found)
      *exact = Widen(resolved);
  });
  if (FAILED(hr))
    return hr;
  return found ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT ScriptEngine::InvokeMember(uint32_t key, const std::wstring *name, WORD flags,
                                   DISPPARAMS *params, VARIANT *result) {
  HRESULT inner = S_OK;
  std::string member = name ? Narrow(*name) : std::string();
  HRESULT hr = Protected(L"", false, [&](duk_context *ctx) {
    PushKept(key);
    duk_idx_t object = duk_get_top_index(ctx);
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!name || !params || params->cArgs < 1 || !duk_is_object(ctx, object)) {
        inner = name ? DISP_E_BADPARAMCOUNT : DISP_E_MEMBERNOTFOUND;
        return;
      }
      Push(params->rgvarg[0]);
      duk_put_prop_lstring(ctx, object, member.data(), member.size());
      return;
    }
    if (name)
      duk_get_prop_lstring(ctx, object, member.data(), member.size());
    else
      duk_dup(ctx, object);
    if ((flags & DISPATCH_METHOD) && duk_is_callable(ctx, -1)) {
      std::vector<VARIANT *> args = Positional(params);
      if (name)
        duk_dup(ctx, object);
      else
        duk_push_undefined(ctx);
      for (VARIANT *arg : args)
        Push(*arg);
      duk_call_method(ctx, static_cast<duk_idx_t>(args.size()));
    } else if (!(flags & DISPATCH_PROPERTYGET)) {
      inner = DISP_E_TYPEMISMATCH;
      return;
    }
    if (result)
      inner = ToVariant(-1, result);
  });
  return FAILED(hr) ? hr : inner;
}

HRESULT ScriptEngine::Enumerate(uint32_t key, std::vector<VARIANT> *items) {
  HRESULT inner = S_OK;
  HRESULT hr = Protected(L"", false, [&](duk_context *ctx) {
    PushKept(key);
    if (!duk_is_object(ctx, -1)) {
      inner = DISP_E_TYPEMISMATCH;
      return;
    }
    // Arrays (and array-likes) by index; other objects by their enumerable values.
    bool indexed = duk_is_array(ctx, -1);
    duk_enum(ctx, -1, indexed ? DUK_ENUM_ARRAY_INDICES_ONLY | DUK_ENUM_SORT_ARRAY_INDICES : 0);
    while (SUCCEEDED(inner) && duk_next(ctx, -1, 1)) {
      VARIANT item;
      VariantInit(&item);
      inner = ToVariant(-1, &item);
      if (SUCCEEDED(inner))
        items->push_back(item);
      duk_pop_2(ctx);
    }
  });
  if (FAILED(hr) || FAILED(inner)) {
    for (VARIANT &item : *items)
      VariantClear(&item);
    items->clear();
  }
  return FAILED(hr) ? hr : inner;
}

HRESULT ScriptEngine::AddTimer(const VARIANT &handler, long ms, bool repeat, long *id) {
  HRESULT hr = Protected(L"setTimeout", false, [&](duk_context *) {
    Push(handler);
    Timer timer{nextTimer_++, clock_ + static_cast<unsigned long long>(std::max(ms, 0L)),
                repeat ? std::max(ms, 1L) : 0, Keep(-1)};
    timers_.push_back(timer);
    if (id)
      *id = timer.id;
  });
  return hr;
}

void ScriptEngine::ClearTimer(long id) {
  auto found =
      std::find_if(timers_.begin(), timers_.end(), [&](const Timer &t) { return t.id == id; });
  if (found == timers_.end())
    return;
  Forget(found->key);
  timers_.erase(found);
}

long ScriptEngine::RunTimers(unsigned long elapsedMs) {
  unsigned long long until = clock_ + elapsedMs;
  long ran = 0;
  while (ran < kMaxTimerRuns) {
    auto next =
        std::min_element(timers_.begin(), timers_.end(), [](const Timer &a, const Timer &b) {
          return a.due != b.due ? a.due < b.due : a.id < b.id;
        });
    if (next == timers_.end() || next->due > until)
      break;
    Timer timer = *next;
    clock_ = timer.due;
    if (timer.interval)
      next->due += static_cast<unsigned long long>(timer.interval);
    else
      timers_.erase(next);
    ++ran;
    Protected(L"timer", true, [&](duk_context *ctx) {
      PushKept(timer.key);
      if (duk_is_callable(ctx, -1)) {
        duk_push_global_object(ctx);
        duk_call_method(ctx, 0);
        return;
      }
      duk_push_string(ctx, "timer");
      duk_compile_string_filename(ctx, DUK_COMPILE_EVAL, duk_safe_to_string(ctx, -2));
      duk_call(ctx, 0);
    });
    if (!timer.interval)
      Forget(timer.key);
  }
  clock_ = std::max(clock_, until);
  return ran;
}

namespace {

constexpr const char *kElementName = DUK_HIDDEN_SYMBOL("elementName");

bool NamedByName(const Node &node) {
  return node.Is(L"FORM") || node.Is(L"IMG") || node.Is(L"IFRAME") || node.Is(L"FRAME") ||
         node.Is(L"EMBED") || node.Is(L"OBJECT") || node.Is(L"APPLET");
}

Node *NamedElement(PageDocument &document, const std::wstring &name) {
  for (Node *node : Descendants(document.root.get()))
    if (node->AttributeValue(L"id") == name ||
        (NamedByName(*node) && node->AttributeValue(L"name") == name))
      return node;
  return nullptr;
}

std::wstring CurrentName(duk_context *ctx) {
  duk_push_current_function(ctx);
  duk_get_prop_string(ctx, -1, kElementName);
  std::wstring name = Widen(duk_safe_to_string(ctx, -1));
  duk_pop_2(ctx);
  return name;
}

ScriptEngine &EngineOfHeap(duk_context *ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<ScriptEngine *>(functions.udata);
}

duk_ret_t NamedElementGet(duk_context *ctx) {
  ScriptEngine &engine = EngineOfHeap(ctx);
  Node *node = NamedElement(engine.GetPage().Top(), CurrentName(ctx));
  IDispatch *object = node ? WrapNode(node) : nullptr;
  if (!object)
    return 0;
  engine.PushObject(object);
  object->Release();
  return 1;
}

// window.Name = value: the name becomes an ordinary global.
duk_ret_t NamedElementSet(duk_context *ctx) {
  std::string name = Narrow(CurrentName(ctx));
  duk_push_global_object(ctx);
  duk_push_lstring(ctx, name.data(), name.size());
  duk_dup(ctx, 0);
  duk_def_prop(ctx, -3,
               DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_ENUMERABLE |
                   DUK_DEFPROP_SET_CONFIGURABLE);
  return 0;
}

duk_ret_t DefineNames(duk_context *ctx, void *udata) {
  auto &names = *static_cast<std::vector<std::string> *>(udata);
  duk_push_global_object(ctx);
  for (const std::string &name : names) {
    if (duk_has_prop_lstring(ctx, -1, name.data(), name.size()))
      continue; // a global of the page's own, or defined before
    duk_push_lstring(ctx, name.data(), name.size());
    duk_push_c_function(ctx, NamedElementGet, 0);
    duk_push_lstring(ctx, name.data(), name.size());
    duk_put_prop_string(ctx, -2, kElementName);
    duk_push_c_function(ctx, NamedElementSet, 1);
    duk_push_lstring(ctx, name.data(), name.size());
    duk_put_prop_string(ctx, -2, kElementName);
    duk_def_prop(ctx, -4,
                 DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_HAVE_SETTER | DUK_DEFPROP_SET_CONFIGURABLE);
  }
  return 0;
}

} // namespace

void ScriptEngine::DefineNamedElements() {
  PageDocument &top = page_.Top();
  if (namedDocument_ == &top && namedRevision_ == top.revision)
    return;
  namedDocument_ = &top;
  namedRevision_ = top.revision;
  std::vector<std::string> names;
  for (Node *node : Descendants(top.root.get())) {
    std::wstring id = node->AttributeValue(L"id");
    if (!id.empty())
      names.push_back(Narrow(id));
    std::wstring name = NamedByName(*node) ? node->AttributeValue(L"name") : L"";
    if (!name.empty())
      names.push_back(Narrow(name));
  }
  duk_safe_call(ctx_, DefineNames, &names, 0, 1);
  duk_pop(ctx_);
}

ScriptEngine *EngineOf(Page *page) { return page ? page->Script() : nullptr; }

} // namespace tallowick::page

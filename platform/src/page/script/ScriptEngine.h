// The page's script engine: one duktape heap per page document, whose global
// object is the window. DOM objects enter script as proxies over their
// IDispatch; script objects leave as ScriptObject (IDispatch) wrappers.
#pragma once

#include <duktape.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "page/PageObjects.h"

namespace tallowick::page {

class ScriptEngine;

// Shared with every ScriptObject: cleared when the engine goes, so that
// wrappers held past the engine answer errors instead of touching a freed heap.
struct ScriptLink {
  ScriptEngine *engine = nullptr;
};

class ScriptEngine {
public:
  explicit ScriptEngine(Page &page);
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine &) = delete;
  ScriptEngine &operator=(const ScriptEngine &) = delete;

  Page &GetPage() { return page_; }
  duk_context *Context() { return ctx_; }
  const std::shared_ptr<ScriptLink> &Link() const { return link_; }
  bool Busy() const { return depth_ > 0; }

  // Program text in the global scope (a page script, eval, execScript);
  // `result` (optional) receives the completion value.
  HRESULT Evaluate(const std::wstring &code, const std::wstring &source, VARIANT *result);
  // A page's <script> or a javascript: URL: errors are reported, not returned.
  void RunProgram(const std::wstring &code, const std::wstring &source);
  // An event handler from markup: function(event) { body } with `this` the
  // element. With `element`, its names resolve as IE scoped inline handlers:
  // the element's members, then its form's, then the document's, then the window's.
  HRESULT CompileHandler(const std::wstring &body, const std::wstring &source, IDispatch **function,
                         Node *element = nullptr);
  // Calls a handler (a script function or any IDispatch's default member)
  // with `self` as this and the arguments; errors are reported.
  HRESULT CallHandler(IDispatch *function, IDispatch *self, std::vector<VARIANT *> args,
                      VARIANT *result);

  // The global object's own members, for the window's IDispatch.
  bool HasGlobal(const std::wstring &name, std::wstring *exact);
  HRESULT InvokeGlobal(const std::wstring &name, WORD flags, DISPPARAMS *params, VARIANT *result);

  // Members of a script object kept in the stash under `key` (ScriptObject).
  HRESULT FindMember(uint32_t key, const std::wstring &name, std::wstring *exact);
  HRESULT InvokeMember(uint32_t key, const std::wstring *name, WORD flags, DISPPARAMS *params,
                       VARIANT *result);
  HRESULT Enumerate(uint32_t key, std::vector<VARIANT> *items);
  uint32_t Keep(duk_idx_t index); // stash the value at index; answers its key
  void Forget(uint32_t key);
  void PushKept(uint32_t key);

  // Timers on the page's own clock.
  HRESULT AddTimer(const VARIANT &handler, long ms, bool repeat, long *id);
  void ClearTimer(long id);
  long RunTimers(unsigned long elapsedMs);

  // Behaviour instances: runs the component's factory for the element and
  // keeps the member table it answers.
  HRESULT CreateBehaviorInstance(const std::wstring &factorySource, const std::wstring &source,
                                 Node &element, IHTMLDocument2 *viewLink, uint32_t *key);

  // Value conversion (the stack top / an index).
  void Push(const VARIANT &value);
  HRESULT ToVariant(duk_idx_t index, VARIANT *out);
  void PushObject(IDispatch *object);
  // The IDispatch behind a script value that wraps one (no reference), else null.
  IDispatch *ComOf(duk_idx_t index);

  // Budget and nesting, for the timeout check and native recursion.
  bool TimeoutDue();

  // Runs `body` protected: it runs on the engine's stack inside a safe call;
  // an error thrown there is caught, reported (when `report` or when this is
  // the outermost call) and answered as DISP_E_EXCEPTION.
  template <class F> HRESULT Protected(const std::wstring &source, bool report, F &&body);

private:
  struct Timer {
    long id;
    unsigned long long due;
    long interval; // 0: once
    uint32_t key;  // the handler (function or code string) in the stash
  };
  HRESULT RunSafe(const std::wstring &source, bool report, void *body,
                  duk_ret_t (*thunk)(duk_context *, void *));
  void InstallGlobals();
  // Elements with an id (forms, images and frames also by name) are
  // properties of the window, as getters defined when the top document changed.
  void DefineNamedElements();
  unsigned long namedRevision_ = ~0ul;
  const PageDocument *namedDocument_ = nullptr;
  platform::ScriptError ErrorAt(duk_idx_t index);

  Page &page_;
  duk_context *ctx_ = nullptr;
  std::shared_ptr<ScriptLink> link_;
  int depth_ = 0;
  std::chrono::steady_clock::time_point deadline_;
  bool timedOut_ = false;
  uint32_t nextKey_ = 1;
  std::vector<Timer> timers_;
  long nextTimer_ = 1;
  unsigned long long clock_ = 0;
  std::deque<std::string> recent_; // keys of the recently crossed objects, oldest first
};

template <class F>
HRESULT ScriptEngine::Protected(const std::wstring &source, bool report, F &&body) {
  auto thunk = [](duk_context *ctx, void *udata) -> duk_ret_t {
    (*static_cast<F *>(udata))(ctx);
    return 0;
  };
  return RunSafe(source, report, &body, thunk);
}

// The engine of the page a node belongs to, created on first need.
ScriptEngine *EngineOf(Page *page);

// Bridge: the proxy handler and the native members of the global object.
void InstallBridge(ScriptEngine &engine);

// ScriptObject: the IDispatch of a script object (ScriptObject.cpp).
HRESULT NewScriptObject(ScriptEngine &engine, duk_idx_t index, IDispatch **out);
DEFINE_GUID(IID_ITallowickScriptObject, 0x6E0C1A57, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C,
            0x8E, 0x7D, 0x10);
// The stash key and link of a ScriptObject; false for any other object.
bool ScriptObjectKey(IUnknown *object, ScriptLink **link, uint32_t *key);

// Events (Events.cpp): dispatches `type` ("onclick") on `target` with the
// event object (a new one when null): the host hook, window.event, the
// handlers of the target and its ancestors (past a view-link document's root
// to its owner), cancelBubble and returnValue. Answers whether the default
// action runs.
bool DispatchEvent(Page *page, Node &target, const std::wstring &type, IHTMLEventObj *event,
                   const std::wstring &detail = {});
// Fires onpropertychange on `target` with event.propertyName `name`.
void FirePropertyChange(Page *page, Node &target, const std::wstring &name);

} // namespace tallowick::page

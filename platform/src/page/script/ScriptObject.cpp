// The IDispatch of a script object or function: members by name (exact, else
// ignoring case), array indexes as "0", "1", ..., `length`, DISPID_VALUE to
// call a function, DISPID_NEWENUM to enumerate an array.
#include <windows.h>

#include "page/script/ScriptEngine.h"

namespace tallowick::page {

namespace {

constexpr const char *kWrapper = DUK_HIDDEN_SYMBOL("wrapper");

// The wrapper mark is set and removed protected: a frozen object refuses
// both, and then simply goes without one.
duk_ret_t PutMark(duk_context *ctx, void *) {
  duk_put_prop_string(ctx, -2, kWrapper);
  return 0;
}
duk_ret_t DeleteMark(duk_context *ctx, void *) {
  duk_del_prop_string(ctx, -1, kWrapper);
  return 0;
}

class ScriptObject final : public IDispatch {
public:
  ScriptObject(std::shared_ptr<ScriptLink> link, uint32_t key)
      : link_(std::move(link)), key_(key) {}
  ~ScriptObject() {
    ScriptEngine *engine = link_->engine;
    if (!engine)
      return;
    duk_context *ctx = engine->Context();
    engine->PushKept(key_);
    if (duk_is_object(ctx, -1))
      duk_safe_call(ctx, DeleteMark, nullptr, 1, 1);
    duk_pop(ctx);
    engine->Forget(key_);
  }

  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
    if (!ppv)
      return E_POINTER;
    if (IsEqualIID(riid, IID_ITallowickScriptObject)) {
      *ppv = this;
      return S_OK;
    }
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IDispatch *>(this);
    return S_OK;
  }
  PAGE_REFCOUNT
  STDMETHOD(GetTypeInfoCount)(UINT *count) override {
    if (!count)
      return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo **info) override {
    if (info)
      *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override {
    if (!names || !ids)
      return E_POINTER;
    for (UINT i = 0; i < count; ++i)
      ids[i] = DISPID_UNKNOWN;
    if (count == 0)
      return S_OK;
    if (!names[0])
      return DISP_E_UNKNOWNNAME;
    ScriptEngine *engine = link_->engine;
    if (!engine)
      return E_UNEXPECTED;
    return Guarded([&]() -> HRESULT {
      std::wstring exact;
      HRESULT hr = engine->FindMember(key_, names[0], &exact);
      if (FAILED(hr))
        return hr;
      ids[0] = IdOf(exact);
      return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    });
  }
  STDMETHOD(Invoke)
  (DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *info,
   UINT *) override {
    if (result)
      VariantInit(result);
    ScriptEngine *engine = link_->engine;
    if (!engine)
      return E_UNEXPECTED;
    // A navigation the call starts replaces the document once the call is over.
    NavigationHold hold(&engine->GetPage());
    HRESULT hr = Guarded([&]() -> HRESULT {
      DISPPARAMS none = {nullptr, nullptr, 0, 0};
      if (!params)
        params = &none;
      if (id == DISPID_NEWENUM) {
        std::vector<VARIANT> items;
        HRESULT hr = engine->Enumerate(key_, &items);
        if (FAILED(hr))
          return hr;
        IUnknown *enumerator = nullptr;
        hr = NewVariantEnumerator(std::move(items), &enumerator);
        if (SUCCEEDED(hr) && result)
          ToVariant(enumerator, result);
        else if (enumerator)
          enumerator->Release();
        return hr;
      }
      if (id == DISPID_VALUE)
        return engine->InvokeMember(key_, nullptr, flags & ~kBridgeGet, params, result);
      if (id < 1 || static_cast<size_t>(id) > names_.size())
        return DISP_E_MEMBERNOTFOUND;
      return engine->InvokeMember(key_, &names_[static_cast<size_t>(id - 1)], flags & ~kBridgeGet,
                                  params, result);
    });
    if (hr == DISP_E_EXCEPTION)
      TakePendingException(info);
    return hr;
  }

  ScriptLink *Link() const { return link_.get(); }
  uint32_t Key() const { return key_; }

private:
  DISPID IdOf(const std::wstring &name) {
    for (size_t i = 0; i < names_.size(); ++i)
      if (names_[i] == name)
        return static_cast<DISPID>(i + 1);
    names_.push_back(name);
    return static_cast<DISPID>(names_.size());
  }

  std::atomic<ULONG> refs_{0};
  std::shared_ptr<ScriptLink> link_;
  uint32_t key_;
  std::vector<std::wstring> names_;
};

} // namespace

HRESULT NewScriptObject(ScriptEngine &engine, duk_idx_t index, IDispatch **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  duk_context *ctx = engine.Context();
  index = duk_normalize_index(ctx, index);
  // One wrapper per script object while the wrapper lives.
  if (duk_is_object(ctx, index)) {
    duk_get_prop_string(ctx, index, kWrapper);
    auto *existing = static_cast<ScriptObject *>(duk_get_pointer(ctx, -1));
    duk_pop(ctx);
    if (existing) {
      existing->AddRef();
      *out = existing;
      return S_OK;
    }
  }
  uint32_t key = engine.Keep(index);
  ScriptObject *object = nullptr;
  try {
    object = new ScriptObject(engine.Link(), key);
  } catch (...) {
    engine.Forget(key);
    return E_OUTOFMEMORY;
  }
  if (duk_is_object(ctx, index)) {
    duk_dup(ctx, index);
    duk_push_pointer(ctx, object);
    duk_safe_call(ctx, PutMark, nullptr, 2, 1);
    duk_pop(ctx);
  }
  object->AddRef();
  *out = object;
  return S_OK;
}

bool ScriptObjectKey(IUnknown *object, ScriptLink **link, uint32_t *key) {
  void *found = nullptr;
  if (!object || FAILED(object->QueryInterface(IID_ITallowickScriptObject, &found)) || !found)
    return false;
  auto *script = static_cast<ScriptObject *>(found);
  *link = script->Link();
  *key = script->Key();
  return true;
}

} // namespace tallowick::page

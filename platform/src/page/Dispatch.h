// IDispatch by name for the page objects. Each class lists its members once
// (name, getter, putter, method) as pointers to its interface methods; the
// thunks below convert DISPPARAMS to the method's own argument types and its
// out-parameter to the VARIANT result, so a member reached by name behaves
// exactly as the vtable method does.
#pragma once

#include <windows.h>

#include <mshtml.h>
#include <oleauto.h>

#include <cstddef>
#include <initializer_list>
#include <new>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace tallowick::page {

// Runs f, turning any exception into an HRESULT: none may leave a COM method.
template <class F> HRESULT Guarded(F &&f) noexcept {
  try {
    return f();
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// One owned VARIANT.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  Var(const Var &) = delete;
  Var &operator=(const Var &) = delete;
};

BSTR AllocBstr(const std::wstring &text); // throws std::bad_alloc when out of memory
HRESULT ToBstr(const std::wstring &text, BSTR *out);
// A VARIANT's value as text (VT_NULL and VT_EMPTY as "").
std::wstring VariantText(const VARIANT &value);

// Results into VARIANTs; the VARIANT takes ownership.
inline void ToVariant(BSTR value, VARIANT *out) {
  out->vt = VT_BSTR;
  out->bstrVal = value;
}
inline void ToVariant(LONG value, VARIANT *out) {
  out->vt = VT_I4;
  out->lVal = value;
}
inline void ToVariant(VARIANT_BOOL value, VARIANT *out) {
  out->vt = VT_BOOL;
  out->boolVal = value;
}
inline void ToVariant(float value, VARIANT *out) {
  out->vt = VT_R4;
  out->fltVal = value;
}
inline void ToVariant(VARIANT &value, VARIANT *out) {
  *out = value;
  value.vt = VT_EMPTY;
}
template <class I>
requires std::is_base_of_v<IUnknown, I>
void ToVariant(I *value, VARIANT *out) {
  if constexpr (std::is_base_of_v<IDispatch, I>) {
    out->vt = VT_DISPATCH;
    out->pdispVal = value;
  } else {
    out->vt = VT_UNKNOWN;
    out->punkVal = value;
  }
}

inline void Discard(BSTR value) { SysFreeString(value); }
inline void Discard(VARIANT &value) { VariantClear(&value); }
template <class I>
requires std::is_base_of_v<IUnknown, I>
void Discard(I *value) {
  if (value)
    value->Release();
}
template <class T> void Discard(T) {}

// Method arguments from VARIANTs.
template <class T> struct Arg;
template <> struct Arg<BSTR> {
  BSTR value = nullptr;
  ~Arg() { SysFreeString(value); }
  HRESULT Set(const VARIANT &v);
  BSTR Get() { return value; }
};
template <> struct Arg<LONG> {
  LONG value = 0;
  HRESULT Set(const VARIANT &v);
  LONG Get() { return value; }
};
template <> struct Arg<VARIANT_BOOL> {
  VARIANT_BOOL value = VARIANT_FALSE;
  HRESULT Set(const VARIANT &v);
  VARIANT_BOOL Get() { return value; }
};
template <> struct Arg<float> {
  float value = 0;
  HRESULT Set(const VARIANT &v);
  float Get() { return value; }
};
template <> struct Arg<VARIANT> {
  Var value;
  HRESULT Set(const VARIANT &v) { return VariantCopyInd(&value.v, &v); }
  VARIANT Get() { return value.v; }
};
template <> struct Arg<VARIANT *> {
  Var value;
  HRESULT Set(const VARIANT &v) { return VariantCopyInd(&value.v, &v); }
  VARIANT *Get() { return &value.v; }
};
HRESULT InterfaceFromVariant(const VARIANT &v, REFIID iid, void **out);
template <class I>
requires std::is_base_of_v<IUnknown, I>
struct Arg<I *> {
  I *value = nullptr;
  ~Arg() {
    if (value)
      value->Release();
  }
  HRESULT Set(const VARIANT &v) {
    return InterfaceFromVariant(v, __uuidof(I), reinterpret_cast<void **>(&value));
  }
  I *Get() { return value; }
};

// The out-parameter that becomes the result.
template <class T> struct Out {
  T value{};
  bool delivered = false;
  ~Out() {
    if (!delivered)
      Discard(value);
  }
  T *Get() { return &value; }
  void Deliver(VARIANT *result) {
    if (!result)
      return;
    ToVariant(value, result);
    delivered = true;
  }
};

template <class T>
constexpr bool kIsRetval = std::is_pointer_v<T> && !std::is_same_v<T, BSTR> &&
                           !std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>;

template <class Args, size_t n> constexpr bool LastIsRetval() {
  if constexpr (n == 0)
    return false;
  else
    return kIsRetval<std::tuple_element_t<n - 1, Args>>;
}

template <class Sig> struct MethodTraits;
template <class I, class... A> struct MethodTraits<HRESULT (I::*)(A...)> {
  using Interface = I;
  using Args = std::tuple<A...>;
  static constexpr size_t kCount = sizeof...(A);
};

template <class T, bool kRet> struct SlotFor { using type = Arg<T>; };
template <class T> struct SlotFor<T, true> { using type = Out<std::remove_pointer_t<T>>; };

template <class C, auto M, size_t... K>
HRESULT CallWith(C *self, DISPPARAMS *params, VARIANT *result, std::index_sequence<K...>) {
  using Traits = MethodTraits<decltype(M)>;
  using Args = typename Traits::Args;
  constexpr size_t n = Traits::kCount;
  constexpr bool hasRetval = LastIsRetval<Args, n>();
  std::tuple<typename SlotFor<std::tuple_element_t<K, Args>, hasRetval && K + 1 == n>::type...>
      slots;
  UINT given = params ? params->cArgs : 0;
  HRESULT hr = S_OK;
  auto fill = [&](auto &slot, size_t index) {
    if constexpr (requires { slot.Set(VARIANT{}); }) {
      if (SUCCEEDED(hr) && index < given)
        hr = slot.Set(params->rgvarg[given - 1 - index]);
    }
  };
  (fill(std::get<K>(slots), K), ...);
  (void)fill;
  (void)given;
  if (FAILED(hr))
    return hr;
  auto *target = static_cast<typename Traits::Interface *>(self);
  hr = (target->*M)(std::get<K>(slots).Get()...);
  if constexpr (hasRetval) {
    if (SUCCEEDED(hr))
      std::get<n - 1>(slots).Deliver(result);
  }
  return hr;
}

template <class C, auto M> HRESULT Thunk(C *self, DISPPARAMS *params, VARIANT *result) {
  return CallWith<C, M>(self, params, result,
                        std::make_index_sequence<MethodTraits<decltype(M)>::kCount>{});
}

template <class C> struct Member {
  const wchar_t *name;
  HRESULT (*get)(C *, DISPPARAMS *, VARIANT *);
  HRESULT (*put)(C *, DISPPARAMS *, VARIANT *);
  HRESULT (*call)(C *, DISPPARAMS *, VARIANT *);
};

#define PAGE_PROP(I, name)                                                                         \
  { L## #name, &Thunk<Self, &I::get_##name>, &Thunk<Self, &I::put_##name>, nullptr }
#define PAGE_GET(I, name)                                                                          \
  { L## #name, &Thunk<Self, &I::get_##name>, nullptr, nullptr }
#define PAGE_METHOD(I, name)                                                                       \
  { L## #name, nullptr, nullptr, &Thunk<Self, &I::name> }

// DISPIDs: members of the class's k-th table are kMemberBase * (k + 1) + index;
// expando attributes have page-wide ids from kExpandoBase.
constexpr DISPID kMemberBase = 1000;
constexpr DISPID kExpandoBase = 100000;

bool NameEquals(const wchar_t *member, const wchar_t *name);

// A property get from the script bridge: a member that is only a method
// answers kMemberIsMethod instead of running, so that `el.click` reads a
// function. Not a flag any other caller passes.
constexpr WORD kBridgeGet = 0x1000;
constexpr HRESULT kMemberIsMethod = MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_ITF, 0x2F1);

// The exception a failed script call left for the Invoke that reported
// DISP_E_EXCEPTION (per thread: page objects live on one thread).
void SetPendingException(const std::wstring &description, HRESULT scode);
// Moves the pending exception into `info` (when given) and clears it.
void TakePendingException(EXCEPINFO *info);

// Objects that keep script-set members of their own (element expandos,
// event object members) answer this private interface, without a reference.
struct ExpandoHost {
  virtual HRESULT PutExpando(const std::wstring &name, const VARIANT &value) = 0;

protected:
  ~ExpandoHost() = default;
};
DEFINE_GUID(IID_ITallowickExpandoHost, 0x6E0C1A55, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C,
            0x8E, 0x7D, 0x10);
// Page objects answer the Page they belong to through this private
// interface, without a reference.
DEFINE_GUID(IID_ITallowickPageObject, 0x6E0C1A56, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C,
            0x8E, 0x7D, 0x10);
// Invokes DISPID_VALUE on the dispatch in `value` with `params` (a(b) on a property).
HRESULT InvokeDefault(VARIANT &value, DISPPARAMS *params, VARIANT *result);

// The class C provides:
//   std::span<const std::span<const Member<C>>> Tables() — its member tables;
//   HRESULT FindDynamic(const std::wstring &name, DISPID *id) — expandos and, once
//     scripts run, script-defined members (DISP_E_UNKNOWNNAME when none);
//   HRESULT InvokeDynamic(DISPID, WORD flags, DISPPARAMS *, VARIANT *).
template <class C> HRESULT DispatchIDsOfNames(C *self, LPOLESTR *names, UINT count, DISPID *ids) {
  if (!names || !ids)
    return E_POINTER;
  if (count == 0)
    return S_OK;
  for (UINT i = 0; i < count; ++i)
    ids[i] = DISPID_UNKNOWN;
  if (!names[0])
    return DISP_E_UNKNOWNNAME;
  auto tables = self->Tables();
  for (size_t t = 0; t < tables.size(); ++t)
    for (size_t m = 0; m < tables[t].size(); ++m)
      if (NameEquals(tables[t][m].name, names[0])) {
        ids[0] = kMemberBase * static_cast<DISPID>(t + 1) + static_cast<DISPID>(m);
        return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
      }
  HRESULT hr = Guarded([&] { return self->FindDynamic(names[0], &ids[0]); });
  if (FAILED(hr))
    return hr;
  return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

template <class C>
HRESULT DispatchInvoke(C *self, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result) {
  if (result)
    VariantInit(result);
  return Guarded([&]() -> HRESULT {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params)
      params = &none;
    if (id >= kExpandoBase || id < 0)
      return self->InvokeDynamic(id, flags, params, result);
    if (id < kMemberBase && (flags & kBridgeGet))
      flags &= ~kBridgeGet;
    auto tables = self->Tables();
    size_t t = static_cast<size_t>(id / kMemberBase) - 1;
    size_t m = static_cast<size_t>(id % kMemberBase);
    if (id < kMemberBase || t >= tables.size() || m >= tables[t].size())
      return self->InvokeDynamic(id, flags, params, result);
    const Member<C> &member = tables[t][m];
    if ((flags & kBridgeGet) && !member.get && !member.put && member.call)
      return kMemberIsMethod;
    flags &= ~kBridgeGet;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!member.put || params->cArgs < 1)
        return member.put ? DISP_E_BADPARAMCOUNT : DISP_E_MEMBERNOTFOUND;
      return member.put(self, params, nullptr);
    }
    if ((flags & DISPATCH_METHOD) && member.call)
      return member.call(self, params, result);
    if (member.get) {
      if (params->cArgs == 0)
        return member.get(self, params, result);
      Var value; // prop(args): the property's default member with the arguments
      DISPPARAMS empty = {nullptr, nullptr, 0, 0};
      HRESULT hr = member.get(self, &empty, &value.v);
      if (FAILED(hr))
        return hr;
      return InvokeDefault(value.v, params, result);
    }
    return member.call ? member.call(self, params, result) : DISP_E_MEMBERNOTFOUND;
  });
}

// An identity a page object answers without a reference (private interfaces).
struct PrivateAnswer {
  const IID *iid;
  void *object;
};

// QueryInterface of page objects: the private identities first, as they are;
// then `found`, the public interface the object's Find answered, with one reference.
inline HRESULT AnswerQuery(REFIID riid, void **ppv, std::initializer_list<PrivateAnswer> answers,
                           void *found) {
  if (!ppv)
    return E_POINTER;
  for (const PrivateAnswer &answer : answers)
    if (IsEqualIID(riid, *answer.iid)) {
      *ppv = answer.object;
      return S_OK;
    }
  *ppv = found;
  if (!found)
    return E_NOINTERFACE;
  static_cast<IUnknown *>(found)->AddRef();
  return S_OK;
}

// IUnknown and IDispatch for a page class with a `refs_` counter, a
// `Find(REFIID)` answering its interfaces, and Tables/FindDynamic/InvokeDynamic.
#define PAGE_IUNKNOWN                                                                              \
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {                                    \
    return AnswerQuery(riid, ppv, {{&IID_ITallowickPageObject, page_.get()}}, Find(riid));         \
  }                                                                                                \
  PAGE_REFCOUNT

#define PAGE_REFCOUNT                                                                              \
  STDMETHOD_(ULONG, AddRef)() override { return ++refs_; }                                         \
  STDMETHOD_(ULONG, Release)() override {                                                          \
    ULONG count = --refs_;                                                                         \
    if (count == 0)                                                                                \
      delete this;                                                                                 \
    return count;                                                                                  \
  }

#define PAGE_IDISPATCH                                                                             \
  STDMETHOD(GetTypeInfoCount)(UINT * count) override {                                             \
    if (!count)                                                                                    \
      return E_POINTER;                                                                            \
    *count = 0;                                                                                    \
    return S_OK;                                                                                   \
  }                                                                                                \
  STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo * *info) override {                                 \
    if (info)                                                                                      \
      *info = nullptr;                                                                             \
    return E_NOTIMPL;                                                                              \
  }                                                                                                \
  STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR * names, UINT count, LCID, DISPID * ids) override {    \
    return DispatchIDsOfNames(this, names, count, ids);                                            \
  }                                                                                                \
  STDMETHOD(Invoke)                                                                                \
  (DISPID id, REFIID, LCID, WORD flags, DISPPARAMS * params, VARIANT * result, EXCEPINFO * info,   \
   UINT *) override {                                                                              \
    HRESULT hr = DispatchInvoke(this, id, flags, params, result);                                  \
    if (hr == DISP_E_EXCEPTION)                                                                    \
      TakePendingException(info);                                                                  \
    return hr;                                                                                     \
  }

} // namespace tallowick::page

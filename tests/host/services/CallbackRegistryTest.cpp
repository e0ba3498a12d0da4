#include "HostModuleFixture.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace {

// A variant array (VT_ARRAY|VT_VARIANT) of longs, owned by the test.
struct TestArray {
  explicit TestArray(const std::vector<LONG> &items) {
    VariantInit(&value);
    SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
      VARIANT item;
      item.vt = VT_I4;
      item.lVal = items[static_cast<size_t>(i)];
      SafeArrayPutElement(array, &i, &item);
    }
    value.vt = VT_ARRAY | VT_VARIANT;
    value.parray = array;
  }
  ~TestArray() { VariantClear(&value); }
  TestArray(const TestArray &) = delete;
  TestArray &operator=(const TestArray &) = delete;
  VARIANT value;
};

// The longs of a variant array (none for VT_EMPTY); {-1} for anything else.
std::vector<LONG> Longs(const VARIANT &value) {
  if (value.vt == VT_EMPTY)
    return {};
  if (value.vt != (VT_ARRAY | VT_VARIANT))
    return {-1};
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(value.parray, 1, &lower);
  SafeArrayGetUBound(value.parray, 1, &upper);
  std::vector<LONG> items;
  for (LONG i = lower; i <= upper; ++i) {
    VARIANT item;
    VariantInit(&item);
    SafeArrayGetElement(value.parray, &i, &item);
    items.push_back(item.vt == VT_I4 ? item.lVal : -1);
    VariantClear(&item);
  }
  return items;
}

// A handler bound by the test: counts its references and runs `body` with
// what Invoke received.
class TestHandler final : public IDispatch {
public:
  using Body = std::function<HRESULT(DISPPARAMS *, VARIANT *, EXCEPINFO *)>;
  explicit TestHandler(Body run) : body(std::move(run)) {}

  LONG refs = 1;
  int calls = 0;
  DISPID member = -1;
  WORD flags = 0;
  Body body;

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch)
      return E_NOINTERFACE;
    *ppv = static_cast<IDispatch *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *exception, UINT *) override {
    ++calls;
    member = id;
    flags = kind;
    return body(params, result, exception);
  }
};

// Appends to the output array the input's items doubled.
HRESULT DoubleInto(DISPPARAMS *params, VARIANT *, EXCEPINFO *) {
  if (params->cArgs != 2 || params->rgvarg[0].vt != (VT_BYREF | VT_VARIANT))
    return DISP_E_BADPARAMCOUNT;
  std::vector<LONG> items = Longs(*params->rgvarg[0].pvarVal);
  for (LONG item : Longs(params->rgvarg[1]))
    items.push_back(item * 2);
  TestArray output(items);
  VariantClear(params->rgvarg[0].pvarVal);
  return VariantCopy(params->rgvarg[0].pvarVal, &output.value);
}

// A handler that writes into the output and then fails with `hr`.
TestHandler::Body FailAfterWriting(HRESULT hr) {
  return [hr](DISPPARAMS *params, VARIANT *, EXCEPINFO *) {
    VariantClear(params->rgvarg[0].pvarVal);
    params->rgvarg[0].pvarVal->vt = VT_I4;
    params->rgvarg[0].pvarVal->lVal = 7;
    return hr;
  };
}

class CallbackRegistryTest : public HostModuleFixture {
protected:
  void SetUp() override {
    HostModuleFixture::SetUp();
    ASSERT_EQ(Create(kCallbackRegistryProgID, IID_IWICallbackerRegistrar, &registrar_), S_OK);
    ASSERT_EQ(registrar_->QueryInterface(IID_IWICallbackQuery, reinterpret_cast<void **>(&query_)),
              S_OK);
    ASSERT_EQ(
        registrar_->QueryInterface(__uuidof(IWIHostCallbacks), reinterpret_cast<void **>(&host_)),
        S_OK);
  }
  void TearDown() override {
    if (host_ != nullptr) {
      host_->Reset();
      host_->Release();
    }
    if (query_ != nullptr)
      query_->Release();
    if (registrar_ != nullptr)
      registrar_->Release();
    HostModuleFixture::TearDown();
  }

  bool Registered(const wchar_t *name) {
    VARIANT_BOOL registered = 1;
    EXPECT_EQ(query_->IsCallbackRegistered(TestBstr(name), &registered), S_OK);
    EXPECT_TRUE(registered == VARIANT_TRUE || registered == VARIANT_FALSE);
    return registered == VARIANT_TRUE;
  }

  // Handlers outlive the registry's references (released in TearDown).
  TestHandler &Handler(TestHandler::Body body) { return handlers_.emplace_back(std::move(body)); }

  IWICallbackerRegistrar *registrar_ = nullptr;
  IWICallbackQuery *query_ = nullptr;
  IWIHostCallbacks *host_ = nullptr;
  std::deque<TestHandler> handlers_;
};

TEST_F(CallbackRegistryTest, OneRegistryPerProcess) {
  IUnknown *first = nullptr;
  IUnknown *second = nullptr;
  ASSERT_EQ(Create(kCallbackRegistryProgID, IID_IUnknown, &first), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_WICallbackRegistry, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&second)),
            S_OK);
  EXPECT_EQ(first, second);
  IUnknown *mine = nullptr;
  ASSERT_EQ(host_->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&mine)), S_OK);
  EXPECT_EQ(first, mine);
  mine->Release();
  second->Release();
  first->Release();
}

TEST_F(CallbackRegistryTest, UnboundNamesAreNotImplementedAndLeaveTheOutput) {
  EXPECT_FALSE(Registered(L"KitGetObjAttr"));
  TestArray input({1, 2});
  VARIANT output;
  output.vt = VT_I4;
  output.lVal = 42;
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"KitGetObjAttr"), input.value, &output, 0),
            E_NOTIMPL);
  EXPECT_EQ(output.vt, VT_I4);
  EXPECT_EQ(output.lVal, 42);

  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"KitGetObjAttr"), input.value, nullptr, 0),
            E_POINTER);
  EXPECT_EQ(query_->IsCallbackRegistered(TestBstr(L"KitGetObjAttr"), nullptr), E_POINTER);
  LONG count = -1;
  EXPECT_EQ(query_->GetCallbackCount(&count), S_OK);
  EXPECT_EQ(count, 0);
  BSTR name = nullptr;
  EXPECT_EQ(query_->GetCallbackName(0, &name), E_INVALIDARG);
  EXPECT_EQ(name, nullptr);
}

TEST_F(CallbackRegistryTest, BoundHandlerGetsInputAndOutputArrays) {
  TestHandler &handler = Handler(DoubleInto);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"KitMakeObjVisible"), &handler), S_OK);
  EXPECT_EQ(handler.refs, 2);
  EXPECT_TRUE(Registered(L"KitMakeObjVisible"));
  EXPECT_FALSE(Registered(L"kitmakeobjvisible")); // names compare exactly

  TestArray input({3, 5});
  TestArray output({1});
  EXPECT_EQ(
      registrar_->InvokeHostCallback(TestBstr(L"KitMakeObjVisible"), input.value, &output.value, 1),
      S_OK);
  EXPECT_EQ(handler.calls, 1);
  EXPECT_EQ(handler.member, DISPID_VALUE);
  EXPECT_EQ(handler.flags, DISPATCH_METHOD);
  EXPECT_EQ(Longs(output.value), (std::vector<LONG>{1, 6, 10}));
  EXPECT_EQ(Longs(input.value), (std::vector<LONG>{3, 5})); // the caller's input is left alone

  // An empty input and output are empty arrays.
  VARIANT empty;
  VariantInit(&empty);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"KitMakeObjVisible"), empty, &result, 0),
            S_OK);
  EXPECT_EQ(Longs(result), std::vector<LONG>{});
  VariantClear(&result);

  // Anything else is not an argument array: the handler is not called.
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"x");
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"KitMakeObjVisible"), text, &output.value, 0),
            E_INVALIDARG);
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"KitMakeObjVisible"), empty, &text, 0),
            E_INVALIDARG);
  EXPECT_EQ(handler.calls, 2);
  VariantClear(&text);
  EXPECT_EQ(handler.refs, 2);
}

TEST_F(CallbackRegistryTest, AHandlersFailureIsReturnedAndTheOutputKept) {
  TestHandler &failing = Handler(FailAfterWriting(E_ACCESSDENIED));
  TestHandler &excepting = Handler([](DISPPARAMS *params, VARIANT *, EXCEPINFO *exception) {
    FailAfterWriting(S_OK)(params, nullptr, nullptr);
    exception->bstrDescription = SysAllocString(L"no element");
    exception->scode = E_ABORT;
    return DISP_E_EXCEPTION;
  });
  TestHandler &declining = Handler([](DISPPARAMS *params, VARIANT *result, EXCEPINFO *) {
    FailAfterWriting(S_OK)(params, nullptr, nullptr);
    result->vt = VT_ERROR;
    result->scode = S_FALSE;
    return S_OK;
  });
  ASSERT_EQ(host_->BindCallback(TestBstr(L"Failing"), &failing), S_OK);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"Excepting"), &excepting), S_OK);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"Declining"), &declining), S_OK);

  TestArray input({1});
  TestArray output({9});
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"Failing"), input.value, &output.value, 0),
            E_ACCESSDENIED);
  EXPECT_EQ(Longs(output.value), std::vector<LONG>{9});
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"Excepting"), input.value, &output.value, 0),
            E_ABORT);
  EXPECT_EQ(Longs(output.value), std::vector<LONG>{9});
  // A VT_ERROR answer is the callback's result; S_FALSE succeeds, so the output is taken.
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"Declining"), input.value, &output.value, 0),
            S_FALSE);
  EXPECT_EQ(output.value.vt, VT_I4);
  EXPECT_EQ(output.value.lVal, 7);
}

TEST_F(CallbackRegistryTest, BindingReplacesUnbindsAndListsNamesInOrder) {
  TestHandler &first = Handler(DoubleInto);
  TestHandler &second = Handler(DoubleInto);
  TestHandler &other = Handler(DoubleInto);
  EXPECT_EQ(host_->BindCallback(TestBstr(L"IsMouseReplayRequired"), nullptr), E_POINTER);
  EXPECT_EQ(host_->BindCallback(TestBstr(L""), &first), E_INVALIDARG);
  EXPECT_EQ(host_->BindCallback(nullptr, &first), E_INVALIDARG);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"KitGetObjAttr"), &other), S_OK);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"IsMouseReplayRequired"), &first), S_OK);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"IsMouseReplayRequired"), &second), S_OK);
  EXPECT_EQ(first.refs, 1);
  EXPECT_EQ(second.refs, 2);

  LONG count = 0;
  ASSERT_EQ(query_->GetCallbackCount(&count), S_OK);
  ASSERT_EQ(count, 2);
  std::vector<std::wstring> names;
  for (LONG i = 0; i < count; ++i) {
    BSTR name = nullptr;
    ASSERT_EQ(query_->GetCallbackName(i, &name), S_OK);
    names.emplace_back(name);
    SysFreeString(name);
  }
  EXPECT_EQ(names, (std::vector<std::wstring>{L"IsMouseReplayRequired", L"KitGetObjAttr"}));

  VARIANT empty;
  VariantInit(&empty);
  VARIANT output;
  VariantInit(&output);
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"IsMouseReplayRequired"), empty, &output, 0),
            S_OK);
  EXPECT_EQ(first.calls, 0);
  EXPECT_EQ(second.calls, 1);
  VariantClear(&output);

  EXPECT_EQ(host_->UnbindCallback(TestBstr(L"IsMouseReplayRequired")), S_OK);
  EXPECT_EQ(host_->UnbindCallback(TestBstr(L"IsMouseReplayRequired")), S_FALSE);
  EXPECT_EQ(second.refs, 1);
  EXPECT_FALSE(Registered(L"IsMouseReplayRequired"));
  EXPECT_TRUE(Registered(L"KitGetObjAttr"));
  EXPECT_EQ(host_->Reset(), S_OK);
  EXPECT_EQ(other.refs, 1);
  EXPECT_FALSE(Registered(L"KitGetObjAttr"));
}

TEST_F(CallbackRegistryTest, AHandlerMayUnbindItselfWhileItRuns) {
  IWIHostCallbacks *host = host_;
  TestHandler &handler = Handler([host](DISPPARAMS *, VARIANT *, EXCEPINFO *) {
    return host->UnbindCallback(TestBstr(L"Once"));
  });
  ASSERT_EQ(host_->BindCallback(TestBstr(L"Once"), &handler), S_OK);
  VARIANT empty;
  VariantInit(&empty);
  VARIANT output;
  VariantInit(&output);
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"Once"), empty, &output, 0), S_OK);
  EXPECT_EQ(handler.refs, 1);
  EXPECT_EQ(registrar_->InvokeHostCallback(TestBstr(L"Once"), empty, &output, 0), E_NOTIMPL);
}

// A kit callbacker that only counts its references.
class CountedCallbacker final : public IWICallbacker {
public:
  LONG refs = 1;
  STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  STDMETHODIMP InvokeCallback(BSTR, VARIANT, VARIANT *) override { return E_NOTIMPL; }
  STDMETHODIMP GetCallbackPriority(BSTR, WI_PRIORITY *) override { return E_NOTIMPL; }
  STDMETHODIMP GetSupportedCallbacks(SAFEARRAY **) override { return E_NOTIMPL; }
};

TEST_F(CallbackRegistryTest, KeepsEachKitCallbackerOnceUntilReset) {
  CountedCallbacker first, second;
  EXPECT_EQ(registrar_->RegisterCallbacker(nullptr), E_POINTER);
  EXPECT_EQ(registrar_->RegisterCallbacker(&first), S_OK);
  EXPECT_EQ(registrar_->RegisterCallbacker(&second), S_OK);
  EXPECT_EQ(registrar_->RegisterCallbacker(&first), S_FALSE);
  EXPECT_EQ(first.refs, 2);

  LONG count = 0;
  EXPECT_EQ(host_->GetKitCallbackerCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  IWICallbacker *got = nullptr;
  EXPECT_EQ(host_->GetKitCallbacker(1, &got), S_OK);
  EXPECT_EQ(got, &second);
  EXPECT_EQ(second.refs, 3);
  if (got != nullptr)
    got->Release();
  EXPECT_EQ(host_->GetKitCallbacker(2, &got), E_INVALIDARG);
  EXPECT_EQ(got, nullptr);
  EXPECT_EQ(host_->GetKitCallbacker(0, nullptr), E_POINTER);

  EXPECT_EQ(host_->Reset(), S_OK);
  EXPECT_EQ(first.refs, 1);
  EXPECT_EQ(second.refs, 1);
}

TEST_F(CallbackRegistryTest, TheKitsManagerForwardsHostCallbacks) {
  IWICallbackerRegistrar *manager = nullptr;
  ASSERT_EQ(Create(kKitsManagerProgID, IID_IWICallbackerRegistrar, &manager), S_OK);
  TestArray input({4});
  TestArray output({});
  EXPECT_EQ(manager->InvokeHostCallback(TestBstr(L"KitGetObjAttr"), input.value, &output.value, 0),
            E_NOTIMPL);

  TestHandler &handler = Handler(DoubleInto);
  ASSERT_EQ(host_->BindCallback(TestBstr(L"KitGetObjAttr"), &handler), S_OK);
  EXPECT_EQ(manager->InvokeHostCallback(TestBstr(L"KitGetObjAttr"), input.value, &output.value, 0),
            S_OK);
  EXPECT_EQ(Longs(output.value), std::vector<LONG>{8});
  EXPECT_EQ(manager->InvokeHostCallback(TestBstr(L"KitGetObjAttr"), input.value, nullptr, 0),
            E_POINTER);
  manager->Release();
}

} // namespace

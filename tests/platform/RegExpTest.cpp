#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "OleAutTestSupport.h"
#include "RegistryFixture.h"
#include "VBScriptRegExp_h.h"

namespace {

struct Bstr {
  BSTR b;
  explicit Bstr(const wchar_t *text) : b(SysAllocString(text)) {}
  explicit Bstr(const std::wstring &text)
      : b(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b); }
  operator BSTR() const { return b; }
};

std::wstring Take(BSTR b) {
  std::wstring text(b == nullptr ? L"" : b, SysStringLen(b));
  SysFreeString(b);
  return text;
}

struct MatchInfo {
  std::wstring value;
  LONG firstIndex;
  LONG length;
};

// The registry is empty: the class is known all the same.
class RegExpTest : public RegistryFixture {
protected:
  void SetUp() override {
    RegistryFixture::SetUp();
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"VBScript.RegExp", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IRegExp,
                               reinterpret_cast<void **>(&re_)),
              S_OK);
  }
  void TearDown() override {
    if (re_ != nullptr) {
      EXPECT_EQ(re_->Release(), 0u);
    }
    CoUninitialize();
    RegistryFixture::TearDown();
  }

  void Configure(const wchar_t *pattern, bool global = false, bool ignoreCase = false) {
    ASSERT_EQ(re_->put_Pattern(Bstr(pattern)), S_OK);
    ASSERT_EQ(re_->put_Global(global ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
    ASSERT_EQ(re_->put_IgnoreCase(ignoreCase ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
  }

  std::vector<MatchInfo> Execute(const wchar_t *subject) {
    std::vector<MatchInfo> out;
    IDispatch *disp = nullptr;
    EXPECT_EQ(re_->Execute(Bstr(subject), &disp), S_OK);
    if (disp == nullptr)
      return out;
    IMatchCollection *matches = nullptr;
    EXPECT_EQ(disp->QueryInterface(IID_IMatchCollection, reinterpret_cast<void **>(&matches)),
              S_OK);
    disp->Release();
    LONG count = -1;
    EXPECT_EQ(matches->get_Count(&count), S_OK);
    for (LONG i = 0; i < count; ++i) {
      IDispatch *item = nullptr;
      EXPECT_EQ(matches->get_Item(i, &item), S_OK);
      IMatch *match = nullptr;
      EXPECT_EQ(item->QueryInterface(IID_IMatch, reinterpret_cast<void **>(&match)), S_OK);
      item->Release();
      MatchInfo info{};
      BSTR value = nullptr;
      EXPECT_EQ(match->get_Value(&value), S_OK);
      info.value = Take(value);
      EXPECT_EQ(match->get_FirstIndex(&info.firstIndex), S_OK);
      EXPECT_EQ(match->get_Length(&info.length), S_OK);
      EXPECT_EQ(match->Release(), 0u);
      out.push_back(info);
    }
    EXPECT_EQ(matches->Release(), 0u);
    return out;
  }

  bool Test(const wchar_t *subject) {
    VARIANT_BOOL result = 7;
    EXPECT_EQ(re_->Test(Bstr(subject), &result), S_OK);
    EXPECT_TRUE(result == VARIANT_TRUE || result == VARIANT_FALSE);
    return result == VARIANT_TRUE;
  }

  std::wstring Replace(const wchar_t *subject, const wchar_t *replacement) {
    BSTR out = nullptr;
    EXPECT_EQ(re_->Replace(Bstr(subject), Bstr(replacement), &out), S_OK);
    return Take(out);
  }

  IRegExp *re_ = nullptr;
};

TEST_F(RegExpTest, ProgIdResolvesToTheRegExpClassAndTheRegistryWins) {
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(L"vbscript.regexp", &clsid), S_OK);
  EXPECT_TRUE(IsEqualGUID(clsid, CLSID_RegExp));
  EXPECT_EQ(CLSIDFromProgID(L"VBScript.NoSuchThing", &clsid), CO_E_CLASSSTRING);

  HKEY key = Create(HKEY_CLASSES_ROOT, L"VBScript.RegExp\\CLSID");
  ASSERT_EQ(SetString(key, nullptr, L"{11111111-2222-3333-4444-555555555555}"), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(CLSIDFromProgID(L"VBScript.RegExp", &clsid), S_OK);
  EXPECT_EQ(clsid.Data1, 0x11111111u);
}

TEST_F(RegExpTest, FirstMatchOnlyUnlessGlobal) {
  Configure(L"b+");
  auto first = Execute(L"abbcbd");
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].value, L"bb");
  EXPECT_EQ(first[0].firstIndex, 1);
  EXPECT_EQ(first[0].length, 2);

  Configure(L"b+", true);
  auto all = Execute(L"abbcbd");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].value, L"b");
  EXPECT_EQ(all[1].firstIndex, 4);

  Configure(L"z");
  EXPECT_TRUE(Execute(L"abc").empty());
  EXPECT_FALSE(Test(L"abc"));
}

TEST_F(RegExpTest, IgnoreCaseAndJavaScriptSyntax) {
  Configure(L"^abc$");
  EXPECT_FALSE(Test(L"ABC"));
  EXPECT_FALSE(Test(L"abc\n")); // $ is the end of the subject only
  Configure(L"^abc$", false, true);
  EXPECT_TRUE(Test(L"ABC"));
  Configure(L"\\u0041\\x42\\d");
  EXPECT_TRUE(Test(L"AB7"));
  Configure(L"(a)|\\1b"); // a reference to an unset group matches empty
  EXPECT_TRUE(Test(L"b"));
}

TEST_F(RegExpTest, EmptyMatchesAdvanceByOneCharacter) {
  Configure(L"x*", true);
  auto all = Execute(L"axb");
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].firstIndex, 0);
  EXPECT_EQ(all[0].length, 0);
  EXPECT_EQ(all[1].value, L"x");
  EXPECT_EQ(all[1].firstIndex, 1);
  EXPECT_EQ(all[2].firstIndex, 2);
  EXPECT_EQ(all[2].length, 0);
  EXPECT_EQ(all[3].firstIndex, 3);
  EXPECT_EQ(Replace(L"axb", L"-"), L"-a--b-");
}

TEST_F(RegExpTest, BadPatternIsASyntaxError) {
  const HRESULT syntaxError = static_cast<HRESULT>(0x800A1399);
  Configure(L"(ab");
  IDispatch *matches = reinterpret_cast<IDispatch *>(1);
  EXPECT_EQ(re_->Execute(Bstr(L"ab"), &matches), syntaxError);
  EXPECT_EQ(matches, nullptr);
  VARIANT_BOOL found = VARIANT_TRUE;
  EXPECT_EQ(re_->Test(Bstr(L"ab"), &found), syntaxError);
  EXPECT_EQ(found, VARIANT_FALSE);
  BSTR out = nullptr;
  EXPECT_EQ(re_->Replace(Bstr(L"ab"), Bstr(L"x"), &out), syntaxError);
  EXPECT_EQ(out, nullptr);
  // A new pattern recovers.
  Configure(L"ab");
  EXPECT_TRUE(Test(L"xab"));
}

TEST_F(RegExpTest, RunawayPatternFailsPromptly) {
  Configure(L"(a+)+b");
  std::wstring subject(40, L'a');
  subject += L"cb"; // the required 'b' is there, so the engine must backtrack
  auto start = std::chrono::steady_clock::now();
  VARIANT_BOOL found = VARIANT_TRUE;
  HRESULT hr = re_->Test(Bstr(subject), &found);
  IDispatch *matches = nullptr;
  HRESULT hrExecute = re_->Execute(Bstr(subject), &matches);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(FAILED(hr));
  EXPECT_TRUE(FAILED(hrExecute));
  EXPECT_EQ(matches, nullptr);
  EXPECT_EQ(found, VARIANT_FALSE);
  EXPECT_LT(elapsed, std::chrono::seconds(1));

  // Forty a's without a 'b' end promptly too, with no match or the same error.
  start = std::chrono::steady_clock::now();
  hr = re_->Test(Bstr(std::wstring(40, L'a')), &found);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(found, VARIANT_FALSE);
  EXPECT_TRUE(hr == S_OK || FAILED(hr));
}

TEST_F(RegExpTest, ReplaceSubstitutions) {
  Configure(L"(\\w+)@(\\w+)");
  EXPECT_EQ(Replace(L"mail joe@host now, ann@web", L"$2 at $1"), L"mail host at joe now, ann@web");
  Configure(L"(\\w+)@(\\w+)", true);
  EXPECT_EQ(Replace(L"joe@host ann@web", L"[$&]"), L"[joe@host] [ann@web]");
  EXPECT_EQ(Replace(L"joe@host", L"$$1 $3 $"), L"$1 $3 $"); // no group 3: kept as written
  Configure(L"a(x)?b", true);
  EXPECT_EQ(Replace(L"ab axb", L"<$1>"), L"<> <x>");
  Configure(L"q");
  EXPECT_EQ(Replace(L"no match", L"z"), L"no match");
}

TEST_F(RegExpTest, CollectionIndexesAndEnumerates) {
  Configure(L"\\d", true);
  IDispatch *disp = nullptr;
  ASSERT_EQ(re_->Execute(Bstr(L"a1b2c3"), &disp), S_OK);
  IMatchCollection *matches = nullptr;
  ASSERT_EQ(disp->QueryInterface(IID_IMatchCollection, reinterpret_cast<void **>(&matches)), S_OK);
  disp->Release();
  IDispatch *item = reinterpret_cast<IDispatch *>(1);
  EXPECT_EQ(matches->get_Item(3, &item), E_INVALIDARG);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(matches->get_Item(-1, &item), E_INVALIDARG);
  EXPECT_EQ(matches->get_Count(nullptr), E_POINTER);

  IUnknown *unknown = nullptr;
  ASSERT_EQ(matches->get__NewEnum(&unknown), S_OK);
  IEnumVARIANT *items = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void **>(&items)), S_OK);
  unknown->Release();
  VARIANT got[4];
  ULONG fetched = 0;
  EXPECT_EQ(items->Next(4, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 3u);
  for (ULONG i = 0; i < fetched; ++i) {
    ASSERT_EQ(got[i].vt, VT_DISPATCH);
    IMatch *match = nullptr;
    ASSERT_EQ(got[i].pdispVal->QueryInterface(IID_IMatch, reinterpret_cast<void **>(&match)), S_OK);
    LONG index = -1;
    match->get_FirstIndex(&index);
    EXPECT_EQ(index, static_cast<LONG>(2 * i + 1));
    match->Release();
    VariantClear(&got[i]);
  }
  EXPECT_EQ(items->Reset(), S_OK);
  EXPECT_EQ(items->Skip(5), S_FALSE);
  EXPECT_EQ(items->Release(), 0u);
  EXPECT_EQ(matches->Release(), 0u);
}

// A script engine reaches every member by name.
TEST_F(RegExpTest, LateBoundCallsByName) {
  auto id = [this](const wchar_t *name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID dispid = 0;
    EXPECT_EQ(re_->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid), S_OK) << name;
    return dispid;
  };
  EXPECT_EQ(id(L"pattern"), 10001);
  EXPECT_EQ(id(L"GLOBAL"), 10003);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Multiline")};
  DISPID dispid = 0;
  EXPECT_EQ(re_->GetIDsOfNames(IID_NULL, unknown, 1, 0, &dispid), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispid, DISPID_UNKNOWN);

  Var pattern(L"o+");
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS put{&pattern.v, &putId, 1, 1};
  ASSERT_EQ(re_->Invoke(id(L"Pattern"), IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                        nullptr),
            S_OK);
  Var global = Var::Bool(true);
  DISPPARAMS putGlobal{&global.v, &putId, 1, 1};
  ASSERT_EQ(re_->Invoke(id(L"Global"), IID_NULL, 0, DISPATCH_PROPERTYPUT, &putGlobal, nullptr,
                        nullptr, nullptr),
            S_OK);

  Var subject(L"foo boo");
  DISPPARAMS call{&subject.v, nullptr, 1, 0};
  Var tested;
  ASSERT_EQ(
      re_->Invoke(id(L"test"), IID_NULL, 0, DISPATCH_METHOD, &call, &tested.v, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(tested.v.vt, VT_BOOL);
  EXPECT_EQ(tested.v.boolVal, VARIANT_TRUE);

  Var executed;
  ASSERT_EQ(re_->Invoke(id(L"Execute"), IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &call,
                        &executed.v, nullptr, nullptr),
            S_OK);
  ASSERT_EQ(executed.v.vt, VT_DISPATCH);
  IDispatch *matches = executed.v.pdispVal;
  LPOLESTR countName[] = {const_cast<LPOLESTR>(L"count")};
  DISPID countId = 0;
  ASSERT_EQ(matches->GetIDsOfNames(IID_NULL, countName, 1, 0, &countId), S_OK);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Var count;
  ASSERT_EQ(matches->Invoke(countId, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &count.v, nullptr,
                            nullptr),
            S_OK);
  EXPECT_EQ(count.v.lVal, 2);

  Var index(static_cast<LONG>(1));
  DISPPARAMS itemArgs{&index.v, nullptr, 1, 0};
  Var item;
  ASSERT_EQ(matches->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &itemArgs, &item.v,
                            nullptr, nullptr),
            S_OK);
  ASSERT_EQ(item.v.vt, VT_DISPATCH);
  LPOLESTR indexName[] = {const_cast<LPOLESTR>(L"firstindex")};
  DISPID firstIndexId = 0;
  ASSERT_EQ(item.v.pdispVal->GetIDsOfNames(IID_NULL, indexName, 1, 0, &firstIndexId), S_OK);
  Var firstIndex;
  ASSERT_EQ(item.v.pdispVal->Invoke(firstIndexId, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                    &firstIndex.v, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(firstIndex.v.lVal, 5);
  Var value;
  ASSERT_EQ(item.v.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                    &value.v, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(value.Text(), L"oo");

  EXPECT_EQ(
      re_->Invoke(id(L"Test"), IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
      DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(re_->Invoke(4242, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

} // namespace

#include <algorithm>
#include <vector>

#include "IdTestSupport.h"

namespace host::test {
namespace {

HeldRef<IWebRunTimeID> NewId(LONG b, LONG f, LONG o, LONG t) {
  auto id = Make<IWebRunTimeID>(CreateWebRunTimeID);
  EXPECT_EQ(S_OK, id->SetIdFromIds(b, f, o, t));
  return id;
}

WebIdParts PartsOf(IWebRunTimeID *id) {
  WebIdParts parts;
  EXPECT_EQ(S_OK, ReadWebIdParts(id, parts));
  return parts;
}

std::wstring TextOf(IWebRunTimeID *id) {
  Bstr text;
  EXPECT_EQ(S_OK, id->GetIdAsString(text.Out()));
  return text.Text();
}

TEST(WebRunTimeID, SettersAndGetters) {
  auto id = Make<IWebRunTimeID>(CreateWebRunTimeID);
  EXPECT_EQ(S_OK, id->IsInvalid());
  EXPECT_EQ(S_OK, id->SetInnerStdWinId(7));
  EXPECT_EQ(S_OK, id->SetInnerFrameId(8));
  EXPECT_EQ(S_OK, id->SetInnerObjId(9));
  EXPECT_EQ(S_OK, id->SetInnerObjTypeId(-4));
  EXPECT_EQ((WebIdParts{7, 8, 9, -4}), PartsOf(id.Get()));
  EXPECT_EQ(S_FALSE, id->IsInvalid());
  EXPECT_EQ(S_OK, id->Reset());
  EXPECT_EQ(S_OK, id->IsInvalid());
  EXPECT_EQ(S_FALSE, id->IsValidStdWinId());

  id->SetIdFromIds(1, 0, 3, 0);
  EXPECT_EQ(S_OK, id->IsValidStdWinId());
  EXPECT_EQ(S_FALSE, id->IsValidFrameId());
  EXPECT_EQ(S_OK, id->IsValidObjId());
}

TEST(WebRunTimeID, NullOutPointers) {
  auto id = NewId(1, 2, 3, 4);
  EXPECT_EQ(E_POINTER, id->GetInnerObjTypeId(nullptr));
  EXPECT_EQ(E_POINTER, id->GetInnerStdWinId(nullptr));
  EXPECT_EQ(E_POINTER, id->GetIdAsString(nullptr));
  EXPECT_EQ(E_POINTER, id->GetIdAsRTID(nullptr));
  EXPECT_EQ(E_POINTER, id->GetStdWinId(nullptr));
  EXPECT_EQ(E_POINTER, id->GetFrameId(nullptr));
  EXPECT_EQ(E_POINTER, id->Compare(id.Get(), nullptr));
  EXPECT_EQ(E_POINTER, id->SetId(nullptr));
  EXPECT_EQ(E_POINTER, id->IsEqual(nullptr));
  EXPECT_EQ((WebIdParts{1, 2, 3, 4}), PartsOf(id.Get()));
}

TEST(WebRunTimeID, TextRoundTripsAndRejectsMalformed) {
  auto id = NewId(12, 3, 45, -3);
  EXPECT_EQ(L"12;3;45;-3", TextOf(id.Get()));
  auto extremes = NewId(INT32_MIN, INT32_MAX, 0, -1);
  auto copy = Make<IWebRunTimeID>(CreateWebRunTimeID);
  Bstr text(TextOf(extremes.Get()));
  EXPECT_EQ(S_OK, copy->SetIdFromString(text.value));
  EXPECT_EQ(S_OK, copy->IsEqual(extremes.Get()));

  for (const wchar_t *bad :
       {L"", L"1;2;3", L"1;2;3;4;5", L"1;2;;4", L"1;2;3;4;", L" 1;2;3;4", L"1;2;3;x", L"1;2;3;4 ",
        L"+1;2;3;4", L"1;2;3;2147483648", L"1;2;3;-2147483649", L"-;2;3;4", L"1,2,3,4",
        L"99999999999999999999;1;1;1"}) {
    Bstr input(bad);
    EXPECT_EQ(E_INVALIDARG, id->SetIdFromString(input.value)) << bad;
  }
  Bstr nul(std::wstring(L"1;2;3;4\0", 8));
  EXPECT_EQ(E_INVALIDARG, id->SetIdFromString(nul.value));
  EXPECT_EQ(L"12;3;45;-3", TextOf(id.Get())); // unchanged by the failures
}

TEST(WebRunTimeID, PartialIdsAreIndependentCopies) {
  auto id = NewId(5, 6, 7, 8);
  HeldRef<IWebRunTimeID> win, frame;
  ASSERT_EQ(S_OK, id->GetStdWinId(win.Out()));
  ASSERT_EQ(S_OK, id->GetFrameId(frame.Out()));
  EXPECT_EQ((WebIdParts{5, 0, 0, 0}), PartsOf(win.Get()));
  EXPECT_EQ((WebIdParts{5, 6, 0, 0}), PartsOf(frame.Get()));
  frame->SetInnerStdWinId(99);
  EXPECT_EQ((WebIdParts{5, 6, 7, 8}), PartsOf(id.Get()));

  auto copy = Make<IWebRunTimeID>(CreateWebRunTimeID);
  ASSERT_EQ(S_OK, copy->SetId(id.Get()));
  copy->SetInnerObjId(1);
  EXPECT_EQ(7, PartsOf(id.Get()).object);
}

TEST(WebRunTimeID, OrderIsTotalAndAgreesWithIsEqual) {
  std::vector<HeldRef<IWebRunTimeID>> ids;
  const LONG values[] = {INT32_MIN, -3, 0, 1, INT32_MAX};
  for (LONG b : {0, 1})
    for (LONG f : {0, 2})
      for (LONG o : values)
        for (LONG t : {-4, -3, 0, 5})
          ids.push_back(NewId(b, f, o, t));
  ids.push_back(NewId(1, 2, 1, 5)); // a duplicate of one above

  for (auto &a : ids) {
    WebIdParts pa = PartsOf(a.Get());
    for (auto &b : ids) {
      WebIdParts pb = PartsOf(b.Get());
      int ab = 9, ba = 9;
      ASSERT_EQ(S_OK, a->Compare(b.Get(), &ab));
      ASSERT_EQ(S_OK, b->Compare(a.Get(), &ba));
      EXPECT_EQ(ab, -ba);
      EXPECT_EQ(ab == 0, a->IsEqual(b.Get()) == S_OK);
      auto key = [](const WebIdParts &p) { return std::tie(p.browser, p.frame, p.object, p.type); };
      EXPECT_EQ(ab < 0, key(pa) < key(pb));
      bool sameButType = pa.browser == pb.browser && pa.frame == pb.frame && pa.object == pb.object;
      EXPECT_EQ(sameButType, a->CompareNoType(b.Get()) == S_OK);
    }
  }
  // Transitivity over a sort.
  std::sort(ids.begin(), ids.end(), [](const auto &a, const auto &b) {
    int c = 0;
    a->Compare(b.Get(), &c);
    return c < 0;
  });
  for (size_t i = 0; i + 1 < ids.size(); ++i)
    for (size_t j = i + 1; j < ids.size(); ++j) {
      int c = 9;
      ids[i]->Compare(ids[j].Get(), &c);
      EXPECT_LE(c, 0);
    }
}

TEST(WebRunTimeID, FiltersTellViewLinkInnerObjects) {
  struct Case {
    WebIdParts parts;
    bool all, objects, regular, framesOrStd;
  } cases[] = {
      {{1, 2, 3, 0}, true, true, true, false},   {{1, 2, 3, 7}, true, true, true, false},
      {{1, 2, 3, -3}, true, true, false, false}, {{1, 2, 3, -4}, true, true, false, false},
      {{1, 2, 0, 0}, true, false, false, true},  {{1, 0, 0, 0}, true, false, false, true},
      {{1, 2, 0, -3}, true, false, false, true},
  };
  for (const Case &c : cases) {
    auto id = NewId(c.parts.browser, c.parts.frame, c.parts.object, c.parts.type);
    std::wstring at = TextOf(id.Get());
    EXPECT_EQ(c.all ? S_OK : S_FALSE, id->IsFilterMatch(ALL_KINDS_OF_OBJECTS)) << at;
    EXPECT_EQ(c.objects ? S_OK : S_FALSE, id->IsFilterMatch(ONLY_OBJECTS)) << at;
    EXPECT_EQ(c.regular ? S_OK : S_FALSE, id->IsFilterMatch(ONLY_REGULAR_OBJECTS)) << at;
    EXPECT_EQ(c.framesOrStd ? S_OK : S_FALSE, id->IsFilterMatch(ONLY_FRAMES_OR_STD_OBJECT)) << at;
    EXPECT_EQ(E_INVALIDARG, id->IsFilterMatch(static_cast<WEB_ID_FILTERS>(3)));
  }
}

TEST(WebRunTimeID, ConvertsToAndFromRuntimeID) {
  auto id = NewId(12, 3, 45, -3);
  HeldRef<IRuntimeID> rtid;
  ASSERT_EQ(S_OK, id->GetIdAsRTID(rtid.Out()));
  unsigned int size = 0;
  rtid->get_Size(&size);
  EXPECT_EQ(4u, size);
  Bstr type(L"TYPE"), browser(L"browser");
  LONG value = 0;
  EXPECT_EQ(S_OK, rtid->get_lValue(type.value, &value));
  EXPECT_EQ(-3, value);

  auto back = Make<IWebRunTimeID>(CreateWebRunTimeID);
  ASSERT_EQ(S_OK, back->SetIdFromRTID(rtid.Get()));
  EXPECT_EQ(S_OK, back->IsEqual(id.Get()));

  // Names it lacks are 0; a value that is no integer is refused.
  auto partial = Make<IRuntimeID>(CreateRuntimeID);
  partial->put_lValue(browser.value, 4);
  ASSERT_EQ(S_OK, back->SetIdFromRTID(partial.Get()));
  EXPECT_EQ((WebIdParts{4, 0, 0, 0}), PartsOf(back.Get()));
  Bstr word(L"four");
  partial->put_BSTRValue(browser.value, word.value);
  EXPECT_EQ(E_INVALIDARG, back->SetIdFromRTID(partial.Get()));
  auto empty = Make<IRuntimeID>(CreateRuntimeID);
  EXPECT_EQ(E_INVALIDARG, back->SetIdFromRTID(empty.Get()));
  EXPECT_EQ(E_POINTER, back->SetIdFromRTID(nullptr));
  EXPECT_EQ((WebIdParts{4, 0, 0, 0}), PartsOf(back.Get()));
}

TEST(WebRunTimeID, SetFromVariantKinds) {
  auto id = Make<IWebRunTimeID>(CreateWebRunTimeID);
  Variant v;

  v.value.vt = VT_BSTR;
  v.value.bstrVal = SysAllocString(L"1;2;3;-4");
  EXPECT_EQ(S_OK, id->SetIdFromVariant(v.value));
  EXPECT_EQ((WebIdParts{1, 2, 3, -4}), PartsOf(id.Get()));
  VariantClear(&v.value);

  // By reference.
  BSTR inner = SysAllocString(L"5;6;7;8");
  VARIANT ref;
  ref.vt = VT_BYREF | VT_BSTR;
  ref.pbstrVal = &inner;
  EXPECT_EQ(S_OK, id->SetIdFromVariant(ref));
  EXPECT_EQ((WebIdParts{5, 6, 7, 8}), PartsOf(id.Get()));
  SysFreeString(inner);

  v.value.vt = VT_I4;
  v.value.lVal = 77;
  EXPECT_EQ(S_OK, id->SetIdFromVariant(v.value));
  EXPECT_EQ((WebIdParts{0, 0, 77, 0}), PartsOf(id.Get()));

  SAFEARRAY *longs = SafeArrayCreateVector(VT_I4, 1, 4);
  for (LONG i = 1; i <= 4; ++i) {
    LONG value = i * 10;
    SafeArrayPutElement(longs, &i, &value);
  }
  v.value.vt = VT_ARRAY | VT_I4;
  v.value.parray = longs;
  EXPECT_EQ(S_OK, id->SetIdFromVariant(v.value));
  EXPECT_EQ((WebIdParts{10, 20, 30, 40}), PartsOf(id.Get()));
  VariantClear(&v.value);

  SAFEARRAY *variants = SafeArrayCreateVector(VT_VARIANT, 0, 4);
  for (LONG i = 0; i < 4; ++i) {
    VARIANT element;
    element.vt = i == 3 ? VT_R8 : VT_I2;
    if (i == 3)
      element.dblVal = -3.0;
    else
      element.iVal = static_cast<SHORT>(i + 1);
    SafeArrayPutElement(variants, &i, &element);
  }
  v.value.vt = VT_ARRAY | VT_VARIANT;
  v.value.parray = variants;
  EXPECT_EQ(S_OK, id->SetIdFromVariant(v.value));
  EXPECT_EQ((WebIdParts{1, 2, 3, -3}), PartsOf(id.Get()));
  // A fractional element is no integer.
  LONG last = 3;
  VARIANT half;
  half.vt = VT_R8;
  half.dblVal = 2.5;
  SafeArrayPutElement(variants, &last, &half);
  EXPECT_EQ(E_INVALIDARG, id->SetIdFromVariant(v.value));
  VariantClear(&v.value);

  // Three or five elements, or strings, are refused.
  for (ULONG count : {3u, 5u}) {
    v.value.vt = VT_ARRAY | VT_I4;
    v.value.parray = SafeArrayCreateVector(VT_I4, 0, count);
    EXPECT_EQ(E_INVALIDARG, id->SetIdFromVariant(v.value)) << count;
    VariantClear(&v.value);
  }
  v.value.vt = VT_ARRAY | VT_BSTR;
  v.value.parray = SafeArrayCreateVector(VT_BSTR, 0, 4);
  EXPECT_EQ(E_INVALIDARG, id->SetIdFromVariant(v.value));
  VariantClear(&v.value);

  // Other ids as objects.
  auto other = NewId(9, 9, 9, -4);
  v.value.vt = VT_UNKNOWN;
  v.value.punkVal = other.Get();
  other->AddRef();
  EXPECT_EQ(S_OK, id->SetIdFromVariant(v.value));
  EXPECT_EQ(S_OK, id->IsEqual(other.Get()));
  VariantClear(&v.value);

  HeldRef<IRuntimeID> rtid;
  NewId(3, 1, 4, 1)->GetIdAsRTID(rtid.Out());
  v.value.vt = VT_UNKNOWN;
  v.value.punkVal = rtid.Get();
  rtid->AddRef();
  EXPECT_EQ(S_OK, id->SetIdFromVariant(v.value));
  EXPECT_EQ((WebIdParts{3, 1, 4, 1}), PartsOf(id.Get()));
  VariantClear(&v.value);

  // Anything else is refused and leaves the id alone, and the object given
  // keeps its reference count.
  CountingUnknown stranger;
  v.value.vt = VT_UNKNOWN;
  v.value.punkVal = &stranger;
  EXPECT_EQ(E_INVALIDARG, id->SetIdFromVariant(v.value));
  EXPECT_EQ(1, stranger.refs);
  v.value.vt = VT_EMPTY;
  EXPECT_EQ(E_INVALIDARG, id->SetIdFromVariant(v.value));
  v.value.vt = VT_UNKNOWN;
  v.value.punkVal = nullptr;
  EXPECT_EQ(E_INVALIDARG, id->SetIdFromVariant(v.value));
  v.value.vt = VT_EMPTY;
  EXPECT_EQ((WebIdParts{3, 1, 4, 1}), PartsOf(id.Get()));
}

TEST(WebRunTimeID, QueryInterfaceAndCounting) {
  HeldRef<IUnknown> unknown;
  ASSERT_EQ(S_OK,
            CreateWebRunTimeID(nullptr, IID_IUnknown, reinterpret_cast<void **>(unknown.Out())));
  HeldRef<IWebRunTimeID> id;
  ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IWebRunTimeID, reinterpret_cast<void **>(id.Out())));
  void *none = &none;
  EXPECT_EQ(E_NOINTERFACE, unknown->QueryInterface(IID_IRuntimeID, &none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(3u, id->AddRef());
  EXPECT_EQ(2u, id->Release());
  CountingUnknown outer;
  void *object = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, CreateWebRunTimeID(&outer, IID_IUnknown, &object));
  EXPECT_EQ(1, outer.refs);
}

} // namespace
} // namespace host::test

#include <chrono>

#include "ValueTestSupport.h"

namespace host::test {
namespace {

TEST(WebVariantTest, ConvertsBetweenScalarsAndRejectsMismatches) {
  auto v = NewVariant();
  ASSERT_EQ(v->put_long(42), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_LONG);
  EXPECT_EQ(StringOf(v.Get()), L"42");
  double d = 0;
  EXPECT_EQ(v->get_double(&d), S_OK);
  EXPECT_EQ(d, 42.0);
  LONG b = 0;
  EXPECT_EQ(v->get_bool(&b), S_OK);
  EXPECT_EQ(b, 1);

  ASSERT_EQ(v->put_bool(7), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_BOOL);
  LONG l = 0;
  EXPECT_EQ(v->get_long(&l), S_OK);
  EXPECT_EQ(l, 1);
  EXPECT_EQ(StringOf(v.Get()), L"True");

  Bstr text(L"3.5");
  ASSERT_EQ(v->put_string(text), S_OK);
  EXPECT_EQ(v->get_double(&d), S_OK);
  EXPECT_EQ(d, 3.5);
  Bstr word(L"True");
  ASSERT_EQ(v->put_string(word), S_OK);
  EXPECT_EQ(v->get_bool(&b), S_OK);
  EXPECT_EQ(b, 1);

  Bstr letters(L"abc");
  ASSERT_EQ(v->put_string(letters), S_OK);
  l = 99;
  EXPECT_EQ(v->get_long(&l), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(l, 0);
  tagPOINT pt{5, 5};
  EXPECT_EQ(v->get_point(&pt), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(pt.x, 0);

  ASSERT_EQ(v->put_point({1, 2}), S_OK);
  EXPECT_EQ(v->get_long(&l), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(v->SetEmpty(), S_OK);
  Bstr none;
  EXPECT_EQ(v->get_string(none.Out()), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(static_cast<BSTR>(none), nullptr);
}

TEST(WebVariantTest, ToVariantAndPutVariantRoundTrip) {
  auto v = NewVariant();
  auto w = NewVariant();
  ASSERT_EQ(v->put_rect({1, 2, 3, 4}), S_OK);
  VariantHolder out;
  ASSERT_EQ(v->ToVariant(out.Ptr()), S_OK);
  ASSERT_EQ(out->vt, VT_ARRAY | VT_I4);
  LONG upper = 0;
  EXPECT_EQ(SafeArrayGetUBound(out->parray, 1, &upper), S_OK);
  EXPECT_EQ(upper, 3);
  ASSERT_EQ(w->put_variant(*out), S_OK);
  EXPECT_EQ(TypeOf(w.Get()), WEB_AV_RECT);
  tagRECT rc{};
  EXPECT_EQ(w->get_rect(&rc), S_OK);
  EXPECT_EQ(rc.left, 1);
  EXPECT_EQ(rc.bottom, 4);
  // The caller's VARIANT is left alone.
  EXPECT_EQ(out->vt, VT_ARRAY | VT_I4);

  ASSERT_EQ(v->put_bool(1), S_OK);
  VariantHolder flag;
  ASSERT_EQ(v->ToVariant(flag.Ptr()), S_OK);
  EXPECT_EQ(flag->vt, VT_BOOL);
  EXPECT_EQ(flag->boolVal, VARIANT_TRUE);

  VARIANT small;
  small.vt = VT_I2;
  small.iVal = -7;
  ASSERT_EQ(w->put_variant(small), S_OK);
  EXPECT_EQ(TypeOf(w.Get()), WEB_AV_LONG);

  LONG target = 12;
  VARIANT byRef;
  byRef.vt = VT_BYREF | VT_I4;
  byRef.plVal = &target;
  ASSERT_EQ(w->put_variant(byRef), S_OK);
  target = 13; // a copy was taken
  LONG l = 0;
  EXPECT_EQ(w->get_long(&l), S_OK);
  EXPECT_EQ(l, 12);

  VARIANT date;
  date.vt = VT_DATE;
  date.date = 40183.0; // 5 Jan 2010
  ASSERT_EQ(w->put_variant(date), S_OK);
  EXPECT_EQ(TypeOf(w.Get()), WEB_AV_PACKABLE);
  EXPECT_FALSE(StringOf(w.Get()).empty());
  VariantHolder back;
  ASSERT_EQ(w->ToVariant(back.Ptr()), S_OK);
  EXPECT_EQ(back->vt, VT_DATE);
}

TEST(WebVariantTest, ChangeTypeConvertsInPlaceOrLeavesTheValue) {
  auto v = NewVariant();
  Bstr twelve(L" 12");
  ASSERT_EQ(v->put_string(twelve), S_OK);
  ASSERT_EQ(v->ChangeType(WEB_AV_LONG), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_LONG);
  ASSERT_EQ(v->ChangeType(WEB_AV_STRING), S_OK);
  EXPECT_EQ(StringOf(v.Get()), L"12");

  Bstr word(L"twelve");
  ASSERT_EQ(v->put_string(word), S_OK);
  EXPECT_EQ(v->ChangeType(WEB_AV_DOUBLE), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_STRING);
  EXPECT_EQ(StringOf(v.Get()), L"twelve");
  EXPECT_EQ(v->ChangeType(static_cast<WEB_AV_TYPE>(11)), E_INVALIDARG);
  EXPECT_EQ(v->ChangeType(WEB_AV_POINT), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(v->ChangeType(WEB_AV_EMPTY), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_EMPTY);

  ASSERT_EQ(v->SetError(WEB_E_NOT_FOUND), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_ERROR);
  EXPECT_EQ(v->SetError(static_cast<WEB_AV_ERR_CODE>(7)), E_INVALIDARG);
}

TEST(WebVariantTest, CompareStringHonoursSpacesAndCase) {
  auto v = NewVariant();
  Bstr stored(L"  Hello World");
  ASSERT_EQ(v->put_string(stored), S_OK);
  Bstr other(L"hello world");
  EXPECT_EQ(v->CompareString(other, 1, 1), S_OK);
  EXPECT_EQ(v->CompareString(other, 0, 1), S_FALSE);
  EXPECT_EQ(v->CompareString(other, 1, 0), S_FALSE);
  Bstr exact(L"  Hello World");
  EXPECT_EQ(v->CompareString(exact, 0, 0), S_OK);
  Bstr longer(L"hello worlds");
  EXPECT_EQ(v->CompareString(longer, 1, 1), S_FALSE);

  auto w = NewVariant();
  Bstr spaced(L"\t HELLO WORLD");
  ASSERT_EQ(w->put_string(spaced), S_OK);
  EXPECT_EQ(v->Compare(w.Get(), 1, 1), S_OK);
  EXPECT_EQ(v->Compare(w.Get(), 0, 0), S_FALSE);
  EXPECT_EQ(v->Compare(nullptr, 0, 0), E_INVALIDARG);
}

TEST(WebVariantTest, CompareConvertsToTheStoredKind) {
  auto v = NewVariant();
  Bstr five(L"5");
  ASSERT_EQ(v->put_string(five), S_OK);
  EXPECT_EQ(v->CompareLong(5), S_OK);
  EXPECT_EQ(v->CompareLong(6), S_FALSE);

  ASSERT_EQ(v->put_long(1), S_OK);
  EXPECT_EQ(v->CompareDouble(1.0), S_OK);
  EXPECT_EQ(v->CompareDouble(1.4), S_FALSE); // no rounding before comparing
  Bstr one(L"1");
  EXPECT_EQ(v->CompareString(one, 0, 0), S_OK);
  Bstr word(L"one");
  EXPECT_EQ(v->CompareString(word, 0, 0), S_FALSE);
  EXPECT_EQ(v->CompareBool(1), S_OK);

  ASSERT_EQ(v->put_bool(0), S_OK);
  EXPECT_EQ(v->CompareBool(0), S_OK);
  EXPECT_EQ(v->CompareLong(3), S_FALSE);
  Bstr falseText(L"False");
  EXPECT_EQ(v->CompareString(falseText, 0, 0), S_OK);

  ASSERT_EQ(v->put_point({3, 4}), S_OK);
  EXPECT_EQ(v->ComparePoint({3, 4}), S_OK);
  EXPECT_EQ(v->ComparePoint({4, 3}), S_FALSE);
  EXPECT_EQ(v->CompareRect({3, 4, 0, 0}), S_FALSE);

  ASSERT_EQ(v->SetEmpty(), S_OK);
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(v->CompareVariant(empty), S_OK);
  EXPECT_EQ(v->CompareLong(0), S_FALSE);
}

TEST(WebVariantTest, RegularExpressionsMatchTheWholeText) {
  auto pattern = NewVariant();
  Bstr abc(L"ab+c");
  ASSERT_EQ(pattern->put_string(abc), S_OK);
  Bstr match(L"abbbc"), partial(L"xabbbcx"), upper(L"ABC"), spaced(L"   abc");
  EXPECT_EQ(pattern->CompareRegExpBstr(match, 0, 0), S_OK);
  EXPECT_EQ(pattern->CompareRegExpBstr(partial, 0, 0), S_FALSE);
  EXPECT_EQ(pattern->CompareRegExpBstr(upper, 0, 0), S_FALSE);
  EXPECT_EQ(pattern->CompareRegExpBstr(upper, 0, 1), S_OK);
  EXPECT_EQ(pattern->CompareRegExpBstr(spaced, 0, 0), S_FALSE);
  EXPECT_EQ(pattern->CompareRegExpBstr(spaced, 1, 0), S_OK);

  Bstr alternation(L"cat|dog");
  ASSERT_EQ(pattern->put_string(alternation), S_OK);
  Bstr dog(L"dog"), dogs(L"dogs");
  EXPECT_EQ(pattern->CompareRegExpBstr(dog, 0, 0), S_OK);
  EXPECT_EQ(pattern->CompareRegExpBstr(dogs, 0, 0), S_FALSE);

  auto text = NewVariant();
  ASSERT_EQ(text->put_string(dog), S_OK);
  EXPECT_EQ(pattern->CompareRegExp(text.Get(), 0, 0), S_OK);

  Bstr broken(L"(ab");
  ASSERT_EQ(pattern->put_string(broken), S_OK);
  EXPECT_EQ(pattern->CompareRegExpBstr(broken, 0, 0), S_FALSE);
}

TEST(WebVariantTest, RunawayPatternsAnswerNotEqualPromptly) {
  auto pattern = NewVariant();
  std::wstring as(40, L'a');
  Bstr subject(as.c_str());
  Bstr subjectBang((as + L"!").c_str());
  auto start = std::chrono::steady_clock::now();
  Bstr nested(L"(a+)+b");
  ASSERT_EQ(pattern->put_string(nested), S_OK);
  EXPECT_EQ(pattern->CompareRegExpBstr(subject, 0, 0), S_FALSE);
  // No required literal here, so only the match limit stops the backtracking.
  Bstr unbounded(L"(a|aa)+");
  ASSERT_EQ(pattern->put_string(unbounded), S_OK);
  EXPECT_EQ(pattern->CompareRegExpBstr(subjectBang, 0, 0), S_FALSE);
  EXPECT_EQ(pattern->CompareRegExpBstr(subject, 0, 0), S_OK);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(WebVariantTest, CleanSpecialCharsRemovesEscapingBackslashes) {
  auto v = NewVariant();
  Bstr escaped(L"a\\.b\\\\c\\d\\(e\\)");
  ASSERT_EQ(v->put_string(escaped), S_OK);
  ASSERT_EQ(v->CleanSpecialChars(), S_OK);
  EXPECT_EQ(StringOf(v.Get()), L"a.b\\c\\d(e)");
  ASSERT_EQ(v->put_long(3), S_OK);
  EXPECT_EQ(v->CleanSpecialChars(), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_LONG);
}

TEST(WebVariantTest, UnknownIsHeldByIdentityAndReleased) {
  CountingUnknown probe, other;
  {
    auto v = NewVariant();
    ASSERT_EQ(v->put_unknown(&probe), S_OK);
    EXPECT_EQ(probe.refs, 2);
    EXPECT_EQ(TypeOf(v.Get()), WEB_AV_PACKABLE);
    EXPECT_EQ(v->CompareUnknown(&probe), S_OK);
    EXPECT_EQ(v->CompareUnknown(&other), S_FALSE);
    {
      ComPtr<IUnknown> got;
      ASSERT_EQ(v->get_unknown(got.Out()), S_OK);
      EXPECT_EQ(got.Get(), &probe);
      EXPECT_EQ(probe.refs, 3);
      auto copy = NewVariant();
      ASSERT_EQ(copy->Set(v.Get()), S_OK);
      EXPECT_EQ(copy->Compare(v.Get(), 0, 0), S_OK);
      EXPECT_EQ(probe.refs, 4);
    }
    EXPECT_EQ(probe.refs, 2);
    ASSERT_EQ(v->put_unknown(&other), S_OK);
    EXPECT_EQ(probe.refs, 1);
    EXPECT_EQ(other.refs, 2);
  }
  EXPECT_EQ(other.refs, 1);
}

TEST(WebVariantTest, RuntimeIdsAreCopiedInAndOut) {
  auto id = NewRtid(1, 2, 3, -3);
  auto v = NewVariant();
  ASSERT_EQ(v->put_RTID(id.Get()), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_ID);
  EXPECT_EQ(v->CompareWebRTID(id.Get()), S_OK);
  ASSERT_EQ(id->SetInnerObjId(9), S_OK); // the stored copy does not follow
  EXPECT_EQ(v->CompareWebRTID(id.Get()), S_FALSE);

  ComPtr<IWebRunTimeID> out;
  ASSERT_EQ(v->get_RTID(out.Out()), S_OK);
  ASSERT_TRUE(out);
  EXPECT_NE(out.Get(), id.Get());
  ASSERT_EQ(out->SetInnerObjId(9), S_OK); // nor does it follow the handed-out one
  auto original = NewRtid(1, 2, 3, -3);
  EXPECT_EQ(v->CompareWebRTID(original.Get()), S_OK);
  EXPECT_EQ(v->CompareWebRTID(nullptr), E_INVALIDARG);

  // The string form converts back to an id.
  auto text = NewVariant();
  Bstr form;
  ASSERT_EQ(v->get_string(form.Out()), S_OK);
  ASSERT_EQ(text->put_string(form), S_OK);
  ASSERT_EQ(text->ChangeType(WEB_AV_ID), S_OK);
  EXPECT_EQ(text->CompareWebRTID(original.Get()), S_OK);

  VariantHolder asVariant;
  ASSERT_EQ(v->ToVariant(asVariant.Ptr()), S_OK);
  ASSERT_EQ(asVariant->vt, VT_UNKNOWN);
  auto back = NewVariant();
  ASSERT_EQ(back->put_variant(*asVariant), S_OK);
  EXPECT_EQ(TypeOf(back.Get()), WEB_AV_ID);
  EXPECT_EQ(back->Compare(v.Get(), 0, 0), S_OK);
}

TEST(WebVariantTest, EventIdsAreCopiedInAndOut) {
  auto event = Make<IWebEventID>(CreateWebEventID);
  Bstr click(L"onclick");
  ASSERT_EQ(event->Set(nullptr, 10, 20, click, nullptr, 0), S_OK);
  auto v = NewVariant();
  ASSERT_EQ(v->put_eventId(event.Get()), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_EVENT_ID);
  EXPECT_EQ(v->CompareEventId(event.Get()), S_OK);
  Bstr blur(L"onblur");
  ASSERT_EQ(event->Set(nullptr, 10, 20, blur, nullptr, 0), S_OK);
  EXPECT_EQ(v->CompareEventId(event.Get()), S_FALSE);

  ComPtr<IWebEventID> out;
  ASSERT_EQ(v->get_eventId(out.Out()), S_OK);
  ASSERT_TRUE(out);
  EXPECT_NE(out.Get(), event.Get());
  EXPECT_EQ(v->CompareEventId(out.Get()), S_OK);
  EXPECT_EQ(v->put_eventId(nullptr), E_INVALIDARG);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_EVENT_ID);
  LONG l = 0;
  EXPECT_EQ(v->get_long(&l), DISP_E_TYPEMISMATCH);
}

TEST(WebVariantTest, SetCopiesAndNullOutPointersAreRefused) {
  auto a = NewVariant();
  auto b = NewVariant();
  Bstr text(L"abc");
  ASSERT_EQ(a->put_string(text), S_OK);
  ASSERT_EQ(b->Set(a.Get()), S_OK);
  ASSERT_EQ(a->put_long(5), S_OK);
  EXPECT_EQ(StringOf(b.Get()), L"abc");
  EXPECT_EQ(b->Set(b.Get()), S_OK);
  EXPECT_EQ(StringOf(b.Get()), L"abc");
  EXPECT_EQ(b->Set(nullptr), E_INVALIDARG);

  EXPECT_EQ(a->get_long(nullptr), E_POINTER);
  EXPECT_EQ(a->get_string(nullptr), E_POINTER);
  EXPECT_EQ(a->get_RTID(nullptr), E_POINTER);
  EXPECT_EQ(a->GetType(nullptr), E_POINTER);
  EXPECT_EQ(a->ToVariant(nullptr), E_POINTER);
}

} // namespace
} // namespace host::test

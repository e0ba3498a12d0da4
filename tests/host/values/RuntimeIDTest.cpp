#include "IdTestSupport.h"

namespace host::test {
namespace {

TEST(RuntimeID, NamedValuesReadAsOtherKinds) {
  auto id = Make<IRuntimeID>(CreateRuntimeID);
  EXPECT_EQ(S_OK, id->IsEmpty());
  Bstr count(L"Count"), label(L"label"), missing(L"missing"), empty(L"");
  EXPECT_EQ(S_OK, id->put_lValue(count.value, 42));
  Bstr text;
  EXPECT_EQ(S_OK, id->get_BSTRValue(count.value, text.Out()));
  EXPECT_EQ(L"42", text.Text());

  Bstr seven(L"7");
  EXPECT_EQ(S_OK, id->put_BSTRValue(label.value, seven.value));
  LONG number = 0;
  EXPECT_EQ(S_OK, id->get_lValue(label.value, &number));
  EXPECT_EQ(7, number);
  Bstr word(L"seven");
  id->put_BSTRValue(label.value, word.value);
  EXPECT_TRUE(FAILED(id->get_lValue(label.value, &number)));

  // Names are case-insensitive: this replaces "Count".
  Bstr upper(L"COUNT");
  EXPECT_EQ(S_OK, id->put_lValue(upper.value, 43));
  EXPECT_EQ(S_OK, id->get_lValue(count.value, &number));
  EXPECT_EQ(43, number);
  unsigned int size = 0;
  EXPECT_EQ(S_OK, id->get_Size(&size));
  EXPECT_EQ(2u, size);
  EXPECT_EQ(S_FALSE, id->IsEmpty());

  Variant v;
  EXPECT_EQ(E_INVALIDARG, id->get_VARIANTValue(missing.value, &v.value));
  EXPECT_EQ(VT_EMPTY, v.value.vt);
  EXPECT_EQ(E_INVALIDARG, id->get_lValue(missing.value, &number));
  EXPECT_EQ(E_INVALIDARG, id->put_lValue(empty.value, 1));
  EXPECT_EQ(E_INVALIDARG, id->put_lValue(nullptr, 1));
  EXPECT_EQ(E_POINTER, id->get_lValue(count.value, nullptr));
  EXPECT_EQ(E_POINTER, id->get_BSTRValue(count.value, nullptr));
  EXPECT_EQ(E_POINTER, id->get_VARIANTValue(count.value, nullptr));
  EXPECT_EQ(E_POINTER, id->get_Size(nullptr));
  EXPECT_EQ(E_POINTER, id->get_Package(nullptr));
  EXPECT_EQ(E_POINTER, id->Clone(nullptr));
}

TEST(RuntimeID, EqualityAndIndependentClones) {
  auto a = Make<IRuntimeID>(CreateRuntimeID);
  auto b = Make<IRuntimeID>(CreateRuntimeID);
  EXPECT_EQ(S_OK, a->IsEqual(b.Get()));
  Bstr x(L"x"), y(L"Y"), yLower(L"y");
  a->put_Package(3);
  EXPECT_EQ(S_FALSE, a->IsEqual(b.Get()));
  b->put_Package(3);
  a->put_lValue(x.value, 5);
  a->put_BSTRValue(y.value, x.value);
  // Same values set in another order, names in another case, the number in
  // another type.
  b->put_BSTRValue(yLower.value, x.value);
  Variant shortFive;
  shortFive.value.vt = VT_I2;
  shortFive.value.iVal = 5;
  b->put_VARIANTValue(x.value, shortFive.value);
  EXPECT_EQ(S_OK, a->IsEqual(b.Get()));
  EXPECT_EQ(S_OK, b->IsEqual(a.Get()));
  Bstr X(L"X");
  b->put_BSTRValue(y.value, X.value); // string values are case-sensitive
  EXPECT_EQ(S_FALSE, a->IsEqual(b.Get()));
  EXPECT_EQ(S_FALSE, b->IsEqual(a.Get()));
  EXPECT_EQ(E_POINTER, a->IsEqual(nullptr));

  HeldRef<IRuntimeID> clone;
  ASSERT_EQ(S_OK, a->Clone(clone.Out()));
  EXPECT_EQ(S_OK, clone->IsEqual(a.Get()));
  clone->put_lValue(x.value, 6);
  LONG value = 0;
  a->get_lValue(x.value, &value);
  EXPECT_EQ(5, value);
  EXPECT_EQ(S_FALSE, clone->IsEqual(a.Get()));
}

TEST(RuntimeID, HeldObjectsAreCounted) {
  CountingUnknown held, other;
  Bstr name(L"element");
  {
    auto id = Make<IRuntimeID>(CreateRuntimeID);
    Variant v;
    v.value.vt = VT_UNKNOWN;
    v.value.punkVal = &held;
    EXPECT_EQ(S_OK, id->put_VARIANTValue(name.value, v.value));
    v.value.vt = VT_EMPTY; // the caller's variant stays the caller's
    EXPECT_EQ(2, held.refs);
    {
      Variant out;
      EXPECT_EQ(S_OK, id->get_VARIANTValue(name.value, &out.value));
      EXPECT_EQ(VT_UNKNOWN, out.value.vt);
      EXPECT_EQ(&held, out.value.punkVal);
      EXPECT_EQ(3, held.refs);
    }
    HeldRef<IRuntimeID> clone;
    ASSERT_EQ(S_OK, id->Clone(clone.Out()));
    EXPECT_EQ(3, held.refs);
    EXPECT_EQ(S_OK, clone->IsEqual(id.Get()));

    // Replacing the value releases the object it held.
    v.value.vt = VT_UNKNOWN;
    v.value.punkVal = &other;
    clone->put_VARIANTValue(name.value, v.value);
    v.value.vt = VT_EMPTY;
    EXPECT_EQ(2, held.refs);
    EXPECT_EQ(2, other.refs);
    EXPECT_EQ(S_FALSE, clone->IsEqual(id.Get()));
  }
  EXPECT_EQ(1, held.refs);
  EXPECT_EQ(1, other.refs);
}

} // namespace
} // namespace host::test

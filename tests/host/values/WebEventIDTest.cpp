#include "IdTestSupport.h"

namespace host::test {
namespace {

HeldRef<IWebRunTimeID> NewId(LONG b, LONG f, LONG o, LONG t) {
  auto id = Make<IWebRunTimeID>(CreateWebRunTimeID);
  EXPECT_EQ(S_OK, id->SetIdFromIds(b, f, o, t));
  return id;
}

std::wstring TextOf(IWebEventID *event) {
  Bstr text;
  EXPECT_EQ(S_OK, event->GetEventIdAsString(text.Out()));
  return text.Text();
}

HWND Window(std::intptr_t value) { return reinterpret_cast<HWND>(value); }

TEST(WebEventID, SetAndReadBack) {
  auto event = Make<IWebEventID>(CreateWebEventID);
  EXPECT_EQ(S_OK, event->IsEmpty());
  auto source = NewId(1, 2, 3, -3);
  Bstr name(L"onclick");
  ASSERT_EQ(S_OK, event->Set(Window(0x1234), 10, -20, name.value, source.Get(), 2));
  EXPECT_EQ(S_FALSE, event->IsEmpty());

  LONG hwnd = 0, index = 0;
  tagPOINT point{};
  Bstr readName;
  ASSERT_EQ(S_OK, event->GetInternalData(&hwnd, &point, readName.Out(), &index));
  EXPECT_EQ(0x1234, hwnd);
  EXPECT_EQ(10, point.x);
  EXPECT_EQ(-20, point.y);
  EXPECT_EQ(L"onclick", readName.Text());
  EXPECT_EQ(2, index);
  EXPECT_EQ(E_POINTER, event->GetInternalData(nullptr, &point, readName.Out(), &index));
  EXPECT_EQ(E_POINTER, event->GetInternalData(&hwnd, nullptr, readName.Out(), &index));
  EXPECT_EQ(E_POINTER, event->GetInternalData(&hwnd, &point, nullptr, &index));
  EXPECT_EQ(E_POINTER, event->GetInternalData(&hwnd, &point, readName.Out(), nullptr));
  EXPECT_EQ(E_POINTER, event->GetEventSource(nullptr));
  EXPECT_EQ(E_POINTER, event->GetEventIdAsString(nullptr));

  // The source is a copy both ways.
  source->SetInnerObjId(99);
  HeldRef<IWebRunTimeID> first, second;
  ASSERT_EQ(S_OK, event->GetEventSource(first.Out()));
  EXPECT_EQ(S_OK, first->IsEqual(NewId(1, 2, 3, -3).Get()));
  first->SetInnerObjId(77);
  ASSERT_EQ(S_OK, event->GetEventSource(second.Out()));
  EXPECT_EQ(S_OK, second->IsEqual(NewId(1, 2, 3, -3).Get()));

  EXPECT_EQ(S_OK, event->Reset());
  EXPECT_EQ(S_OK, event->IsEmpty());
  HeldRef<IWebRunTimeID> none;
  EXPECT_EQ(S_FALSE, event->GetEventSource(none.Out()));
  EXPECT_FALSE(none);
}

TEST(WebEventID, TextRoundTripsAnyName) {
  auto event = Make<IWebEventID>(CreateWebEventID);
  auto copy = Make<IWebEventID>(CreateWebEventID);
  auto source = NewId(12, 3, 45, -4);
  const std::wstring names[] = {L"",
                                L"a|b",
                                L"back\\slash\\",
                                L"\\|",
                                L"semi;colon",
                                std::wstring(L"nul\0inside", 10),
                                L"\x00E9t\x00E9 \x4E2D"};
  for (const std::wstring &text : names) {
    for (IWebRunTimeID *src : {source.Get(), static_cast<IWebRunTimeID *>(nullptr)}) {
      Bstr name(text);
      ASSERT_EQ(S_OK, event->Set(Window(-7), INT32_MIN, INT32_MAX, name.value, src, -1));
      Bstr form(TextOf(event.Get()));
      ASSERT_EQ(S_OK, copy->SetEventIDFromString(form.value)) << form.Text();
      EXPECT_EQ(S_OK, copy->IsEqual(event.Get())) << form.Text();
      EXPECT_EQ(form.Text(), TextOf(copy.Get()));
      Bstr readName;
      LONG hwnd = 0, index = 0;
      tagPOINT point{};
      copy->GetInternalData(&hwnd, &point, readName.Out(), &index);
      EXPECT_EQ(text, readName.Text());
    }
  }
  event->Reset();
  EXPECT_EQ(L"0|0|0|||0", TextOf(event.Get()));
  Bstr name(L"a|b");
  event->Set(Window(5), 1, 2, name.value, source.Get(), 3);
  EXPECT_EQ(L"5|1|2|a\\|b|12;3;45;-4|3", TextOf(event.Get()));
}

TEST(WebEventID, MalformedTextIsRefused) {
  auto event = Make<IWebEventID>(CreateWebEventID);
  Bstr name(L"keep");
  event->Set(Window(1), 2, 3, name.value, nullptr, 4);
  std::wstring before = TextOf(event.Get());
  for (const wchar_t *bad : {L"", L"1|2|3|n||", L"1|2|3|n||4|5", L"x|2|3|n||4", L"1|2|3|n|1;2;3|4",
                             L"1|2|3|n\\x||4", L"1|2|3|n||4\\", L"1|2|3|a|b||4", L"1|2|3|n|| 4",
                             L"1|2|2147483648|n||4", L"1|2|3|n||4;", L"1\\||2|3|n||4"}) {
    Bstr text(bad);
    EXPECT_EQ(E_INVALIDARG, event->SetEventIDFromString(text.value)) << bad;
  }
  EXPECT_EQ(before, TextOf(event.Get()));
}

TEST(WebEventID, EqualityAndCopies) {
  auto a = Make<IWebEventID>(CreateWebEventID);
  auto b = Make<IWebEventID>(CreateWebEventID);
  EXPECT_EQ(S_OK, a->IsEqual(b.Get()));
  auto source = NewId(1, 1, 1, 0);
  Bstr click(L"click"), Click(L"Click");
  a->Set(Window(9), 1, 2, click.value, source.Get(), 0);
  b->Set(Window(9), 1, 2, click.value, nullptr, 0);
  EXPECT_EQ(S_FALSE, a->IsEqual(b.Get())); // source missing on one side
  b->Set(Window(9), 1, 2, Click.value, source.Get(), 0);
  EXPECT_EQ(S_FALSE, a->IsEqual(b.Get()));
  b->Set(Window(9), 1, 2, click.value, source.Get(), 1);
  EXPECT_EQ(S_FALSE, a->IsEqual(b.Get()));

  ASSERT_EQ(S_OK, b->SetEventFromEvent(a.Get()));
  EXPECT_EQ(S_OK, b->IsEqual(a.Get()));
  a->Reset();
  EXPECT_EQ(S_FALSE, b->IsEmpty());
  EXPECT_EQ(E_POINTER, b->SetEventFromEvent(nullptr));
  EXPECT_EQ(E_POINTER, b->IsEqual(nullptr));
}

} // namespace
} // namespace host::test

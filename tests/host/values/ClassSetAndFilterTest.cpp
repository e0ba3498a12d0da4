#include "IdTestSupport.h"

namespace host::test {
namespace {

TEST(WIClassSet, OrderMatchAndRecordableClass) {
  auto set = Make<IWIClassSet>(CreateWIClassSet);
  LONG recordable = -1;
  EXPECT_EQ(S_OK, set->GetRecordableClass(&recordable));
  EXPECT_EQ(0, recordable);
  EXPECT_EQ(S_FALSE, set->Match(11));

  EXPECT_EQ(S_OK, set->Add(10));
  EXPECT_EQ(S_OK, set->Add(11));
  EXPECT_EQ(S_OK, set->Add(1029));
  EXPECT_EQ(S_FALSE, set->Add(11)); // there already: keeps its place
  set->GetRecordableClass(&recordable);
  EXPECT_EQ(1029, recordable);
  EXPECT_EQ(S_OK, set->Match(10));
  EXPECT_EQ(S_OK, set->Match(11));
  EXPECT_EQ(S_FALSE, set->Match(12));
  EXPECT_EQ(E_INVALIDARG, set->Add(0));
  EXPECT_EQ(E_INVALIDARG, set->Add(-1));
  EXPECT_EQ(E_POINTER, set->GetRecordableClass(nullptr));

  EXPECT_EQ(S_OK, set->Reset());
  EXPECT_EQ(S_FALSE, set->Match(10));
  set->GetRecordableClass(&recordable);
  EXPECT_EQ(0, recordable);
}

TEST(FilterStruct, DefaultsAndProperties) {
  auto filter = Make<IFilterStruct>(CreateFilterStruct);
  Bstr text;
  WEB_ID_FILTERS kind = ONLY_OBJECTS;
  LONG webClass = -1;
  EXPECT_EQ(S_OK, filter->get_tagName(text.Out()));
  EXPECT_EQ(L"", text.Text());
  EXPECT_EQ(S_OK, filter->get_filter(&kind));
  EXPECT_EQ(ALL_KINDS_OF_OBJECTS, kind);
  EXPECT_EQ(S_OK, filter->get_webClass(&webClass));
  EXPECT_EQ(0, webClass);

  Bstr tag(L"TABLE"), xpath(L"//tr[1]"), css(L"td.a");
  EXPECT_EQ(S_OK, filter->put_tagName(tag.value));
  EXPECT_EQ(S_OK, filter->put_xpath(xpath.value));
  EXPECT_EQ(S_OK, filter->put_css(css.value));
  EXPECT_EQ(S_OK, filter->put_filter(ONLY_FRAMES_OR_STD_OBJECT));
  EXPECT_EQ(S_OK, filter->put_webClass(1025));
  // The object keeps its own copies.
  tag.value[0] = L'X';
  filter->get_tagName(text.Out());
  EXPECT_EQ(L"TABLE", text.Text());
  filter->get_xpath(text.Out());
  EXPECT_EQ(L"//tr[1]", text.Text());
  filter->get_css(text.Out());
  EXPECT_EQ(L"td.a", text.Text());
  filter->get_filter(&kind);
  EXPECT_EQ(ONLY_FRAMES_OR_STD_OBJECT, kind);
  filter->get_webClass(&webClass);
  EXPECT_EQ(1025, webClass);

  EXPECT_EQ(E_INVALIDARG, filter->put_filter(static_cast<WEB_ID_FILTERS>(3)));
  filter->get_filter(&kind);
  EXPECT_EQ(ONLY_FRAMES_OR_STD_OBJECT, kind);
  EXPECT_EQ(S_OK, filter->put_css(nullptr));
  filter->get_css(text.Out());
  EXPECT_EQ(L"", text.Text());

  EXPECT_EQ(E_POINTER, filter->get_tagName(nullptr));
  EXPECT_EQ(E_POINTER, filter->get_filter(nullptr));
  EXPECT_EQ(E_POINTER, filter->get_webClass(nullptr));
  EXPECT_EQ(E_POINTER, filter->get_xpath(nullptr));
  EXPECT_EQ(E_POINTER, filter->get_css(nullptr));
}

TEST(IdObjects, ModuleLockFollowsObjects) {
  LONG before = ModuleLockCount();
  {
    auto set = Make<IWIClassSet>(CreateWIClassSet);
    auto filter = Make<IFilterStruct>(CreateFilterStruct);
    auto event = Make<IWebEventID>(CreateWebEventID);
    auto rtid = Make<IRuntimeID>(CreateRuntimeID);
    EXPECT_EQ(before + 4, ModuleLockCount());
  }
  EXPECT_EQ(before, ModuleLockCount());
}

} // namespace
} // namespace host::test

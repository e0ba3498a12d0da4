// The TabStrip object on pages that use the TabStrip behaviour: attributes,
// tab names, SelectTab and GetTabText, and recording through the host.
#include "ViewLinkControlTestSupport.h"

#include <fstream>

namespace {

using viewlink_test::ViewLinkControlTest;

constexpr char kImport[] = "<?import namespace=\"tw\" implementation=\"behaviors/tabstrip.htc\"?>";
constexpr LONG kSelectTab = 1024;
constexpr LONG kGetTabText = 1029;
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80040209);
constexpr HRESULT kOutOfRange = static_cast<HRESULT>(0x80040211);

class TabStripTest : public ViewLinkControlTest {
protected:
  // A strip "s" with one tab per text; "|" stands for a separator.
  void ShowStrip(const std::vector<std::string> &texts, const std::string &attributes = "") {
    std::string body = "<tw:TabStrip id=\"s\" " + attributes + ">";
    for (const std::string &text : texts)
      body += text == "|" ? "<tw:TabSeparator/>" : "<tw:Tab text=\"" + text + "\"/>";
    ASSERT_NO_FATAL_FAILURE(Show(body + "</tw:TabStrip>", kImport));
    strip_ = TreeAO(L"s");
    ASSERT_TRUE(strip_);
    LONG webClass = 0;
    strip_->GetRecordableClass(&webClass);
    ASSERT_EQ(webClass, 1025);
  }
  LONG Selected() {
    CQilVariant index = Property(Element(L"s"), L"selectedIndex");
    return index.vt == VT_I4 ? index.lVal : -100;
  }
  HRESULT SelectTab(LPCOLESTR name) { return Run(strip_, kSelectTab, NameRequest(name)); }
  void TearDown() override {
    strip_.Release();
    ViewLinkControlTest::TearDown();
  }

  CQilComPtr<IWebObj2> strip_;
};

TEST_F(TabStripTest, ReportsItsTabsThroughTheBehaviour) {
  ASSERT_NO_FATAL_FAILURE(ShowStrip({"General", "|", "Details", "Summary"}, "selectedIndex=\"1\""));
  EXPECT_EQ(Text(strip_, 0), L"WbfTabStrip");
  EXPECT_EQ(Number(strip_, 122), 3); // the separator is no tab
  EXPECT_EQ(Text(strip_, 121), L"General\nDetails\nSummary");
  EXPECT_EQ(Text(strip_, 6), L"Details");
  EXPECT_EQ(Text(strip_, 16387), L"Details");
  EXPECT_EQ(Text(strip_, 146), L"s");
  EXPECT_EQ(strip_->CompareClass(27), S_OK);
  EXPECT_EQ(strip_->CompareClass(1025), S_OK);

  CQilComPtr<IWebAttrVal> own;
  ASSERT_EQ(strip_->GetAttrEx(199, nullptr, &own), S_OK);
  CQilComPtr<IWebVariant> first;
  CQilComPtr<IWebRunTimeID> recorded;
  CQilComPtr<IWebRunTimeID> id;
  ASSERT_EQ(own->GetValue(0, &first), S_OK);
  ASSERT_EQ(first->get_RTID(&recorded), S_OK);
  ASSERT_EQ(strip_->GetId(&id), S_OK);
  EXPECT_EQ(id->IsEqual(recorded), S_OK);

  CQilComPtr<IWebObjSelfEventConfig> config;
  ASSERT_EQ(config.QueryFrom(strip_), S_OK);
  LONG state = 0;
  CQilBstr file;
  EXPECT_EQ(config->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(config->GetEventConfigFile(&file), S_OK);
  EXPECT_STREQ(file.Text(), L"WebFormsEventConfiguration.xml");
  // The host's view-link object inside names the same file.
  CQilComPtr<IWebObj2> inner = HostServices::GetWrappedHostAO(Element(L"s"), TopFrame());
  CQilComPtr<IWebObjSelfEventConfig> innerConfig;
  ASSERT_EQ(innerConfig.QueryFrom(inner), S_OK);
  state = 0;
  EXPECT_EQ(innerConfig->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
  // Other ids still reach the view-link element and the element object.
  EXPECT_EQ(Text(strip_, 58), L"TabStrip");
}

TEST_F(TabStripTest, DuplicateAndEmptyTabsAreNamedByIndexAndReachedAgain) {
  ASSERT_NO_FATAL_FAILURE(ShowStrip({"Same", "Same", "", "Other"}));
  const wchar_t *expected[] = {L"#0", L"#1", L"#2", L"Other"};
  for (LONG index = 0; index < 4; ++index) {
    PutProperty(Element(L"s"), L"selectedIndex", CQilVariant(index));
    EXPECT_EQ(Text(strip_, 16387), expected[index]) << index;
  }
  EXPECT_EQ(Text(strip_, 121), L"Same\nSame\n\nOther");
  for (LONG index = 3; index >= 0; --index) {
    EXPECT_EQ(SelectTab(expected[index]), S_OK) << index;
    EXPECT_EQ(Selected(), index);
  }
  // A text that occurs twice is found at its first tab.
  EXPECT_EQ(SelectTab(L"Same"), S_OK);
  EXPECT_EQ(Selected(), 0);
}

TEST_F(TabStripTest, HashNamesAreIndexesOnlyWithinTheStrip) {
  ASSERT_NO_FATAL_FAILURE(ShowStrip({"#2", "x", "y", "#"}));
  EXPECT_EQ(SelectTab(L"#2"), S_OK); // index 2, not the tab with that text
  EXPECT_EQ(Selected(), 2);
  EXPECT_EQ(SelectTab(L"#"), S_OK); // one character: a text
  EXPECT_EQ(Selected(), 3);
  EXPECT_EQ(SelectTab(L"#-1"), kNotFound);
  EXPECT_EQ(SelectTab(L"#99"), kNotFound);
  EXPECT_EQ(Selected(), 3);
  // Mended: the tab whose text reads as another tab's index is recorded by
  // its own index, so that replay reaches it.
  PutProperty(Element(L"s"), L"selectedIndex", CQilVariant(LONG{0}));
  EXPECT_EQ(Text(strip_, 16387), L"#0");
  EXPECT_EQ(Text(strip_, 6), L"#2");

  ASSERT_NO_FATAL_FAILURE(ShowStrip({"a", "#2"}));
  strip_ = TreeAO(L"s");
  EXPECT_EQ(SelectTab(L"#2"), S_OK); // no index 2: found by its text
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Text(strip_, 16387), L"#2");
}

TEST_F(TabStripTest, PageTextsAreDataOfAnyLength) {
  std::string tricky = "He said &quot;hi&quot; &lt;b&gt;; #x &amp; 'so'";
  std::string longText(5000, 'w');
  ASSERT_NO_FATAL_FAILURE(ShowStrip({"plain", tricky, longText + "end"}));
  std::wstring trickyText = L"He said \"hi\" <b>; #x & 'so'";
  std::wstring longName = std::wstring(5000, L'w') + L"end";
  EXPECT_EQ(Text(strip_, 121), L"plain\n" + trickyText + L"\n" + longName);
  // Rendered as text, not markup.
  CQilComPtr<IHTMLElement> cell = Rendered(L"s", L"tab1");
  ASSERT_TRUE(cell);
  CQilBstr shown;
  cell->get_innerText(&shown);
  EXPECT_EQ(std::wstring(shown.Text()), trickyText);

  EXPECT_EQ(SelectTab(trickyText.c_str()), S_OK);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Text(strip_, 16387), trickyText);
  EXPECT_EQ(SelectTab(longName.c_str()), S_OK);
  EXPECT_EQ(Selected(), 2);
  EXPECT_EQ(Text(strip_, 16387), longName);
  EXPECT_EQ(SelectTab(longName.substr(0, 4000).c_str()), kNotFound);
}

TEST_F(TabStripTest, GetTabTextAndRequestFailures) {
  ASSERT_NO_FATAL_FAILURE(ShowStrip({"One", "|", "Two"}));
  CQilComPtr<IWebInfo> request = NameRequest(nullptr, 1);
  EXPECT_EQ(Run(strip_, kGetTabText, request), S_OK);
  EXPECT_EQ(Entry(request, 6), L"Two");
  request = NameRequest(nullptr, 2); // = numTabs
  EXPECT_EQ(Run(strip_, kGetTabText, request), kOutOfRange);
  EXPECT_EQ(Entry(request, 6), L"<none>");
  request = Request();
  request->InsertAttrLong(16389, -1, 1);
  EXPECT_EQ(Run(strip_, kGetTabText, request), E_FAIL);
  EXPECT_EQ(Run(strip_, kGetTabText, Request()), E_FAIL);
  EXPECT_EQ(Run(strip_, kSelectTab, Request()), E_FAIL);
  IWebInfo *none = nullptr;
  EXPECT_EQ(strip_->InvokeMethod(static_cast<METHOD_NAME_ENUM>(kSelectTab), &none), E_POINTER);
  EXPECT_EQ(strip_->InvokeMethod(static_cast<METHOD_NAME_ENUM>(kSelectTab), nullptr), E_POINTER);
}

// A strip whose behaviour answers selectedIndex as a string: accepted for the
// recorded name, not for attribute 6.
TEST_F(TabStripTest, SelectedIndexAsStringCountsOnlyForTheName) {
  std::ofstream(folder_ / "strings.htc")
      << "<public:component tagName='TabStrip'>"
         "<public:property name='selectedIndex' get='sel' put='put'/>"
         "<public:property name='numTabs' get='num'/><public:method name='getTab'/>"
         "<public:defaults viewLinkContent='true'/>"
         "<script>var at = '1'; function sel() { return at; } function put(v) { at = v; }"
         "function num() { return 2; }"
         "function getTab(i) { return { getAttribute: function (n) { return 'T' + i; } }; }"
         "</script></public:component>";
  ASSERT_NO_FATAL_FAILURE(Show("<tw:TabStrip id=\"s\"></tw:TabStrip>",
                               "<?import namespace=\"tw\" implementation=\"strings.htc\"?>",
                               folder_.wstring()));
  strip_ = TreeAO(L"s");
  ASSERT_TRUE(strip_);
  EXPECT_EQ(Text(strip_, 16387), L"T1");
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(strip_->GetAttrEx(6, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"");
  // SelectTab puts a number; the behaviour keeps it.
  EXPECT_EQ(SelectTab(L"T0"), S_OK);
  EXPECT_EQ(Text(strip_, 16387), L"T0");
}

TEST_F(TabStripTest, TabClicksRecordThroughTheHostAndReplayOnAFreshLoad) {
  ASSERT_NO_FATAL_FAILURE(ShowStrip({"Same", "|", "Same", "Other", "Off"}));
  // Disabled tabs ignore the mouse; the separator has a cell of its own.
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  UserClick(Rendered(L"s", L"tab1"));
  UserClick(Rendered(L"s", L"tab2"));
  ASSERT_EQ(StepCount(), 2);
  EXPECT_EQ(Step(0), L"WbfTabStrip \"s\" onclick 6=\"#1\"");
  EXPECT_EQ(Step(1), L"WbfTabStrip \"s\" onclick 6=\"Other\"");
  std::vector<std::wstring> names{Entry(StepRecord(0), 6), Entry(StepRecord(1), 6)};
  ASSERT_EQ(browser_->SetRecording(VARIANT_FALSE), S_OK);

  for (LONG step = 0; step < 2; ++step) {
    ASSERT_NO_FATAL_FAILURE(ShowStrip({"Same", "|", "Same", "Other", "Off"}));
    ASSERT_EQ(Selected(), 0);
    EXPECT_EQ(SelectTab(names[step].c_str()), S_OK);
    EXPECT_EQ(Selected(), step + 1) << step;
  }
}

TEST_F(TabStripTest, DisabledTabsAndTheChangeEvent) {
  std::string body = "<tw:TabStrip id=\"s\" onselectedindexchange=\"document.getElementById('log')"
                     ".innerText += event.prevIndex + '>' + event.index + ';'\">"
                     "<tw:Tab>One</tw:Tab><tw:Tab disabled=\"true\">Two</tw:Tab><tw:Tab>Three"
                     "</tw:Tab></tw:TabStrip><div id=\"log\"></div>";
  ASSERT_NO_FATAL_FAILURE(Show(body, kImport));
  strip_ = TreeAO(L"s");
  ASSERT_TRUE(strip_);
  UserClick(Rendered(L"s", L"tab1")); // disabled
  EXPECT_EQ(Selected(), 0);
  UserClick(Rendered(L"s", L"tab2"));
  EXPECT_EQ(Selected(), 2);
  EXPECT_EQ(SelectTab(L"Two"), S_OK); // script may still choose it
  EXPECT_EQ(Selected(), 1);
  CQilBstr log;
  Element(L"log")->get_innerText(&log);
  EXPECT_STREQ(log.Text(), L"0>2;2>1;");
  EXPECT_EQ(Text(strip_, 121), L"One\nTwo\nThree");
}

} // namespace

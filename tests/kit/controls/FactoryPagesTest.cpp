// The factory on generated table-laid-out pages: the dynamic rules' cheap
// pre-tests give the same answer as the full container search for every
// element, and loading and releasing a page with every control many times
// leaves no kit object behind.
#include "FactoryTestSupport.h"

#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "FactoryGeneratedPage.h"
#include "kit/TallowickIE.h"

namespace {

class FactoryPagesTest : public FactoryTestBase {
protected:
  void SetUp() override {
    FactoryTestBase::SetUp();
    ASSERT_EQ(CoCreateInstance(CLSID_WIBrowserIE, nullptr, CLSCTX_INPROC_SERVER,
                               __uuidof(IWIHostBrowser), reinterpret_cast<void **>(&browser_)),
              S_OK);
  }
  void TearDown() override {
    if (browser_)
      browser_->Close();
    browser_.Release();
    FactoryTestBase::TearDown();
  }

  CQilComPtr<IWebObj2> TopFrame() {
    CQilComPtr<IWebObj2> page;
    CQilComPtr<IWebObj2> frame;
    if (SUCCEEDED(browser_->GetPageAO(&page)) && page)
      page->GetChild(0, &frame);
    return frame;
  }
  std::vector<CQilComPtr<IHTMLElement>> AllElements() {
    std::vector<CQilComPtr<IHTMLElement>> elements;
    CQilComPtr<IHTMLElementCollection> all;
    LONG length = 0;
    if (FAILED(document_->get_all(&all)) || !all || FAILED(all->get_length(&length)))
      return elements;
    for (LONG i = 0; i < length; ++i) {
      CQilComPtr<IDispatch> item;
      CQilComPtr<IHTMLElement> element;
      if (SUCCEEDED(all->item(CQilVariant(i), CQilVariant(LONG{0}), &item)) && item &&
          SUCCEEDED(element.QueryFrom(item)) && element)
        elements.push_back(element);
    }
    return elements;
  }

  CQilComPtr<IWIHostBrowser> browser_;
};

TEST_F(FactoryPagesTest, ShortcutsGiveTheSameDynamicAOForEveryElement) {
  for (size_t size : {1000u, 4000u}) {
    ASSERT_EQ(tallowick::platform::LoadPageFromString(factory_pages::GeneratedPage(size),
                                                      L"http://test/Generated.aspx", &document_),
              S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
    CQilComPtr<IWebObj2> frame = TopFrame();
    ASSERT_TRUE(frame);
    CDAORuleList &rules = CDAORuleList::Instance();
    size_t compared = 0;
    size_t dynamic = 0;
    size_t ultraGrids = 0;
    for (const CQilComPtr<IHTMLElement> &element : AllElements()) {
      CQilComPtr<IWebObj2> fast = rules.MatchRules(element, frame);
      CQilComPtr<IWebObj2> full = rules.MatchRulesWithoutShortcuts(element, frame);
      CQilBstr tag;
      CQilBstr id;
      element->get_tagName(&tag);
      element->get_id(&id);
      ASSERT_EQ(RecordableClass(fast), RecordableClass(full))
          << "element " << compared << " <" << tallowick::platform::Narrow(tag.Text()) << ">";
      ++compared;
      dynamic += fast ? 1 : 0;
      std::wstring_view name(id.Text());
      ultraGrids += name.size() > 5 && name.substr(name.size() - 5) == L"_main" ? 1 : 0;
    }
    EXPECT_GT(compared, size * 8 / 10);
    // In each UltraGrid: the outer row and cell, the inner table, its head
    // section and row, 3 header cells, 8 rows of 3 cells, 8 images.
    EXPECT_GT(ultraGrids, 0u);
    EXPECT_EQ(dynamic, ultraGrids * 48);
  }
}

TEST_F(FactoryPagesTest, RecordAOIsTheControlAboveTheElementOrNone) {
  ASSERT_EQ(tallowick::platform::LoadPageFromString(factory_pages::GeneratedPage(300),
                                                    L"http://test/Generated.aspx", &document_),
            S_OK);
  ASSERT_EQ(browser_->AddKitFactory(factory_, kTallowickKitId), S_OK);
  ASSERT_EQ(browser_->SetDocument(document_), S_OK);
  CQilComPtr<IWebObj2> frame = TopFrame();
  VARIANT none;
  VariantInit(&none);
  std::vector<CQilComPtr<IHTMLElement>> elements = AllElements();
  auto recordAO = [&](LPCOLESTR tag, LONG index, HRESULT expected) {
    LONG seen = 0;
    for (const CQilComPtr<IHTMLElement> &element : elements) {
      CQilBstr name;
      element->get_tagName(&name);
      if (lstrcmpiW(name.Text(), tag) != 0 || seen++ != index)
        continue;
      IWebObj2 *ao = reinterpret_cast<IWebObj2 *>(1);
      EXPECT_EQ(factory_->GetRecordAO(element, none, frame, &ao), expected) << seen;
      CQilComPtr<IWebObj2> owned;
      owned.Attach(ao);
      return RecordableClass(owned);
    }
    return LONG{-2};
  };
  EXPECT_EQ(recordAO(L"A", 0, E_FAIL), -1) << "a navigation link outside every control";
  EXPECT_EQ(recordAO(L"INPUT", 1, S_OK), 1029) << "the text box in the DataGrid";
  EXPECT_EQ(recordAO(L"A", 20, S_OK), 1028) << "a day of the Calendar";
  EXPECT_EQ(recordAO(L"IMG", 1, S_OK), 1030) << "an image in the UltraGrid";
}

TEST_F(FactoryPagesTest, RepeatedLoadsAndReleasesLeaveNoKitObjectBehind) {
  std::wstring page = factory_pages::WriteEveryControlPage(
                          folder_, std::filesystem::path(TALLOWICK_SOURCE_DIR) / L"examples/pages")
                          .wstring();
  for (int round = 0; round < 25; ++round) {
    CQilComPtr<IWIHostBrowser> browser;
    ASSERT_EQ(CoCreateInstance(CLSID_WIBrowserIE, nullptr, CLSCTX_INPROC_SERVER,
                               __uuidof(IWIHostBrowser), reinterpret_cast<void **>(&browser)),
              S_OK);
    ASSERT_EQ(browser->AddKitFactory(factory_, kTallowickKitId), S_OK);
    ASSERT_EQ(browser->LoadPage(CQilBstr(page.c_str())), S_OK);
    browser->Close();
    browser.Release();
    // What DllCanUnloadNow answers: only the factory itself is left.
    EXPECT_EQ(KitModule::LockCount(), 1) << "round " << round;
    EXPECT_EQ(ElementIds::LiveCount(), 0u) << "round " << round;
  }
}

} // namespace

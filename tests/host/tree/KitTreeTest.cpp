// A kit's objects in the tree: they take their elements' places, record the
// events inside them, and go with their page.
#include "TestKit.h"
#include "TreeTestSupport.h"

#include <cstdlib>
#include <fstream>

namespace {

const char kPage[] = R"(<html><body>
<div testkit="Orders" id="panel"><a href="x.html">Open</a><span>t</span></div>
<a href="y.html" id="out">Out</a>
</body></html>)";

class KitTreeTest : public TreeTest {
protected:
  void SetUp() override {
    TreeTest::SetUp();
    WCHAR clsid[40] = {};
    StringFromGUID2(CLSID_TestKit, clsid, 40);
    HKEY key = nullptr;
    std::wstring path = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(kTestKitModule),
                   static_cast<DWORD>((wcslen(kTestKitModule) + 1) * sizeof(WCHAR)));
    RegCloseKey(key);
    std::ofstream(folder_ / "events.xml") << "<EventConfiguration><Class Name=\"TestPanel\">"
                                             "<Event Name=\"onclick\"/></Class>"
                                             "</EventConfiguration>\n";
    setenv(kTestKitEventsVariable, (folder_ / "events.xml").c_str(), 1);
    ASSERT_EQ(browser_->LoadKit(CLSID_TestKit), S_OK);
    module_ = LoadLibraryW(kTestKitModule);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    unsetenv(kTestKitEventsVariable);
    TreeTest::TearDown();
    if (module_ != nullptr)
      FreeLibrary(module_);
  }
  LONG Counter(const char *name) {
    auto get = Export<LONG (*)()>(module_, name);
    return get != nullptr ? get() : -1;
  }

  HMODULE module_ = nullptr;
};

TEST_F(KitTreeTest, KitObjectTakesTheElementsPlace) {
  Load(kPage);
  // The test kit's objects list no children of their own.
  EXPECT_EQ(Dump(Page().Get()), "Page Page\n"
                                "  Frame Frame\n"
                                "    TestPanel Orders\n"
                                "    Link Out\n");
  ComPtr<IWebObj2> panel = AO(Find(L"#panel").Get());
  ASSERT_TRUE(panel);
  EXPECT_EQ(Class(panel.Get()), kTestPanelClass);
  LONG kitId = 0;
  EXPECT_EQ(panel->GetKitID(&kitId), S_OK);
  EXPECT_EQ(kitId, kTestKitId);
  // The host gave it its runtime id; the kit's parent is the frame.
  ComPtr<IWebRunTimeID> id;
  ASSERT_EQ(panel->GetId(id.Out()), S_OK);
  EXPECT_EQ(id->IsValidObjId(), S_OK);
  EXPECT_EQ(id->IsValidFrameId(), S_OK);
  ComPtr<IWebObj2> found;
  EXPECT_EQ(TopFrame()->GetChildById(id.Get(), found.Out()), S_OK);
  EXPECT_EQ(found.Get(), panel.Get());
  ComPtr<IWebObj2> parent;
  ASSERT_EQ(panel->GetParentFrame(parent.Out()), S_OK);
  EXPECT_EQ(parent.Get(), TopFrame().Get());
  // The link inside has the kit object as its parent in the tree.
  ComPtr<IHTMLElement> inner = Find(L"#panel > a");
  ASSERT_EQ(AO(inner.Get())->GetParent(parent.Out()), S_OK);
  EXPECT_EQ(parent.Get(), panel.Get());
}

TEST_F(KitTreeTest, KitObjectsRecordEventsInsideThem) {
  Load(kPage);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Find(L"#panel > a")->click();
  Find(L"#out")->click();
  LONG count = 0;
  browser_->GetStepCount(&count);
  ASSERT_EQ(count, 2);
  BSTR text = nullptr;
  ASSERT_EQ(browser_->GetStep(0, &text, nullptr), S_OK);
  EXPECT_EQ(std::wstring(text), L"TestPanel \"Orders\" onclick 6=\"clicked Orders\"");
  SysFreeString(text);
  ASSERT_EQ(browser_->GetStep(1, &text, nullptr), S_OK);
  EXPECT_EQ(std::wstring(text), L"Link \"Out\" onclick 6=\"Out\"");
  SysFreeString(text);
}

TEST_F(KitTreeTest, KitObjectsGoWithTheirPage) {
  Load(kPage);
  Load("<div testkit='A'></div><div testkit='B'></div>");
  EXPECT_EQ(Counter("TestKitLiveObjects"), 2); // the first page's object went
  EXPECT_GE(Counter("TestKitReleaseRefsCalls"), 1);
  ComPtr<IWebObj2> held = AO(Find(L"div").Get());
  browser_->Close();
  EXPECT_EQ(Counter("TestKitLiveObjects"), 1); // only the one still held
  held.Reset();
  EXPECT_EQ(Counter("TestKitLiveObjects"), 0);
}

} // namespace

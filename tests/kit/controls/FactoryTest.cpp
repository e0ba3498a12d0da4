// The kit factory as the host sees it: its answers to every method, the
// built-in rules its construction loads, the view-link marks of the AOs it
// makes, and elements that no control claims going on to the dynamic rules.
#include "FactoryTestSupport.h"

#include <vector>

#include "recognition/GenericDAORule.h"

namespace {

constexpr char kPage[] = R"(<html><body><form>
<div id="owner"><span id="plain">text</span>
<a id="link" href="#x">node</a><a id="access" href="#y">skip</a>
<tabstrip id="strip">tabs</tabstrip><TABSTRIP id="upper">tabs</TABSTRIP>
<img id="picture" src="p.png"></div>
</form></body></html>)";

// An IUnknown whose IHTMLElement query fails with a chosen HRESULT.
class CFailingElement : public IUnknown {
public:
  explicit CFailingElement(HRESULT failure) : failure_(failure) {}
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    *ppv = nullptr;
    if (riid == IID_IUnknown) {
      *ppv = this;
      return S_OK;
    }
    return riid == IID_IHTMLElement ? failure_ : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

private:
  HRESULT failure_;
};

// A rule that accepts every element and counts what it was asked.
class CCountingRule : public CDAORecognitionRule {
public:
  explicit CCountingRule(std::vector<std::wstring> *seen) : seen_(seen) {}
  bool Matches(IHTMLElement *element, IWebObj2 *) const override {
    CQilBstr id;
    element->get_id(&id);
    seen_->push_back(id.Text());
    return true;
  }
  std::unique_ptr<CDAORecognitionRule> Clone() const override {
    return std::make_unique<CCountingRule>(seen_);
  }

private:
  std::vector<std::wstring> *seen_;
};

class FactoryTest : public FactoryTestBase {
protected:
  void SetUp() override {
    FactoryTestBase::SetUp();
    Load(kPage);
    ASSERT_EQ(CreateWebObject<CIE4Obj>(&frame_, document_.Get(), nullptr), S_OK);
  }
  void TearDown() override {
    frame_.Release();
    FactoryTestBase::TearDown();
  }
  IWIKitFactoryEx2 *Ex2() { return static_cast<IWIKitFactoryEx2 *>(factory_.Get()); }

  CQilComPtr<IWebObj2> frame_;
};

TEST_F(FactoryTest, NewAOChecksItsPointersAndAnswersFalseForElementsItDoesNotKnow) {
  IWebObj2 *ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(factory_->NewAO(Element(L"plain"), frame_, nullptr), E_POINTER);
  EXPECT_EQ(factory_->NewAO(nullptr, frame_, &ao), E_POINTER);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(factory_->NewAO(Element(L"plain"), nullptr, &ao), E_POINTER);
  EXPECT_EQ(ao, nullptr);

  CQilComPtr<IWebObj2> none;
  EXPECT_EQ(NewAO(L"plain", frame_, none), S_FALSE);
  EXPECT_FALSE(none);
  // Outside any control even the tags of the built-in rules get nothing.
  EXPECT_EQ(NewAO(L"link", frame_, none), S_FALSE);
  EXPECT_EQ(NewAO(L"picture", frame_, none), S_FALSE);
  EXPECT_EQ(factory_->NewAO(document_, frame_, &none), S_FALSE) << "no IHTMLElement";
  EXPECT_FALSE(none);
}

TEST_F(FactoryTest, AFailedElementQueryOtherThanNoInterfaceIsAnsweredAsItsError) {
  CFailingElement noInterface(E_NOINTERFACE);
  CFailingElement outOfMemory(E_OUTOFMEMORY);
  CQilComPtr<IWebObj2> ao;
  EXPECT_EQ(factory_->NewAO(&noInterface, frame_, &ao), S_FALSE);
  EXPECT_EQ(factory_->NewAO(&outOfMemory, frame_, &ao), E_OUTOFMEMORY);
  EXPECT_FALSE(ao);
}

TEST_F(FactoryTest, DefaultFrameSpyAndSecondInterfaceAnswers) {
  CQilComPtr<IWebObj2> ao;
  EXPECT_EQ(factory_->NewDefaultAO(Element(L"plain"), frame_, &ao), S_FALSE);
  EXPECT_FALSE(ao);
  EXPECT_EQ(factory_->NewDefaultAO(Element(L"plain"), frame_, nullptr), E_POINTER);
  EXPECT_EQ(factory_->NewDefaultAO(nullptr, frame_, &ao), E_POINTER);
  EXPECT_EQ(factory_->NewFrameAO(frame_, frame_, &ao), S_FALSE);
  EXPECT_FALSE(ao);
  EXPECT_EQ(factory_->NewFrameAO(frame_, frame_, nullptr), E_POINTER);
  EXPECT_EQ(factory_->NewFrameAO(frame_, nullptr, &ao), E_POINTER);
  EXPECT_EQ(factory_->IsAOSpyable(nullptr, 0), E_NOTIMPL);
  EXPECT_EQ(factory_->IsAOSpyable(frame_, 3), E_NOTIMPL);

  // IWIKitFactoryEx2 is implemented but not offered.
  CQilComPtr<IUnknown> ex2;
  EXPECT_EQ(factory_->QueryInterface(IID_IWIKitFactoryEx2, reinterpret_cast<void **>(&ex2)),
            E_NOINTERFACE);
  EXPECT_EQ(Ex2()->NewContainedAO(Element(L"strip"), frame_, &ao), S_FALSE);
  EXPECT_FALSE(ao);
  EXPECT_EQ(Ex2()->NewContainedAO(Element(L"strip"), frame_, nullptr), E_POINTER);
  VARIANT_BOOL isKit = VARIANT_TRUE;
  EXPECT_EQ(Ex2()->IsKitElement(Element(L"strip"), frame_, &isKit), S_OK);
  EXPECT_EQ(isKit, VARIANT_FALSE);
  EXPECT_EQ(Ex2()->IsKitElement(Element(L"strip"), frame_, nullptr), E_POINTER);
}

TEST_F(FactoryTest, GetRecordAORejectsBadEventDataAndFailsWithoutAKitAO) {
  CQilComPtr<IWebObj2> ao;
  CQilVariant number(LONG{3});
  EXPECT_EQ(factory_->GetRecordAO(Element(L"plain"), number, frame_, &ao), E_INVALIDARG);
  VARIANT array;
  VariantInit(&array);
  array.vt = VT_ARRAY | VT_BSTR;
  array.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  EXPECT_EQ(factory_->GetRecordAO(Element(L"plain"), array, frame_, &ao), E_INVALIDARG);
  EXPECT_FALSE(ao);
  VariantClear(&array);
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(factory_->GetRecordAO(Element(L"plain"), empty, frame_, nullptr), E_POINTER);
  EXPECT_EQ(factory_->GetRecordAO(nullptr, empty, frame_, &ao), E_POINTER);
  EXPECT_EQ(factory_->GetRecordAO(Element(L"plain"), empty, nullptr, &ao), E_POINTER);

  // No kit AO at or above the element: E_FAIL and nothing.
  IWebObj2 *out = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(factory_->GetRecordAO(Element(L"plain"), empty, frame_, &out), E_FAIL);
  EXPECT_EQ(out, nullptr);
}

TEST_F(FactoryTest, ConstructionLoadsTheTwoBuiltInRulesAfresh) {
  CDAORuleList &rules = CDAORuleList::Instance();
  ASSERT_EQ(rules.Count(), 2u);
  EXPECT_STREQ(HostServices::GetWebClassName(kUltraGridInnerRule).Text(), L"WbfUltraGridInner");
  EXPECT_STREQ(HostServices::GetWebClassName(kTreeViewLinkRule).Text(), L"WbfTVLink");

  std::vector<std::wstring> seen;
  ASSERT_EQ(rules.AddRule(CCountingRule(&seen), CQilBstr(L"Extra"), 1040), S_OK);
  EXPECT_EQ(rules.Count(), 3u);
  CQilComPtr<IWIKitFactoryEx> second;
  ASSERT_EQ(
      CTallowickFactoryIE::Create(nullptr, IID_IWIKitFactoryEx, reinterpret_cast<void **>(&second)),
      S_OK);
  EXPECT_EQ(rules.Count(), 2u) << "a new factory resets the list";
}

TEST_F(FactoryTest, WithoutAgentServicesNoRuleIsAdded) {
  HostServices::ReleaseAgentServices();
  CDAORuleList &rules = CDAORuleList::Instance();
  std::vector<std::wstring> seen;
  EXPECT_TRUE(FAILED(rules.AddRule(CCountingRule(&seen), CQilBstr(L"Extra"), 1040)));
  EXPECT_EQ(rules.Count(), 2u);
  CQilComPtr<IWIKitFactoryEx> second;
  ASSERT_EQ(
      CTallowickFactoryIE::Create(nullptr, IID_IWIKitFactoryEx, reinterpret_cast<void **>(&second)),
      S_OK);
  EXPECT_EQ(rules.Count(), 0u);
}

TEST_F(FactoryTest, TabStripInAnyCaseWithoutAHostAOGoesOnToTheDynamicRules) {
  std::vector<std::wstring> seen;
  CDAORuleList::Instance().Reset();
  ASSERT_EQ(CDAORuleList::Instance().AddRule(CCountingRule(&seen), CQilBstr(L"Extra"), 1040), S_OK);
  CQilComPtr<IWebObj2> vlf = ViewLinkFrame(kTreeViewClass);
  CQilComPtr<IWebObj2> ao;
  ASSERT_EQ(NewAO(L"strip", vlf, ao), S_OK);
  EXPECT_EQ(RecordableClass(ao), 1040);
  ASSERT_EQ(NewAO(L"upper", vlf, ao), S_OK);
  EXPECT_EQ(RecordableClass(ao), 1040);
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"strip", L"upper"}));
}

TEST_F(FactoryTest, ViewLinkMarksReachTwoLevelsBelowTheFrame) {
  CQilComPtr<IWebObj2> vlf = ViewLinkFrame(kTreeViewClass);
  CQilComPtr<IWebObj2> first;
  ASSERT_EQ(NewAO(L"link", vlf, first), S_OK);
  EXPECT_EQ(RecordableClass(first), kTreeViewLinkRule);
  EXPECT_EQ(ObjectType(first), -3);

  // Below an AO marked -3, and below that one, as the factory marks them.
  struct CMarker : CTallowickFactoryIE {
    using CTallowickFactoryIE::MarkViewLinkDepth;
  };
  CQilComPtr<IWebObj2> second;
  CQilComPtr<IWebObj2> third;
  ASSERT_EQ(CreateWebObject<CIE4Obj>(&second, Element(L"plain").Get(), first.Get()), S_OK);
  CMarker::MarkViewLinkDepth(second, first);
  EXPECT_EQ(ObjectType(second), -4);
  ASSERT_EQ(CreateWebObject<CIE4Obj>(&third, Element(L"picture").Get(), second.Get()), S_OK);
  CMarker::MarkViewLinkDepth(third, second);
  EXPECT_EQ(ObjectType(third), 0);
  CMarker::MarkViewLinkDepth(third, frame_);
  EXPECT_EQ(ObjectType(third), 0);
}

} // namespace

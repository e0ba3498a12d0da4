// Dynamic AOs: the generic rule's tag list and id tests, the built-in rules
// reached through the factory inside a kit control's view-link frame, the
// dynamic AO's own answers, and the rule list's re-entrancy guard.
#include "FactoryTestSupport.h"

#include "recognition/GenericDAORule.h"
#include "recognition/WfDynamicAO.h"

namespace {

constexpr LONG kAttrInnerText = 105;

constexpr char kPage[] = R"(<html><body>
<div id="owner"><span id="plain">text</span>
<a href="#x">node</a><a id="tree_tnaccess1" href="#y">skip</a><a id="tree_node2" href="#z">n</a>
<img id="picture" src="p.png"><table id="inner"><tr id="row"><th id="head">h</th></tr></table>
</div></body></html>)";

class DynamicAOTest : public FactoryTestBase {
protected:
  void SetUp() override {
    FactoryTestBase::SetUp();
    Load(kPage);
  }
  CQilComPtr<IHTMLElement> Anchor(LONG index) {
    CQilComPtr<IHTMLDocument2> document = document_;
    CQilComPtr<IHTMLElementCollection> all;
    CQilComPtr<IHTMLElementCollection> anchors;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> anchor;
    if (SUCCEEDED(document->get_all(&all)) && all &&
        SUCCEEDED(all->tags(CQilVariant(L"A"), reinterpret_cast<IDispatch **>(&anchors))) &&
        anchors && SUCCEEDED(anchors->item(CQilVariant(index), CQilVariant(LONG{0}), &item)) &&
        item)
      anchor.QueryFrom(item);
    return anchor;
  }
  // A container AO of `webClass` over the owner DIV.
  CQilComPtr<IWebObj2> Container(LONG webClass) {
    CQilComPtr<IWebObj2> ao;
    EXPECT_EQ(CreateWebObject<CClassedAO>(&ao, Element(L"owner").Get(), nullptr, webClass), S_OK);
    return ao;
  }
};

TEST_F(DynamicAOTest, TagListItemsAreWholeItemsCaseSensitively) {
  constexpr wchar_t kList[] = L"THEAD,TH,TR,TD,TABLE,IMG";
  EXPECT_TRUE(CGenericDAORule::IsListItem(kList, L"TH")) << "second item, after THEAD's inner TH";
  EXPECT_TRUE(CGenericDAORule::IsListItem(kList, L"THEAD"));
  EXPECT_TRUE(CGenericDAORule::IsListItem(kList, L"IMG"));
  EXPECT_FALSE(CGenericDAORule::IsListItem(L"THEAD,TR", L"TH")) << "inside THEAD only";
  EXPECT_FALSE(CGenericDAORule::IsListItem(kList, L"HEAD"));
  EXPECT_FALSE(CGenericDAORule::IsListItem(kList, L"TAB"));
  EXPECT_FALSE(CGenericDAORule::IsListItem(kList, L"img"));
  EXPECT_FALSE(CGenericDAORule::IsListItem(kList, L""));
}

TEST_F(DynamicAOTest, GenericRuleTestsContainerClassTagAndId) {
  CQilComPtr<IWebObj2> grid = Container(kUltraGridClass);
  CQilComPtr<IWebObj2> tree = Container(kTreeViewClass);
  CGenericDAORule inner(kUltraGridClass, L"THEAD,TH,TR,TD,TABLE,IMG", kRuleMustContain, nullptr,
                        kRuleNotTested);
  EXPECT_TRUE(inner.Matches(Element(L"head"), grid));
  EXPECT_TRUE(inner.Matches(Element(L"picture"), grid));
  EXPECT_FALSE(inner.Matches(Element(L"plain"), grid));
  EXPECT_FALSE(inner.Matches(Element(L"picture"), tree)) << "wrong container class";

  CGenericDAORule link(kTreeViewClass, L"A", kRuleMustContain, L"_tnaccess", kRuleMustNotContain);
  EXPECT_TRUE(link.Matches(Anchor(0), tree)) << "no id satisfies 'must not contain'";
  EXPECT_FALSE(link.Matches(Anchor(1), tree));
  EXPECT_TRUE(link.Matches(Anchor(2), tree));
  EXPECT_FALSE(link.Matches(Element(L"picture"), tree));

  CGenericDAORule outside(kTreeViewClass, L"A,IMG", kRuleMustNotContain, L"_node",
                          kRuleMustContain);
  EXPECT_FALSE(outside.Matches(Anchor(2), tree)) << "tag in the list";
  EXPECT_FALSE(outside.Matches(Element(L"plain"), tree)) << "id lacks the text";
  EXPECT_FALSE(outside.Matches(Element(L"owner"), tree));
  CGenericDAORule anyTag(kTreeViewClass, nullptr, kRuleNotTested, L"tree_", kRuleMustContain);
  EXPECT_TRUE(anyTag.Matches(Anchor(2), tree));
  EXPECT_FALSE(anyTag.Matches(Anchor(0), tree)) << "no id fails 'must contain'";
}

TEST_F(DynamicAOTest, BuiltInRulesGiveUltraGridPartsAndTreeViewLinks) {
  CQilComPtr<IWebObj2> grid = ViewLinkFrame(kUltraGridClass);
  CQilComPtr<IWebObj2> tree = ViewLinkFrame(kTreeViewClass);
  CQilComPtr<IWebObj2> ao;
  ASSERT_EQ(NewAO(L"picture", grid, ao), S_OK);
  EXPECT_EQ(RecordableClass(ao), kUltraGridInnerRule);
  ASSERT_EQ(NewAO(L"head", grid, ao), S_OK);
  EXPECT_EQ(RecordableClass(ao), kUltraGridInnerRule);
  EXPECT_EQ(NewAO(L"plain", grid, ao), S_FALSE);
  EXPECT_FALSE(ao);
  EXPECT_EQ(NewAO(L"picture", tree, ao), S_FALSE);

  ASSERT_EQ(factory_->NewAO(Anchor(0), tree, &ao), S_OK);
  EXPECT_EQ(RecordableClass(ao), kTreeViewLinkRule);
  ao.Release();
  EXPECT_EQ(factory_->NewAO(Anchor(1), tree, &ao), S_FALSE);
  ASSERT_EQ(factory_->NewAO(Anchor(2), tree, &ao), S_OK);
  EXPECT_EQ(RecordableClass(ao), kTreeViewLinkRule);
}

TEST_F(DynamicAOTest, AnswersItsRuleIdAsAttributeZeroAndNamesTheEventConfiguration) {
  CQilComPtr<IWebObj2> tree = ViewLinkFrame(kTreeViewClass);
  CQilComPtr<IWebObj2> ao;
  ASSERT_EQ(factory_->NewAO(Anchor(0), tree, &ao), S_OK);
  CQilComPtr<IWebAttrVal> value;
  ASSERT_EQ(ao->GetAttrEx(0, nullptr, &value), S_OK);
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  value->GetType(&type);
  EXPECT_EQ(type, WEB_AV_LONG);
  EXPECT_EQ(Long(value), kTreeViewLinkRule);
  EXPECT_EQ(ao->GetAttrEx(0, nullptr, nullptr), E_POINTER);
  // Other ids are the element object's: the inner text of the anchor.
  CQilComPtr<IWebAttrVal> text;
  ASSERT_EQ(ao->GetAttrEx(kAttrInnerText, nullptr, &text), S_OK);
  EXPECT_EQ(String(text), L"node");

  CQilComPtr<IWebObjSelfEventConfig> config;
  ASSERT_EQ(config.QueryFrom(ao), S_OK);
  LONG state = 0;
  CQilBstr file;
  EXPECT_EQ(config->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(config->GetEventConfigFile(&file), S_OK);
  EXPECT_STREQ(file.Text(), L"WebFormsEventConfiguration.xml");
}

// A rule that asks the list again from inside its test.
class CReentrantRule : public CDAORecognitionRule {
public:
  CReentrantRule(IWebObj2 *parent, int *calls, int *innerAnswers)
      : parent_(parent), calls_(calls), innerAnswers_(innerAnswers) {}
  bool Matches(IHTMLElement *element, IWebObj2 *) const override {
    ++*calls_;
    if (CDAORuleList::Instance().MatchRules(element, parent_))
      ++*innerAnswers_;
    return true;
  }
  std::unique_ptr<CDAORecognitionRule> Clone() const override {
    return std::make_unique<CReentrantRule>(parent_, calls_, innerAnswers_);
  }

private:
  IWebObj2 *parent_;
  int *calls_;
  int *innerAnswers_;
};

TEST_F(DynamicAOTest, ARuleAskingTheListAgainGetsNothingAndTheGuardIsReleased) {
  CQilComPtr<IWebObj2> tree = ViewLinkFrame(kTreeViewClass);
  int calls = 0;
  int innerAnswers = 0;
  CDAORuleList &rules = CDAORuleList::Instance();
  rules.Reset();
  ASSERT_EQ(rules.AddRule(CReentrantRule(tree, &calls, &innerAnswers), CQilBstr(L"Again"), 1041),
            S_OK);
  CQilComPtr<IWebObj2> ao = rules.MatchRules(Element(L"plain"), tree);
  EXPECT_EQ(RecordableClass(ao), 1041);
  ao = rules.MatchRules(Element(L"picture"), tree);
  EXPECT_EQ(RecordableClass(ao), 1041) << "the busy flag was cleared";
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(innerAnswers, 0);
  EXPECT_FALSE(rules.MatchRules(nullptr, tree));
  EXPECT_FALSE(rules.MatchRules(Element(L"plain"), nullptr));
  EXPECT_TRUE(rules.MatchRules(Element(L"plain"), tree)) << "and cleared after those too";
}

} // namespace

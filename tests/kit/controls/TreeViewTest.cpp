// The tree view object on pages that use the tree view behaviour, inside the
// host's object tree: names and paths of nodes, the visible nodes, replay
// through the behaviour's rendered parts, and recording through the host.
#include "WebObjTestSupport.h"

#include <string>
#include <vector>

#include "controls/WfTreeView.h"
#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "recognition/WfKitUtil.h"
#include "support/QilDispatchDriver.h"
#include "webobj/RecordConfig.h"
#include "webobj/WebIds.h"

namespace {

constexpr wchar_t kPagesDir[] = TALLOWICK_SOURCE_DIR L"/examples/pages";
constexpr METHOD_NAME_ENUM kSelectNode = static_cast<METHOD_NAME_ENUM>(1024);
constexpr METHOD_NAME_ENUM kSetNodeCheck = static_cast<METHOD_NAME_ENUM>(1026);
constexpr METHOD_NAME_ENUM kExpandNode = static_cast<METHOD_NAME_ENUM>(1027);
constexpr METHOD_NAME_ENUM kCollapseNode = static_cast<METHOD_NAME_ENUM>(1028);
constexpr METHOD_NAME_ENUM kGetNodeText = static_cast<METHOD_NAME_ENUM>(1029);
constexpr HRESULT kNoCheckBoxResult = static_cast<HRESULT>(0x80040205);
constexpr HRESULT kNotFoundResult = static_cast<HRESULT>(0x80040209);
constexpr HRESULT kOutOfRangeResult = static_cast<HRESULT>(0x80040211);

// The kit's factory making tree view objects around the host's view-link
// objects; the record AO is the kit factory's own choice.
class CTreeFactory final : public CTallowickFactoryIE {
protected:
  CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent) override {
    CQilComPtr<IHTMLElement> html;
    CQilBstr tag;
    CQilComPtr<IWebObj2> ao;
    if (FAILED(html.QueryFrom(element)) || !html || FAILED(html->get_tagName(&tag)) ||
        lstrcmpiW(tag.Text(), L"TreeView") != 0)
      return ao;
    CQilComPtr<IWebObj2> inner = HostServices::GetWrappedHostAO(element, parent);
    if (inner)
      CreateWebObject<CWfTreeView>(&ao, element, parent, inner.Get());
    return ao;
  }
};

std::string Page(const std::string &nodes) {
  return "<html xmlns:tv><head><?import namespace=\"tv\" "
         "implementation=\"behaviors/treeview.htc\"?></head><body>"
         "<tv:TreeView id=\"Tree\" onexpand=\"log('expand ' + event.treeNodeIndex)\" "
         "oncollapse=\"log('collapse ' + event.treeNodeIndex)\" "
         "onselectedindexchange=\"log('select ' + event.treeNodeIndex)\" "
         "oncheck=\"log('check ' + event.treeNodeIndex)\">" +
         nodes +
         "</tv:TreeView><div id=\"log\"></div><script>function log(text) { "
         "var box = document.getElementById('log'); box.innerText += text + ';'; }</script>"
         "</body></html>";
}

// A collapsed branch A;B;C (C has a check box), duplicates and an empty
// name below A, and an expanded branch.
const std::string kMailPage = Page(R"(<tv:TreeNode Text="A">
<tv:TreeNode Text="B"><tv:TreeNode Text="C" CheckBox="true" /></tv:TreeNode>
<tv:TreeNode Text="Dup" /><tv:TreeNode Text=" Dup " /><tv:TreeNode Text="" /></tv:TreeNode>
<tv:TreeNode Expanded="true">Open<tv:TreeNode Text="Leaf" /><tv:TreeNode Text="Plain" />
</tv:TreeNode>)");

class TreeViewTest : public KitTreeTest {
protected:
  void SetUp() override {
    KitTreeTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartBrowser<CTreeFactory>());
  }
  void TearDown() override {
    tree_.Release();
    KitTreeTest::TearDown(); // the module's lock count, which DllCanUnloadNow answers, is 0
  }

  // Shows the page and takes the tree's object from the host's tree.
  void Show(const std::string &html) {
    std::wstring url = std::wstring(L"file://") + kPagesDir + L"/tree.html";
    tree_.Release();
    document_.Release();
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, url, &document_), S_OK);
    std::vector<tallowick::platform::ScriptError> errors;
    tallowick::platform::GetScriptErrors(document_, &errors);
    for (const auto &error : errors)
      ADD_FAILURE() << tallowick::platform::Narrow(error.message);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
    CQilComPtr<IWebObj2> page;
    CQilComPtr<IWebObj2> frame;
    ASSERT_EQ(browser_->GetPageAO(&page), S_OK);
    ASSERT_EQ(page->GetChild(0, &frame), S_OK);
    tree_ = HostServices::GetHostAO(Element(L"Tree"), frame, VARIANT_FALSE);
    ASSERT_TRUE(tree_);
    LONG webClass = 0;
    tree_->GetRecordableClass(&webClass);
    ASSERT_EQ(webClass, kTreeViewClass);
  }

  CQilComPtr<IDispatch> TreeScript() {
    CQilComPtr<IDispatch> tree;
    tree.QueryFrom(Element(L"Tree"));
    return tree;
  }
  std::wstring Script(LPCOLESTR expression) {
    CQilComPtr<IHTMLWindow2> window;
    CQilComPtr<IDispatch> dispatch;
    CQilVariant code(expression);
    CQilVariant result;
    if (FAILED(tallowick::platform::GetPageWindow(document_, &window)) ||
        FAILED(dispatch.QueryFrom(window)) ||
        FAILED(CallNamedMethod1(dispatch, L"eval", &code, &result, nullptr, nullptr)) ||
        FAILED(result.ChangeType(VT_BSTR)))
      return L"<failed>";
    return result.bstrVal != nullptr ? result.bstrVal : L"";
  }
  std::wstring SelectedIndex() {
    return Script(L"document.getElementById('Tree').selectedNodeIndex");
  }
  std::wstring NodeFlag(LPCOLESTR index, LPCOLESTR name) {
    return Script((std::wstring(L"String(document.getElementById('Tree').getTreeNode('") + index +
                   L"').getAttribute('" + name + L"'))")
                      .c_str());
  }
  std::wstring Log() { return Script(L"document.getElementById('log').innerText"); }
  // A named part of the rendered node at `index`.
  CQilComPtr<IHTMLElement> Part(LPCOLESTR index, LPCOLESTR part) {
    CQilVariant nodeIndex(index);
    CQilVariant node;
    CQilVariant name(L"subtree");
    CQilVariant subtree;
    CQilComPtr<IHTMLElement> element;
    CQilComPtr<IDispatch> all;
    CQilComPtr<IHTMLElementCollection> collection;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> found;
    if (SUCCEEDED(
            CallNamedMethod1(TreeScript(), L"getTreeNode", &nodeIndex, &node, nullptr, nullptr)) &&
        node.vt == VT_DISPATCH &&
        SUCCEEDED(
            CallNamedMethod1(node.pdispVal, L"getAttribute", &name, &subtree, nullptr, nullptr)) &&
        subtree.vt == VT_DISPATCH && SUCCEEDED(element.QueryFrom(subtree.pdispVal)) &&
        SUCCEEDED(element->get_all(&all)) && SUCCEEDED(collection.QueryFrom(all)) &&
        SUCCEEDED(collection->item(CQilVariant(part), CQilVariant(LONG{0}), &item)))
      found.QueryFrom(item);
    return found;
  }

  std::wstring Attr(LONG id) {
    CQilComPtr<IWebAttrVal> value;
    if (tree_->GetAttr(id, nullptr, &value) != S_OK)
      return L"<none>";
    return String(value);
  }
  static CQilComPtr<IWebInfo> PathRequest(const std::wstring &path) {
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrString(16388, CQilBstr(path.c_str(), static_cast<UINT>(path.size())), 1);
    return request;
  }
  // Runs a kit method; its outcome as the request's return value.
  HRESULT Run(METHOD_NAME_ENUM method, IWebInfo *request) {
    EXPECT_EQ(Invoke(tree_, method, request), S_OK);
    return request->GetReturnValue();
  }
  HRESULT Run(METHOD_NAME_ENUM method, const std::wstring &path) {
    return Run(method, PathRequest(path));
  }
  HRESULT SetCheck(const std::wstring &path, bool checked) {
    CQilComPtr<IWebInfo> request = PathRequest(path);
    request->InsertAttrBool(6, checked ? 1 : 0, 1);
    return Run(kSetNodeCheck, request);
  }
  std::wstring NodeText(LONG number, HRESULT *outcome) {
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrLong(16389, number, 1);
    *outcome = Run(kGetNodeText, request);
    CQilBstr text;
    if (FAILED(request->GetStringValueByName(6, &text)))
      return L"<none>";
    return text.Text();
  }
  static std::wstring Entry(IWebInfo *record, LONG id) {
    CQilComPtr<IWebAttrVal> value;
    if (FAILED(record->GetAttrValueByName(id, &value)) || !value)
      return L"<none>";
    WEB_AV_TYPE type = WEB_AV_EMPTY;
    value->GetType(&type);
    return type == WEB_AV_LONG ? std::to_wstring(Long(value)) : String(value);
  }
  // The records of the steps recorded for `event`.
  std::vector<CQilComPtr<IWebInfo>> Records(const std::wstring &event) {
    std::vector<CQilComPtr<IWebInfo>> records;
    LONG count = 0;
    browser_->GetStepCount(&count);
    for (LONG i = 0; i < count; ++i) {
      CQilComPtr<IWebInfo> record;
      browser_->GetStep(i, nullptr, &record);
      if (record && Entry(record, 64) == event)
        records.push_back(record);
    }
    return records;
  }

  CQilComPtr<IWebObj2> tree_;
};

TEST_F(TreeViewTest, ClassesAndEventConfiguration) {
  Show(kMailPage);
  EXPECT_EQ(tree_->CompareClass(27), S_OK);
  EXPECT_EQ(tree_->CompareClass(kTreeViewClass), S_OK);
  EXPECT_EQ(Attr(0), L"WbfTreeView");
  CQilComPtr<IWebObjSelfEventConfig> config;
  ASSERT_EQ(config.QueryFrom(tree_), S_OK);
  LONG state = 0;
  CQilBstr file;
  EXPECT_EQ(config->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(config->GetEventConfigFile(&file), S_OK);
  EXPECT_STREQ(file.Text(), L"WebFormsEventConfiguration.xml");
  EXPECT_EQ(Attr(146), L"Tree");
  EXPECT_EQ(Attr(16387), L"<none>"); // nothing selected
  CQilComPtr<IWebAttrVal> runtimeId;
  CQilComPtr<IWebVariant> first;
  CQilComPtr<IWebRunTimeID> id;
  CQilComPtr<IWebRunTimeID> own;
  ASSERT_EQ(tree_->GetAttr(199, nullptr, &runtimeId), S_OK);
  ASSERT_EQ(runtimeId->GetValue(0, &first), S_OK);
  ASSERT_EQ(first->get_RTID(&id), S_OK);
  ASSERT_EQ(tree_->GetId(&own), S_OK);
  EXPECT_EQ(id->IsEqual(own), S_OK);
  EXPECT_EQ(Invoke(tree_, kSelectNode, nullptr), E_INVALIDARG);
  EXPECT_EQ(tree_->InvokeMethod(kSelectNode, nullptr), E_INVALIDARG);
}

// The behaviour's object model as a page's script uses it.
TEST_F(TreeViewTest, BehaviourObjectModel) {
  Show(kMailPage);
  EXPECT_EQ(Script(L"var t = document.getElementById('Tree'); var a = t.getTreeNode('0');"
                   L"[t.getChildren().length, a.getChildren().length, a.getParent(),"
                   L" t.getTreeNode('0.0.0').getParent().getAttribute('text'),"
                   L" t.getTreeNode('0.0.0').getAttribute('checkBox'), t.getTreeNode('9'),"
                   L" t.getTreeNode('1').getAttribute('text'), t.getTreeNode('0.2').getNodeIndex(),"
                   L" a.getAttribute('subtree').tagName].join('|')"),
            L"2|4||B|true||Open|0.2|TREENODE");
  // A node added by script is rendered and reachable by its path.
  EXPECT_EQ(Script(L"var n = t.createTreeNode(); n.setAttribute('text', 'New');"
                   L"n.setAttribute('checkBox', true); t.getTreeNode('1').add(n, 0);"
                   L"t.getTreeNode('1.0').getAttribute('text')"),
            L"New");
  EXPECT_EQ(SetCheck(L"Open;New", true), S_OK);
  EXPECT_EQ(Attr(121), L"A\nOpen\nNew\nLeaf\nPlain");
  // Selection by property fires the change with the old and the new index.
  EXPECT_EQ(Script(L"t.selectedNodeIndex = '1.2'; t.selectedNodeIndex = '0';"
                   L"document.getElementById('log').innerText"),
            L"check 1.0;select 1.2;select 0;");
  EXPECT_EQ(Script(L"t.getTreeNode('1.2').remove(); t.getTreeNode('1').getChildren().length"),
            L"2");
  EXPECT_EQ(Attr(121), L"A\nOpen\nNew\nLeaf");
}

// A disabled tree answers 46 true and ignores the user's clicks.
TEST_F(TreeViewTest, DisabledTree) {
  CQilComPtr<IWebAttrVal> disabled;
  Show(kMailPage);
  ASSERT_EQ(tree_->GetAttr(46, nullptr, &disabled), S_OK);
  LONG flag = -1;
  EXPECT_EQ(disabled->GetBoolValue(0, &flag), S_OK);
  EXPECT_EQ(flag, 0);
  std::string page = kMailPage;
  page.insert(page.find(" id=\"Tree\""), " disabled");
  Show(page);
  ASSERT_EQ(tree_->GetAttr(46, nullptr, &disabled), S_OK);
  EXPECT_EQ(disabled->GetBoolValue(0, &flag), S_OK);
  EXPECT_NE(flag, 0);
  ASSERT_EQ(Part(L"1", L"_tntext")->click(), S_OK);
  EXPECT_EQ(SelectedIndex(), L"");
}

TEST_F(TreeViewTest, VisibleNodesLeaveOutChildrenOfCollapsedNodes) {
  Show(kMailPage);
  EXPECT_EQ(Attr(121), L"A\nOpen\nLeaf\nPlain");
  CQilComPtr<IWebAttrVal> count;
  ASSERT_EQ(tree_->GetAttr(122, nullptr, &count), S_OK);
  EXPECT_EQ(Long(count), 4);

  ASSERT_EQ(Run(kExpandNode, L"A"), S_OK);
  // Equal trimmed texts and the empty text are named by their position.
  EXPECT_EQ(Attr(121), L"A\nB\n#1\n#2\n#3\nOpen\nLeaf\nPlain");
  ASSERT_EQ(tree_->GetAttr(122, nullptr, &count), S_OK);
  EXPECT_EQ(Long(count), 8);
  HRESULT outcome = S_OK;
  EXPECT_EQ(NodeText(3, &outcome), L"#2");
  EXPECT_EQ(outcome, S_OK);
  EXPECT_EQ(NodeText(7, &outcome), L"Plain");
  NodeText(8, &outcome);
  EXPECT_EQ(outcome, kOutOfRangeResult);
  NodeText(-1, &outcome);
  EXPECT_EQ(outcome, kOutOfRangeResult);
  EXPECT_EQ(Run(kGetNodeText, Request()), E_FAIL);

  ASSERT_EQ(Run(kCollapseNode, L"A"), S_OK);
  EXPECT_EQ(Attr(121), L"A\nOpen\nLeaf\nPlain");
}

TEST_F(TreeViewTest, SelectNodeExpandsEachAncestorFirst) {
  Show(kMailPage);
  EXPECT_EQ(Run(kSelectNode, L"A;B;C"), S_OK);
  EXPECT_EQ(SelectedIndex(), L"0.0.0");
  EXPECT_EQ(Log(), L"expand 0;expand 0.0;select 0.0.0;");
  EXPECT_EQ(Attr(16387), L"A;B;C");
  EXPECT_EQ(NodeFlag(L"0", L"expanded"), L"true");
  EXPECT_EQ(NodeFlag(L"0.0", L"expanded"), L"true");
}

TEST_F(TreeViewTest, DuplicateAndEmptyNamesReachTheirOwnNode) {
  Show(kMailPage);
  struct Case {
    LPCOLESTR path;
    LPCOLESTR index;
  } cases[] = {{L"A;#1", L"0.1"}, {L"A;#2", L"0.2"}, {L"A;#3", L"0.3"}, {L" Open ; Plain", L"1.1"}};
  for (const Case &c : cases) {
    EXPECT_EQ(Run(kSelectNode, c.path), S_OK) << tallowick::platform::Narrow(c.path);
    EXPECT_EQ(SelectedIndex(), c.index) << tallowick::platform::Narrow(c.path);
  }
  EXPECT_EQ(Attr(16387), L"Open;Plain");
  ASSERT_EQ(Run(kSelectNode, L"A;#2"), S_OK);
  EXPECT_EQ(Attr(16387), L"A;#2");
  EXPECT_EQ(Run(kSelectNode, L"A;Dup"), S_OK); // a text match takes the first equal text
  EXPECT_EQ(SelectedIndex(), L"0.1");
  EXPECT_EQ(Run(kSelectNode, L"A;Nothing"), kNotFoundResult);
  EXPECT_EQ(Run(kSelectNode, L"A;#9"), kNotFoundResult);
  EXPECT_EQ(Run(kSelectNode, PathRequest(L"")), kNotFoundResult);
  EXPECT_EQ(Run(kSelectNode, Request()), E_FAIL);
}

TEST_F(TreeViewTest, CheckingNeedsACheckBox) {
  Show(kMailPage);
  EXPECT_EQ(SetCheck(L"A;B", true), kNoCheckBoxResult);
  EXPECT_EQ(SetCheck(L"A;B;C", true), S_OK);
  EXPECT_EQ(NodeFlag(L"0.0.0", L"checked"), L"true");
  EXPECT_EQ(SetCheck(L"A;B;C", true), S_OK); // already checked: no click
  EXPECT_EQ(SetCheck(L"A;B;C", false), S_OK);
  EXPECT_EQ(NodeFlag(L"0.0.0", L"checked"), L"false");
  EXPECT_EQ(Log(), L"expand 0;expand 0.0;check 0.0.0;check 0.0.0;");
  EXPECT_EQ(Run(kSetNodeCheck, PathRequest(L"A;B;C")), E_FAIL); // no state asked for
}

TEST_F(TreeViewTest, ExpandAndCollapseOnlyWhereThereIsSomethingToDo) {
  Show(kMailPage);
  EXPECT_EQ(Run(kExpandNode, L"Open;Leaf"), S_OK); // a leaf: nothing clicked
  EXPECT_EQ(Run(kExpandNode, L"Open"), S_OK);      // already expanded
  EXPECT_EQ(Log(), L"");
  EXPECT_EQ(Run(kCollapseNode, L"Open"), S_OK);
  EXPECT_EQ(Run(kCollapseNode, L"A;B;Nothing"), S_OK); // B is collapsed: nothing shown
  EXPECT_EQ(Log(), L"collapse 1;");
  EXPECT_EQ(NodeFlag(L"0", L"expanded"), L"false");
  ASSERT_EQ(Run(kExpandNode, L"A"), S_OK);
  EXPECT_EQ(Run(kCollapseNode, L"A;Nothing"), kNotFoundResult); // A is open: no such node
  EXPECT_EQ(Run(kCollapseNode, L"Nothing"), kNotFoundResult);
}

// Texts with quotes, markup, the path separator or a leading hash sign are
// data: each name leads back to its own node.
TEST_F(TreeViewTest, NamesThatLookLikeSyntaxStayData) {
  Show(Page(R"(<tv:TreeNode Text="#abc" /><tv:TreeNode Text='Say "hi"' />
<tv:TreeNode Text="&lt;b&gt;x&lt;/b&gt;" /><tv:TreeNode Text="a;b" /><tv:TreeNode Text="#0" />
<tv:TreeNode Text="#9" /><tv:TreeNode Text="it's" />)"));
  EXPECT_EQ(Attr(121), L"#abc\nSay \"hi\"\n<b>x</b>\n#3\n#4\n#9\nit's");
  LPCOLESTR names[] = {L"#abc", L"Say \"hi\"", L"<b>x</b>", L"#3", L"#4", L"#9", L"it's"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Run(kSelectNode, names[i]), S_OK) << i;
    EXPECT_EQ(SelectedIndex(), std::to_wstring(i)) << i;
    EXPECT_EQ(Attr(16387), names[i]) << i;
  }
}

TEST_F(TreeViewTest, PathsOfAnyDepthAndNamesOfAnyLength) {
  const int depth = 40;
  std::string nodes;
  std::wstring path;
  std::wstring index;
  for (int i = 0; i < depth; ++i) {
    nodes += "<tv:TreeNode Text=\"level " + std::to_string(i) + "\">";
    path += (i ? L";level " : L"level ") + std::to_wstring(i);
    index += (i ? L".0" : L"0");
  }
  std::string longName(5000, 'x');
  longName[2500] = 'y';
  nodes += "<tv:TreeNode Text=\"" + longName + "\" />";
  for (int i = 0; i < depth; ++i)
    nodes += "</tv:TreeNode>";
  Show(Page(nodes));
  path += L";" + tallowick::platform::Widen(longName);
  index += L".0";
  ASSERT_EQ(Run(kSelectNode, path), S_OK);
  EXPECT_EQ(SelectedIndex(), index);
  EXPECT_EQ(Attr(16387), path);
  HRESULT outcome = S_OK;
  EXPECT_EQ(NodeText(depth, &outcome), tallowick::platform::Widen(longName));
  EXPECT_EQ(outcome, S_OK);
}

// Only a node's text (a span) and check box (an input) are recorded clicks.
TEST_F(TreeViewTest, ClicksElsewhereRecordNothing) {
  Show(kMailPage);
  struct Case {
    LPCOLESTR index;
    LPCOLESTR part;
    HRESULT result;
  } cases[] = {{L"1", L"junction", S_FALSE}, {L"1.0", L"_tntext", S_OK}};
  for (const Case &c : cases) {
    CQilComPtr<IWebInfo> record = Request();
    record->InsertAttrString(64, CQilBstr(L"onclick"), 1);
    IWebInfo *raw = record;
    tagWIEventData event{};
    EXPECT_EQ(tree_->FillRecordInformation(Part(c.index, c.part), event, &raw), c.result);
    EXPECT_EQ(Entry(record, 16388), c.result == S_OK ? L"Open;Leaf" : L"<none>");
  }
  CQilComPtr<IWebInfo> record = Request();
  IWebInfo *raw = record;
  EXPECT_EQ(tree_->FillRecordInformation(Part(L"1", L"_tntext"), tagWIEventData{}, &raw), E_FAIL);
}

// A user's clicks on a node's text and check box, recorded by the host, and
// the recorded values replayed on a fresh load of the page.
TEST_F(TreeViewTest, RecordedClicksReplayToTheSameState) {
  Show(kMailPage);
  ASSERT_EQ(Run(kExpandNode, L"A;B"), S_OK);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  CQilComPtr<IHTMLElement> junction = Part(L"1", L"junction");
  CQilComPtr<IHTMLElement> text = Part(L"0.2", L"_tntext");
  CQilComPtr<IHTMLElement> box = Part(L"0.0.0", L"_cb");
  ASSERT_TRUE(junction && text && box);
  ASSERT_EQ(tallowick::platform::UserClick(junction), S_OK); // recorded as nothing
  ASSERT_EQ(tallowick::platform::UserClick(text), S_OK);
  ASSERT_EQ(tallowick::platform::UserClick(box), S_OK);
  EXPECT_EQ(Log(), L"expand 0;expand 0.0;collapse 1;select 0.2;check 0.0.0;");

  std::vector<CQilComPtr<IWebInfo>> clicks = Records(L"onclick");
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(Entry(clicks[0], 16388), L"A;#2");
  EXPECT_EQ(Entry(clicks[0], 16390), L"span");
  EXPECT_EQ(Entry(clicks[0], 6), L"<none>");
  EXPECT_EQ(Entry(clicks[1], 16388), L"A;B;C");
  EXPECT_EQ(Entry(clicks[1], 6), L"1");
  EXPECT_EQ(Entry(clicks[1], 16390), L"input");
  std::vector<CQilComPtr<IWebInfo>> selections = Records(L"onselectedindexchange");
  ASSERT_EQ(selections.size(), 1u);
  EXPECT_EQ(Entry(selections[0], 16388), L"A;#2");
  EXPECT_EQ(Entry(selections[0], 16390), L"treeview");
  std::vector<CQilComPtr<IWebInfo>> checks = Records(L"oncheck");
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(Entry(checks[0], 16388), L"A;B;C");
  EXPECT_EQ(Entry(checks[0], 6), L"1");
  EXPECT_EQ(Entry(checks[0], 16390), L"treeview");

  std::wstring selectedPath = Entry(selections[0], 16388);
  std::wstring checkedPath = Entry(checks[0], 16388);
  bool checked = Entry(checks[0], 6) == L"1";
  ASSERT_EQ(browser_->SetRecording(VARIANT_FALSE), S_OK);
  Show(kMailPage);
  EXPECT_EQ(SetCheck(checkedPath, checked), S_OK);
  EXPECT_EQ(Run(kSelectNode, selectedPath), S_OK);
  EXPECT_EQ(SelectedIndex(), L"0.2");
  EXPECT_EQ(NodeFlag(L"0.0.0", L"checked"), L"true");
}

} // namespace

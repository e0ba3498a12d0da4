// The Toolbar object on pages that use the Toolbar behaviour: item lists and
// numberings, ClickButton, SelectListOption, SetTextBoxValue, GetItemText and
// recording through the host with replay on a fresh load.
#include "ViewLinkControlTestSupport.h"

namespace {

using viewlink_test::ViewLinkControlTest;

constexpr char kImport[] = "<?import namespace=\"tb\" implementation=\"behaviors/toolbar.htc\"?>";
constexpr LONG kSelectListOption = 1024;
constexpr LONG kClickButton = 1025;
constexpr LONG kSetTextBoxValue = 1026;
constexpr LONG kGetItemText = 1029;
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80040209);
constexpr HRESULT kOutOfRange = static_cast<HRESULT>(0x80040211);

// Every button click is logged with the clicked item's id.
constexpr char kLoggedBar[] =
    "<tb:ToolBar id=\"bar\" onbuttonclick=\"document.getElementById('log').innerText += "
    "event.srcNode.getAttribute('id') + ';'\">";

class ToolBarTest : public ViewLinkControlTest {
protected:
  void ShowBar(const std::string &items, const std::string &extra = "") {
    ASSERT_NO_FATAL_FAILURE(Show(
        std::string(kLoggedBar) + items + "</tb:ToolBar><div id=\"log\"></div>" + extra, kImport));
    bar_ = TreeAO(L"bar");
    ASSERT_TRUE(bar_);
    LONG webClass = 0;
    bar_->GetRecordableClass(&webClass);
    ASSERT_EQ(webClass, 1026);
  }
  std::wstring Log() {
    CQilBstr text;
    Element(L"log")->get_innerText(&text);
    return text.Text();
  }
  std::wstring ItemText(LONG number, HRESULT expected = S_OK) {
    CQilComPtr<IWebInfo> request = NameRequest(nullptr, number);
    EXPECT_EQ(Run(bar_, kGetItemText, request), expected) << number;
    return Entry(request, 6);
  }
  void TearDown() override {
    bar_.Release();
    ViewLinkControlTest::TearDown();
  }

  CQilComPtr<IWebObj2> bar_;
};

// The first child element: the control inside a rendered cell.
CQilComPtr<IHTMLElement> FirstChild(IHTMLElement *element) {
  CQilComPtr<IDispatch> children;
  CQilComPtr<IHTMLElementCollection> collection;
  CQilComPtr<IDispatch> item;
  CQilComPtr<IHTMLElement> child;
  if (element != nullptr && SUCCEEDED(element->get_children(&children)) &&
      SUCCEEDED(collection.QueryFrom(children)) && collection &&
      SUCCEEDED(collection->item(CQilVariant(LONG{0}), CQilVariant(LONG{0}), &item)))
    child.QueryFrom(item);
  return child;
}

constexpr char kCountFive[] =
    "<tb:ToolbarButton id=\"a\" text=\"A\"/><tb:ToolbarSeparator/>"
    "<tb:ToolbarCheckGroup id=\"g\"><tb:ToolbarCheckButton id=\"x\" text=\"X\"/>"
    "<tb:ToolbarCheckButton id=\"y\" text=\"Y\"/><tb:ToolbarCheckButton id=\"z\" text=\"Z\"/>"
    "</tb:ToolbarCheckGroup><tb:ToolbarTextBox id=\"t\" value=\"v\"/>";

TEST_F(ToolBarTest, ListsAndCountsItemsWithoutSeparators) {
  ASSERT_NO_FATAL_FAILURE(ShowBar(kCountFive));
  EXPECT_EQ(Text(bar_, 0), L"WbfToolbar");
  EXPECT_EQ(Number(bar_, 122), 5);
  EXPECT_EQ(Text(bar_, 121), L"A\nX\nY\nZ\n#4");
  EXPECT_EQ(Text(bar_, 146), L"bar");
  EXPECT_EQ(bar_->CompareClass(27), S_OK);
  EXPECT_EQ(bar_->CompareClass(1026), S_OK);
  EXPECT_EQ(ItemText(0), L"A");
  EXPECT_EQ(ItemText(2), L"Y");
  EXPECT_EQ(ItemText(4), L"#4");
  EXPECT_EQ(ItemText(5, kOutOfRange), L"<none>");
  CQilComPtr<IWebInfo> negative = Request();
  negative->InsertAttrLong(16389, -1, 1);
  EXPECT_EQ(Run(bar_, kGetItemText, negative), E_FAIL);
  EXPECT_EQ(Run(bar_, kGetItemText, Request()), E_FAIL);
  // The host's view-link object offers no frame style: the view-link answer.
  CQilComPtr<IWebAttrVal> style;
  EXPECT_EQ(bar_->GetAttrEx(198, nullptr, &style), E_FAIL);
  CQilComPtr<IWebObjSelfEventConfig> config;
  ASSERT_EQ(config.QueryFrom(bar_), S_OK);
  LONG state = 0;
  EXPECT_EQ(config->GetEventConfigState(&state), S_OK);
  EXPECT_EQ(state, 2);
}

// Attribute 198: the frame style of an inner object that offers the host's
// view-link frame interface, with every "1px" made "0px".
TEST_F(ToolBarTest, FrameStyleOfTheInnerObjectWithoutOnePixelLines) {
  ASSERT_NO_FATAL_FAILURE(Show("<tb:ToolBar id=\"bar\" style=\"border: 1px solid black\">"
                               "<tb:ToolbarButton>A</tb:ToolbarButton></tb:ToolBar>",
                               kImport));
  CQilComPtr<IWebObj2> owner = TreeAO(L"bar");
  ASSERT_TRUE(owner);
  SAFEARRAY *children = nullptr;
  ASSERT_EQ(browser_->GetTreeChildren(owner, &children), S_OK);
  CQilComPtr<IWebObj2> frame;
  LONG upper = -1;
  SafeArrayGetUBound(children, 1, &upper);
  for (LONG i = 0; i <= upper; ++i) {
    CQilVariant item;
    SafeArrayGetElement(children, &i, &item);
    CQilComPtr<IWebObj2> child;
    if (item.vt == VT_UNKNOWN && SUCCEEDED(child.QueryFrom(item.punkVal)) &&
        child->CompareClass(28) == S_OK)
      frame = child;
  }
  SafeArrayDestroy(children);
  ASSERT_TRUE(frame);
  CQilComPtr<IWebObj2> bar;
  ASSERT_EQ(CreateWebObject<CWfToolBar>(&bar, static_cast<IUnknown *>(Element(L"bar").Get()),
                                        TopFrame().Get(), frame.Get()),
            S_OK);
  CQilBstr style;
  CQilComPtr<IWIViewLinkFrameAO> viewLink;
  ASSERT_EQ(viewLink.QueryFrom(frame), S_OK);
  ASSERT_EQ(viewLink->GetFrameStyle(&style), S_OK);
  ASSERT_NE(std::wstring(style.Text()).find(L"1px"), std::wstring::npos);
  std::wstring expected = style.Text();
  for (size_t at = expected.find(L"1px"); at != std::wstring::npos; at = expected.find(L"1px"))
    expected.replace(at, 3, L"0px");
  EXPECT_EQ(Text(bar, 198), expected);
}

TEST_F(ToolBarTest, ClickButtonByTextOrNumber) {
  ASSERT_NO_FATAL_FAILURE(
      ShowBar("<tb:ToolbarButton id=\"new\">New</tb:ToolbarButton>"
              "<tb:ToolbarCheckGroup><tb:ToolbarCheckButton id=\"l\">Left</tb:ToolbarCheckButton>"
              "<tb:ToolbarCheckButton id=\"r\">Right</tb:ToolbarCheckButton></tb:ToolbarCheckGroup>"
              "<tb:ToolbarSeparator/><tb:ToolbarButton id=\"hash\">#</tb:ToolbarButton>"
              "<tb:ToolbarButton id=\"off\" disabled=\"true\">Off</tb:ToolbarButton>"
              "<tb:ToolbarButton id=\"long\">" +
              std::string(4000, 'n') + "</tb:ToolbarButton>"));
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"New")), S_OK);
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"#2")), S_OK);   // Right, inside the group
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"#")), S_OK);    // a text
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"#3")), S_OK);   // the "#" button again
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"Left")), S_OK); // found inside the group
  EXPECT_EQ(Log(), L"new;r;hash;hash;l;");
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"#9")), kNotFound);
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"Missing")), kNotFound);
  EXPECT_EQ(Run(bar_, kClickButton, Request()), E_FAIL);
  // Names of any length, whole or not at all.
  std::wstring longName(4000, L'n');
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(longName.substr(0, 3999).c_str())), kNotFound);
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(longName.c_str())), S_OK);
  EXPECT_EQ(ItemText(5), longName);
  EXPECT_EQ(Log(), L"new;r;hash;hash;l;long;");
  // A disabled button is found; the behaviour ignores the click.
  EXPECT_EQ(Run(bar_, kClickButton, NameRequest(L"Off")), S_OK);
  EXPECT_EQ(Log(), L"new;r;hash;hash;l;long;");
  // Check buttons of a group exclude each other.
  CQilComPtr<IHTMLElement> left = Rendered(L"bar", L"l");
  CQilBstr className;
  left->get_className(&className);
  EXPECT_STREQ(className.Text(), L"checkbutton checked");
}

TEST_F(ToolBarTest, ListOptionsAndTextBoxes) {
  ASSERT_NO_FATAL_FAILURE(
      ShowBar("<tb:ToolbarTextBox id=\"first\"/><tb:ToolbarDropDownList "
              "id=\"colour\"><option>Black</option>"
              "<option>  Red  </option><option>#1</option></tb:ToolbarDropDownList>"
              "<tb:ToolbarDropDownList id=\"one\"><option>Only</option></tb:ToolbarDropDownList>"
              "<tb:ToolbarTextBox id=\"second\" value=\"old\"/>"));
  CQilComPtr<IHTMLElement> colour = Rendered(L"bar", L"colour");
  ASSERT_TRUE(colour);
  auto selected = [&](LPCOLESTR list) {
    CQilComPtr<IHTMLElement> cell = Rendered(L"bar", list);
    CQilComPtr<IHTMLElement> select = FirstChild(cell);
    CQilVariant index = Property(select, L"selectedIndex");
    return index.vt == VT_I4 ? index.lVal : -100;
  };
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"Red", 0)), S_OK);
  EXPECT_EQ(selected(L"colour"), 1);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"#2", 0)), S_OK); // an index
  EXPECT_EQ(selected(L"colour"), 2);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"#1", 0)), S_OK);
  EXPECT_EQ(selected(L"colour"), 1);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L" #1 ", 0)), S_OK); // a text
  EXPECT_EQ(selected(L"colour"), 2);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"Black ", 0)), S_OK);
  EXPECT_EQ(selected(L"colour"), 0);
  // "#1" on a one-option list is a text, and no option has it.
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"#1", 1)), kNotFound);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"Only", 1)), S_OK);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"Only", 2)), kOutOfRange);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(L"Only")), E_FAIL);
  EXPECT_EQ(Run(bar_, kSelectListOption, NameRequest(nullptr, 0)), E_FAIL);

  EXPECT_EQ(Run(bar_, kSetTextBoxValue, NameRequest(L"typed \"<x>\";", 1)), S_OK);
  CQilComPtr<IHTMLElement> box = FirstChild(Rendered(L"bar", L"second"));
  CQilVariant value = Property(box, L"value");
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_STREQ(value.bstrVal, L"typed \"<x>\";");
  EXPECT_EQ(Run(bar_, kSetTextBoxValue, NameRequest(L"x", 2)), kOutOfRange);
  EXPECT_EQ(Text(bar_, 121), L"#0\n#1\n#2\n#3");
}

constexpr char kRecordedBar[] =
    "<tb:ToolbarButton id=\"open1\">Open</tb:ToolbarButton>"
    "<tb:ToolbarCheckGroup><tb:ToolbarCheckButton id=\"l\">L</tb:ToolbarCheckButton>"
    "<tb:ToolbarCheckButton id=\"r\">R</tb:ToolbarCheckButton></tb:ToolbarCheckGroup>"
    "<tb:ToolbarButton id=\"open2\">Open</tb:ToolbarButton>"
    "<tb:ToolbarButton id=\"blank\"></tb:ToolbarButton>"
    "<tb:ToolbarButton id=\"save\" text=\"Save &quot;all&quot; &lt;now&gt;; ok\"/>"
    "<tb:ToolbarButton id=\"hashed\">#Save</tb:ToolbarButton>"
    "<tb:ToolbarSeparator/><tb:ToolbarTextBox id=\"find\"/>"
    "<tb:ToolbarDropDownList id=\"size\"><option>Small</option><option> Large </option>"
    "</tb:ToolbarDropDownList><tb:ToolbarTextBox id=\"replace\" value=\"r\"/>";

TEST_F(ToolBarTest, ActionsRecordThroughTheHostAndReplayOnAFreshLoad) {
  ASSERT_NO_FATAL_FAILURE(ShowBar(kRecordedBar));
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  for (LPCOLESTR id : {L"open2", L"blank", L"save", L"hashed", L"r"})
    UserClick(Rendered(L"bar", id));
  CQilComPtr<IHTMLElement> size = FirstChild(Rendered(L"bar", L"size"));
  PutProperty(size, L"selectedIndex", CQilVariant(LONG{1}));
  Fire(size, L"onchange");
  CQilComPtr<IHTMLElement> replace = FirstChild(Rendered(L"bar", L"replace"));
  PutProperty(replace, L"value", CQilVariant(L"new; \"text\""));
  Fire(replace, L"onchange");
  Fire(replace, L"onkeydown"); // not an event of the toolbar
  ASSERT_EQ(browser_->SetRecording(VARIANT_FALSE), S_OK);
  EXPECT_EQ(Log(), L"open2;blank;save;hashed;r;");

  std::vector<std::wstring> expected{
      L"WbfToolbar \"bar\" onbuttonclick 6=\"#3\"",
      L"WbfToolbar \"bar\" onbuttonclick 6=\"#4\"",
      L"WbfToolbar \"bar\" onbuttonclick 6=\"Save \\\"all\\\" <now>; ok\"",
      L"WbfToolbar \"bar\" onbuttonclick 6=\"#6\"", // mended: "#Save" would replay as #0
      L"WbfToolbar \"bar\" onbuttonclick 6=\"R\"",
      L"WbfToolbar \"bar\" onchange 6=\"Large\" 16389=0 16390=\"dropdownlist\"",
      L"WbfToolbar \"bar\" onchange 6=\"new; \\\"text\\\"\" 16389=1 16390=\"textbox\""};
  ASSERT_EQ(StepCount(), static_cast<LONG>(expected.size()));
  std::vector<CQilComPtr<IWebInfo>> records;
  for (LONG step = 0; step < StepCount(); ++step) {
    EXPECT_EQ(Step(step), expected[step]) << step;
    records.push_back(StepRecord(step));
  }

  // Replay on a fresh load reaches the same buttons, option and text.
  ASSERT_NO_FATAL_FAILURE(ShowBar(kRecordedBar));
  for (size_t step = 0; step < 5; ++step)
    EXPECT_EQ(Run(bar_, kClickButton, NameRequest(Entry(records[step], 6).c_str())), S_OK);
  EXPECT_EQ(Log(), L"open2;blank;save;hashed;r;");
  EXPECT_EQ(Run(bar_, kSelectListOption, records[5]), S_OK);
  EXPECT_EQ(Property(FirstChild(Rendered(L"bar", L"size")), L"selectedIndex").lVal, 1);
  EXPECT_EQ(Run(bar_, kSetTextBoxValue, records[6]), S_OK);
  CQilVariant typed = Property(FirstChild(Rendered(L"bar", L"replace")), L"value");
  ASSERT_EQ(typed.vt, VT_BSTR);
  EXPECT_STREQ(typed.bstrVal, L"new; \"text\"");
}

// Mended: a list's choice is recorded by its value only when replay, which
// finds options by "#n" or by text, reaches the same option with it; else by
// "#" and its index.
TEST_F(ToolBarTest, ListChoicesRecordANameThatReplayFinds) {
  constexpr char kList[] = "<tb:ToolbarDropDownList id=\"l\"><option>#1</option><option>x</option>"
                           "<option>#1</option><option value=\"B\">Blue</option><option>x</option>"
                           "</tb:ToolbarDropDownList>";
  ASSERT_NO_FATAL_FAILURE(ShowBar(kList));
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  const LONG chosen[] = {2, 3, 4, 1};
  for (LONG index : chosen) {
    CQilComPtr<IHTMLElement> list = FirstChild(Rendered(L"bar", L"l"));
    PutProperty(list, L"selectedIndex", CQilVariant(index));
    Fire(list, L"onchange");
  }
  ASSERT_EQ(StepCount(), 4);
  const wchar_t *names[] = {L"#2", L"#3", L"#4", L"x"};
  for (LONG step = 0; step < 4; ++step) {
    CQilComPtr<IWebInfo> record = StepRecord(step);
    EXPECT_EQ(Entry(record, 6), names[step]) << step;
    EXPECT_EQ(EntryLong(record, 16389), 0);
    ASSERT_NO_FATAL_FAILURE(ShowBar(kList));
    EXPECT_EQ(Run(bar_, kSelectListOption, record), S_OK);
    EXPECT_EQ(Property(FirstChild(Rendered(L"bar", L"l")), L"selectedIndex").lVal, chosen[step]);
  }
}

// Without an element or inner object every request still answers.
TEST_F(ToolBarTest, WithoutElementOperationsFailCleanly) {
  CQilComPtr<IWebObj2> bare;
  ASSERT_EQ(CreateWebObject<CWfToolBar>(&bare, static_cast<IUnknown *>(nullptr),
                                        static_cast<IWebObj2 *>(nullptr),
                                        static_cast<IWebObj2 *>(nullptr)),
            S_OK);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(bare->GetAttrEx(122, nullptr, &value), S_OK);
  EXPECT_FALSE(value);
  EXPECT_EQ(bare->GetAttrEx(121, nullptr, &value), S_OK);
  EXPECT_FALSE(value);
  EXPECT_EQ(bare->GetAttrEx(122, nullptr, nullptr), E_FAIL);
  EXPECT_EQ(Run(bare, kClickButton, NameRequest(L"A")), E_FAIL);
  EXPECT_EQ(Run(bare, kSelectListOption, NameRequest(L"A", 0)), E_FAIL);
  EXPECT_EQ(Run(bare, kGetItemText, NameRequest(nullptr, 0)), E_FAIL);
  CQilComPtr<IWebObj2> strip;
  ASSERT_EQ(CreateWebObject<CWfTabStrip>(&strip, static_cast<IUnknown *>(nullptr),
                                         static_cast<IWebObj2 *>(nullptr),
                                         static_cast<IWebObj2 *>(nullptr)),
            S_OK);
  EXPECT_EQ(strip->GetAttrEx(16387, nullptr, &value), S_OK);
  EXPECT_FALSE(value);
  EXPECT_EQ(Run(strip, 1024, NameRequest(L"A")), E_FAIL);
}

TEST_F(ToolBarTest, VerticalToolbarNumbersItsColumn) {
  ASSERT_NO_FATAL_FAILURE(
      ShowBar("<tb:ToolbarTextBox id=\"a\"/><tb:ToolbarButton>Go</tb:ToolbarButton>"
              "<tb:ToolbarTextBox id=\"b\"/>"));
  PutProperty(Element(L"bar"), L"orientation", CQilVariant(L"vertical"));
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  CQilComPtr<IHTMLElement> second = FirstChild(Rendered(L"bar", L"b"));
  PutProperty(second, L"value", CQilVariant(L"down"));
  Fire(second, L"onchange");
  ASSERT_EQ(StepCount(), 1);
  EXPECT_EQ(Step(0), L"WbfToolbar \"bar\" onchange 6=\"down\" 16389=1 16390=\"textbox\"");
}

TEST_F(ToolBarTest, OtherEventsRecordNothingOfTheirOwn) {
  ASSERT_NO_FATAL_FAILURE(ShowBar(kCountFive));
  CQilComPtr<IWebInfo> record = Request();
  record->InsertAttrString(64, CQilBstr(L"onkeydown"), 1);
  IWebInfo *filled = record;
  tagWIEventData data{};
  EXPECT_EQ(bar_->FillRecordInformation(Element(L"bar"), data, &filled), S_FALSE);
  UINT index = 0;
  EXPECT_NE(record->GetAttrIndexByName(16389, &index), S_OK);
  EXPECT_NE(record->GetAttrIndexByName(16390, &index), S_OK);
  CQilComPtr<IWebInfo> unnamed = Request();
  filled = unnamed;
  EXPECT_EQ(bar_->FillRecordInformation(Element(L"bar"), data, &filled), E_FAIL);
  filled = nullptr;
  EXPECT_EQ(bar_->FillRecordInformation(Element(L"bar"), data, &filled), E_POINTER);

  // Focus and blur of a text box record like a change.
  for (LPCOLESTR event : {L"onfocus", L"onblur"}) {
    CQilComPtr<IWebInfo> focus = Request();
    focus->InsertAttrString(64, CQilBstr(event), 1);
    filled = focus;
    EXPECT_EQ(bar_->FillRecordInformation(FirstChild(Rendered(L"bar", L"t")), data, &filled), S_OK);
    EXPECT_EQ(Entry(focus, 6), L"v");
    EXPECT_EQ(EntryLong(focus, 16389), 0);
    EXPECT_EQ(Entry(focus, 16390), L"textbox");
  }
  // An element outside any rendered item is no item.
  CQilComPtr<IWebInfo> stray = Request();
  stray->InsertAttrString(64, CQilBstr(L"onchange"), 1);
  filled = stray;
  EXPECT_EQ(bar_->FillRecordInformation(Element(L"log"), data, &filled), E_FAIL);
}

} // namespace

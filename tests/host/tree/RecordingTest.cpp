// Recording: page events become records and steps while recording is on.
#include "TreeTestSupport.h"

namespace {

const char kPage[] = R"(<html><body>
<a id="next" href="next.html">Next page</a>
<a id="more" href="more.html">More <b>news</b></a>
<div id="box">box</div>
<input type="text" name="q" id="q" value="Tea">
</body></html>)";

class RecordingTest : public TreeTest {
protected:
  LONG StepCount() {
    LONG count = -1;
    EXPECT_EQ(browser_->GetStepCount(&count), S_OK);
    return count;
  }
  std::string StepText(LONG index) {
    BSTR text = nullptr;
    EXPECT_EQ(browser_->GetStep(index, &text, nullptr), S_OK);
    std::string out = tallowick::platform::Narrow(std::wstring(text, SysStringLen(text)));
    SysFreeString(text);
    return out;
  }
  ComPtr<IWebInfo> Record(LONG index) {
    ComPtr<IWebInfo> record;
    EXPECT_EQ(browser_->GetStep(index, nullptr, record.Out()), S_OK);
    return record;
  }
  static std::wstring Entry(IWebInfo *record, LONG name) {
    BSTR text = nullptr;
    if (FAILED(record->GetStringValueByName(name, &text)))
      return L"<missing>";
    std::wstring out(text, SysStringLen(text));
    SysFreeString(text);
    return out;
  }
};

TEST_F(RecordingTest, ClickOnAPlainLinkRecordsTheEventAndTheLinkValue) {
  Load(kPage);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  ASSERT_EQ(Find(L"#next")->click(), S_OK);
  ASSERT_EQ(StepCount(), 1);
  ComPtr<IWebInfo> record = Record(0);
  ASSERT_TRUE(record);
  EXPECT_EQ(Entry(record.Get(), 64), L"onclick");
  EXPECT_EQ(Entry(record.Get(), 6), L"Next page");
  EXPECT_EQ(Entry(record.Get(), 6), Text(AO(Find(L"#next").Get()).Get(), 6));
  EXPECT_EQ(StepText(0), "Link \"Next page\" onclick 6=\"Next page\"");
}

TEST_F(RecordingTest, EventsOnPartsOfAnObjectAreTheObjectsAndOthersAreNotRecorded) {
  Load(kPage);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Find(L"#more > b")->click(); // inside the second link
  Find(L"#box")->click();      // a WebElement: clicks on it are no steps
  auto edit = QueryAs<IHTMLElement3>(Find(L"#q").Get());
  BSTR change = SysAllocString(L"onchange");
  VARIANT none;
  VariantInit(&none);
  VARIANT_BOOL cancelled = VARIANT_FALSE;
  edit->fireEvent(change, &none, &cancelled);
  SysFreeString(change);
  ASSERT_EQ(StepCount(), 2) << StepText(0);
  EXPECT_EQ(StepText(0), "Link \"More news\" onclick 6=\"More news\"");
  EXPECT_EQ(StepText(1), "WebEdit \"q\" onchange 6=\"Tea\"");

  ASSERT_EQ(browser_->SetRecording(VARIANT_FALSE), S_OK);
  Find(L"#next")->click();
  EXPECT_EQ(StepCount(), 2);
  BSTR text = nullptr;
  EXPECT_EQ(browser_->GetStep(2, &text, nullptr), E_INVALIDARG);
  EXPECT_EQ(text, nullptr);
}

TEST_F(RecordingTest, StepsInFramesNameTheFrame) {
  LoadExample("frames.html");
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  ComPtr<IWebObj2> nav = Child(TopFrame().Get(), 0);
  Find(L"#lnkGrid", nav.Get())->click();
  ASSERT_EQ(StepCount(), 1);
  EXPECT_EQ(StepText(0), "Frame \"nav\" / Link \"Grid\" onclick 6=\"Grid\"");
}

} // namespace

// The detection utility: its configuration from the host's setting, the
// ASP.NET form test and the window's current event.
#include "KitHostTestSupport.h"

#include <mshtml.h>
#include <tallowick/Page.h>

#include "TallowickHost.h"
#include "recognition/WfKitUtil.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"

namespace {

constexpr wchar_t kShippedConfiguration[] =
    TALLOWICK_SOURCE_DIR L"/examples/config/WebFormsConfiguration.xml";

class WfKitUtilTest : public KitHostTest {
protected:
  static bool InAspxForm(const char *html, LPCOLESTR url, LPCOLESTR id) {
    CQilComPtr<IHTMLDocument2> document;
    EXPECT_EQ(tallowick::platform::LoadPageFromString(html, url, &document), S_OK);
    CQilComPtr<IHTMLElement> element = ById(document, id);
    EXPECT_TRUE(element) << id;
    return CWfKitUtil::IsInAspxForm(element);
  }
};

TEST_F(WfKitUtilTest, ConfigurationComesFromTheHostSetting) {
  StartAgentServices();
  SetSetting(L"web forms configuration file", CQilVariant(kShippedConfiguration));
  CWfKitUtil util;
  const CIEConfigurationObject &config = util.Configuration();
  EXPECT_EQ(config.GetSpecifierCount(), 2);
  LONG index = -1;
  EXPECT_EQ(config.GetSpecifierIndex(CQilBstr(L"Grid_Rules"), &index), S_OK);
  EXPECT_EQ(index, 1);
  CQilBstr rules;
  EXPECT_EQ(config.GetPropertyValue(1, L"rules", &rules), S_OK);
  EXPECT_STREQ(rules.Text(), L"all|rows|cols|");
}

TEST_F(WfKitUtilTest, WithoutAStringSettingTheTablesStayEmpty) {
  CWfKitUtil withoutServices; // no agent services yet
  CQilBstr rules;
  EXPECT_EQ(withoutServices.Configuration().GetPropertyValue(1, L"rules", &rules), E_FAIL);

  StartAgentServices();
  CWfKitUtil withoutSetting;
  EXPECT_EQ(withoutSetting.Configuration().GetPropertyValue(1, L"rules", &rules), E_FAIL);
  SetSetting(L"web forms configuration file", CQilVariant(LONG{3}));
  CWfKitUtil withNumber;
  EXPECT_EQ(withNumber.Configuration().GetPropertyValue(1, L"rules", &rules), E_FAIL);
  LONG index = -1;
  EXPECT_EQ(withNumber.Configuration().GetSpecifierIndex(CQilBstr(L"Grid_Main"), &index), S_OK);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(withNumber.Configuration().GetSpecifierCount(), 2);
}

TEST_F(WfKitUtilTest, AspxFormNeedsAFormAndTheLowerCaseExtension) {
  const char *page = R"(<form id="f"><table id="t"><tr><td id="c">x</td></tr></table></form>
<div id="outside"></div>)";
  EXPECT_TRUE(InAspxForm(page, L"http://example.test/app/page.aspx?x=1", L"c"));
  EXPECT_TRUE(InAspxForm(page, L"http://example.test/app/page.aspx", L"f"));
  EXPECT_FALSE(InAspxForm(page, L"http://example.test/app/PAGE.ASPX", L"c"));
  EXPECT_FALSE(InAspxForm(page, L"http://example.test/app/page.aspx", L"outside"));
  EXPECT_FALSE(InAspxForm(page, L"http://example.test/app/page.html", L"c"));
  EXPECT_FALSE(CWfKitUtil::IsInAspxForm(nullptr));
}

TEST_F(WfKitUtilTest, CurrentEventIsTheEventBeingFired) {
  CQilComPtr<IHTMLDocument2> document;
  ASSERT_EQ(tallowick::platform::LoadPageFromString("<button id=\"b\">go</button>",
                                                    L"http://example.test/a.aspx", &document),
            S_OK);
  CQilComPtr<IHTMLElement> button = ById(document, L"b");
  ASSERT_TRUE(button);
  EXPECT_FALSE(CWfKitUtil::GetCurrentEvent(button));
  EXPECT_FALSE(CWfKitUtil::GetCurrentEvent(nullptr));

  std::wstring seen = L"<none>";
  tallowick::platform::SetPageEventHandler(
      document, [&](const tallowick::platform::PageEvent &event) {
        CQilComPtr<IHTMLEventObj> current = CWfKitUtil::GetCurrentEvent(event.element);
        CQilBstr type;
        if (current && SUCCEEDED(current->get_type(&type)))
          seen = type.Text();
        return true;
      });
  CQilComPtr<IHTMLElement3> button3;
  ASSERT_EQ(button3.QueryFrom(button), S_OK);
  VARIANT_BOOL notCancelled = VARIANT_FALSE;
  button3->fireEvent(CQilBstr(L"onclick"), nullptr, &notCancelled);
  tallowick::platform::SetPageEventHandler(document, nullptr);
  EXPECT_EQ(seen, L"click");
}

} // namespace

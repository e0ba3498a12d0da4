// The calendar object on pages that ASP.NET renders, served by the example
// site on 127.0.0.1: attributes of every mode and selection, replay that
// posts back and reloads, recording through the host, and the day style
// learned across a real postback.
#include "CalendarTestSupport.h"

#include <memory>

#include "AspNetServer.h"

namespace calendar_test {
namespace {

using tallowick::test::AspNetServer;

class CalendarServerTest : public CalendarTest {
protected:
  static void SetUpTestSuite() {
    if (!AspNetServer::Unavailable().empty())
      return;
    server_ = new AspNetServer();
    if (!server_->Start())
      startError_ = server_->Error();
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (std::string why = AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    ASSERT_TRUE(startError_.empty()) << startError_;
    CalendarTest::SetUp();
  }

  void Open(const std::string &page) {
    std::wstring url = tallowick::platform::Widen(server_->Url(page));
    ASSERT_EQ(browser_->LoadPage(CQilBstr(url.c_str())), S_OK) << NavigationError();
    Sync();
  }
  // The document now in the window (a postback replaces it).
  void Sync() {
    CQilComPtr<IWebObj2> frame = TopFrame();
    CQilComPtr<IWIFrameAO> frameAO;
    CQilComPtr<IUnknown> document;
    ASSERT_EQ(frameAO.QueryFrom(frame), S_OK);
    ASSERT_EQ(frameAO->GetDocument(&document), S_OK);
    ASSERT_EQ(document_.QueryFrom(document), S_OK);
  }
  std::string NavigationError() {
    CQilBstr message;
    browser_->GetNavigationError(&message);
    return tallowick::platform::Narrow(message.Text());
  }
  // The page's "Selected:" label, as the server wrote it.
  std::wstring Label(LPCOLESTR id) {
    CQilComPtr<IHTMLElement> label = Element(id);
    CQilBstr text;
    if (!label || FAILED(label->get_innerText(&text)))
      return L"<none>";
    return text.Text();
  }
  std::wstring Title(LPCOLESTR id) {
    CQilComPtr<IWebObj2> calendar = Calendar(id);
    return calendar ? Attr(calendar, kAttrTitle) : L"<no calendar>";
  }
  // Runs a calendar method that posts back and loads the answer.
  HRESULT RunAndReload(LPCOLESTR id, Method method, IWebInfo *request) {
    CQilComPtr<IWebObj2> calendar = Calendar(id);
    if (!calendar)
      return E_FAIL;
    HRESULT hr = Run(calendar, method, request);
    Sync();
    return hr;
  }
  // Clicks a calendar link as a user does (the host records the click) and
  // loads the answer.
  void ClickAndReload(const std::wstring &argument) {
    CQilComPtr<IHTMLElement> link = LinkTo(argument);
    ASSERT_TRUE(link) << tallowick::platform::Narrow(argument);
    ASSERT_EQ(link->click(), S_OK) << NavigationError();
    Sync();
  }

  static AspNetServer *server_;
  static std::string startError_;
};

AspNetServer *CalendarServerTest::server_ = nullptr;
std::string CalendarServerTest::startError_;

TEST_F(CalendarServerTest, AttributesOfEveryModeAndSelection) {
  struct Case {
    const char *page;
    LPCOLESTR id;
    LPCOLESTR title, mode, kind, date;
  };
  for (const Case &c : {
           Case{"Calendar.aspx", L"Calendar1", L"January 2010", L"DayWeekMonth", L"Day",
                L"5-Jan-2010"},
           Case{"CalendarDay.aspx", L"DayCalendar", L"January 2010", L"Day", L"", L"<none>"},
           Case{"CalendarDayWeek.aspx", L"WeekCalendar", L"January 2010", L"DayWeek", L"Week",
                L"10-Jan-2010"},
           Case{"CalendarPlain.aspx", L"NoTitle", L"None", L"Day", L"Day", L"12-Jan-2010"},
           Case{"CalendarPlain.aspx", L"NoNavigation", L"February 2010", L"DayWeek", L"",
                L"<none>"},
           Case{"TwoCalendars.aspx", L"Start", L"January 2010", L"Day", L"Day", L"5-Jan-2010"},
           Case{"TwoCalendars.aspx", L"End", L"February 2010", L"DayWeek", L"", L"<none>"},
           // The server names a calendar without an ID; its month is today's.
           Case{"CalendarPlain.aspx", L"ctl00", nullptr, L"Day", L"", L"<none>"},
           // Inline colours decide what is selected: this page draws the other
           // month's days in gray, so the walk starts at 27 December.
           Case{"CalendarMonth.aspx", L"MonthCalendar", L"January 2010", L"DayWeekMonth", L"Month",
                L"27-Dec-2009"},
       }) {
    SCOPED_TRACE(std::string(c.page) + " " + tallowick::platform::Narrow(c.id));
    ASSERT_NO_FATAL_FAILURE(Open(c.page));
    ASSERT_TRUE(CWfCalendar::IsCalendar(Element(c.id)));
    CQilComPtr<IWebObj2> calendar = Calendar(c.id);
    ASSERT_TRUE(calendar);
    EXPECT_EQ(Attr(calendar, 146), c.id);
    if (c.title != nullptr) {
      EXPECT_EQ(Attr(calendar, kAttrTitle), c.title);
    }
    EXPECT_EQ(Attr(calendar, kAttrMode), c.mode);
    EXPECT_EQ(Attr(calendar, kAttrKind), c.kind);
    EXPECT_EQ(Attr(calendar, kAttrDate), c.date);
  }
}

TEST_F(CalendarServerTest, ReadOnlyCalendarsAreNoCalendars) {
  ASSERT_NO_FATAL_FAILURE(Open("CalendarReadOnly.aspx"));
  EXPECT_FALSE(CWfCalendar::IsCalendar(Element(L"ReadOnly")));
  EXPECT_FALSE(CWfCalendar::IsCalendar(Element(L"Disabled")));
}

TEST_F(CalendarServerTest, SelectDayPostsBackAndTheAnswerShowsIt) {
  ASSERT_NO_FATAL_FAILURE(Open("Calendar.aspx"));
  CQilComPtr<IHTMLDocument2> before = document_;
  EXPECT_EQ(RunAndReload(L"Calendar1", kSelectDay, DateRequest(L"8-Jan-2010")), S_OK)
      << NavigationError();
  std::vector<tallowick::platform::Navigation> posted;
  tallowick::platform::GetNavigations(before, &posted);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].method, L"post");
  bool argument = false;
  for (const auto &[name, value] : posted[0].fields)
    argument = argument || (name == L"__EVENTARGUMENT" && value == L"3660");
  EXPECT_TRUE(argument);
  EXPECT_NE(document_.Get(), before.Get());
  EXPECT_EQ(Label(L"Selection"), L"8-Jan-2010 (1)");
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  EXPECT_EQ(Attr(calendar, kAttrDate), L"8-Jan-2010");
  EXPECT_EQ(Attr(calendar, kAttrKind), L"Day");
}

// The server answers a range postback as it answers its own selector links
// (this server selects one day more than the count: 8 days for a week).
TEST_F(CalendarServerTest, SelectRangeOfAWeekAndOfAMonth) {
  struct Case {
    LPCOLESTR date, kind;
    LONG count;
    LPCOLESTR link;
  };
  for (const Case &c : {Case{L"13-Jan-2010", L"Week", 0, L"R366207"},
                        Case{L"20-Jan-2010", L"Month", 31, L"R365331"}}) {
    SCOPED_TRACE(tallowick::platform::Narrow(c.kind));
    ASSERT_NO_FATAL_FAILURE(Open("Calendar.aspx"));
    ASSERT_NO_FATAL_FAILURE(ClickAndReload(c.link));
    std::wstring ownLink = Label(L"Selection");
    std::wstring ownKind = Attr(Calendar(), kAttrKind);

    ASSERT_NO_FATAL_FAILURE(Open("Calendar.aspx"));
    CQilComPtr<IHTMLDocument2> before = document_;
    CQilComPtr<IWebInfo> request = DateRequest(c.date, c.kind);
    if (c.count != 0)
      request->InsertAttrLong(6, c.count, 1);
    EXPECT_EQ(RunAndReload(L"Calendar1", kSelectRange, request), S_OK) << NavigationError();
    std::vector<tallowick::platform::Navigation> posted;
    tallowick::platform::GetNavigations(before, &posted);
    ASSERT_EQ(posted.size(), 1u);
    bool argument = false;
    for (const auto &[name, value] : posted[0].fields)
      argument = argument || (name == L"__EVENTARGUMENT" && value == c.link);
    EXPECT_TRUE(argument);
    EXPECT_EQ(Label(L"Selection"), ownLink);
    CQilComPtr<IWebObj2> calendar = Calendar();
    ASSERT_TRUE(calendar);
    EXPECT_EQ(Attr(calendar, kAttrDate),
              std::wstring(c.link) == L"R366207" ? L"10-Jan-2010" : L"1-Jan-2010");
    EXPECT_EQ(Attr(calendar, kAttrKind), ownKind);
  }
}

// A validating page accepts only the month links' own arguments: a month
// they name is reached, another one is refused by the server and the page
// stays. Without validation any month can be shown.
TEST_F(CalendarServerTest, MonthNavigationMovesTheTitle) {
  ASSERT_NO_FATAL_FAILURE(Open("Calendar.aspx"));
  EXPECT_EQ(RunAndReload(L"Calendar1", kGoToMonth, DateRequest(L"6-Feb-2010")), S_FALSE);
  EXPECT_EQ(Title(L"Calendar1"), L"January 2010");
  EXPECT_EQ(RunAndReload(L"Calendar1", kGoToMonth, DateRequest(L"1-Dec-2009")), S_OK);
  EXPECT_EQ(Title(L"Calendar1"), L"December 2009");
  EXPECT_EQ(RunAndReload(L"Calendar1", kClickNextMonth, Request()), S_OK);
  EXPECT_EQ(Title(L"Calendar1"), L"January 2010");
  EXPECT_EQ(RunAndReload(L"Calendar1", kClickNextMonth, Request()), S_OK);
  EXPECT_EQ(Title(L"Calendar1"), L"February 2010");
  EXPECT_EQ(RunAndReload(L"Calendar1", kClickPrevMonth, Request()), S_OK);
  EXPECT_EQ(RunAndReload(L"Calendar1", kClickPrevMonth, Request()), S_OK);
  EXPECT_EQ(Title(L"Calendar1"), L"December 2009");
  EXPECT_TRUE(FAILED(RunAndReload(L"Calendar1", kGoToMonth, DateRequest(L"15-Mar-2010"))));
  EXPECT_NE(NavigationError(), "");
  EXPECT_EQ(Title(L"Calendar1"), L"December 2009");

  ASSERT_NO_FATAL_FAILURE(Open("CalendarNoValidation.aspx"));
  EXPECT_EQ(RunAndReload(L"Calendar1", kGoToMonth, DateRequest(L"15-Mar-2010")), S_OK)
      << NavigationError();
  EXPECT_EQ(Title(L"Calendar1"), L"March 2010");
}

TEST_F(CalendarServerTest, RecordsUserClicksThroughThePostbacks) {
  ASSERT_NO_FATAL_FAILURE(Open("Calendar.aspx"));
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  for (LPCOLESTR argument : {L"3660", L"R366207", L"R365331", L"V3622"})
    ASSERT_NO_FATAL_FAILURE(ClickAndReload(argument));
  EXPECT_EQ(Title(L"Calendar1"), L"December 2009");
  ASSERT_EQ(StepCount(), 4);
  const std::pair<LPCOLESTR, LPCOLESTR> expected[] = {{L"Day", L"8-Jan-2010"},
                                                      {L"Week", L"10-Jan-2010"},
                                                      {L"Month", L"1-Jan-2010"},
                                                      {L"PrevMonth", L""}};
  for (LONG i = 0; i < 4; ++i) {
    CQilComPtr<IWebInfo> record = StepRecord(i);
    ASSERT_TRUE(record);
    EXPECT_EQ(Entry(record, kAttrKind), expected[i].first) << i;
    EXPECT_EQ(Entry(record, kAttrDate), expected[i].second) << i;
    EXPECT_EQ(StepText(i).rfind(L"WbfCalendar \"Calendar1\" onclick", 0), 0u)
        << tallowick::platform::Narrow(StepText(i));
  }
}

// Record a click on a day (or the first day of a week), let the page post
// back, and the calendar built for the answer learns how the server drew it.
TEST_F(CalendarServerTest, LearnsTheDayStyleAcrossARealPostback) {
  struct Case {
    const char *page;
    LPCOLESTR id, link, date, kind, className, background;
  };
  for (const Case &c :
       {Case{"CalendarDay.aspx", L"DayCalendar", L"3660", L"8-Jan-2010", L"Day", L"", L"navy"},
        // The server draws its own inline colours beside the class.
        Case{"CalendarDayWeek.aspx", L"WeekCalendar", L"R367607", L"24-Jan-2010", L"Month",
             L"picked", L"silver"}}) {
    SCOPED_TRACE(c.page);
    CWfCalendarDayStyle::Learned().Reset();
    ASSERT_NO_FATAL_FAILURE(Open(c.page));
    ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
    ASSERT_NO_FATAL_FAILURE(ClickAndReload(c.link));
    ASSERT_EQ(browser_->SetRecording(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(CWfCalendarDayStyle::Learned().isEmpty);

    CQilComPtr<IWebObj2> calendar = Calendar(c.id);
    ASSERT_TRUE(calendar);
    CQilComPtr<IWebInfo> drawn = DateRequest(c.date);
    EXPECT_EQ(Run(calendar, kGetDayStyle, drawn), S_OK);
    CQilComPtr<IWebInfo> query = Request();
    query->InsertAttrLong(6, 0, 1);
    EXPECT_EQ(Run(calendar, kGetSelectionByStyle, query), S_OK);
    for (LONG id : {21L, 118L, 22L, 139L})
      EXPECT_EQ(Entry(query, id), Entry(drawn, id)) << id;
    EXPECT_EQ(Entry(query, 139), c.className);
    EXPECT_EQ(lstrcmpiW(Entry(query, 118).c_str(), c.background), 0) << Entry(query, 118);
    EXPECT_EQ(Entry(query, kAttrDate), c.date);
    // This server selects a day more than a week: the 8 days read as a month.
    EXPECT_EQ(Entry(query, kAttrKind), c.kind);
  }
  EXPECT_EQ(StepCount(), 2);
}

// The server's own classes and colours: a month drawn in a style object's
// background colour, found by that style.
TEST_F(CalendarServerTest, FindsAMonthByItsStyle) {
  ASSERT_NO_FATAL_FAILURE(Open("CalendarMonth.aspx"));
  CQilComPtr<IWebObj2> calendar = Calendar(L"MonthCalendar");
  ASSERT_TRUE(calendar);
  CQilComPtr<IWebInfo> drawn = DateRequest(L"13-Jan-2010");
  EXPECT_EQ(Run(calendar, kGetDayStyle, drawn), S_OK);
  EXPECT_EQ(Entry(drawn, 22), L"italic");
  CQilComPtr<IWebInfo> query = Request();
  query->InsertAttrLong(6, 1, 1);
  query->InsertAttrString(118, CQilBstr(Entry(drawn, 118).c_str()), 1);
  query->InsertAttrString(22, CQilBstr(L"italic"), 1);
  EXPECT_EQ(Run(calendar, kGetSelectionByStyle, query), S_OK);
  EXPECT_EQ(Entry(query, kAttrDate), L"1-Jan-2010");
  EXPECT_EQ(Entry(query, kAttrKind), L"Month");
}

} // namespace
} // namespace calendar_test

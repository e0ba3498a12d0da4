// The calendar object on pages written as ASP.NET renders its Calendar:
// recognition, attributes, postbacks built from the page's control name,
// recording through the host and the learned day style.
#include "CalendarTestSupport.h"

namespace calendar_test {
namespace {

const long kJan5 = DayNumber(2010, 1, 5);

// A table of 8 rows whose row 4 holds day links with the given texts in
// cells 3 to 5.
std::string DayRowTable(const char *id, const char *title, int before, int middle, int after) {
  std::string html = std::string("<table id=\"") + id + "\" title=\"" + title + "\">";
  for (int row = 0; row < 8; ++row) {
    html += "<tr>";
    for (int cell = 0; cell < 7; ++cell) {
      int text = row != 4 ? 0 : cell == 3 ? before : cell == 4 ? middle : cell == 5 ? after : 0;
      html += "<td><a href=\"javascript:__doPostBack('C','" + std::to_string(row * 7 + cell) +
              "')\">" + std::to_string(text) + "</a></td>";
    }
    html += "</tr>";
  }
  return html + "</table>";
}

bool IsCalendarTable(IHTMLElement *table) { return CWfCalendar::IsCalendar(table); }

TEST_F(CalendarTest, RecognisesTablesByTheirMidMonthDayLinks) {
  Show(PostBackPage(DayRowTable("mid", "", 12, 13, 14) + DayRowTable("end", "", 30, 31, 1) +
                    DayRowTable("first", "", 31, 1, 2) + DayRowTable("last", "", 30, 31, 32) +
                    DayRowTable("", "", 12, 13, 14) + DayRowTable("", "titled", 12, 13, 14)));
  EXPECT_TRUE(IsCalendarTable(Element(L"mid")));
  EXPECT_FALSE(IsCalendarTable(Element(L"end")));
  EXPECT_FALSE(IsCalendarTable(Element(L"first")));
  EXPECT_FALSE(IsCalendarTable(Element(L"last")));
  CQilComPtr<IHTMLElementCollection> tables;
  CQilComPtr<IDispatch> tagged;
  CQilComPtr<IHTMLElementCollection> all;
  ASSERT_EQ(document_->get_all(&all), S_OK);
  ASSERT_EQ(all->tags(CQilVariant(L"TABLE"), &tagged), S_OK);
  ASSERT_EQ(tables.QueryFrom(tagged), S_OK);
  CQilComPtr<IDispatch> untitled;
  CQilComPtr<IDispatch> titled;
  ASSERT_EQ(tables->item(CQilVariant(LONG{4}), CQilVariant(LONG{0}), &untitled), S_OK);
  ASSERT_EQ(tables->item(CQilVariant(LONG{5}), CQilVariant(LONG{0}), &titled), S_OK);
  CQilComPtr<IHTMLElement> noIdNoTitle;
  CQilComPtr<IHTMLElement> noIdWithTitle;
  ASSERT_EQ(noIdNoTitle.QueryFrom(untitled), S_OK);
  ASSERT_EQ(noIdWithTitle.QueryFrom(titled), S_OK);
  EXPECT_FALSE(IsCalendarTable(noIdNoTitle));
  EXPECT_TRUE(IsCalendarTable(noIdWithTitle));
  EXPECT_FALSE(IsCalendarTable(nullptr));
  EXPECT_FALSE(IsCalendarTable(Element(L"__EVENTTARGET")));
}

TEST_F(CalendarTest, RecognisesEveryModeWithLinksButNotAReadOnlyCalendar) {
  for (const char *mode : {"Day", "DayWeek", "DayWeekMonth", "None"}) {
    for (bool showTitle : {true, false}) {
      CalendarMarkup markup;
      markup.mode = mode;
      markup.showTitle = showTitle;
      ShowCalendar(markup);
      EXPECT_EQ(IsCalendarTable(Element(L"Calendar1")), std::string(mode) != "None")
          << mode << " " << showTitle;
    }
  }
}

TEST_F(CalendarTest, ReportsTitleModeAndSelection) {
  struct Case {
    const char *mode;
    long first;
    int count;
    LPCOLESTR kind;
    LPCOLESTR date;
  };
  const long week = DayNumber(2010, 1, 10);
  const long month = DayNumber(2010, 1, 1);
  for (const Case &c : {Case{"Day", kJan5, 1, L"Day", L"5-Jan-2010"},
                        Case{"DayWeekMonth", kJan5, 1, L"Day", L"5-Jan-2010"},
                        Case{"DayWeek", week, 7, L"Week", L"10-Jan-2010"},
                        Case{"DayWeekMonth", week, 7, L"Week", L"10-Jan-2010"},
                        Case{"DayWeekMonth", month, 31, L"Month", L"1-Jan-2010"},
                        // No selected day: the walk's last value, an empty kind.
                        Case{"DayWeekMonth", -1, 0, L"", L"<none>"}}) {
    CalendarMarkup markup;
    markup.mode = c.mode;
    markup.selectedFirst = c.first;
    markup.selectedCount = c.count;
    ShowCalendar(markup);
    CQilComPtr<IWebObj2> calendar = Calendar();
    ASSERT_TRUE(calendar) << c.mode;
    EXPECT_EQ(Attr(calendar, 0), L"WbfCalendar");
    EXPECT_EQ(Attr(calendar, 146), L"Calendar1");
    EXPECT_EQ(Attr(calendar, kAttrTitle), L"January 2010");
    EXPECT_EQ(Attr(calendar, kAttrMode), tallowick::platform::Widen(c.mode));
    EXPECT_EQ(Attr(calendar, kAttrKind), c.kind) << c.mode << " " << c.first;
    EXPECT_EQ(Attr(calendar, kAttrDate), c.date) << c.mode << " " << c.first;
  }
}

TEST_F(CalendarTest, TitleOfASingleCellTitleTableOrNone) {
  CalendarMarkup markup;
  markup.showNavigation = false;
  ShowCalendar(markup);
  EXPECT_EQ(Attr(Calendar(), kAttrTitle), L"January 2010");
  markup.showTitle = false;
  ShowCalendar(markup);
  EXPECT_EQ(Attr(Calendar(), kAttrTitle), L"None");
  EXPECT_EQ(Attr(Calendar(), kAttrMode), L"Day"); // row 4 is a week row also without a title
}

// A calendar without day links: every cell lacks a postback, so the walk ends
// on "Month"; a table without cells gives "None".
TEST_F(CalendarTest, KindOfACalendarWithoutDayLinks) {
  CalendarMarkup markup;
  markup.mode = "None";
  Show(PostBackPage(markup.Render() + "<table id=\"empty\"></table>"));
  CQilComPtr<IWebObj2> readOnly;
  ASSERT_EQ(CreateWebObject<CWfCalendar>(&readOnly, Element(L"Calendar1").Get(), TopFrame().Get()),
            S_OK);
  EXPECT_EQ(Attr(readOnly, kAttrMode), L"None");
  EXPECT_EQ(Attr(readOnly, kAttrKind), L"Month");
  CQilComPtr<IWebObj2> empty;
  ASSERT_EQ(CreateWebObject<CWfCalendar>(&empty, Element(L"empty").Get(), TopFrame().Get()), S_OK);
  EXPECT_EQ(Attr(empty, kAttrKind), L"None");
  EXPECT_EQ(Attr(empty, kAttrTitle), L"None");
  EXPECT_EQ(Attr(empty, kAttrMode), L"None");
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(empty->GetAttrEx(kAttrDate, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(empty->GetAttr(kAttrDate, nullptr, &value), S_OK); // no value is no failure
  EXPECT_FALSE(value);
}

TEST_F(CalendarTest, DayNumbersAsDateTexts) {
  for (const auto &[day, text] : {std::pair<LONG, LPCOLESTR>{0, L"1-Jan-2000"},
                                  {3653, L"1-Jan-2010"},
                                  {3657, L"5-Jan-2010"},
                                  {-1, L"31-Dec-1999"},
                                  {DayNumber(2012, 2, 29), L"29-Feb-2012"}}) {
    CQilBstr formatted;
    ASSERT_TRUE(CWfCalendar::DateText(day, formatted)) << day;
    EXPECT_STREQ(formatted.Text(), text);
  }
}

TEST_F(CalendarTest, SelectionsPostBackDayNumbers) {
  CalendarMarkup markup;
  markup.mode = "DayWeekMonth";
  ShowCalendar(markup);
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  EXPECT_EQ(Run(calendar, kSelectDay, DateRequest(L"5-Jan-2010")), S_OK);
  // Week: back to the first day of the week of a Wednesday.
  EXPECT_EQ(Run(calendar, kSelectRange, DateRequest(L"13-Jan-2010", L"Week")), S_OK);
  CQilComPtr<IWebInfo> month = DateRequest(L"20-Jan-2010", L"Month");
  month->InsertAttrLong(6, 31, 1);
  EXPECT_EQ(Run(calendar, kSelectRange, month), S_OK);
  // A day of another month; one shown in the neighbouring month's days is on view.
  EXPECT_EQ(Run(calendar, kGoToMonth, DateRequest(L"15-Mar-2010")), S_OK);
  EXPECT_EQ(Run(calendar, kGoToMonth, DateRequest(L"27-Dec-2009")), S_FALSE);
  EXPECT_EQ(Run(calendar, kGoToMonth, DateRequest(L"6-Feb-2010")), S_FALSE);
  EXPECT_EQ(Run(calendar, kClickPrevMonth, Request()), S_OK);
  EXPECT_EQ(Run(calendar, kClickNextMonth, Request()), S_OK);
  EXPECT_EQ(PostBacks(), (std::vector<std::wstring>{
                             L"Calendar1,3657", L"Calendar1,R366207", L"Calendar1,R365331",
                             L"Calendar1,V" + std::to_wstring(DayNumber(2010, 3, 15)),
                             L"Calendar1,V3622", L"Calendar1,V3684"}));
}

TEST_F(CalendarTest, BadRequestsPostNothing) {
  CalendarMarkup markup;
  markup.mode = "DayWeekMonth";
  markup.showNavigation = false;
  ShowCalendar(markup);
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  EXPECT_EQ(Run(calendar, kSelectDay, Request()), E_INVALIDARG);
  EXPECT_EQ(Run(calendar, kSelectDay, DateRequest(L"not a date")), E_INVALIDARG);
  EXPECT_EQ(Run(calendar, kGoToMonth, DateRequest(nullptr, L"Week")), E_INVALIDARG);
  EXPECT_EQ(Run(calendar, kSelectRange, DateRequest(L"5-Jan-2010")), E_INVALIDARG);
  EXPECT_EQ(Run(calendar, kSelectRange, DateRequest(L"5-Jan-2010", L"Month")), E_INVALIDARG);
  // Kinds are compared exactly: "week" is no week, and needs a count.
  EXPECT_EQ(Run(calendar, kSelectRange, DateRequest(L"5-Jan-2010", L"week")), E_INVALIDARG);
  EXPECT_EQ(Run(calendar, kGetDayStyle, DateRequest(L"5-Jan-2011")), E_FAIL);
  // A title without month links.
  EXPECT_EQ(Run(calendar, kClickPrevMonth, Request()), E_FAIL);
  EXPECT_EQ(Run(calendar, kClickNextMonth, Request()), E_FAIL);
  EXPECT_TRUE(PostBacks().empty());
  EXPECT_EQ(Invoke(calendar, static_cast<METHOD_NAME_ENUM>(kSelectDay), nullptr), E_POINTER);
}

TEST_F(CalendarTest, WithoutAControlNameNoScriptRuns) {
  CalendarMarkup markup;
  markup.mode = "None";
  markup.showNavigation = false;
  ShowCalendar(markup);
  CQilComPtr<IWebObj2> readOnly;
  ASSERT_EQ(CreateWebObject<CWfCalendar>(&readOnly, Element(L"Calendar1").Get(), TopFrame().Get()),
            S_OK);
  EXPECT_EQ(Run(readOnly, kSelectDay, DateRequest(L"5-Jan-2010")), E_FAIL);
  EXPECT_TRUE(PostBacks().empty());
}

// The name in the page's links is a script literal: the postback carries the
// name that the page's own link posts, and the text cannot close the call.
TEST_F(CalendarTest, PostBackNameIsEscapedForTheScript) {
  CalendarMarkup markup;
  markup.nameLiteral = R"(Cal\'s\\1)";
  ShowCalendar(markup);
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  CQilComPtr<IHTMLElement> link = LinkTo(std::to_wstring(kJan5));
  ASSERT_TRUE(link);
  ASSERT_EQ(link->click(), S_OK);
  EXPECT_EQ(Run(calendar, kSelectDay, DateRequest(L"5-Jan-2010")), S_OK);
  EXPECT_EQ(PostBacks(), (std::vector<std::wstring>{LR"(Cal's\1,3657)", LR"(Cal's\1,3657)"}));

  markup.nameLiteral = "x');document.title='owned';//";
  ShowCalendar(markup);
  calendar = Calendar();
  ASSERT_TRUE(calendar);
  EXPECT_EQ(Run(calendar, kSelectDay, DateRequest(L"5-Jan-2010")), S_OK);
  CQilBstr title;
  ASSERT_EQ(document_->get_title(&title), S_OK);
  EXPECT_STREQ(title.Text(), L"Calendar");
  EXPECT_EQ(PostBacks(), (std::vector<std::wstring>{L"x');document.title='owned';//,3657"}));
}

TEST_F(CalendarTest, ScriptLiteralsBothWays) {
  EXPECT_EQ(CWfCalendar::EscapeScriptLiteral(L"a'b\\c\"\n\x2028"), L"a\\'b\\\\c\\\"\\u000A\\u2028");
  EXPECT_EQ(CWfCalendar::UnescapeScriptLiteral(L"a\\'b\\\\c\\x41\\u0042\\n\\q\\"),
            L"a'b\\cAB\nq\\");
  std::wstring odd = L"$ctl00'\\x\t";
  EXPECT_EQ(CWfCalendar::UnescapeScriptLiteral(CWfCalendar::EscapeScriptLiteral(odd)), odd);
}

TEST_F(CalendarTest, RecordsClicksOnDaysRangesAndMonthLinks) {
  CalendarMarkup markup;
  markup.mode = "DayWeekMonth";
  std::string html = markup.Render();
  // A second month selector whose range counts 31 days from a mid-month day.
  html.insert(html.find("&gt;&gt;</a>") + 12,
              markup.Link("R366231", "m", "month from the 10th").c_str());
  Show(PostBackPage(html));
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  for (LPCOLESTR argument : {L"3657", L"R366207", L"R365331", L"R366231", L"V3622", L"V3684"}) {
    CQilComPtr<IHTMLElement> link = LinkTo(argument);
    ASSERT_TRUE(link) << tallowick::platform::Narrow(argument);
    Fire(link, L"onclick");
  }
  Fire(LinkTo(L"3658"), L"ondblclick");
  ASSERT_EQ(StepCount(), 6);
  struct Expected {
    LPCOLESTR kind;
    LPCOLESTR date;
  };
  const Expected expected[] = {{L"Day", L"5-Jan-2010"},   {L"Week", L"10-Jan-2010"},
                               {L"Month", L"1-Jan-2010"}, {L"Month", L"10-Jan-2010"},
                               {L"PrevMonth", L""},       {L"NextMonth", L""}};
  CQilComPtr<IWebRunTimeID> calendarId;
  ASSERT_EQ(calendar->GetId(&calendarId), S_OK);
  for (LONG i = 0; i < 6; ++i) {
    CQilComPtr<IWebInfo> record = StepRecord(i);
    ASSERT_TRUE(record);
    EXPECT_EQ(Entry(record, kAttrKind), expected[i].kind) << i;
    EXPECT_EQ(Entry(record, kAttrDate), expected[i].date) << i;
    EXPECT_EQ(Entry(record, 0), L"WbfCalendar");
    CQilComPtr<IWebRunTimeID> recorded;
    ASSERT_EQ(record->GetRTID(&recorded), S_OK);
    EXPECT_EQ(recorded->IsEqual(calendarId), S_OK) << i;
    EXPECT_EQ(StepText(i).rfind(L"WbfCalendar \"Calendar1\" onclick", 0), 0u)
        << tallowick::platform::Narrow(StepText(i));
  }
}

TEST_F(CalendarTest, OnlyClicksAreRecorded) {
  CalendarMarkup markup;
  ShowCalendar(markup);
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  CQilComPtr<IHTMLElement> link = LinkTo(std::to_wstring(kJan5));
  ASSERT_TRUE(link);
  CQilComPtr<IWebInfo> record = Request();
  record->InsertAttrString(64, CQilBstr(L"ondblclick"), 1);
  IWebInfo *raw = record;
  tagWIEventData data{};
  EXPECT_EQ(calendar->FillRecordInformation(link, data, &raw), S_FALSE);
  EXPECT_EQ(Entry(record, kAttrKind), L"<none>");
  EXPECT_EQ(calendar->FillRecordInformation(link, data, nullptr), E_POINTER);
  // A click elsewhere than on a link: nothing to classify.
  CQilComPtr<IHTMLElement> cell;
  ASSERT_EQ(link->get_parentElement(&cell), S_OK);
  record = Request();
  record->InsertAttrString(64, CQilBstr(L"onclick"), 1);
  raw = record;
  EXPECT_EQ(calendar->FillRecordInformation(cell, data, &raw), E_FAIL);
  EXPECT_TRUE(CWfCalendarDayStyle::Learned().postBackName.IsEmpty());
}

// A recorded click is remembered; the calendar built for the next page with
// the same control name captures how that day is drawn.
TEST_F(CalendarTest, LearnsTheSelectedDayStyleAfterAReload) {
  CalendarMarkup markup;
  ShowCalendar(markup);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Fire(LinkTo(std::to_wstring(kJan5)), L"onclick");
  ASSERT_EQ(StepCount(), 1);
  CWfCalendarDayStyle &learned = CWfCalendarDayStyle::Learned();
  EXPECT_TRUE(learned.isEmpty);
  EXPECT_STREQ(learned.postBackName.Text(), L"Calendar1");
  EXPECT_EQ(learned.day, kJan5);

  // Before a capture, mode 0 reads nothing.
  CQilComPtr<IWebInfo> query = Request();
  query->InsertAttrLong(6, 0, 1);
  EXPECT_EQ(Run(Calendar(), kGetSelectionByStyle, query), S_OK);
  EXPECT_EQ(Entry(query, kAttrDate), L"None");
  EXPECT_EQ(Entry(query, 21), L"<none>");

  markup.selectedFirst = kJan5;
  markup.selectedCount = 1;
  markup.selectedStyle = "color:#FFFFFF;background-color:#333399;font-style:italic;";
  markup.selectedClass = "picked";
  ShowCalendar(markup);
  EXPECT_FALSE(learned.isEmpty);
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  CQilComPtr<IWebInfo> drawn = DateRequest(L"5-Jan-2010");
  EXPECT_EQ(Run(calendar, kGetDayStyle, drawn), S_OK);
  EXPECT_EQ(Entry(drawn, 139), L"picked");
  EXPECT_EQ(Entry(drawn, 22), L"italic");
  query = Request();
  query->InsertAttrLong(6, 0, 1);
  EXPECT_EQ(Run(calendar, kGetSelectionByStyle, query), S_OK);
  for (LONG id : {21L, 118L, 22L, 139L})
    EXPECT_EQ(Entry(query, id), Entry(drawn, id)) << id;
  EXPECT_NE(Entry(query, 118), L"");
  EXPECT_EQ(Entry(query, kAttrDate), L"5-Jan-2010");
  EXPECT_EQ(Entry(query, kAttrKind), L"Day");

  // Captured: later clicks are not remembered any more.
  Fire(LinkTo(L"3660"), L"onclick");
  EXPECT_EQ(learned.day, kJan5);
}

TEST_F(CalendarTest, ACalendarWithAnotherNameForgetsTheClick) {
  CalendarMarkup markup;
  ShowCalendar(markup);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  Fire(LinkTo(std::to_wstring(kJan5)), L"onclick");
  ASSERT_FALSE(CWfCalendarDayStyle::Learned().postBackName.IsEmpty());
  markup.nameLiteral = "Other";
  markup.selectedFirst = kJan5;
  markup.selectedCount = 1;
  ShowCalendar(markup);
  EXPECT_TRUE(CWfCalendarDayStyle::Learned().isEmpty);
  EXPECT_TRUE(CWfCalendarDayStyle::Learned().postBackName.IsEmpty());
}

TEST_F(CalendarTest, SelectionByAGivenStyle) {
  CalendarMarkup markup;
  markup.mode = "DayWeek";
  markup.selectedFirst = DayNumber(2010, 1, 17);
  markup.selectedCount = 7;
  markup.selectedStyle = "background-color:#FFCC66;";
  ShowCalendar(markup);
  CQilComPtr<IWebObj2> calendar = Calendar();
  ASSERT_TRUE(calendar);
  CQilComPtr<IWebInfo> query = Request();
  query->InsertAttrLong(6, 1, 1);
  query->InsertAttrString(118, CQilBstr(L"#ffcc66"), 1);
  EXPECT_EQ(Run(calendar, kGetSelectionByStyle, query), S_OK);
  EXPECT_EQ(Entry(query, kAttrDate), L"17-Jan-2010");
  EXPECT_EQ(Entry(query, kAttrKind), L"Week");
  // No field to compare matches nothing; no mode does nothing.
  for (bool withMode : {true, false}) {
    query = Request();
    if (withMode)
      query->InsertAttrLong(6, 1, 1);
    EXPECT_EQ(Run(calendar, kGetSelectionByStyle, query), S_OK);
    EXPECT_EQ(Entry(query, kAttrDate), L"None");
    EXPECT_EQ(Entry(query, kAttrKind), L"None");
  }
}

} // namespace
} // namespace calendar_test

// Calendars in the host's object tree: a kit factory that makes a calendar
// object for every TABLE that passes the calendar test, calendar markup as
// ASP.NET renders it, and readers for attributes, requests and postbacks.
#pragma once

#include "WebObjTestSupport.h"

#include <string>
#include <vector>

#include "controls/WfCalendar.h"
#include "controls/WfCalendarDayStyle.h"
#include "kit/TallowickIE.h"
#include "recognition/TallowickFactoryIE.h"
#include "recognition/WfKitUtil.h"
#include "tallowick/Page.h"
#include "tallowick/Strings.h"
#include "webobj/RecordConfig.h"

namespace calendar_test {

constexpr LONG kCalendarClass = 1028;
constexpr LONG kAttrTitle = 16;
constexpr LONG kAttrMode = 16384;
constexpr LONG kAttrKind = 16385;
constexpr LONG kAttrDate = 16386;

enum Method : LONG {
  kGoToMonth = 1030,
  kSelectDay = 1031,
  kSelectRange = 1032,
  kClickPrevMonth = 1033,
  kClickNextMonth = 1034,
  kGetSelectionByStyle = 1035,
  kGetDayStyle = 1036,
};

// Days since 1 January 2000 of a civil date.
inline long DayNumber(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  long era = (year >= 0 ? year : year - 399) / 400;
  long yoe = year - era * 400;
  long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 730425; // 730425: 1 January 2000 from 1 March 0000
}

// A calendar of one month as ASP.NET's Calendar renders it: title row with
// month links, day-name row, six weeks from the Sunday before the 1st.
struct CalendarMarkup {
  std::string id = "Calendar1";
  std::string title = "Calendar";        // the table's title attribute
  std::string nameLiteral = "Calendar1"; // the control name as a script literal
  int year = 2010;
  int month = 1;
  std::string mode = "Day"; // "None", "Day", "DayWeek", "DayWeekMonth"
  bool showTitle = true;
  bool showNavigation = true;
  long selectedFirst = -1; // day number of the first selected day
  int selectedCount = 0;
  std::string selectedStyle = "color:White;background-color:Silver;";
  std::string selectedClass;

  std::string Link(const std::string &argument, const std::string &text,
                   const std::string &title) const {
    return "<a href=\"javascript:__doPostBack('" + nameLiteral + "','" + argument +
           "')\" style=\"color:Black\" title=\"" + title + "\">" + text + "</a>";
  }
  std::string Render() const;
};

inline std::string CalendarMarkup::Render() const {
  static const char *const kMonths[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
  static const char *const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
  bool weeks = mode == "DayWeek" || mode == "DayWeekMonth";
  int columns = weeks ? 8 : 7;
  long first = DayNumber(year, month, 1);
  int nextYear = month == 12 ? year + 1 : year;
  int nextMonth = month == 12 ? 1 : month + 1;
  int previousYear = month == 1 ? year - 1 : year;
  int previousMonth = month == 1 ? 12 : month - 1;
  long monthLength = DayNumber(nextYear, nextMonth, 1) - first;
  long weekday = (first + 6) % 7; // 1 January 2000 was a Saturday
  long start = first - (weekday == 0 ? 7 : weekday);
  std::string html = "<table id=\"" + id + "\" cellspacing=\"0\" cellpadding=\"2\" title=\"" +
                     title + "\" border=\"0\" style=\"width:220px;border-collapse:collapse;\">";
  std::string monthTitle = std::string(kMonths[month - 1]) + " " + std::to_string(year);
  if (showTitle) {
    html += "<tr><td colspan=\"" + std::to_string(columns) +
            "\" style=\"background-color:Silver;\"><table cellspacing=\"0\" border=\"0\" "
            "style=\"width:100%;border-collapse:collapse;\"><tr>";
    if (showNavigation)
      html += "<td style=\"width:15%;\">" +
              Link("V" + std::to_string(DayNumber(previousYear, previousMonth, 1)), "&lt;",
                   "Go to the previous month") +
              "</td>";
    html += "<td align=\"center\" style=\"width:70%;\">" + monthTitle + "</td>";
    if (showNavigation)
      html += "<td align=\"right\" style=\"width:15%;\">" +
              Link("V" + std::to_string(DayNumber(nextYear, nextMonth, 1)), "&gt;",
                   "Go to the next month") +
              "</td>";
    html += "</tr></table></td></tr>";
  }
  html += "<tr>";
  if (mode == "DayWeekMonth")
    html += "<td align=\"center\">" +
            Link("R" + std::to_string(first) + std::to_string(monthLength), "&gt;&gt;",
                 "Select the whole month") +
            "</td>";
  else if (weeks)
    html += "<td align=\"center\">&nbsp;</td>";
  for (const char *day : kDays)
    html += std::string("<th align=\"center\" abbr=\"") + day + "\" scope=\"col\">" +
            std::string(day, 3) + "</th>";
  html += "</tr>";
  for (int week = 0; week < 6; ++week) {
    long weekStart = start + week * 7;
    html += "<tr>";
    if (weeks)
      html += "<td align=\"center\" style=\"width:12%;\">" +
              Link("R" + std::to_string(weekStart) + "07", "&gt;",
                   "Select week " + std::to_string(week + 1)) +
              "</td>";
    for (int d = 0; d < 7; ++d) {
      long day = weekStart + d;
      bool selected = day >= selectedFirst && day < selectedFirst + selectedCount;
      std::string style = selected ? selectedStyle : "";
      style += weeks ? "width:12%;" : "width:14%;";
      html += "<td align=\"center\"";
      if (selected && !selectedClass.empty())
        html += " class=\"" + selectedClass + "\"";
      html += " style=\"" + style + "\">";
      long offset = day - first;
      int dayOfMonth = 0;
      if (offset < 0)
        dayOfMonth = static_cast<int>(day - DayNumber(previousYear, previousMonth, 1)) + 1;
      else if (offset >= monthLength)
        dayOfMonth = static_cast<int>(offset - monthLength) + 1;
      else
        dayOfMonth = static_cast<int>(offset) + 1;
      std::string text = std::to_string(dayOfMonth);
      html += mode == "None" ? text : Link(std::to_string(day), text, "day " + text);
      html += "</td>";
    }
    html += "</tr>";
  }
  return html + "</table>";
}

// A page around calendars with the script that ASP.NET emits for postbacks.
inline std::string PostBackPage(const std::string &body) {
  return R"(<html><head><title>Calendar</title></head><body>
<form name="form1" method="post" action="Calendar.aspx" id="form1">
<input type="hidden" name="__EVENTTARGET" id="__EVENTTARGET" value="" />
<input type="hidden" name="__EVENTARGUMENT" id="__EVENTARGUMENT" value="" />
<script type="text/javascript">
var theForm = document.forms['form1'];
function __doPostBack(eventTarget, eventArgument) {
    if (!theForm.onsubmit || (theForm.onsubmit() != false)) {
        theForm.__EVENTTARGET.value = eventTarget;
        theForm.__EVENTARGUMENT.value = eventArgument;
        theForm.submit();
    }
}
</script>
)" + body +
         "\n</form></body></html>";
}

// The kit's factory making calendars; the record AO is the kit factory's own choice.
class CCalendarFactory final : public CTallowickFactoryIE {
protected:
  CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent) override {
    CQilComPtr<IHTMLElement> html;
    CQilComPtr<IWebObj2> ao;
    if (SUCCEEDED(html.QueryFrom(element)) && html && CWfCalendar::IsCalendar(html))
      CreateWebObject<CWfCalendar>(&ao, element, parent);
    return ao;
  }
};

class CalendarTest : public KitTreeTest {
protected:
  void SetUp() override {
    KitTreeTest::SetUp();
    CWfCalendarDayStyle::Learned().Reset();
    ASSERT_NO_FATAL_FAILURE(StartBrowser<CCalendarFactory>());
  }
  void TearDown() override {
    // The learned style holds a host run-time id: let it go with the host.
    CWfCalendarDayStyle::ReleaseLearned();
    KitTreeTest::TearDown();
  }

  // A file URL that names no file: postbacks are recorded by the page, which stays.
  void Show(const std::string &html,
            LPCOLESTR url = L"file:///tallowick-calendar-test/none/Calendar.aspx") {
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, url, &document_), S_OK);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
  }
  void ShowCalendar(const CalendarMarkup &markup) { Show(PostBackPage(markup.Render())); }
  // The tree's object for the element with `id`.
  CQilComPtr<IWebObj2> TreeAO(IHTMLElement *element) {
    return HostServices::GetHostAO(element, TopFrame().Get(), VARIANT_FALSE);
  }
  CQilComPtr<IWebObj2> Calendar(LPCOLESTR id = L"Calendar1") {
    CQilComPtr<IWebObj2> ao = TreeAO(Element(id));
    EXPECT_TRUE(ao && ao->CompareClass(kCalendarClass) == S_OK);
    return ao;
  }
  // A string attribute; "<none>" when no value is given.
  static std::wstring Attr(IWebObj2 *ao, LONG id, HRESULT expected = S_OK) {
    CQilComPtr<IWebAttrVal> value;
    EXPECT_EQ(ao->GetAttrEx(id, nullptr, &value), expected) << id;
    return String(value);
  }
  static CQilComPtr<IWebInfo> DateRequest(LPCOLESTR date, LPCOLESTR kind = nullptr) {
    CQilComPtr<IWebInfo> request = Request();
    if (date != nullptr)
      request->InsertAttrString(kAttrDate, CQilBstr(date), 1);
    if (kind != nullptr)
      request->InsertAttrString(kAttrKind, CQilBstr(kind), 1);
    return request;
  }
  // Runs a calendar method; its outcome is the request's return value.
  static HRESULT Run(IWebObj2 *ao, Method method, IWebInfo *request) {
    EXPECT_EQ(Invoke(ao, static_cast<METHOD_NAME_ENUM>(method), request), S_OK);
    return request->GetReturnValue();
  }
  static std::wstring Entry(IWebInfo *request, LONG id) {
    CQilBstr text;
    if (FAILED(request->GetStringValueByName(id, &text)))
      return L"<none>";
    return text.Text();
  }
  // The target and argument of the page's postbacks, oldest first.
  std::vector<std::wstring> PostBacks() {
    std::vector<tallowick::platform::Navigation> navigations;
    tallowick::platform::GetNavigations(document_, &navigations);
    std::vector<std::wstring> posted;
    for (const auto &navigation : navigations) {
      std::wstring target = L"<none>";
      std::wstring argument = L"<none>";
      for (const auto &[name, value] : navigation.fields) {
        if (name == L"__EVENTTARGET")
          target = value;
        if (name == L"__EVENTARGUMENT")
          argument = value;
      }
      posted.push_back(target + L"," + argument);
    }
    return posted;
  }
  LONG StepCount() {
    LONG count = -1;
    EXPECT_EQ(browser_->GetStepCount(&count), S_OK);
    return count;
  }
  CQilComPtr<IWebInfo> StepRecord(LONG index) {
    CQilComPtr<IWebInfo> record;
    EXPECT_EQ(browser_->GetStep(index, nullptr, &record), S_OK);
    return record;
  }
  std::wstring StepText(LONG index) {
    CQilBstr text;
    if (FAILED(browser_->GetStep(index, &text, nullptr)))
      return L"<none>";
    return text.Text();
  }
  static void Fire(IHTMLElement *element, LPCOLESTR event) {
    CQilComPtr<IHTMLElement3> element3;
    ASSERT_EQ(element3.QueryFrom(element), S_OK);
    VARIANT_BOOL notCancelled = VARIANT_FALSE;
    element3->fireEvent(CQilBstr(event), nullptr, &notCancelled);
  }
  // The link of the calendar whose href ends in `argument')`.
  CQilComPtr<IHTMLElement> LinkTo(const std::wstring &argument) {
    CQilComPtr<IHTMLElementCollection> links;
    CQilComPtr<IHTMLElementCollection> anchors;
    CQilComPtr<IDispatch> tagged;
    document_->get_all(&links);
    if (!links || FAILED(links->tags(CQilVariant(L"A"), &tagged)) ||
        FAILED(anchors.QueryFrom(tagged)))
      return {};
    LONG length = 0;
    anchors->get_length(&length);
    std::wstring suffix = L"'" + argument + L"')";
    for (LONG i = 0; i < length; ++i) {
      CQilComPtr<IDispatch> item;
      CQilComPtr<IHTMLAnchorElement> anchor;
      CQilBstr href;
      anchors->item(CQilVariant(i), CQilVariant(LONG{0}), &item);
      if (FAILED(anchor.QueryFrom(item)) || FAILED(anchor->get_href(&href)))
        continue;
      std::wstring text = href.Text();
      if (text.size() >= suffix.size() &&
          text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
        CQilComPtr<IHTMLElement> element;
        element.QueryFrom(anchor);
        return element;
      }
    }
    return {};
  }
};

} // namespace calendar_test

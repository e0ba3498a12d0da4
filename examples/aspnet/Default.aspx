<%@ Page Language="C#" %>
<%-- The example site's index. --%>
<html>
<head><title>TallowickIE example site</title></head>
<body>
<h1>Example site</h1>
<ul id="Pages">
  <li><a href="Calendar.aspx">Calendar: DayWeekMonth, 5 January 2010 selected</a></li>
  <li><a href="CalendarDay.aspx">Calendar: Day, inline selected-day colours</a></li>
  <li><a href="CalendarDayWeek.aspx">Calendar: DayWeek, a week selected, CSS class</a></li>
  <li><a href="CalendarMonth.aspx">Calendar: DayWeekMonth, the month selected, font style</a></li>
  <li><a href="CalendarPlain.aspx">Calendars without title or navigation</a></li>
  <li><a href="CalendarReadOnly.aspx">Read-only calendars</a></li>
  <li><a href="TwoCalendars.aspx">Two calendars</a></li>
  <li><a href="DataGrid.aspx">DataGrid: paged, with inner controls</a></li>
  <li><a href="DataGridLines.aspx">DataGrids: grid line variants</a></li>
  <li><a href="Echo.aspx">Echo of posted fields</a></li>
  <li><a href="Cookie.aspx">Cookie</a></li>
  <li><a href="Redirect.aspx">Redirect</a></li>
</ul>
</body>
</html>

<%@ Page Language="C#" %>
<%-- SelectionMode DayWeekMonth with the whole of January 2010 selected; the
     selected day style sets the font (italic, bold) and a background colour
     given in the style object. Weekend and other-month days have their own
     styles. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack) {
    MonthCalendar.VisibleDate = new DateTime(2010, 1, 1);
    MonthCalendar.SelectedDates.SelectRange(new DateTime(2010, 1, 1), new DateTime(2010, 1, 31));
  }
  MonthCalendar.SelectedDayStyle.Font.Italic = true;
  MonthCalendar.SelectedDayStyle.Font.Bold = true;
  MonthCalendar.SelectedDayStyle.BackColor = System.Drawing.Color.FromArgb(0xCC, 0xDD, 0xEE);
}
</script>
<html>
<head><title>Calendar: Month</title></head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="MonthCalendar" runat="server" SelectionMode="DayWeekMonth"
                SelectMonthText="All" SelectWeekText="Week"
                WeekendDayStyle-BackColor="#FFFFCC" OtherMonthDayStyle-ForeColor="Gray"/>
</form>
</body>
</html>

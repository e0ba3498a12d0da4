<%@ Page Language="C#" %>
<%-- SelectionMode DayWeek with the week of Sunday 10 January 2010 selected;
     the selected-day style names a CSS class (this server still adds its
     default inline colours, Silver and White, beside the class). --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack) {
    WeekCalendar.VisibleDate = new DateTime(2010, 1, 1);
    WeekCalendar.SelectedDates.SelectRange(new DateTime(2010, 1, 10), new DateTime(2010, 1, 16));
  }
}
</script>
<html>
<head>
<title>Calendar: DayWeek</title>
<style type="text/css">.picked { background-color: #336699; color: #FFFFFF; }</style>
</head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="WeekCalendar" runat="server" SelectionMode="DayWeek"
                SelectedDayStyle-CssClass="picked"/>
</form>
</body>
</html>

<%@ Page Language="C#" %>
<%-- Two calendars in one form: Start (January 2010, 5 January selected) and
     End (February 2010, nothing selected, a CSS class for the selected day). --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack) {
    Start.VisibleDate = new DateTime(2010, 1, 1);
    Start.SelectedDate = new DateTime(2010, 1, 5);
    End.VisibleDate = new DateTime(2010, 2, 1);
  }
}
void Page_PreRender(object sender, EventArgs e) {
  Range.Text = Describe(Start) + " to " + Describe(End);
}
static string Describe(Calendar calendar) {
  return calendar.SelectedDates.Count == 0 ? "none" : calendar.SelectedDate.ToString("d-MMM-yyyy");
}
</script>
<html>
<head>
<title>Two calendars</title>
<style type="text/css">.chosen { background-color: Maroon; color: White; }</style>
</head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="Start" runat="server" SelectionMode="Day"/>
  <asp:Calendar id="End" runat="server" SelectionMode="DayWeek"
                SelectedDayStyle-CssClass="chosen"/>
  <p>Range: <asp:Label id="Range" runat="server"/></p>
</form>
</body>
</html>

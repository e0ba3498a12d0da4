<%@ Page Language="C#" %>
<%-- A DayWeekMonth calendar showing January 2010 with 5 January selected,
     in the server's default selected-day style (inline colours). --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack) {
    Calendar1.VisibleDate = new DateTime(2010, 1, 1);
    Calendar1.SelectedDate = new DateTime(2010, 1, 5);
  }
}
void Page_PreRender(object sender, EventArgs e) { Selection.Text = SelectionText(Calendar1); }
static string SelectionText(Calendar calendar) {
  var dates = calendar.SelectedDates;
  if (dates.Count == 0)
    return "none";
  return dates[0].ToString("d-MMM-yyyy") + " (" + dates.Count + ")";
}
</script>
<html>
<head><title>Calendar</title></head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="Calendar1" runat="server" SelectionMode="DayWeekMonth"/>
  <p>Selected: <asp:Label id="Selection" runat="server"/></p>
</form>
</body>
</html>

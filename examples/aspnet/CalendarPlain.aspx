<%@ Page Language="C#" %>
<%-- Calendars without a title row, and with a title but no navigation (a
     title table of one cell), and one without an ID (the server names it ctl00) that carries a tool tip. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack) {
    NoTitle.VisibleDate = new DateTime(2010, 1, 1);
    NoTitle.SelectedDate = new DateTime(2010, 1, 12);
    NoNavigation.VisibleDate = new DateTime(2010, 2, 1);
  }
}
</script>
<html>
<head><title>Calendar: no title, no navigation</title></head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="NoTitle" runat="server" SelectionMode="Day" ShowTitle="false"/>
  <asp:Calendar id="NoNavigation" runat="server" SelectionMode="DayWeek"
                ShowNextPrevMonth="false"/>
  <asp:Calendar runat="server" SelectionMode="Day" ToolTip="Any month"/>
</form>
</body>
</html>

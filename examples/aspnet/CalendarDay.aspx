<%@ Page Language="C#" %>
<%-- SelectionMode Day, nothing selected; the selected day is drawn with inline
     colours set as attributes. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack)
    DayCalendar.VisibleDate = new DateTime(2010, 1, 1);
}
void Page_PreRender(object sender, EventArgs e) {
  Selection.Text = DayCalendar.SelectedDates.Count == 0
                       ? "none" : DayCalendar.SelectedDate.ToString("d-MMM-yyyy");
}
</script>
<html>
<head><title>Calendar: Day</title></head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="DayCalendar" runat="server" SelectionMode="Day"
                SelectedDayStyle-BackColor="Navy" SelectedDayStyle-ForeColor="White"/>
  <p>Selected: <asp:Label id="Selection" runat="server"/></p>
</form>
</body>
</html>

<%@ Page Language="C#" %>
<%-- Read-only calendars: SelectionMode None (no day links; the month
     navigation stays), and a disabled one. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack) {
    ReadOnly.VisibleDate = new DateTime(2010, 1, 1);
    ReadOnly.SelectedDate = new DateTime(2010, 1, 20);
    Disabled.VisibleDate = new DateTime(2010, 1, 1);
  }
}
</script>
<html>
<head><title>Calendar: read-only</title></head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="ReadOnly" runat="server" SelectionMode="None"/>
  <asp:Calendar id="Disabled" runat="server" SelectionMode="Day" Enabled="false"/>
</form>
</body>
</html>

<%@ Page Language="C#" EnableEventValidation="false" %>
<%-- A DayWeekMonth calendar showing January 2010 on a page that does not
     validate postback arguments: any month can be asked for with a "V"
     argument, not only the neighbours that the month links name. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack)
    Calendar1.VisibleDate = new DateTime(2010, 1, 1);
}
</script>
<html>
<head><title>Calendar without event validation</title></head>
<body>
<form id="Form1" runat="server">
  <asp:Calendar id="Calendar1" runat="server" SelectionMode="DayWeekMonth"/>
</form>
</body>
</html>

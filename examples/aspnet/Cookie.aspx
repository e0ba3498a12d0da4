<%@ Page Language="C#" %>
<%-- Sets the cookie "Visits" (one more each request that brings it back) and
     the cookie "Theme" (with an expiry date), and shows what came back. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  HttpCookie incoming = Request.Cookies["Visits"];
  int visits = 0;
  if (incoming != null)
    int.TryParse(incoming.Value, out visits);
  Response.Cookies.Add(new HttpCookie("Visits", (visits + 1).ToString()) { Path = "/" });
  Response.Cookies.Add(new HttpCookie("Theme", "plain") { Expires = new DateTime(2099, 1, 1) });
  Visits.Text = visits.ToString();
  HttpCookie theme = Request.Cookies["Theme"];
  Theme.Text = theme != null ? theme.Value : "none";
}
</script>
<html>
<head><title>Cookie</title></head>
<body>
<p>Visits before this one: <asp:Label id="Visits" runat="server"/></p>
<p>Theme: <asp:Label id="Theme" runat="server"/></p>
</body>
</html>

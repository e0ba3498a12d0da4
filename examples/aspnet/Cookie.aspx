<%@ Page Language="C#" %>
<%-- Sets the cookie "Visits" (one more each request that brings it back) and
     shows the cookies the request carried. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  HttpCookie incoming = Request.Cookies["Visits"];
  int visits = 0;
  if (incoming != null)
    int.TryParse(incoming.Value, out visits);
  Response.Cookies.Add(new HttpCookie("Visits", (visits + 1).ToString()) { Path = "/" });
  Visits.Text = visits.ToString();
}
</script>
<html>
<head><title>Cookie</title></head>
<body>
<p>Visits before this one: <asp:Label id="Visits" runat="server"/></p>
</body>
</html>

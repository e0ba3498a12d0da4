<%@ Page Language="C#" %>
<%-- Answers with a redirect (302) to the page named by ?to= (a page of this
     site), else to Calendar.aspx; ?loop=1 redirects to itself for ever. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  if (Request.QueryString["loop"] == "1")
    Response.Redirect("Redirect.aspx?loop=1", true);
  string target = Request.QueryString["to"];
  if (string.IsNullOrEmpty(target) || target.Contains(":") || target.StartsWith("/"))
    target = "Calendar.aspx";
  Response.Redirect(target, true);
}
</script>

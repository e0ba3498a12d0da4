<%@ Page Language="C#" %>
<%-- Answers with a redirect (302) to the page named by ?to= (a page of this
     site), else to Calendar.aspx. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  string target = Request.QueryString["to"];
  if (string.IsNullOrEmpty(target) || target.Contains(":") || target.StartsWith("/"))
    target = "Calendar.aspx";
  Response.Redirect(target, true);
}
</script>

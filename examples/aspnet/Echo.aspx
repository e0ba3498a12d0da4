<%@ Page Language="C#" %>
<%-- Shows what the request carried: the method, one item per posted field
     (name=value, in order) and one per query string item. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  Method.Text = Request.HttpMethod;
  var items = new System.Text.StringBuilder();
  foreach (string name in Request.Form.AllKeys) {
    if (name == null || name.StartsWith("__"))
      continue;
    items.Append("<li>").Append(Server.HtmlEncode(name + "=" + Request.Form[name])).Append("</li>");
  }
  Fields.Text = items.ToString();
  var query = new System.Text.StringBuilder();
  foreach (string name in Request.QueryString.AllKeys)
    query.Append("<li>").Append(Server.HtmlEncode(name + "=" + Request.QueryString[name])).Append("</li>");
  Query.Text = query.ToString();
}
</script>
<html>
<head><title>Echo</title></head>
<body>
<p id="MethodLine">Method: <asp:Literal id="Method" runat="server"/></p>
<ul id="Fields"><asp:Literal id="Fields" runat="server"/></ul>
<ul id="Query"><asp:Literal id="Query" runat="server"/></ul>
<form id="Plain" method="post" action="Echo.aspx?from=form">
  <input type="text" name="name" id="name" value="Ada &amp; Co" />
  <input type="text" name="note" id="note" value="50% = half; a+b" />
  <input type="checkbox" name="agree" id="agree" value="yes" checked="checked" />
  <input type="checkbox" name="spam" id="spam" value="yes" />
  <input type="submit" id="send" name="send" value="Send" />
</form>
<a id="again" href="Echo.aspx?from=link">Again</a>
</body>
</html>

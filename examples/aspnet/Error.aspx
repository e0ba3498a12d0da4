<%@ Page Language="C#" %>
<%-- Always fails: the server answers 500. --%>
<script runat="server">
void Page_Load(object sender, EventArgs e) {
  throw new InvalidOperationException("Error.aspx fails on purpose");
}
</script>

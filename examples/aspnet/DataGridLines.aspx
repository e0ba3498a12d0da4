<%@ Page Language="C#" %>
<%@ Import Namespace="System.Data" %>
<%-- The same small data in DataGrids with GridLines Both, Horizontal,
     Vertical and None. --%>
<script runat="server">
static DataTable Colours() {
  var table = new DataTable("Colours");
  table.Columns.Add("Name", typeof(string));
  table.Columns.Add("Hex", typeof(string));
  table.Rows.Add("Red", "#FF0000");
  table.Rows.Add("Green", "#00FF00");
  table.Rows.Add("Blue", "#0000FF");
  return table;
}
void Page_Load(object sender, EventArgs e) {
  foreach (DataGrid grid in new[] {LinesBoth, LinesHorizontal, LinesVertical, LinesNone}) {
    grid.DataSource = Colours();
    grid.DataBind();
  }
}
</script>
<html>
<head><title>DataGrid grid lines</title></head>
<body>
<form id="Form1" runat="server">
  <asp:DataGrid id="LinesBoth" runat="server" GridLines="Both"/>
  <asp:DataGrid id="LinesHorizontal" runat="server" GridLines="Horizontal"/>
  <asp:DataGrid id="LinesVertical" runat="server" GridLines="Vertical"/>
  <asp:DataGrid id="LinesNone" runat="server" GridLines="None"/>
</form>
</body>
</html>

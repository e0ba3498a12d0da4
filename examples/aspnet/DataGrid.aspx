<%@ Page Language="C#" %>
<%@ Import Namespace="System.Data" %>
<%-- A paged DataGrid (3 rows a page, numeric pager row) bound to in-page data,
     with a text box, a check box, a link and buttons in its cells. --%>
<script runat="server">
static DataTable Products() {
  var table = new DataTable("Products");
  table.Columns.Add("Id", typeof(int));
  table.Columns.Add("Name", typeof(string));
  table.Columns.Add("Price", typeof(decimal));
  table.Columns.Add("InStock", typeof(bool));
  string[] names = {"Anvil", "Bellows", "Chisel", "Drill", "Easel", "File", "Gauge", "Hammer"};
  for (int i = 0; i < names.Length; ++i)
    table.Rows.Add(i + 1, names[i], 10m + i * 2.5m, i % 3 != 0);
  return table;
}
void Bind() {
  Grid1.DataSource = Products();
  Grid1.DataBind();
}
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack)
    Bind();
}
void Grid1_PageIndexChanged(object sender, DataGridPageChangedEventArgs e) {
  Grid1.CurrentPageIndex = e.NewPageIndex;
  Bind();
  Status.Text = "Page " + (e.NewPageIndex + 1);
}
void Grid1_ItemCommand(object sender, DataGridCommandEventArgs e) {
  if (e.CommandName == "Page")
    return;
  Status.Text = e.CommandName + " " + e.Item.Cells[0].Text;
}
</script>
<html>
<head><title>DataGrid</title></head>
<body>
<form id="Form1" runat="server">
  <asp:DataGrid id="Grid1" runat="server" AutoGenerateColumns="false" AllowPaging="true"
                PageSize="3" GridLines="Both" CellPadding="3" DataKeyField="Id"
                OnPageIndexChanged="Grid1_PageIndexChanged" OnItemCommand="Grid1_ItemCommand">
    <HeaderStyle Font-Bold="true" BackColor="#DDDDDD"/>
    <PagerStyle Mode="NumericPages" HorizontalAlign="Right"/>
    <Columns>
      <asp:BoundColumn DataField="Id" HeaderText="Id"/>
      <asp:TemplateColumn HeaderText="Name">
        <ItemTemplate>
          <asp:TextBox id="NameBox" runat="server" Text='<%# Eval("Name") %>'/>
        </ItemTemplate>
      </asp:TemplateColumn>
      <asp:BoundColumn DataField="Price" HeaderText="Price" DataFormatString="{0:0.00}"/>
      <asp:TemplateColumn HeaderText="In stock">
        <ItemTemplate>
          <asp:CheckBox id="StockBox" runat="server" Checked='<%# Eval("InStock") %>'/>
        </ItemTemplate>
      </asp:TemplateColumn>
      <asp:HyperLinkColumn HeaderText="Details" Text="Details" DataNavigateUrlField="Id"
                           DataNavigateUrlFormatString="Echo.aspx?product={0}"/>
      <asp:ButtonColumn HeaderText="Order" Text="Order" CommandName="Order" ButtonType="PushButton"/>
      <asp:ButtonColumn HeaderText="Remove" Text="Remove" CommandName="Remove" ButtonType="LinkButton"/>
    </Columns>
  </asp:DataGrid>
  <p><asp:Label id="Status" runat="server"/></p>
</form>
</body>
</html>

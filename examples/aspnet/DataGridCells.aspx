<%@ Page Language="C#" %>
<%@ Import Namespace="System.Data" %>
<%-- A paged DataGrid of order lines whose cells hold several controls: a link,
     a text box, a check box and an image button in one cell, two text boxes
     in another, a link button in a table nested in a cell. --%>
<script runat="server">
static DataTable Lines() {
  var table = new DataTable("Lines");
  table.Columns.Add("Id", typeof(int));
  table.Columns.Add("Product", typeof(string));
  table.Columns.Add("Price", typeof(string));
  string[] names = {"Chai", "Chang", "Aniseed Syrup", "Ikura", "Konbu", "Tofu", "Pavlova"};
  for (int i = 1; i <= names.Length; ++i)
    table.Rows.Add(i, names[i - 1], (i * 4.5m).ToString("0.00"));
  return table;
}
void Bind() {
  DataGrid1.DataSource = Lines();
  DataGrid1.DataBind();
}
void Page_Load(object sender, EventArgs e) {
  if (!IsPostBack)
    Bind();
}
void DataGrid1_PageIndexChanged(object sender, DataGridPageChangedEventArgs e) {
  DataGrid1.CurrentPageIndex = e.NewPageIndex;
  Bind();
}
</script>
<html>
<head><title>Order lines</title></head>
<body>
<form id="Form1" runat="server">
<asp:DataGrid id="DataGrid1" runat="server" AutoGenerateColumns="false" AllowPaging="true"
              PageSize="3" OnPageIndexChanged="DataGrid1_PageIndexChanged">
<PagerStyle Mode="NumericPages"/>
<Columns>
<asp:BoundColumn DataField="Id" HeaderText="Id"/>
<asp:BoundColumn DataField="Product" HeaderText="Product"/>
<asp:TemplateColumn HeaderText="Details"><ItemTemplate><asp:HyperLink id="Info" runat="server" NavigateUrl='<%# "Product.aspx?id=" + Eval("Id") %>' Text="Info"/><asp:TextBox id="Code" runat="server" Text='<%# "P" + Eval("Id") %>'/><asp:CheckBox id="Pick" runat="server"/><asp:ImageButton id="Zoom" runat="server" ImageUrl="zoom.gif" AlternateText="Zoom"/></ItemTemplate></asp:TemplateColumn>
<asp:TemplateColumn HeaderText="Quantity"><ItemTemplate><asp:TextBox id="Qty" runat="server" Text='<%# Eval("Id") %>'/><asp:TextBox id="Note" runat="server" Text='<%# Eval("Product") %>'/></ItemTemplate></asp:TemplateColumn>
<asp:BoundColumn DataField="Price" HeaderText="Price"/>
<asp:ButtonColumn Text="Select" CommandName="Select"/>
<asp:ButtonColumn Text="Delete" ButtonType="PushButton" CommandName="Delete"/>
<asp:TemplateColumn HeaderText="Stock"><ItemTemplate><table><tr><td><%# Eval("Id") %>0 left</td><td><asp:LinkButton id="Reorder" runat="server" Text="Reorder"/></td></tr></table></ItemTemplate></asp:TemplateColumn>
</Columns>
</asp:DataGrid>
</form>
</body>
</html>

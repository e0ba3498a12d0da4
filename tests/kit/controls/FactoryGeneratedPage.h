// Generated Web Forms pages of a chosen size for the recognition benchmarks
// and the shortcut equivalence test: blocks of nested layout tables, each
// holding labels, inputs, links and images, a DataGrid, a Calendar and an
// UltraGrid, repeated until the page has the wanted number of elements.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace factory_pages {

inline void AppendDataGrid(std::string &out, int block) {
  std::string id = "Grid" + std::to_string(block);
  out += "<table cellspacing=\"0\" rules=\"all\" border=\"1\" id=\"" + id + "\">";
  out += "<tr><td>Id</td><td>Product</td><td>Price</td><td>&nbsp;</td></tr>";
  for (int row = 1; row <= 8; ++row) {
    std::string n = std::to_string(row);
    out += "<tr><td>" + n + "</td><td><input type=\"text\" name=\"" + id + "$q" + n +
           "\" value=\"Tea " + n + "\"></td><td>" + n + ".50</td>" +
           "<td><a href=\"javascript:__doPostBack('" + id + "$_ctl" + n +
           "','')\">Edit</a></td></tr>";
  }
  out += "<tr><td colspan=\"4\"><span>1</span> <a href=\"javascript:__doPostBack('" + id +
         "$_ctl9','')\">2</a></td></tr></table>";
}

// A month whose first row starts on day -2 (the 27th of the month before).
inline void AppendCalendar(std::string &out, int block) {
  std::string id = "Calendar" + std::to_string(block);
  auto link = [&](const std::string &argument, const std::string &text) {
    return "<a href=\"javascript:__doPostBack('" + id + "','" + argument + "')\">" + text + "</a>";
  };
  out += "<table id=\"" + id + "\" cellspacing=\"0\" cellpadding=\"2\" title=\"Calendar\">";
  out += "<tr><td colspan=\"7\"><table class=\"TitleStyle\"><tr><td>" + link("V3622", "&lt;") +
         "</td><td align=\"center\">January 2010</td><td>" + link("V3684", "&gt;") +
         "</td></tr></table></td></tr><tr>";
  for (const char *day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
    out += std::string("<th abbr=\"") + day + "\" scope=\"col\">" + day + "</th>";
  out += "</tr>";
  for (int week = 0; week < 6; ++week) {
    out += "<tr>";
    for (int weekday = 0; weekday < 7; ++weekday) {
      int offset = week * 7 + weekday - 5; // days from 1 January 2010
      int shown = offset < 0 ? 32 + offset : offset >= 31 ? offset - 30 : offset + 1;
      out += "<td align=\"center\">" + link(std::to_string(3653 + offset), std::to_string(shown)) +
             "</td>";
    }
    out += "</tr>";
  }
  out += "</table>";
}

inline void AppendUltraGrid(std::string &out, int block) {
  std::string name = "UltraGrid" + std::to_string(block);
  out += "<table id=\"" + name + "_main\" cellspacing=\"0\" cellpadding=\"0\"><tbody><tr><td>";
  out += "<div id=\"" + name + "_div\"><table><thead><tr>";
  for (const char *column : {"Key", "Name", "Stock"})
    out += std::string("<th>") + column + "</th>";
  out += "</tr></thead><tbody>";
  for (int row = 0; row < 8; ++row) {
    std::string n = std::to_string(row);
    out += "<tr id=\"" + name + "r_" + n + "\"><td>" + n + "</td><td><img src=\"r.png\">Item " + n +
           "</td><td>" + std::to_string(row * 3) + "</td></tr>";
  }
  out += "</tbody></table></div></td></tr></tbody></table>";
}

inline void AppendBlock(std::string &out, int block) {
  std::string n = std::to_string(block);
  out += "<table class=\"layout\" width=\"100%\"><tr><td colspan=\"2\"><table><tr><td><img "
         "src=\"logo.png\"></td><td><span class=\"title\">Section " +
         n + "</span></td></tr></table></td></tr><tr><td class=\"nav\"><table>";
  for (int item = 0; item < 4; ++item)
    out += "<tr><td><a href=\"#s" + n + "_" + std::to_string(item) + "\">Item " +
           std::to_string(item) + "</a></td></tr>";
  out += "</table></td><td class=\"content\"><table><tr><td><label>Name</label></td><td><input "
         "type=\"text\" name=\"name" +
         n + "\"></td></tr><tr><td colspan=\"2\"><table><tr><td>";
  AppendDataGrid(out, block);
  out += "</td></tr><tr><td>";
  AppendCalendar(out, block);
  out += "</td></tr><tr><td>";
  AppendUltraGrid(out, block);
  out += "</td></tr></table></td></tr></table></td></tr></table>";
}

// About `elements` elements (never fewer than one block's), in an ASP.NET
// form; load it under a URL that names an .aspx page.
inline std::string GeneratedPage(size_t elements) {
  constexpr size_t kElementsPerBlock = 274; // with the sections the parser adds
  constexpr size_t kPageElements = 5;
  std::string out = "<html><head><title>Generated</title></head><body>"
                    "<form name=\"form1\" method=\"post\" action=\"Generated.aspx\" id=\"form1\">";
  size_t rest = elements > kPageElements ? elements - kPageElements : 0;
  size_t blocks = (rest + kElementsPerBlock / 2) / kElementsPerBlock;
  if (blocks == 0)
    blocks = 1;
  for (size_t block = 0; block < blocks; ++block)
    AppendBlock(out, static_cast<int>(block));
  out += "</form></body></html>";
  return out;
}

// A page with every control: a generated block's DataGrid, Calendar and
// UltraGrid, and a TabStrip, a Toolbar and a TreeView behaviour, written to
// `folder` beside copies of the behaviours of `examples` (the example pages'
// folder). Answers the page's path.
inline std::filesystem::path WriteEveryControlPage(const std::filesystem::path &folder,
                                                   const std::filesystem::path &examples) {
  std::filesystem::create_directories(folder / "behaviors");
  for (const auto &entry : std::filesystem::directory_iterator(examples / "behaviors"))
    std::filesystem::copy_file(entry.path(), folder / "behaviors" / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing);
  std::string html = GeneratedPage(300);
  html.replace(html.find("<html>"), 6, "<html xmlns:ts xmlns:tb xmlns:tv>");
  html.replace(html.find("</head>"), 7,
               "<?IMPORT namespace=\"ts\" implementation=\"behaviors/tabstrip.htc\"?>"
               "<?IMPORT namespace=\"tb\" implementation=\"behaviors/toolbar.htc\"?>"
               "<?IMPORT namespace=\"tv\" implementation=\"behaviors/treeview.htc\"?></head>");
  html.replace(html.find("</form>"), 7,
               "<ts:TabStrip id=\"TabStrip1\"><ts:Tab>General</ts:Tab><ts:Tab>Details</ts:Tab>"
               "</ts:TabStrip><tb:ToolBar id=\"Toolbar1\"><tb:ToolbarButton id=\"btnNew\" "
               "text=\"New\" /></tb:ToolBar><tv:TreeView id=\"TreeView1\"><tv:TreeNode "
               "Text=\"Mail\" Expanded=\"true\"><tv:TreeNode Text=\"Inbox\" /></tv:TreeNode>"
               "<tv:TreeNode Text=\"Help\" NavigateUrl=\"help.html\" /></tv:TreeView></form>");
  std::filesystem::path page = folder / "EveryControl.aspx.html";
  std::ofstream(page) << html;
  return page;
}

} // namespace factory_pages

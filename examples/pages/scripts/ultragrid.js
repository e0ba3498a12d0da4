// Grid client library: renders a grid from a data description into the
// component's markup and offers the igtbl_ client API over it.
//
//   igtbl_renderGrid(name, description, holderId)
//
// description:
//   convention    "page" (a page-level object o<name>, Band, getExpanded()) or
//                 "global" (only igtbl_<name>, band, Expanded, RowLevel); "page"
//   separator     "r" (rows <name>r_0) or "_r" (rows <name>_r_0); "r"
//   levels        true: rows and cells carry a level attribute
//   allowAddNew, allowSort, allowDelete   numbers, as the grid reports them
//   groupBy       true: a group-by area above the rows
//   addNew        true: an add-new area with one entry per band
//   rowSelectors  true: every row starts with a selector cell (<name>l...)
//   width, height the scrolling area's size in pixels
//   bands         [{key, columns: [{key, headerText, type, headerClickAction,
//                 sortIndicator, valueList: [...]}]}]; type 0 is text (edited
//                 in an INPUT), 3 a check box, 5 a value list (edited in a SELECT)
//   rows          [{cells: [...], expandable, expanded, rows: [child rows]}]
//                 Groups of rows: {group: "text", rows: [...]}.
//
// Cell values: a missing or null value is no value (getValue answers nothing).
// A left-button mousedown on a cell makes it the active cell (on a row's
// other cells, the row the active row); a click on an expansion image or cell
// expands or collapses the row; a double click opens the cell's editor, which
// names the cell in its currentCell attribute.

var igtbl_grids = {};
var igtbl_elementIndex = {};

function igtbl_escapeHtml(text) {
  return String(text)
    .replace(/&/g, "&amp;")
    .replace(/</g, "&lt;")
    .replace(/>/g, "&gt;")
    .replace(/"/g, "&quot;");
}

// Header texts may hold markup, as the component allowed.
function igtbl_headerHtml(column) {
  return column.HeaderText;
}

function igtbl_cellHtml(value) {
  if (value === null || value === undefined || value === "") return "&nbsp;";
  return igtbl_escapeHtml(value);
}

// Check box columns (type 3) show their value as a check box whose id
// begins with the cell's.
function igtbl_cellContent(grid, cell) {
  if (cell.Column.Type != 3) return igtbl_cellHtml(cell.Value);
  var id = cell.Id + "_cb";
  grid.cellsById[id] = cell;
  return '<input type="checkbox" id="' + igtbl_escapeHtml(id) + '"' + (cell.Value ? " checked" : "") + ">";
}

function igtbl_Cell(row, column, value, id) {
  this.Row = row;
  this.Column = column;
  this.Id = id;
  this.Value = value;
}
igtbl_Cell.prototype.getValue = function () {
  if (this.Value === null || this.Value === undefined) return undefined;
  return this.Value;
};
igtbl_Cell.prototype.setValue = function (value) {
  this.Value = value;
  var element = this.Element;
  if (!element) return;
  if (this.Column.Type == 3) {
    var box = document.getElementById(this.Id + "_cb");
    if (box) box.checked = !!value;
    return;
  }
  element.innerHTML = igtbl_cellHtml(value);
};
igtbl_Cell.prototype.getElement = function () {
  return document.getElementById(this.Id);
};
igtbl_Cell.prototype.activate = function () {
  this.Row.Band.Grid.setActiveCell(this);
};

function igtbl_Row(grid, band, parentRow, level, id) {
  this.Grid = grid;
  this.Band = band;
  this.ParentRow = parentRow;
  this.Id = id;
  this.Level = level;
  this.cells = [];
  this.Rows = [];
  this.Expandable = false;
  if (grid.convention == "page") this.getExpanded = igtbl_getExpanded;
}
// The page convention's expansion state: nothing until first expanded or
// collapsed.
function igtbl_getExpanded() {
  return this.expandedState;
}
igtbl_Row.prototype.getCell = function (index) {
  var cell = this.cells[index];
  return cell === undefined ? null : cell;
};
igtbl_Row.prototype.getCellFromKey = function (key) {
  for (var i = 0; i < this.cells.length; i++)
    if (this.cells[i].Column.Key == key) return this.cells[i];
  return null;
};
igtbl_Row.prototype.getIndex = function () {
  return this.Level[this.Level.length - 1];
};
igtbl_Row.prototype.isExpanded = function () {
  return this.expandedState === true;
};
igtbl_Row.prototype.setExpanded = function (expanded) {
  if (!this.Rows.length) return;
  this.expandedState = !!expanded;
  if (this.Grid.convention == "global") this.Expanded = this.expandedState;
  var image = document.getElementById(this.Id + "_img");
  if (image) image.src = this.expandedState ? "ig_minus.gif" : "ig_plus.gif";
  this.showChildren(this.expandedState);
};
igtbl_Row.prototype.showChildren = function (show) {
  for (var i = 0; i < this.Rows.length; i++) {
    var child = this.Rows[i];
    var element = child.Element;
    if (element) element.style.display = show ? "" : "none";
    child.showChildren(show && child.isExpanded());
  }
};
igtbl_Row.prototype.toggle = function () {
  this.setExpanded(!this.isExpanded());
};
igtbl_Row.prototype.activate = function () {
  this.Grid.setActiveRow(this);
};

function igtbl_Column(band, index, description) {
  this.Band = band;
  this.Index = index;
  this.Key = description.key === undefined ? "" : description.key;
  this.HeaderText = description.headerText === undefined ? this.Key : description.headerText;
  this.Type = description.type === undefined ? 0 : description.type;
  this.HeaderClickAction = description.headerClickAction === undefined ? 0 : description.headerClickAction;
  this.SortIndicator = description.sortIndicator === undefined ? 0 : description.sortIndicator;
  this.ValueList = description.valueList || [];
}

function igtbl_Band(grid, index, description) {
  this.Grid = grid;
  this.Index = index;
  this.Key = description.key === undefined ? "" : description.key;
  this.Columns = [];
  for (var i = 0; i < description.columns.length; i++)
    this.Columns.push(new igtbl_Column(this, i, description.columns[i]));
  this.VisibleColumnsCount = this.Columns.length;
}

function igtbl_Grid(name, description) {
  this.Id = name;
  this.convention = description.convention || "page";
  this.separator = description.separator || "r";
  this.prefix = name + (this.separator == "_r" ? "_" : "");
  this.levels = !!description.levels;
  this.AllowAddNew = description.allowAddNew === undefined ? 0 : description.allowAddNew;
  this.AllowSort = description.allowSort === undefined ? 0 : description.allowSort;
  this.AllowDelete = description.allowDelete === undefined ? 0 : description.allowDelete;
  this.Bands = [];
  for (var i = 0; i < description.bands.length; i++) {
    var band = new igtbl_Band(this, i, description.bands[i]);
    if (this.convention == "global") {
      for (var c = 0; c < band.Columns.length; c++) {
        band.Columns[c].band = band;
        delete band.Columns[c].Band;
      }
    }
    this.Bands.push(band);
  }
  this.Rows = [];
  this.rowsById = {};
  this.cellsById = {};
  this.rowsByElementId = {};
  this.columnsById = {};
  this.activeCell = null;
  this.activeRow = null;
}
igtbl_Grid.prototype.setActiveCell = function (cell) {
  this.activeCell = cell;
  this.activeRow = cell ? cell.Row : null;
};
igtbl_Grid.prototype.setActiveRow = function (row) {
  this.activeCell = null;
  this.activeRow = row;
};
igtbl_Grid.prototype.getActiveCell = function () {
  return this.activeCell;
};
igtbl_Grid.prototype.getActiveRow = function () {
  return this.activeRow;
};
igtbl_Grid.prototype.headerId = function (band, column) {
  return this.prefix + "c_" + band + "_" + column;
};

// Element getters: the element is looked up when first asked for.
function igtbl_defineElement(prototype) {
  Object.defineProperty(prototype, "Element", {
    get: function () {
      if (!this.element) this.element = document.getElementById(this.Id);
      return this.element;
    }
  });
}
igtbl_defineElement(igtbl_Cell.prototype);
igtbl_defineElement(igtbl_Row.prototype);

// Building the objects.

function igtbl_buildRows(grid, band, parentRow, descriptions, levelPrefix, into) {
  for (var i = 0; i < descriptions.length; i++) {
    var description = descriptions[i];
    var level = levelPrefix.concat([i]);
    var key = level.join("_");
    var row;
    if (description.group !== undefined) {
      row = new igtbl_Row(grid, band, parentRow, level, grid.prefix + "gr_" + key);
      row.GroupText = description.group;
      row.isGroup = true;
    } else {
      row = new igtbl_Row(grid, band, parentRow, level, grid.prefix + "r_" + key);
      var values = description.cells || [];
      for (var c = 0; c < band.Columns.length; c++) {
        var cellId = grid.prefix + "rc_" + key + "_" + c;
        var cell = new igtbl_Cell(row, band.Columns[c], values[c], cellId);
        row.cells.push(cell);
        grid.cellsById[cellId] = cell;
      }
    }
    if (grid.convention == "global") row.RowLevel = level;
    grid.rowsById[row.Id] = row;
    into.push(row);
    var children = description.rows || [];
    var childBand = row.isGroup ? band : grid.Bands[band.Index + 1];
    if (children.length && childBand)
      igtbl_buildRows(grid, childBand, row, children, level, row.Rows);
    row.Expandable = description.expandable !== undefined ? description.expandable : row.Rows.length > 0;
    if (grid.convention == "global") row.Expanded = !!description.expanded;
    if (description.expanded) row.expandedState = true;
  }
}

// Rendering the markup.

function igtbl_selectorCells(grid, row, html) {
  if (row.isGroup) {
    var expander = grid.prefix + "grc" + row.getIndex() + "_0";
    var box = grid.prefix + "grc" + row.getIndex() + "_cb";
    grid.rowsByElementId[expander] = row;
    grid.rowsByElementId[box] = row;
    grid.rowsByElementId[row.Id + "_img"] = row;
    html.push('<td class="ig_exp" id="' + igtbl_escapeHtml(expander) + '">');
    html.push('<img id="' + igtbl_escapeHtml(row.Id + "_img") + '" src="' +
      (row.isExpanded() ? "ig_minus.gif" : "ig_plus.gif") + '">');
    html.push('<input type="checkbox" id="' + igtbl_escapeHtml(box) + '"></td>');
    return;
  }
  html.push('<td class="ig_exp">');
  grid.rowsByElementId[row.Id + "_img"] = row;
  if (row.Rows.length)
    html.push('<img id="' + igtbl_escapeHtml(row.Id + "_img") + '" src="' +
      (row.isExpanded() ? "ig_minus.gif" : "ig_plus.gif") + '">');
  html.push("</td>");
  if (!grid.rowSelectors) return;
  var selector = grid.prefix + "l_" + row.Level.join("_");
  grid.rowsByElementId[selector] = row;
  html.push('<td id="' + igtbl_escapeHtml(selector) + '"></td>');
}

function igtbl_headerRow(grid, band, html) {
  html.push("<tr><th></th>");
  if (grid.rowSelectors) html.push("<th></th>");
  for (var c = 0; c < band.Columns.length; c++) {
    var id = grid.headerId(band.Index, c);
    grid.columnsById[id] = band.Columns[c];
    html.push('<th id="' + igtbl_escapeHtml(id) + '" columnNo="' + c + '">' +
      igtbl_headerHtml(band.Columns[c]) + "</th>");
  }
  html.push("</tr>");
}

function igtbl_renderRows(grid, rows, visible, html, bandsShown) {
  for (var i = 0; i < rows.length; i++) {
    var row = rows[i];
    var key = row.Level.join("_");
    if (!row.isGroup && !bandsShown[row.Band.Index]) {
      bandsShown[row.Band.Index] = true;
      if (row.Band.Index > 0) igtbl_headerRow(grid, row.Band, html);
    }
    html.push('<tr id="' + igtbl_escapeHtml(row.Id) + '"' +
      (grid.levels ? ' level="' + key + '"' : "") +
      (visible ? "" : ' style="display:none"') + ">");
    igtbl_selectorCells(grid, row, html);
    if (row.isGroup) {
      html.push('<td colspan="' + row.Band.Columns.length + '">' + igtbl_escapeHtml(row.GroupText) + "</td>");
    } else {
      for (var c = 0; c < row.cells.length; c++) {
        var cell = row.cells[c];
        html.push('<td id="' + igtbl_escapeHtml(cell.Id) + '"' +
          (grid.levels ? ' level="' + key + "_" + c + '"' : "") + ">" +
          igtbl_cellContent(grid, cell) + "</td>");
      }
    }
    html.push("</tr>");
    if (row.Rows.length)
      igtbl_renderRows(grid, row.Rows, visible && row.isExpanded(), html, bandsShown);
  }
}

function igtbl_editors(grid, html) {
  var tail = grid.separator == "_r" ? "__" : "_";
  html.push('<input type="text" id="' + igtbl_escapeHtml(grid.Id + tail + "tb") +
    '" style="display:none" currentCell="">');
  html.push('<select id="' + igtbl_escapeHtml(grid.Id + tail + "vl") +
    '" style="display:none" currentCell=""></select>');
}

function igtbl_addNewArea(grid, html) {
  html.push('<tr><td id="' + igtbl_escapeHtml(grid.Id + "_addBox") + '">');
  var tag = grid.convention == "page" ? "td" : "div";
  if (tag == "td") html.push("<table><tr>");
  for (var b = 0; b < grid.Bands.length; b++) {
    var id = grid.prefix + "an_" + b;
    html.push("<" + tag + ' id="' + igtbl_escapeHtml(id) + '" bandNo="' + b + '">' +
      igtbl_escapeHtml(" " + grid.Bands[b].Key + " ") + "</" + tag + ">");
  }
  if (tag == "td") html.push("</tr></table>");
  html.push("</td></tr>");
}

function igtbl_markup(grid, description) {
  var html = [];
  var name = grid.Id;
  html.push('<table id="' + igtbl_escapeHtml(name + "_main") + '" cellspacing="0" cellpadding="0"><tbody>');
  if (description.groupBy)
    html.push('<tr><td id="' + igtbl_escapeHtml(name + "_groupBox") +
      '"><div>Drag a column header here to group by that column</div></td></tr>');
  var style = "overflow:auto;";
  if (description.width) style += " width:" + description.width + "px;";
  if (description.height) style += " height:" + description.height + "px;";
  html.push('<tr><td><div id="' + igtbl_escapeHtml(name + "_div") + '" style="' + style + '">');
  html.push('<table cellspacing="0">');
  html.push("<thead>");
  igtbl_headerRow(grid, grid.Bands[0], html);
  html.push("</thead><tbody>");
  igtbl_renderRows(grid, grid.Rows, true, html, [true]);
  html.push("</tbody></table>");
  igtbl_editors(grid, html);
  html.push("</div></td></tr>");
  if (description.addNew) igtbl_addNewArea(grid, html);
  html.push("</tbody></table>");
  return html.join("");
}

// Events: a cell is activated by a left-button mousedown; a click on an
// expansion cell or image expands or collapses its row; a double click on a
// cell opens its editor.

function igtbl_cellOf(grid, element) {
  for (var e = element; e; e = e.parentElement) {
    if (e.id && grid.cellsById[e.id]) return grid.cellsById[e.id];
    if (e.id == grid.Id + "_main") return null;
  }
  return null;
}

function igtbl_rowOf(grid, element) {
  for (var e = element; e; e = e.parentElement) {
    if (e.tagName == "TR" && e.id && grid.rowsById[e.id]) return grid.rowsById[e.id];
    if (e.id == grid.Id + "_main") return null;
  }
  return null;
}

function igtbl_isExpansionTarget(row, element) {
  if (!row || !row.Rows.length) return false;
  if (element.tagName == "IMG") return element.id == row.Id + "_img";
  return element.tagName == "TD" && element.className == "ig_exp" &&
    element.parentElement && element.parentElement.id == row.Id;
}

function igtbl_onMouseDown(grid) {
  var event = window.event;
  if (!event || event.button != 1) return;
  var source = event.srcElement;
  var cell = igtbl_cellOf(grid, source);
  if (cell) {
    grid.setActiveCell(cell);
    return;
  }
  var row = igtbl_rowOf(grid, source);
  if (row) grid.setActiveRow(row);
}

function igtbl_onClick(grid) {
  var event = window.event;
  if (!event) return;
  var source = event.srcElement;
  var row = igtbl_rowOf(grid, source);
  if (igtbl_isExpansionTarget(row, source)) row.toggle();
  var cell = source.id ? grid.cellsById[source.id] : null;
  if (cell && source.tagName == "INPUT") cell.Value = !!source.checked;
}

function igtbl_onDoubleClick(grid) {
  var event = window.event;
  if (!event) return;
  var cell = igtbl_cellOf(grid, event.srcElement);
  if (cell) igtbl_beginEdit(grid, cell);
}

function igtbl_editorOf(grid, column) {
  var tail = grid.separator == "_r" ? "__" : "_";
  if (column.Type == 5) return document.getElementById(grid.Id + tail + "vl");
  if (column.Type == 0) return document.getElementById(grid.Id + tail + "tb");
  return null;
}

function igtbl_beginEdit(grid, cell) {
  var editor = igtbl_editorOf(grid, cell.Column);
  if (!editor) return;
  grid.setActiveCell(cell);
  editor.setAttribute("currentCell", cell.Id);
  var value = cell.getValue();
  if (editor.tagName == "SELECT") {
    var options = [];
    for (var i = 0; i < cell.Column.ValueList.length; i++) {
      var item = cell.Column.ValueList[i];
      options.push("<option" + (item == value ? " selected" : "") + ">" + igtbl_escapeHtml(item) + "</option>");
    }
    editor.innerHTML = options.join("");
  } else {
    editor.value = value === undefined ? "" : String(value);
  }
  editor.style.display = "";
}

function igtbl_endEdit(grid, editor) {
  var cell = grid.cellsById[editor.getAttribute("currentCell")];
  if (!cell) return;
  cell.setValue(editor.value);
  editor.style.display = "none";
  editor.setAttribute("currentCell", "");
}

function igtbl_attach(grid) {
  var table = document.getElementById(grid.Id + "_main");
  table.attachEvent("onmousedown", function () { igtbl_onMouseDown(grid); });
  table.attachEvent("onclick", function () { igtbl_onClick(grid); });
  table.attachEvent("ondblclick", function () { igtbl_onDoubleClick(grid); });
  var editors = [igtbl_editorOf(grid, { Type: 0 }), igtbl_editorOf(grid, { Type: 5 })];
  for (var i = 0; i < editors.length; i++) {
    (function (editor) {
      editor.attachEvent("onchange", function () { igtbl_endEdit(grid, editor); });
    })(editors[i]);
  }
}

function igtbl_renderGrid(name, description, holderId) {
  var grid = new igtbl_Grid(name, description);
  grid.rowSelectors = !!description.rowSelectors;
  igtbl_buildRows(grid, grid.Bands[0], null, description.rows || [], [], grid.Rows);
  var holder = document.getElementById(holderId);
  holder.innerHTML = igtbl_markup(grid, description);
  igtbl_attach(grid);
  igtbl_grids[name] = grid;
  window["igtbl_" + name] = grid;
  if (grid.convention == "page") window["o" + name] = grid;
  return grid;
}

// The client API.

function igtbl_getGridById(gridId) {
  var grid = igtbl_grids[gridId];
  return grid === undefined ? null : grid;
}

function igtbl_gridOfElementId(id) {
  for (var name in igtbl_grids) {
    var grid = igtbl_grids[name];
    if (grid.rowsById[id] || grid.cellsById[id] || grid.columnsById[id]) return grid;
  }
  return null;
}

// A row by its own id or by the id of one of its cells or selectors.
function igtbl_getRowById(id) {
  for (var name in igtbl_grids) {
    var grid = igtbl_grids[name];
    var row = grid.rowsById[id];
    if (row) return row;
    var cell = grid.cellsById[id];
    if (cell) return cell.Row;
    row = grid.rowsByElementId[id];
    if (row) return row;
  }
  return null;
}

// A column by the id of its header or of one of its cells.
function igtbl_getColumnById(id) {
  for (var name in igtbl_grids) {
    var grid = igtbl_grids[name];
    var column = grid.columnsById[id];
    if (column) return column;
    var cell = grid.cellsById[id];
    if (cell) return cell.Column;
  }
  return null;
}

// The band of a row, cell or column, by its id.
function igtbl_getBandById(id) {
  var row = igtbl_getRowById(id);
  if (row) return row.Band;
  var column = igtbl_getColumnById(id);
  if (column) return column.Band || column.band;
  return null;
}

function igtbl_getActiveCell(gridId) {
  var grid = igtbl_getGridById(gridId);
  return grid ? grid.getActiveCell() : null;
}

function igtbl_getActiveRow(gridId) {
  var grid = igtbl_getGridById(gridId);
  return grid ? grid.getActiveRow() : null;
}

function igtbl_getRowLevel(id) {
  var row = igtbl_getRowById(id);
  return row ? row.Level : null;
}

function igtbl_getElementById(id) {
  return document.getElementById(id);
}

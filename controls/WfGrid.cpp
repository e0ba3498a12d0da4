#include "controls/WfGrid.h"

#include <string_view>
#include <vector>

#include "recognition/WfKitUtil.h"
#include "support/QilBstr.h"
#include "support/QilSafeArray.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"

namespace {

constexpr LONG kGridClass = 1029;
constexpr LONG kCheckBoxClass = 17;
constexpr LONG kGridMain = 0;
constexpr LONG kGridRules = 1;

constexpr LONG kAttrClassName = 0;
constexpr LONG kAttrText = 3;
constexpr LONG kAttrValue = 6;
constexpr LONG kAttrChecked = 17;
constexpr LONG kAttrControlId = 78;
constexpr LONG kAttrId = 138;
constexpr LONG kAttrLogicalName = 146;

constexpr LONG kEntryValue = 6;
constexpr LONG kEntryRecordId = 48;
constexpr LONG kEntryRow = 66;
constexpr LONG kEntryColumn = 68;
constexpr LONG kEntryPosition = 16389;

constexpr LONG kInputGroup = 1;
constexpr LONG kClickableGroup = 0;
constexpr LONG kOtherGroup = -1;

HRESULT Found(bool found) { return static_cast<HRESULT>(found ? 1 : 0); }

CQilComPtr<IDispatch> ItemAt(IHTMLElementCollection *collection, LONG index) {
  CQilComPtr<IDispatch> item;
  if (FAILED(collection->item(CQilVariant(index), CQilVariant(LONG{0}), &item)))
    item.Release();
  return item;
}

// The cells of a row; false when the row is none or they cannot be counted.
bool RowCells(IHTMLElement *rowElement, CQilComPtr<IHTMLElementCollection> &cells, LONG &count) {
  CQilComPtr<IHTMLTableRow> row;
  cells.Release();
  return SUCCEEDED(row.QueryFrom(rowElement)) && row && SUCCEEDED(row->get_cells(&cells)) &&
         cells && SUCCEEDED(cells->get_length(&count));
}

// Whether a last row of `columns` cells, or of one cell spanning them,
// closes a grid.
bool ClosesGrid(IHTMLElement *rowElement, LONG columns) {
  CQilComPtr<IHTMLElementCollection> cells;
  LONG count = 0;
  if (!RowCells(rowElement, cells, count))
    return false;
  if (count == columns)
    return true;
  CQilComPtr<IHTMLTableCell> pager;
  LONG span = 0;
  return count == 1 && SUCCEEDED(pager.QueryFrom(ItemAt(cells, 0))) && pager &&
         SUCCEEDED(pager->get_colSpan(&span)) && span == columns;
}

// Every row but the last of one cell count, and the last the same or a
// pager row; a single row is no grid.
bool HasGridShape(IHTMLTable *table) {
  CQilComPtr<IHTMLElementCollection> rowCollection;
  if (FAILED(table->get_rows(&rowCollection)) || !rowCollection)
    return false;
  std::vector<CQilComPtr<IHTMLElement>> rows = CollectionElements(rowCollection);
  if (rows.size() < 2)
    return false;
  LONG columns = -1;
  for (size_t i = 0; i + 1 < rows.size(); ++i) {
    CQilComPtr<IHTMLElementCollection> cells;
    LONG count = 0;
    if (!RowCells(rows[i], cells, count) || (columns >= 0 && count != columns))
      return false;
    columns = count;
  }
  return ClosesGrid(rows.back(), columns);
}

bool HasId(IHTMLElement *element) {
  CQilBstr id;
  return SUCCEEDED(element->get_id(&id)) && !id.IsEmpty();
}

// Whether the configuration's Grid_Rules names a rules property that the
// element does not hold.
bool BreaksGridRules(const CIEConfigurationObject &configuration, IHTMLElement *element) {
  CQilBstr rules;
  if (FAILED(configuration.GetPropertyValue(kGridRules, L"rules", &rules)))
    return false;
  return !configuration.MatchSpecifier(element, kGridRules);
}

WEB_AV_TYPE TypeAt(IWebAttrVal *value, UINT index) {
  CQilComPtr<IWebVariant> item;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  if (value == nullptr || FAILED(value->GetValue(index, &item)) || !item ||
      FAILED(item->GetType(&type)))
    return WEB_AV_EMPTY;
  return type;
}

bool LongAt(IWebAttrVal *value, UINT index, LONG &number) {
  return TypeAt(value, index) == WEB_AV_LONG && SUCCEEDED(value->GetLongValue(index, &number));
}

// The object's web class name (its attribute 0); false when it has none.
bool ClassNameOf(IWebObj2 *ao, CQilBstr &name) {
  CQilComPtr<IWebAttrVal> value;
  name.Empty();
  if (ao == nullptr || FAILED(ao->GetAttr(kAttrClassName, nullptr, &value)) || !value ||
      TypeAt(value, 0) != WEB_AV_STRING || FAILED(value->GetStringValue(0, &name)))
    return false;
  return !name.IsEmpty();
}

// All objects inside an object, in its own order; false when it cannot
// list them or an entry is not an object.
bool AllChildren(IWebObj2 *ao, std::vector<CQilComPtr<IWebObj2>> &children) {
  children.clear();
  SAFEARRAY *array = nullptr;
  if (ao == nullptr || FAILED(ao->GetAllChildren(nullptr, &array))) {
    if (array != nullptr)
      SafeArrayDestroy(array);
    return false;
  }
  if (array == nullptr)
    return true;
  CQilVariant holder;
  holder.vt = VT_ARRAY | VT_VARIANT;
  holder.parray = array;
  try {
    CQilSafeArray list;
    list.FromVariant(holder);
    for (ULONG i = 0; i < list.Count(); ++i) {
      CQilComPtr<IUnknown> entry;
      CQilComPtr<IWebObj2> child;
      if (FAILED(list.ReadInterface(&entry)) || !entry || FAILED(child.QueryFrom(entry)) || !child)
        return false;
      children.push_back(child);
    }
  } catch (...) { // the array's reading, or out of memory
    return false;
  }
  return true;
}

bool SameId(IWebObj2 *ao, IWebRunTimeID *id) {
  CQilComPtr<IWebRunTimeID> own;
  int order = 1;
  return SUCCEEDED(ao->GetId(&own)) && own && SUCCEEDED(own->Compare(id, &order)) && order == 0;
}

// The 0-based place of `control` among the objects of its group inside the
// cell object.
HRESULT ControlPosition(IWebObj2 *cellAO, IWebObj2 *control, LONG &position) {
  CQilBstr className;
  CQilComPtr<IWebRunTimeID> id;
  std::vector<CQilComPtr<IWebObj2>> children;
  if (!ClassNameOf(control, className) || FAILED(control->GetId(&id)) || !id ||
      !AllChildren(cellAO, children))
    return E_FAIL;
  LONG group = CWfGrid::ControlGroup(className);
  position = 0;
  for (const CQilComPtr<IWebObj2> &child : children) {
    CQilBstr childClass;
    if (!ClassNameOf(child, childClass))
      continue;
    if (SameId(child, id))
      return S_OK;
    if (CWfGrid::ControlGroup(childClass) == group)
      ++position;
  }
  return E_FAIL;
}

// What a control holds: the check state of a check box, else its value,
// else its text.
HRESULT ControlValue(IWebObj2 *control, CQilComPtr<IWebAttrVal> &value) {
  value.Release();
  if (control->CompareClass(kCheckBoxClass) == S_OK)
    return SUCCEEDED(control->GetAttr(kAttrChecked, nullptr, &value)) && value ? S_OK : E_FAIL;
  if (SUCCEEDED(control->GetAttr(kAttrValue, nullptr, &value)) && value)
    return S_OK;
  value.Release();
  return SUCCEEDED(control->GetAttr(kAttrText, nullptr, &value)) && value ? S_OK : E_FAIL;
}

// Row (rowIndex of the enclosing row) and column (cellIndex) of a cell.
HRESULT CellPosition(IHTMLElement *cell, LONG &row, LONG &column) {
  CQilComPtr<IHTMLTableCell> tableCell;
  column = -1;
  row = -1;
  if (FAILED(tableCell.QueryFrom(cell)) || !tableCell || FAILED(tableCell->get_cellIndex(&column)))
    return E_FAIL;
  CQilComPtr<IHTMLElement> current;
  cell->get_parentElement(&current);
  while (current) {
    CQilComPtr<IHTMLTableRow> tableRow;
    if (SUCCEEDED(tableRow.QueryFrom(current)) && tableRow) {
      if (FAILED(tableRow->get_rowIndex(&row)))
        row = -1;
      break;
    }
    CQilComPtr<IHTMLElement> parent;
    if (FAILED(current->get_parentElement(&parent)))
      break;
    current = parent;
  }
  return row >= 0 && column >= 0 ? S_OK : E_FAIL;
}

// The run-time id that a value holds first, or empty.
CQilComPtr<IWebRunTimeID> FirstId(IWebAttrVal *value) {
  CQilComPtr<IWebVariant> first;
  CQilComPtr<IWebRunTimeID> id;
  if (TypeAt(value, 0) != WEB_AV_ID || FAILED(value->GetValue(0, &first)) || !first ||
      FAILED(first->get_RTID(&id)))
    id.Release();
  return id;
}

// Adds the id of the cell's `position`-th object (from 1) of the group.
bool AddControlId(IWebObj2 *cellAO, LONG group, LONG position, IWebAttrVal *answer) {
  std::vector<CQilComPtr<IWebObj2>> children;
  if (!AllChildren(cellAO, children))
    return false;
  LONG count = 0;
  for (const CQilComPtr<IWebObj2> &child : children) {
    CQilBstr className;
    if (!ClassNameOf(child, className) || CWfGrid::ControlGroup(className) != group ||
        ++count != position)
      continue;
    CQilComPtr<IWebRunTimeID> id;
    return SUCCEEDED(child->GetId(&id)) && id && SUCCEEDED(answer->AddWebRTID(id));
  }
  return false;
}

HRESULT PutLong(IWebInfo *record, LONG name, LONG number) {
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValLong(number);
  return value ? record->ReplaceAttrValueByName(name, value, 1) : E_FAIL;
}

} // namespace

CWfGrid::CWfGrid(IUnknown *element, IWebObj2 *parent)
    : CAOEventConnection<CIE4Table>(element, parent) {
  SetWebClass(kGridClass);
  NameWebFormsEventConfiguration();
}

CWfGrid::~CWfGrid() = default;

bool CWfGrid::IsGrid(IHTMLElement *element) {
  return element != nullptr && IsGrid(element, CWfKitUtil::Instance().Configuration());
}

bool CWfGrid::IsGrid(IHTMLElement *element, const CIEConfigurationObject &configuration) {
  if (element == nullptr)
    return false;
  if (configuration.MatchSpecifier(element, kGridMain))
    return true;
  CQilComPtr<IHTMLTable> table;
  if (FAILED(table.QueryFrom(element)) || !table || !HasId(element))
    return false;
  if (BreaksGridRules(configuration, element) || !CWfKitUtil::IsInAspxForm(element))
    return false;
  return HasGridShape(table);
}

LONG CWfGrid::ControlGroup(BSTR className) {
  std::wstring_view name(className != nullptr ? className : L"", SysStringLen(className));
  for (std::wstring_view input : {L"WebCheckBox", L"WebEdit", L"WebList", L"WebRadioGroup"})
    if (name == input)
      return kInputGroup;
  for (std::wstring_view clickable : {L"WebArea", L"WebButton", L"Link", L"Image"})
    if (name == clickable)
      return kClickableGroup;
  return kOtherGroup;
}

STDMETHODIMP CWfGrid::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  switch (Name) {
  case kAttrClassName: {
    CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValString(CQilBstr(L"WbfGrid"));
    if (!value)
      return E_FAIL;
    *ppAttrVal = value.Detach();
    return S_OK;
  }
  case kAttrLogicalName:
    return GetAttr(kAttrId, pAttrData, ppAttrVal);
  case kAttrControlId:
    return InnerControlId(pAttrData, ppAttrVal);
  default:
    return CIE4Table::GetAttrEx(Name, pAttrData, ppAttrVal);
  }
}

STDMETHODIMP CWfGrid::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  return CIE4Table::InvokeMethod(MethodName, ppWebInfo);
}

HRESULT CWfGrid::FindGridCell(IHTMLElement *element, CQilComPtr<IHTMLElement> &cell) {
  cell.Release();
  CQilComPtr<IHTMLElement> current = element;
  while (current) {
    CQilComPtr<IHTMLTable> table;
    if (SUCCEEDED(table.QueryFrom(current)) && table && m_spHTMLElement.IsSameObject(current))
      return cell ? S_OK : E_FAIL;
    CQilComPtr<IHTMLTableCell> tableCell;
    if (SUCCEEDED(tableCell.QueryFrom(current)) && tableCell)
      cell = current;
    CQilComPtr<IHTMLElement> parent;
    if (FAILED(current->get_parentElement(&parent)))
      return E_FAIL;
    current = parent;
  }
  return E_FAIL;
}

HRESULT CWfGrid::BuildRecordInfo(IUnknown *element, IWebInfo **record) {
  HRESULT hr = CIE4Table::BuildRecordInfo(element, record);
  if (hr != S_OK)
    return hr;
  CQilComPtr<IHTMLElement> html;
  CQilComPtr<IHTMLElement> cell;
  if (FAILED(html.QueryFrom(element)) || !html || FAILED(FindGridCell(html, cell)))
    return E_FAIL;
  return PutRecordEntries(html, cell, *record);
}

HRESULT CWfGrid::PutRecordEntries(IHTMLElement *element, IHTMLElement *cell, IWebInfo *record) {
  LONG row = -1;
  LONG column = -1;
  if (FAILED(CellPosition(cell, row, column)))
    return E_FAIL;
  PutLong(record, kEntryRow, row + 1);
  PutLong(record, kEntryColumn, column + 1);

  CQilComPtr<IWebObj2> frame;
  GetParentFrame(&frame);
  CQilComPtr<IWebObj2> cellAO = HostServices::GetHostAO(cell, frame, VARIANT_FALSE);
  CQilComPtr<IWebObj2> control = HostServices::GetHostAO(element, frame, VARIANT_TRUE);
  if (!cellAO || !control)
    return E_FAIL;
  CQilComPtr<IWebAttrVal> value;
  if (FAILED(ControlValue(control, value)))
    return E_FAIL;
  record->ReplaceAttrValueByName(kEntryValue, value, 1);

  LONG position = -1;
  CQilComPtr<IWebRunTimeID> id;
  CQilComPtr<IWebAttrVal> idValue = HostServices::NewWebAttrVal();
  if (FAILED(ControlPosition(cellAO, control, position)) || position < 0 ||
      FAILED(control->GetId(&id)) || !id || !idValue || FAILED(idValue->AddWebRTID(id)))
    return E_FAIL;
  record->ReplaceAttrValueByName(kEntryRecordId, idValue, 1);
  PutLong(record, kEntryPosition, position + 1);
  return S_OK;
}

// The cell's id from the table object when the data names a row and a
// column; with a position and a group, the id of that control instead.
// Found (1) exactly when the answer holds an id.
HRESULT CWfGrid::InnerControlId(IWebAttrVal *data, IWebAttrVal **ppAttrVal) {
  LONG row = 0;
  LONG column = 0;
  if (!LongAt(data, 0, row) || !LongAt(data, 1, column)) {
    CQilComPtr<IWebAttrVal> empty = HostServices::NewWebAttrVal();
    if (!empty)
      return E_FAIL;
    *ppAttrVal = empty.Detach();
    return Found(false);
  }
  CQilComPtr<IWebAttrVal> answer;
  HRESULT hr = CIE4Table::GetAttrEx(kAttrControlId, data, &answer);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IWebRunTimeID> cellId = FirstId(answer);
  LONG position = 0;
  LONG group = 0;
  if (!cellId || !LongAt(data, 2, position) || !LongAt(data, 3, group)) {
    *ppAttrVal = answer.Detach();
    return Found(cellId.Get() != nullptr);
  }
  answer->SetEmpty();
  CQilComPtr<IWebObj2> frame;
  CQilComPtr<IWebObj2> cellAO;
  GetParentFrame(&frame);
  bool found = frame && SUCCEEDED(frame->GetChildById(cellId, &cellAO)) && cellAO &&
               AddControlId(cellAO, group, position, answer);
  *ppAttrVal = answer.Detach();
  return Found(found);
}

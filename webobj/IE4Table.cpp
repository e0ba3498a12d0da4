#include "webobj/IE4Table.h"

#include <string_view>

#include "support/QilBstr.h"
#include "support/QilSafeArray.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

constexpr LONG kAttrName = 2;
constexpr LONG kAttrCellId = 15;
constexpr LONG kAttrBorder = 55;
constexpr LONG kAttrCellAt = 78;
constexpr LONG kAttrZero = 100;
constexpr LONG kAttrTableIndex = 114;
constexpr LONG kAttrCellCount = 115;
constexpr LONG kAttrFirstRowText = 212;

HRESULT Found(bool found) { return static_cast<HRESULT>(found ? 1 : 0); }

LONG LengthOf(IHTMLElementCollection *collection) {
  LONG length = 0;
  if (collection == nullptr || FAILED(collection->get_length(&length)))
    return 0;
  return length;
}

CQilComPtr<IDispatch> ItemAt(IHTMLElementCollection *collection, LONG index) {
  CQilVariant name(index);
  CQilVariant none(LONG{0});
  CQilComPtr<IDispatch> item;
  if (FAILED(collection->item(name, none, &item)))
    item.Release();
  return item;
}

bool IsTrimmedSpace(OLECHAR c) { return c == L' ' || (c >= 9 && c <= 13) || c == 0xA0; }

std::wstring_view Trimmed(const CQilBstr &text) {
  std::wstring_view view(text.Text(), text.Length());
  while (!view.empty() && IsTrimmedSpace(view.front()))
    view.remove_prefix(1);
  while (!view.empty() && IsTrimmedSpace(view.back()))
    view.remove_suffix(1);
  return view;
}

LONG FirstLong(IWebAttrVal *data, LONG fallback) {
  UINT size = 0;
  LONG number = 0;
  if (data == nullptr || FAILED(data->GetSize(&size)) || size == 0 ||
      FAILED(data->GetLongValue(0, &number)))
    return fallback;
  return number;
}

} // namespace

CIE4Table::CIE4Table(IUnknown *element, IWebObj2 *parent) : CIE4Obj(element, parent) {
  m_pUtil = SharedWebObjUtil(kTableUtil);
}

CIE4Table::~CIE4Table() { SysFreeString(m_bstrTableName); }

CQilComPtr<IHTMLElementCollection> CIE4Table::Rows() {
  CQilComPtr<IHTMLTable> table;
  CQilComPtr<IHTMLElementCollection> rows;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table || FAILED(table->get_rows(&rows)))
    rows.Release();
  return rows;
}

LONG CIE4Table::GetRowCount() { return LengthOf(Rows()); }

LONG CIE4Table::GetRowCellCount(LONG rowIndex) {
  CQilComPtr<IHTMLElementCollection> rows = Rows();
  if (rowIndex < 0 || LengthOf(rows) <= rowIndex)
    return 0;
  CQilComPtr<IHTMLTableRow> row;
  CQilComPtr<IHTMLElementCollection> cells;
  if (FAILED(row.QueryFrom(ItemAt(rows, rowIndex))) || !row || FAILED(row->get_cells(&cells)))
    return 0;
  return LengthOf(cells);
}

LONG CIE4Table::GetCellCount() {
  CQilComPtr<IHTMLTable2> table;
  CQilComPtr<IHTMLElementCollection> cells;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table || FAILED(table->get_cells(&cells)))
    return 0;
  return LengthOf(cells);
}

bool CIE4Table::GetRowText(IUnknown *row, BSTR *text) {
  if (text == nullptr)
    return false;
  SysFreeString(*text);
  *text = nullptr;
  CQilComPtr<IHTMLTableRow> tableRow;
  CQilComPtr<IHTMLElementCollection> cells;
  if (FAILED(tableRow.QueryFrom(row)) || !tableRow || FAILED(tableRow->get_cells(&cells)))
    return false;
  LONG count = LengthOf(cells);
  CQilBstr joined(L"");
  bool any = false;
  for (LONG i = 0; i < count; ++i) {
    CQilComPtr<IHTMLElement> cell;
    CQilBstr cellText;
    if (SUCCEEDED(cell.QueryFrom(ItemAt(cells, i))) && cell &&
        SUCCEEDED(cell->get_innerText(&cellText))) {
      std::wstring_view part = Trimmed(cellText);
      any = any || !part.empty();
      if (FAILED(joined.Append(part.data(), static_cast<UINT>(part.size()))))
        return false;
    }
    if (i + 1 < count && FAILED(joined.Append(L";")))
      return false;
  }
  if (!any)
    return false;
  *text = joined.Detach();
  return true;
}

STDMETHODIMP CIE4Table::GetDirectChildCount(LONG, LONG *plCount) {
  if (plCount == nullptr)
    return E_POINTER;
  *plCount = GetRowCount();
  return S_OK;
}

STDMETHODIMP CIE4Table::GetDirectChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) {
  if (ppsaChildren == nullptr)
    return E_POINTER;
  if (!m_spHTMLElement)
    return E_FAIL;
  WEB_ID_FILTERS kind = ALL_KINDS_OF_OBJECTS;
  if (pFilter == nullptr || FAILED(pFilter->get_filter(&kind)) || kind != ONLY_REGULAR_OBJECTS)
    return CIE4Obj::GetDirectChildren(pFilter, ppsaChildren);
  *ppsaChildren = nullptr;
  CQilComPtr<IWebObj2> frame;
  GetParentFrame(&frame);
  CQilComPtr<IHTMLElementCollection> rows = Rows();
  LONG count = LengthOf(rows);
  try {
    CQilSafeArray children;
    for (LONG i = 0; i < count; ++i) {
      CQilComPtr<IHTMLElement> row;
      if (FAILED(row.QueryFrom(ItemAt(rows, i))) || !row)
        continue;
      CQilComPtr<IWebObj2> ao = HostServices::GetHostAO(row, frame, VARIANT_FALSE);
      if (ao)
        children.AppendInterface(ao);
    }
    if (children.Get() == nullptr) {
      *ppsaChildren = SafeArrayCreateVector(VT_VARIANT, 0, 0);
      return *ppsaChildren != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    *ppsaChildren = children.Detach();
    return S_OK;
  } catch (const CQilSafeArrayError &) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP CIE4Table::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  CQilComPtr<IWebAttrVal> value;
  HRESULT hr = HostServices::CreateWebAttrVal(CLSID_WebAttrVal, IID_IWebAttrVal,
                                              reinterpret_cast<void **>(&value));
  if (FAILED(hr))
    return hr;
  if (!m_spHTMLElement)
    return E_FAIL;
  if (!TableAttribute(Name, pAttrData, value, hr))
    return CIE4Obj::GetAttrEx(Name, pAttrData, ppAttrVal);
  *ppAttrVal = value.Detach();
  return hr;
}

bool CIE4Table::TableAttribute(LONG id, IWebAttrVal *data, CQilComPtr<IWebAttrVal> &value,
                               HRESULT &hr) {
  hr = S_OK;
  switch (id) {
  case kAttrName:
    hr = TableName(value);
    return true;
  case kAttrText: {
    CQilBstr text;
    if (FAILED(m_spHTMLElement->get_innerText(&text)))
      text.Empty();
    BSTR raw = text.Detach(); // taking &text would free it
    CWebTextUtil::NormalizeText(&raw);
    text.Attach(raw);
    CQilBstr empty(L"");
    hr = value->AddString(text.Get() != nullptr ? text.Get() : empty.Get());
    return true;
  }
  case kAttrCellId:
    hr = CellRunTimeId(data, value);
    return true;
  case kAttrBorder: {
    CQilComPtr<IHTMLTable> table;
    CQilVariant border;
    if (SUCCEEDED(table.QueryFrom(m_spHTMLElement)) && table &&
        SUCCEEDED(table->get_border(&border)) && border.vt == VT_BSTR)
      hr = value->AddVariant(border);
    else
      hr = value->AddString(CQilBstr(L""));
    return true;
  }
  case kAttrRowCount:
    hr = value->AddLong(GetRowCount());
    return true;
  case kAttrRowCellCount: {
    LONG n = FirstLong(data, 0);
    hr = value->AddLong(GetRowCellCount(n < 1 ? 0 : n - 1));
    return true;
  }
  case kAttrCellAt:
    hr = Found(CWebTableUtil::GetCellId(this, data, value));
    return true;
  case kAttrZero:
    hr = value->AddLong(0);
    return true;
  case kAttrTableIndex:
    hr = value->AddLong(PositionInDocument());
    return true;
  case kAttrCellCount:
    hr = value->AddLong(GetCellCount());
    return true;
  case kAttrDescription: {
    CQilComPtr<IWebAttrVal> answer;
    bool found = CWebTableUtil::GetDescriptiveText(this, data, &answer);
    if (found && answer)
      value = answer;
    hr = Found(found);
    return true;
  }
  case kAttrCaption:
    hr = CaptionText(value);
    return true;
  case kAttrFirstRowText:
    hr = FirstRowText(value);
    return true;
  default:
    return false;
  }
}

HRESULT CIE4Table::TableName(IWebAttrVal *value) {
  if (SysStringLen(m_bstrTableName) == 0) {
    BSTR name = nullptr;
    if (!CWebTableUtil::GetTableName(this, &name) || SysStringLen(name) == 0) {
      SysFreeString(name);
      name = SysAllocString(L"WebTable");
      if (name == nullptr)
        return E_OUTOFMEMORY;
    }
    SysFreeString(m_bstrTableName);
    m_bstrTableName = name;
  }
  return value->AddString(m_bstrTableName);
}

HRESULT CIE4Table::CellRunTimeId(IWebAttrVal *data, IWebAttrVal *value) {
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  SAFEARRAY *rows = nullptr;
  if (!filter || FAILED(GetDirectChildren(filter, &rows)) || rows == nullptr)
    return S_OK;
  CQilSafeArray rowList;
  CQilVariant rowsVariant;
  rowsVariant.vt = VT_ARRAY | VT_VARIANT;
  rowsVariant.parray = rows;
  std::vector<CQilComPtr<IWebObj2>> cells;
  try {
    rowList.FromVariant(rowsVariant);
    for (ULONG i = 0; i < rowList.Count(); ++i) {
      CQilComPtr<IUnknown> entry;
      CQilComPtr<IWebObj2> row;
      if (FAILED(rowList.ReadInterface(&entry)) || FAILED(row.QueryFrom(entry)) || !row)
        continue;
      SAFEARRAY *rowCells = nullptr;
      if (FAILED(row->GetDirectChildren(filter, &rowCells)) || rowCells == nullptr)
        continue;
      CQilVariant cellsVariant;
      cellsVariant.vt = VT_ARRAY | VT_VARIANT;
      cellsVariant.parray = rowCells;
      CQilSafeArray cellList;
      cellList.FromVariant(cellsVariant);
      cells.clear();
      for (ULONG c = 0; c < cellList.Count(); ++c) {
        CQilComPtr<IUnknown> cellEntry;
        CQilComPtr<IWebObj2> cell;
        cellList.ReadInterface(&cellEntry);
        cell.QueryFrom(cellEntry);
        cells.push_back(cell);
      }
    }
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  LONG n = FirstLong(data, 1);
  if (n < 1 || static_cast<size_t>(n) > cells.size() || !cells[static_cast<size_t>(n - 1)])
    return S_OK;
  CQilComPtr<IWebRunTimeID> id;
  if (SUCCEEDED(cells[static_cast<size_t>(n - 1)]->GetId(&id)) && id)
    return value->AddWebRTID(id);
  return S_OK;
}

LONG CIE4Table::PositionInDocument() {
  CQilComPtr<IDispatch> dispatch;
  CQilComPtr<IHTMLDocument3> document;
  CQilComPtr<IHTMLElementCollection> tables;
  if (FAILED(m_spHTMLElement->get_document(&dispatch)) || !dispatch ||
      FAILED(document.QueryFrom(dispatch)) || !document ||
      FAILED(document->getElementsByTagName(CQilBstr(L"table"), &tables)))
    return 0;
  LONG count = LengthOf(tables);
  CQilComPtr<IHTMLElement> self = m_spHTMLElement;
  for (LONG i = 0; i < count; ++i)
    if (self.IsSameObject(ItemAt(tables, i)))
      return i;
  return 0;
}

HRESULT CIE4Table::CaptionText(IWebAttrVal *value) {
  HRESULT hr = value->AddString(CQilBstr(L""));
  CQilComPtr<IHTMLTable> table;
  CQilComPtr<IHTMLTableCaption> caption;
  CQilComPtr<IHTMLElement> element;
  CQilBstr text;
  if (FAILED(table.QueryFrom(m_spHTMLElement)) || !table || FAILED(table->get_caption(&caption)) ||
      !caption || FAILED(element.QueryFrom(caption)) || !element ||
      FAILED(element->get_innerText(&text)))
    return hr;
  value->SetEmpty();
  CQilBstr empty(L"");
  return value->AddString(text.Get() != nullptr ? text.Get() : empty.Get());
}

HRESULT CIE4Table::FirstRowText(IWebAttrVal *value) {
  CQilComPtr<IHTMLElementCollection> rows = Rows();
  LONG count = LengthOf(rows);
  for (LONG i = 0; i < count; ++i) {
    CQilBstr text;
    if (GetRowText(ItemAt(rows, i), &text))
      return value->AddString(text);
  }
  return S_OK;
}

STDMETHODIMP CIE4Table::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_POINTER;
  switch (MethodName) {
  case GET_TABLE_DATA:
    return Found(CWebTableUtil::GetTableData(this, *ppWebInfo));
  case GET_TABLE_COLUMN:
    return Found(CWebTableUtil::GetTableColumn(this, *ppWebInfo));
  case GET_TABLE_CELL_DATA:
    return Found(CWebTableUtil::GetTableCellData(this, *ppWebInfo));
  case GET_ROW_WITH_CELLTEXT:
    return Found(CWebTableUtil::GetRowWithCellText(this, *ppWebInfo));
  default:
    return CIE4Obj::InvokeMethod(MethodName, ppWebInfo);
  }
}

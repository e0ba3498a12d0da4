// The table rules of CWebTableUtil: the table's name and descriptive text,
// a cell's run-time id, and the host's four table requests.
#include <algorithm>
#include <string_view>
#include <vector>

#include "support/QilBstr.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"
#include "webobj/WebObjUtil.h"

namespace {

constexpr LONG kAttrName95 = 95;
constexpr LONG kAttrInnerText = 105;
constexpr LONG kEntryRow = 66;
constexpr LONG kEntryColumn = 68;
constexpr LONG kEntryMaxCells = 606;
constexpr LONG kEntryFirstRow = 10001;

using Entries = std::vector<CQilVariant>;

bool ReadEntries(SAFEARRAY *array, Entries &entries) {
  entries.clear();
  if (array == nullptr)
    return false;
  LONG lower = 0;
  LONG upper = -1;
  if (SafeArrayGetDim(array) == 1 && SUCCEEDED(SafeArrayGetLBound(array, 1, &lower)) &&
      SUCCEEDED(SafeArrayGetUBound(array, 1, &upper))) {
    entries.reserve(upper >= lower ? static_cast<size_t>(upper - lower) + 1 : 0);
    for (LONG i = lower; i <= upper; ++i) {
      CQilVariant item;
      SafeArrayGetElement(array, &i, &item);
      entries.push_back(item);
    }
  }
  SafeArrayDestroy(array);
  return true;
}

bool DirectChildren(IWebObj2 *ao, IFilterStruct *filter, Entries &entries) {
  SAFEARRAY *array = nullptr;
  if (FAILED(ao->GetDirectChildren(filter, &array))) {
    if (array != nullptr)
      SafeArrayDestroy(array);
    return false;
  }
  return ReadEntries(array, entries);
}

// The entry's agent object: a VT_UNKNOWN that answers IWebObj2.
CQilComPtr<IWebObj2> WebObjOf(const VARIANT &entry) {
  CQilComPtr<IWebObj2> ao;
  if (entry.vt == VT_UNKNOWN)
    ao.QueryFrom(entry.punkVal);
  return ao;
}

bool ReadLong(IWebObj2 *ao, LONG id, IWebAttrVal *data, LONG &number) {
  CQilComPtr<IWebAttrVal> value;
  return ao != nullptr && SUCCEEDED(ao->GetAttr(id, data, &value)) && value &&
         SUCCEEDED(value->GetLongValue(0, &number));
}

bool ReadString(IWebObj2 *ao, LONG id, IWebAttrVal *data, CQilBstr &text) {
  CQilComPtr<IWebAttrVal> value;
  return ao != nullptr && SUCCEEDED(ao->GetAttr(id, data, &value)) && value &&
         SUCCEEDED(value->GetStringValue(0, &text));
}

bool EntryLong(IWebInfo *request, LONG name, LONG &number) {
  return SUCCEEDED(request->GetLongValueByName(name, &number));
}

bool EntryString(IWebInfo *request, LONG name, CQilBstr &text) {
  return SUCCEEDED(request->GetStringValueByName(name, &text));
}

bool Contains(const CQilBstr &text, const CQilBstr &part) {
  std::wstring_view whole(text.Text(), text.Length());
  return whole.find(std::wstring_view(part.Text(), part.Length())) != std::wstring_view::npos;
}

bool CellHolds(const VARIANT &entry, const CQilBstr &text) {
  CQilBstr cellText;
  return ReadString(WebObjOf(entry), kAttrText, nullptr, cellText) && Contains(cellText, text);
}

// A value of the text rule: a string whose first value is not blank.
bool Qualifies(IWebAttrVal *value, IWebVariant *blank) {
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  CQilComPtr<IWebVariant> first;
  return value != nullptr && SUCCEEDED(value->GetType(&type)) && type == WEB_AV_STRING &&
         SUCCEEDED(value->GetValue(0, &first)) && first &&
         blank->CompareRegExp(first, 0, 0) != S_OK;
}

// The text rule over the inner objects of one cell, then the cell itself.
bool CellDescription(IWebObj2 *cell, IFilterStruct *filter, IWebAttrVal *data, IWebVariant *blank,
                     CQilComPtr<IWebAttrVal> &answer, bool &stop) {
  Entries inner;
  if (DirectChildren(cell, filter, inner)) {
    for (const CQilVariant &entry : inner) {
      if (entry.vt != VT_UNKNOWN) {
        stop = true;
        return false;
      }
      CQilComPtr<IWebObj2> object = WebObjOf(entry);
      if (!object)
        continue;
      CQilComPtr<IWebAttrVal> value;
      bool nested = object->CompareClass(kTableClass) == S_OK;
      object->GetAttr(nested ? kAttrDescription : kAttrInnerText, nested ? data : nullptr, &value);
      if (Qualifies(value, blank)) {
        answer = value;
        return true;
      }
    }
  }
  CQilComPtr<IWebAttrVal> own;
  cell->GetAttr(kAttrInnerText, nullptr, &own);
  if (!Qualifies(own, blank))
    return false;
  answer = own;
  return true;
}

// Reads the row count and checks a 1-based row against it; false (with the
// return value set) when the request cannot go on.
bool CheckRow(IWebObj2 *table, IWebInfo *request, LONG row, bool allowBelowOne) {
  LONG rows = 0;
  if (!ReadLong(table, kAttrRowCount, nullptr, rows)) {
    request->SetReturnValue(E_FAIL);
    return false;
  }
  if ((!allowBelowOne && row < 1) || row > rows) {
    request->SetReturnValue(kIndexOutOfRange);
    return false;
  }
  return true;
}

// The cell count of a 1-based row through attribute 69.
bool RowCellCount(IWebObj2 *table, IWebInfo *request, LONG row, LONG &cells) {
  CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrValLong(row);
  if (!data || !ReadLong(table, kAttrRowCellCount, data, cells)) {
    request->SetReturnValue(E_FAIL);
    return false;
  }
  return true;
}

} // namespace

bool CWebTableUtil::GetTableName(IWebObj2 *table, BSTR *name) {
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  SAFEARRAY *array = nullptr;
  Entries entries;
  if (table == nullptr || name == nullptr || !filter ||
      FAILED(table->GetAllChildren(filter, &array)) || !ReadEntries(array, entries))
    return false;
  for (const CQilVariant &entry : entries) {
    CQilComPtr<IWebObj2> child = WebObjOf(entry);
    if (!child)
      return false;
    if (child->CompareClass(kRowClass) == S_OK || child->CompareClass(kCellClass) == S_OK ||
        lstrcmpW(HostServices::GetRecordableClassName(child).Text(), L"WebElement") == 0)
      continue;
    CQilBstr text;
    if (ReadString(child, kAttrName95, nullptr, text) && lstrcmpW(text.Text(), L" *") != 0) {
      *name = text.Detach();
      return true;
    }
  }
  return false;
}

bool CWebTableUtil::GetCellId(IWebObj2 *table, IWebAttrVal *data, IWebAttrVal *value) {
  LONG row = 0;
  LONG column = 0;
  if (table == nullptr || data == nullptr || value == nullptr ||
      FAILED(data->GetLongValue(0, &row)) || FAILED(data->GetLongValue(1, &column)) || row < 1 ||
      column < 1)
    return false;
  CQilComPtr<IWebObj2> rowObject;
  CQilComPtr<IWebObj2> cell;
  CQilComPtr<IWebRunTimeID> id;
  if (FAILED(table->GetChild(row - 1, &rowObject)) || !rowObject ||
      FAILED(rowObject->GetChild(column - 1, &cell)) || !cell || FAILED(cell->GetId(&id)) || !id)
    return false;
  return SUCCEEDED(value->AddWebRTID(id));
}

bool CWebTableUtil::GetDescriptiveText(IWebObj2 *table, IWebAttrVal *data, IWebAttrVal **value) {
  if (table == nullptr || value == nullptr)
    return false;
  CQilComPtr<IWebVariant> blank = HostServices::NewWebVariant();
  CQilBstr blankPattern(L" *");
  if (!blank || FAILED(blank->put_string(blankPattern)))
    return false;
  CQilComPtr<IWebAttrVal> caption;
  CQilBstr captionText;
  if (SUCCEEDED(table->GetAttr(kAttrCaption, nullptr, &caption)) && caption &&
      SUCCEEDED(caption->GetStringValue(0, &captionText)) && !captionText.IsEmpty()) {
    *value = caption.Detach();
    return true;
  }
  CQilComPtr<IFilterStruct> objects = HostServices::NewFilterStruct();
  CQilComPtr<IFilterStruct> defaults = HostServices::NewFilterStruct();
  Entries rows;
  if (!objects || !defaults || FAILED(objects->put_filter(ONLY_OBJECTS)) ||
      !DirectChildren(table, objects, rows))
    return false;
  for (const CQilVariant &rowEntry : rows) {
    if (rowEntry.vt != VT_UNKNOWN)
      return false;
    CQilComPtr<IWebObj2> row = WebObjOf(rowEntry);
    Entries cells;
    if (!row || !DirectChildren(row, defaults, cells))
      continue;
    for (const CQilVariant &cellEntry : cells) {
      if (cellEntry.vt != VT_UNKNOWN)
        return false;
      CQilComPtr<IWebObj2> cell = WebObjOf(cellEntry);
      if (!cell)
        continue;
      CQilComPtr<IWebAttrVal> answer;
      bool stop = false;
      if (CellDescription(cell, defaults, data, blank, answer, stop)) {
        *value = answer.Detach();
        return true;
      }
      if (stop)
        return false;
    }
  }
  return false;
}

bool CWebTableUtil::GetTableData(IWebObj2 *table, IWebInfo *request) {
  if (table == nullptr || request == nullptr)
    return false;
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  Entries rows;
  if (!filter || !DirectChildren(table, filter, rows)) {
    request->SetReturnValue(E_FAIL);
    return true;
  }
  CQilComPtr<IWebAttrVal> rowList = HostServices::NewWebAttrVal();
  if (!rowList)
    return false;
  LONG maxCells = 0;
  for (size_t r = 0; r < rows.size(); ++r) {
    CQilComPtr<IWebObj2> row = WebObjOf(rows[r]);
    if (!row)
      return false;
    Entries cells;
    if (!DirectChildren(row, filter, cells))
      continue;
    maxCells = std::max(maxCells, static_cast<LONG>(cells.size()));
    rowList->SetEmpty();
    for (const CQilVariant &entry : cells) {
      CQilComPtr<IWebObj2> cell = WebObjOf(entry);
      if (!cell)
        return false;
      CQilBstr text;
      if (ReadString(cell, kAttrText, nullptr, text))
        rowList->AddString(text);
    }
    request->InsertAttrWebAttr(kEntryFirstRow + static_cast<LONG>(r), rowList, 0);
  }
  request->InsertAttrLong(kEntryRow, static_cast<LONG>(rows.size()), 1);
  request->InsertAttrLong(kEntryMaxCells, maxCells, 1);
  request->SetReturnValue(S_OK);
  return true;
}

bool CWebTableUtil::GetTableColumn(IWebObj2 *table, IWebInfo *request) {
  if (table == nullptr || request == nullptr)
    return false;
  LONG row = 0;
  if (!EntryLong(request, kEntryRow, row)) {
    request->SetReturnValue(E_INVALIDARG);
    return true;
  }
  if (!CheckRow(table, request, row, false))
    return true;
  CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrValLong(row);
  if (!data)
    return true;
  LONG cells = 0;
  if (!ReadLong(table, kAttrRowCellCount, data, cells)) {
    request->SetReturnValue(E_FAIL);
    return true;
  }
  request->InsertAttrLong(kEntryColumn, cells, 1);
  request->SetReturnValue(S_OK);
  return true;
}

bool CWebTableUtil::GetTableCellData(IWebObj2 *table, IWebInfo *request) {
  if (table == nullptr || request == nullptr)
    return true;
  LONG row = 0;
  LONG column = 0;
  if (!EntryLong(request, kEntryRow, row) || !EntryLong(request, kEntryColumn, column)) {
    request->SetReturnValue(E_INVALIDARG);
    return true;
  }
  LONG cells = 0;
  if (!CheckRow(table, request, row, false) || !RowCellCount(table, request, row, cells))
    return true;
  if (column < 1 || column > cells) {
    request->SetReturnValue(kIndexOutOfRange);
    return true;
  }
  CQilComPtr<IWebObj2> rowObject;
  CQilComPtr<IWebObj2> cell;
  if (FAILED(table->GetChild(row - 1, &rowObject)) || !rowObject ||
      FAILED(rowObject->GetChild(column - 1, &cell)) || !cell) {
    request->SetReturnValue(E_FAIL);
    return true;
  }
  CQilBstr text;
  ReadString(cell, kAttrText, nullptr, text);
  request->InsertAttrString(kAttrText, text, 1);
  request->SetReturnValue(S_OK);
  return true;
}

bool CWebTableUtil::GetRowWithCellText(IWebObj2 *table, IWebInfo *request) {
  if (table == nullptr || request == nullptr)
    return false;
  LONG startRow = 0;
  LONG column = 0;
  CQilBstr text;
  if (!EntryLong(request, kEntryRow, startRow) || !EntryLong(request, kEntryColumn, column) ||
      !EntryString(request, kAttrText, text)) {
    request->SetReturnValue(E_INVALIDARG);
    return true;
  }
  LONG startCells = 0;
  if (!CheckRow(table, request, startRow, true) ||
      !RowCellCount(table, request, startRow, startCells))
    return true;
  if (column > startCells) {
    request->SetReturnValue(kIndexOutOfRange);
    return true;
  }
  request->RemoveAll();
  request->InsertAttrLong(kEntryRow, -1, 1);
  request->SetReturnValue(S_OK);

  CQilBstr tableText;
  if (!ReadString(table, kAttrText, nullptr, tableText) || !Contains(tableText, text))
    return true;
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  Entries rows;
  if (!filter || !DirectChildren(table, filter, rows))
    return true;
  LONG rowCount = 0;
  ReadLong(table, kAttrRowCount, nullptr, rowCount);
  for (LONG r = startRow < 1 ? 0 : startRow - 1;
       r < rowCount && static_cast<size_t>(r) < rows.size(); ++r) {
    CQilComPtr<IWebObj2> row = WebObjOf(rows[static_cast<size_t>(r)]);
    CQilBstr rowText;
    Entries cells;
    if (!row || !ReadString(row, kAttrText, nullptr, rowText) || !Contains(rowText, text) ||
        !DirectChildren(row, filter, cells) ||
        cells.size() < static_cast<size_t>(static_cast<ULONG>(column)))
      continue;
    bool found = false;
    if (column > 0) {
      found = CellHolds(cells[static_cast<size_t>(column - 1)], text);
    } else {
      // Cells beyond a short row's end are not tried.
      size_t tried = std::min(cells.size(), static_cast<size_t>(std::max(startCells, LONG{0})));
      for (size_t c = 0; c < tried && !found; ++c)
        found = CellHolds(cells[c], text);
    }
    if (found) {
      request->RemoveAll();
      request->InsertAttrLong(kEntryRow, r + 1, 1);
      request->SetReturnValue(S_OK);
      return true;
    }
  }
  return true;
}

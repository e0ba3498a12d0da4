// The agent object of a grid of the UltraWebGrid component: a TABLE
// "<name>_main" whose rows, bands, columns and settings are read through the
// page's igtbl_ client script API. It reports the grid, finds its inner
// elements by the texts that recording writes, answers the table data
// request, scrolls a point into view and records clicks inside the grid.
#pragma once

#include <string>
#include <string_view>

#include "support/QilComPtr.h"
#include "support/QilVariant.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE4Table.h"

class CWfUltraGrid : public CAOEventConnection<CIE4Table> {
public:
  CWfUltraGrid(IUnknown *element, IWebObj2 *parent);
  ~CWfUltraGrid() override;

  // Whether a TABLE is the main table of such a grid.
  static bool IsUltraGrid(IHTMLElement *element);
  // A column or header text without the formatting tags the grid allows.
  static std::wstring CleanMarkup(std::wstring_view text);
  // `text` as the body of a JavaScript string literal.
  static std::wstring EscapeForScript(std::wstring_view text);

  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record) override;
  LONG GetRowCount() override;
  LONG GetRowCellCount(LONG rowIndex) override;

private:
  struct ColumnRef {
    LONG band = 0;
    LONG column = -1;
    std::wstring headerId;
    CQilComPtr<IDispatch> header;
  };
  struct Placeholder {
    std::wstring_view name;
    std::wstring_view value;
  };

  // Scripts.
  CQilComPtr<IDispatch> Window();
  HRESULT Evaluate(const std::wstring &script, CQilVariant &result);
  CQilComPtr<IDispatch> EvaluateObject(const std::wstring &script);
  bool EvaluateString(const std::wstring &script, std::wstring &text);
  // `text` with every placeholder replaced by its value, escaped for a
  // string literal.
  static std::wstring Fill(std::wstring_view text, std::initializer_list<Placeholder> values);
  std::wstring Quoted(std::wstring_view text) const;
  // The page-level object "o<name>" (page) or "igtbl_<name>", as script.
  std::wstring GridObjectScript(bool pageObject) const;
  std::wstring GridObjectScript() const { return GridObjectScript(m_nScriptMode == 1); }
  void SettleScriptMode();
  CQilComPtr<IDispatch> GridObject();

  // Names of the component's elements.
  std::wstring GridName() const;
  std::wstring Separator() const { return m_bUnderscoreRow ? L"_r" : L"r"; }
  // The grid name followed by `part`, with "_" before it for the "_r" ids.
  std::wstring Prefixed(std::wstring_view part) const;
  // The grid name as the templates' row-id placeholder takes it.
  std::wstring RowIdStem() const;
  std::wstring RowScript(LONG index) const;

  // Rows, columns and their texts.
  HRESULT RowText(const std::wstring &id, std::wstring &text);
  HRESULT ColumnText(const std::wstring &id, std::wstring &text);
  LONG BandCount();
  CQilComPtr<IWebObj2> LocateByKey(LPCOLESTR tag, const std::wstring &key);
  CQilComPtr<IWebObj2> LocateRow(const std::wstring &rowText);
  HRESULT LocateColumn(IWebVariant *value, ColumnRef &column);
  HRESULT FindBand(const std::wstring &bandKey, CQilComPtr<IDispatch> &band, LONG &number);
  bool ExpansionState(const std::wstring &rowText, LONG &state);
  LONG RowExpansionState(IDispatch *row);
  bool SortState(IWebVariant *value, LONG &state);
  bool GridProperty(LPCOLESTR name, IWebAttrVal *value);

  // Attribute 78: the inner element named by recorded texts.
  bool FindInnerElement(IWebAttrVal *data, IWebAttrVal *value);
  CQilComPtr<IWebObj2> CellContent(IWebAttrVal *data);
  CQilComPtr<IWebObj2> LocateCell(IWebAttrVal *data, IDispatch **header);
  CQilComPtr<IWebObj2> RowSelector(IWebAttrVal *data);
  CQilComPtr<IWebObj2> ColumnHeader(IWebAttrVal *data);
  CQilComPtr<IWebObj2> CellControl(IWebAttrVal *data);
  CQilComPtr<IWebObj2> CellEditor(IDispatch *header);
  CQilComPtr<IWebObj2> AddNewRow(IWebAttrVal *data);
  CQilComPtr<IWebObj2> GridChildHolding(std::wstring_view suffix);

  // Requests.
  HRESULT GetTableData(IWebInfo *request);
  HRESULT ScrollPointIntoView(IWebInfo *request);
  CQilComPtr<IHTMLElement2> ScrollingElement();

  // Recording.
  CQilComPtr<IHTMLElement> CellAround(IHTMLElement *element);
  HRESULT RecordCell(IHTMLElement *element, IHTMLElement *cell, IWebInfo *record);
  HRESULT RecordRowSelector(IHTMLElement *element, IWebInfo *record);
  HRESULT RecordRowCheckBox(IHTMLElement *element, IWebInfo *record);
  HRESULT RecordColumnHeader(IHTMLElement *element, IWebInfo *record);
  HRESULT RecordAddNewRow(IHTMLElement *element, IWebInfo *record);
  HRESULT RecordCellEditor(IHTMLElement *element, IWebInfo *record);
  HRESULT RecordActiveCell(IHTMLElement *element, IWebInfo *record);
  void RecordRowPart(IHTMLElement *element, IWebInfo *record, const std::wstring &rowText,
                     bool selector);
  void RecordShiftKey(IHTMLElement *element, IWebInfo *record);
  void PutTexts(IWebInfo *record, const std::wstring &id, bool cell);

  BSTR m_bstrGridName = nullptr;
  CQilComPtr<IDispatch> m_spWindow;
  CQilComPtr<IDispatch> m_spGrid;
  LONG m_nScriptMode = 2;
  bool m_bUnderscoreRow = false;
};

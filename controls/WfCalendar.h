// The agent object of an ASP.NET Web Forms Calendar: a TABLE whose day,
// week, month and navigation links post back through the page's
// __doPostBack. Reports the title, selection mode and current selection,
// replays selections and month moves, records clicks on its links and
// learns how the page draws the selected day.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>
#include <vector>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE4Obj.h"

class CWfCalendarDayStyle;

class CWfCalendar : public CAOEventConnection<CIE4Obj> {
public:
  CWfCalendar(IUnknown *element, IWebObj2 *parent);
  ~CWfCalendar() override;

  // Whether the TABLE element is a calendar (its links, ids and day texts).
  static bool IsCalendar(IHTMLElement *element);

  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record) override;

  // Days are counted from 1 January 2000 (day 0). The text of a day, as
  // "5-Jan-2010"; false when it cannot be formatted.
  static bool DateText(LONG day, CQilBstr &text);
  // The text of a JavaScript string literal (the part between the quotes)
  // read back to the string it stands for, and a string written as one.
  static std::wstring UnescapeScriptLiteral(const std::wstring &literal);
  static std::wstring EscapeScriptLiteral(const std::wstring &text);

private:
  static bool IsCalendarTable(IHTMLElement *element);

  enum class CellKind { NoPostBack, Navigation, Day };
  struct Cell {
    CQilComPtr<IHTMLElement> element;
    CellKind kind;
    LONG day;
  };
  using CellTest = bool (*)(IHTMLElement *cell, const CWfCalendarDayStyle *style);
  // A recorded click: its kind, first day and month direction (+1, -1, 0).
  struct Click {
    LPCOLESTR kind = L"None";
    LONG day = 0;
    int direction = 0;
  };

  // Page reading.
  std::vector<Cell> Cells();
  CQilComPtr<IHTMLElement> FindDayCell(LONG day);
  CQilComPtr<IHTMLElementCollection> TitleCells();
  CQilComPtr<IHTMLElement> NavigationLink(bool next);
  CQilBstr Title();
  LPCOLESTR SelectionMode();
  // The kind of the first selected day cell, from the cells after it; the
  // walk's last value when no day is selected.
  LPCOLESTR SelectionKind();
  LPCOLESTR RangeKind(LONG day, CellTest test, const CWfCalendarDayStyle *style);
  // The date text of the first selected day; false when there is none.
  bool SelectedDate(CQilBstr &text);
  // The control name of the postbacks; empty when the page has none.
  std::wstring PostBackName();

  // Replay.
  HRESULT PostBack(LPCOLESTR prefix, LONG number);
  HRESULT ParseDate(IWebInfo *request, LONG &day);
  HRESULT GoToMonth(IWebInfo *request);
  HRESULT SelectDay(IWebInfo *request);
  HRESULT SelectRange(IWebInfo *request);
  HRESULT ClickMonthLink(bool next);
  HRESULT GetSelectionByStyle(IWebInfo *request);
  HRESULT GetDayStyle(IWebInfo *request);
  HRESULT Handle(LONG method, IWebInfo *request);

  // Recording.
  HRESULT RecordClick(IUnknown *element, IWebInfo *record);
  // A postback argument as a click; E_FAIL for a month link without a
  // previous-month link to tell its direction.
  HRESULT ClassifyClick(const std::wstring &argument, Click &click);
  // Arms the learned day style with this calendar's click.
  void RememberClick(IWebRunTimeID *id, LONG day);
  // Captures the learned day style from this calendar after a reload.
  void CaptureLearnedStyle();
};

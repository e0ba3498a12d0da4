// How a page draws a selected calendar day: the cell's class and colours,
// filled from a request or captured from a cell, and tested against cells.
// One process-wide instance, the learned day style, remembers a recorded
// click until the calendar is built again after the page reloads.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include "TallowickIE_h.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"

class CWfCalendarDayStyle {
public:
  CWfCalendarDayStyle() { Reset(); }
  CWfCalendarDayStyle(const CWfCalendarDayStyle &) = delete;
  CWfCalendarDayStyle &operator=(const CWfCalendarDayStyle &) = delete;

  // Forgets everything: the learned style is armed again.
  void Reset();
  // Entries 21, 118, 22 and 139 of the request replace color,
  // backgroundColor, fontStyle and className; each one present clears isEmpty.
  void FillFromRequest(IWebInfo *request);
  // Whether the cell is drawn as described: every non-empty field equal
  // (ignoring case), at least one compared.
  bool Matches(IHTMLElement *cell) const;
  // Writes the four style fields into the request as entries 21, 118, 22, 139.
  void WriteToRequest(IWebInfo *request) const;

  // A colour as the DOM gives it: a string unchanged, an integer as "#%d",
  // anything else empty.
  static CQilBstr ColourText(const VARIANT &colour);

  // The process-wide learned day style, created on first use.
  static CWfCalendarDayStyle &Learned();
  // Drops the learned style at module unload.
  static void ReleaseLearned();

  CQilComPtr<IWebRunTimeID> calendarId;
  CQilBstr postBackName;
  LONG day = 0;
  CQilBstr className;
  CQilBstr backgroundColor;
  CQilBstr color;
  CQilBstr fontStyle;
  bool isEmpty = true;
};

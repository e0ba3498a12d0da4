// The agent object of a Toolbar: a view-link element whose behaviour offers
// numItems and getItem(i) on the element, and item objects with getType,
// getCount/getItem (check groups), getAttribute/setAttribute, click and
// getOptions. Recording of list and text box events reads the rendered
// cells (expandos _type and uniqueID) of the view-link document.
#pragma once

#include <vector>

#include "support/QilBstr.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE55ViewLinkElement.h"

class CWfToolBar : public CAOEventConnection<CIE55ViewLinkElement> {
public:
  CWfToolBar(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO);

  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record) override;

  // A button or check button in recording order (check groups descended).
  struct Button {
    CQilBstr text;
    CQilBstr uniqueId;
  };

private:
  HRESULT Dispatch(CQilComPtr<IDispatch> &dispatch);
  HRESULT ItemCount(LONG &count);
  // The item names in list numbering: all of them (wanted -1, joined by line
  // feeds) or the one numbered `wanted`.
  HRESULT ListNames(LONG wanted, CQilBstr &names);
  HRESULT FrameStyle(CQilBstr &style);

  HRESULT ClickButton(IWebInfo *request);
  HRESULT SelectListOption(IWebInfo *request);
  HRESULT SetTextBoxValue(IWebInfo *request);
  HRESULT GetItemText(IWebInfo *request);
  // The top-level item of `kind` numbered `number` among items of its kind.
  HRESULT KindItem(IWebInfo *request, LPCOLESTR kind, CQilComPtr<IDispatch> &item);

  HRESULT RecordButtonClick(IHTMLElement *element, IWebInfo *record);
  HRESULT RecordItemEvent(IHTMLElement *element, IWebInfo *record);
};

// The agent object of a TabStrip: a view-link element whose behaviour offers
// selectedIndex, numTabs and getTab(i) on the element itself. Tabs are named
// by their text, or "#" and their index when the text is empty, not unique
// or would itself be read as an index.
#pragma once

#include "support/QilBstr.h"
#include "support/QilVariant.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE55ViewLinkElement.h"

class CWfTabStrip : public CAOEventConnection<CIE55ViewLinkElement> {
public:
  CWfTabStrip(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO);

  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record) override;

private:
  HRESULT Dispatch(CQilComPtr<IDispatch> &dispatch);
  // The element's dispatch and its selectedindex.
  HRESULT SelectedIndex(CQilComPtr<IDispatch> &strip, CQilVariant &selected);
  // numTabs: S_FALSE when it is not a number (count -1).
  HRESULT TabCount(IDispatch *strip, LONG &count);
  // S_FALSE with an empty text when numTabs is not a number.
  HRESULT TabText(IDispatch *strip, LONG index, CQilBstr &text);
  HRESULT SelectedTabText(CQilBstr &text);
  HRESULT SelectedTabName(CQilBstr &name);
  HRESULT AllTabTexts(CQilBstr &list);
  // S_FALSE with index -1 when numTabs is not a number.
  HRESULT TabIndexOf(IDispatch *strip, BSTR name, LONG &index);
  HRESULT SelectTab(IWebInfo *request);
  HRESULT GetTabText(IWebInfo *request);
};

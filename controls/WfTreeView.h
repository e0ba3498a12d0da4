// The agent object of a TreeView element: a tree of nodes that the element's
// behaviour renders into its view-link document. Nodes are read through the
// behaviour's script interface and addressed by paths of node names joined
// by ";"; replay clicks the parts of a node's rendered element.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>

#include "webobj/AOEventConnection.h"
#include "webobj/IE55ViewLinkElement.h"

class CWfTreeView : public CAOEventConnection<CIE55ViewLinkElement> {
public:
  CWfTreeView(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO);

  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record) override;

private:
  CQilComPtr<IDispatch> TreeDispatch() const;
  CQilComPtr<IWebAttrVal> DisabledValue();
  CQilComPtr<IWebAttrVal> VisibleNodesValue(bool count);
  CQilComPtr<IWebAttrVal> RuntimeIdValue();
  CQilComPtr<IWebAttrVal> SelectedPathValue();
  HRESULT SelectedNodePath(std::wstring &path);
  HRESULT InvokeTreeMethod(LONG method, IWebInfo *request);
  HRESULT GetVisibleNodeName(IWebInfo *request);
  HRESULT FollowPath(const std::wstring &path, LONG action);
  HRESULT CollapseNode(const std::wstring &path);
  HRESULT ApplyAction(IDispatch *node, LONG action);
  HRESULT ClickPart(IHTMLElement *part);
  HRESULT RecordNodeClick(IHTMLElement *source, bool withCheckState, IWebInfo *record);
  HRESULT RecordCheckEvent(IHTMLElement *source, IWebInfo *record);
  HRESULT RecordNode(IDispatch *node, bool withCheckState, IWebInfo *record);
};

#include "recognition/WIKitFactoryIEImpl.h"

CQilComPtr<IHTMLElement> CWIKitFactoryIEImpl::HTMLElementOf(IUnknown *element) {
  CQilComPtr<IHTMLElement> html;
  if (element == nullptr)
    return html;
  HRESULT hr = html.QueryFrom(element);
  if (hr == E_NOINTERFACE || (SUCCEEDED(hr) && !html))
    return CQilComPtr<IHTMLElement>();
  if (FAILED(hr))
    throw CKitFactoryError{hr};
  return html;
}

CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewAOImpl(IUnknown *element, IWebObj2 *parent) {
  CQilComPtr<IHTMLElement> html = HTMLElementOf(element);
  return html ? NewElementAO(html, parent) : CQilComPtr<IWebObj2>();
}

CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewDefaultAOImpl(IUnknown *element, IWebObj2 *parent) {
  CQilComPtr<IHTMLElement> html = HTMLElementOf(element);
  return html ? NewDefaultElementAO(html, parent) : CQilComPtr<IWebObj2>();
}

CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewFrameAOImpl(IWebObj2 *coreFrame, IWebObj2 *parent) {
  CQilComPtr<IHTMLElement> html = HTMLElementOf(coreFrame);
  return html ? NewFrameElementAO(html, parent) : CQilComPtr<IWebObj2>();
}

CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::GetRecordAOImpl(IUnknown *element,
                                                          const tagWIEventData &event,
                                                          IWebObj2 *parent, bool &known) {
  CQilComPtr<IHTMLElement> html = HTMLElementOf(element);
  return html ? GetRecordElementAO(html, event, parent, known) : CQilComPtr<IWebObj2>();
}

CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewContainedAOImpl(IUnknown *element, IWebObj2 *parent) {
  CQilComPtr<IHTMLElement> html = HTMLElementOf(element);
  return html ? NewContainedElementAO(html, parent) : CQilComPtr<IWebObj2>();
}

bool CWIKitFactoryIEImpl::IsKitElementImpl(IUnknown *element, IWebObj2 *parent) {
  CQilComPtr<IHTMLElement> html = HTMLElementOf(element);
  return html && IsKitHTMLElement(html, parent);
}

CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewElementAO(IHTMLElement *, IWebObj2 *) { return {}; }
CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewDefaultElementAO(IHTMLElement *, IWebObj2 *) {
  return {};
}
CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewFrameElementAO(IHTMLElement *, IWebObj2 *) {
  return {};
}
CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::NewContainedElementAO(IHTMLElement *, IWebObj2 *) {
  return {};
}
bool CWIKitFactoryIEImpl::IsKitHTMLElement(IHTMLElement *, IWebObj2 *) { return false; }
CQilComPtr<IWebObj2> CWIKitFactoryIEImpl::GetRecordElementAO(IHTMLElement *, const tagWIEventData &,
                                                             IWebObj2 *, bool &known) {
  known = false;
  return {};
}

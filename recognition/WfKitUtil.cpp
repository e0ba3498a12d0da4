#include "recognition/WfKitUtil.h"

#include <string_view>

#include "support/QilBstr.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

constexpr LONG kFirstKitClass = 1025;
constexpr LONG kLastKitClass = 1030;

CQilComPtr<IHTMLDocument2> DocumentOf(IHTMLElement *element) {
  CQilComPtr<IDispatch> dispatch;
  CQilComPtr<IHTMLDocument2> document;
  if (element != nullptr && SUCCEEDED(element->get_document(&dispatch)) && dispatch)
    document.QueryFrom(dispatch);
  return document;
}

bool IsFormElement(IHTMLElement *element) {
  CQilBstr tag;
  return SUCCEEDED(element->get_tagName(&tag)) && lstrcmpiW(tag.Text(), L"FORM") == 0;
}

bool HasFormAncestor(IHTMLElement *element) {
  CQilComPtr<IHTMLElement> current = element;
  while (current) {
    if (IsFormElement(current))
      return true;
    CQilComPtr<IHTMLElement> parent;
    if (FAILED(current->get_parentElement(&parent)))
      return false;
    current = parent;
  }
  return false;
}

CQilComPtr<IWebObj2> ViewLinkFrameOwner(IWebObj2 *hostAO) {
  CQilComPtr<IWebObj2> frame;
  CQilComPtr<IWIViewLinkFrameAO> viewLinkFrame;
  CQilComPtr<IWebObj2> owner;
  if (FAILED(hostAO->GetParentFrame(&frame)) || !frame || FAILED(viewLinkFrame.QueryFrom(frame)) ||
      !viewLinkFrame || FAILED(viewLinkFrame->GetOwnerAO(&owner)))
    owner.Release();
  return owner;
}

LONG InnerObjectType(IWebObj2 *ao) {
  CQilComPtr<IWebRunTimeID> id;
  LONG type = 0;
  if (FAILED(ao->GetId(&id)) || !id || FAILED(id->GetInnerObjTypeId(&type)))
    return 0;
  return type;
}

} // namespace

CWfKitUtil::CWfKitUtil() {
  configuration_.Reserve(2);
  configuration_.SetSpecifierIndex(L"Grid_Main", 0);
  configuration_.SetSpecifierIndex(L"Grid_Rules", 1);
  LoadConfiguration();
}

CWfKitUtil &CWfKitUtil::Instance() {
  static CWfKitUtil instance;
  return instance;
}

void CWfKitUtil::LoadConfiguration() {
  CQilComPtr<IWebVariant> setting;
  CQilBstr name(L"web forms configuration file");
  if (FAILED(HostServices::GetSetting(name, &setting)) || !setting)
    return;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  CQilBstr path;
  if (FAILED(setting->GetType(&type)) || type != WEB_AV_STRING ||
      FAILED(setting->get_string(&path)))
    return;
  configuration_.LoadFromFile(path.Text());
}

CQilComPtr<IWebObj2> CWfKitUtil::FindRecordAO(IWebObj2 *hostAO, IWebObj2 *parent) const {
  if (hostAO != nullptr && parent != nullptr &&
      InnerObjectType(hostAO) == kViewLinkFrameChildType) {
    CQilComPtr<IWebObj2> owner = ViewLinkFrameOwner(hostAO);
    if (IsKitAO(owner))
      return owner;
  }
  CQilComPtr<IWebObj2> current = hostAO;
  while (current && current->CompareClass(kFrameClass) != S_OK) {
    if (IsKitAO(current))
      return current;
    CQilComPtr<IWebObj2> next;
    if (FAILED(current->GetParent(&next)))
      break;
    current = next;
  }
  return CQilComPtr<IWebObj2>();
}

bool CWfKitUtil::IsKitAO(IWebObj2 *ao) {
  if (ao == nullptr)
    return false;
  LONG recordable = 1024;
  ao->GetRecordableClass(&recordable);
  return recordable >= kFirstKitClass && recordable <= kLastKitClass;
}

bool CWfKitUtil::IsInAspxForm(IHTMLElement *element) {
  if (element == nullptr || !HasFormAncestor(element))
    return false;
  CQilComPtr<IHTMLDocument2> document = DocumentOf(element);
  CQilBstr url;
  if (!document || FAILED(document->get_URL(&url)))
    return false;
  std::wstring_view text(url.Text(), url.Length());
  return text.find(L".aspx", 1) != std::wstring_view::npos;
}

CQilComPtr<IHTMLEventObj> CWfKitUtil::GetCurrentEvent(IHTMLElement *element) {
  CQilComPtr<IHTMLDocument2> document = DocumentOf(element);
  CQilComPtr<IHTMLWindow2> window;
  CQilComPtr<IHTMLEventObj> event;
  if (!document || FAILED(document->get_parentWindow(&window)) || !window ||
      FAILED(window->get_event(&event)))
    event.Release();
  return event;
}

#include "recognition/WfKitUtil.h"

#include <algorithm>
#include <string_view>

#include "controls/WfCalendar.h"
#include "controls/WfGrid.h"
#include "controls/WfTabStrip.h"
#include "controls/WfToolBar.h"
#include "controls/WfTreeView.h"
#include "controls/WfUltraGrid.h"
#include "support/QilBstr.h"
#include "webobj/HostServices.h"
#include "webobj/IE4Obj.h"
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

// The controls that CreateControlAO chooses from, in the order of its tests.
using ViewLinkFactory = HRESULT (*)(IWebObj2 **, IHTMLElement *, IWebObj2 *, IWebObj2 *);
using TableFactory = HRESULT (*)(IWebObj2 **, IHTMLElement *, IWebObj2 *);

template <class T>
HRESULT CreateViewLinkControl(IWebObj2 **ao, IHTMLElement *element, IWebObj2 *parent,
                              IWebObj2 *inner) {
  return CreateWebObject<T>(ao, static_cast<IUnknown *>(element), parent, inner);
}

template <class T>
HRESULT CreateTableControl(IWebObj2 **ao, IHTMLElement *element, IWebObj2 *parent) {
  return CreateWebObject<T>(ao, static_cast<IUnknown *>(element), parent);
}

struct ViewLinkControl {
  LPCOLESTR tag;
  LONG webClass;
  ViewLinkFactory create;
};

struct TableControl {
  LONG webClass;
  bool (*test)(IHTMLElement *);
  bool testIsCheap; // reads no rows: MayCreateControlOfClass may run it
  TableFactory create;
};

constexpr ViewLinkControl kViewLinkControls[] = {
    {L"TabStrip", 1025, &CreateViewLinkControl<CWfTabStrip>},
    {L"ToolBar", 1026, &CreateViewLinkControl<CWfToolBar>},
    {L"TreeView", 1027, &CreateViewLinkControl<CWfTreeView>},
};

// The UltraGrid test reads the table's id first and gives up on any other.
constexpr TableControl kTableControls[] = {
    {1028, &CWfCalendar::IsCalendar, false, &CreateTableControl<CWfCalendar>},
    {1030, &CWfUltraGrid::IsUltraGrid, true, &CreateTableControl<CWfUltraGrid>},
    {1029, &CWfGrid::IsGrid, false, &CreateTableControl<CWfGrid>},
};

// Case-insensitive equality; strings of different lengths are never equal,
// so most tags are told apart without folding their case.
bool EqualsNoCase(const CQilBstr &tag, LPCOLESTR name) {
  return tag.Length() == static_cast<UINT>(lstrlenW(name)) && lstrcmpiW(tag.Text(), name) == 0;
}

const ViewLinkControl *ViewLinkControlOf(const CQilBstr &tag) {
  for (const ViewLinkControl &control : kViewLinkControls) {
    if (EqualsNoCase(tag, control.tag))
      return &control;
  }
  return nullptr;
}

bool IsTable(const CQilBstr &tag) { return EqualsNoCase(tag, L"TABLE"); }

bool Contains(const std::vector<LONG> &classes, LONG webClass) {
  return std::find(classes.begin(), classes.end(), webClass) != classes.end();
}

CQilComPtr<IWebObj2> CreateViewLinkControlAO(const ViewLinkControl &control, IHTMLElement *element,
                                             IWebObj2 *parent) {
  CQilComPtr<IWebObj2> ao;
  CQilComPtr<IWebObj2> inner = HostServices::GetWrappedHostAO(element, parent);
  if (inner)
    control.create(&ao, element, parent, inner);
  return ao;
}

CQilComPtr<IWebObj2> CreateTableControlAO(IHTMLElement *element, IWebObj2 *parent) {
  CQilComPtr<IWebObj2> ao;
  for (const TableControl &control : kTableControls) {
    if (control.test(element)) {
      control.create(&ao, element, parent);
      return ao;
    }
  }
  return ao;
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

CQilComPtr<IWebObj2> CWfKitUtil::CreateControlAO(IHTMLElement *element, IWebObj2 *parent) const {
  CQilBstr tag;
  if (element == nullptr || FAILED(element->get_tagName(&tag)))
    return {};
  if (const ViewLinkControl *control = ViewLinkControlOf(tag))
    return CreateViewLinkControlAO(*control, element, parent);
  if (IsTable(tag))
    return CreateTableControlAO(element, parent);
  return {};
}

bool CWfKitUtil::MayCreateControlOfClass(IHTMLElement *element, const std::vector<LONG> &classes) {
  CQilBstr tag;
  if (element == nullptr || FAILED(element->get_tagName(&tag)))
    return false;
  if (const ViewLinkControl *control = ViewLinkControlOf(tag))
    return Contains(classes, control->webClass);
  if (!IsTable(tag))
    return false;
  for (const TableControl &control : kTableControls) {
    if (Contains(classes, control.webClass) && (!control.testIsCheap || control.test(element)))
      return true;
  }
  return false;
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

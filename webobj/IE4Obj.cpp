#include "webobj/IE4Obj.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "support/QilBstr.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

// Inner object ids: a process-wide map from an element's COM identity to a
// counter value, with the number of agent objects that hold it.
struct ElementIdEntry {
  LONG id;
  ULONG leases;
};
struct ElementIdTable {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, ElementIdEntry> byElement;
  std::unordered_map<LONG, std::uintptr_t> byId;
  LONG next = 1;
};

// Lives until the module is freed (ElementIds::ReleaseTable) or the process ends.
std::mutex g_tableCreation;
ElementIdTable *g_idTable = nullptr;

ElementIdTable &IdTable() {
  std::lock_guard<std::mutex> guard(g_tableCreation);
  if (g_idTable == nullptr)
    g_idTable = new ElementIdTable;
  return *g_idTable;
}

CQilComPtr<IHTMLElementCollection> AsCollection(IDispatch *dispatch) {
  CQilComPtr<IHTMLElementCollection> collection;
  collection.QueryFrom(dispatch);
  return collection;
}

// The collection narrowed to `tagName` when one is given.
CQilComPtr<IHTMLElementCollection> Narrowed(IHTMLElementCollection *collection, BSTR tagName) {
  if (collection == nullptr || SysStringLen(tagName) == 0)
    return collection;
  CQilComPtr<IDispatch> tagged;
  CQilVariant tag(static_cast<LPCOLESTR>(tagName));
  if (FAILED(collection->tags(tag, &tagged)))
    return {};
  return AsCollection(tagged);
}

// Appends the agent objects to a one-dimensional VARIANT array (created
// when `*array` is null), each entry VT_UNKNOWN with one reference.
HRESULT AppendToArray(SAFEARRAY **array, const std::vector<CQilComPtr<IWebObj2>> &items) {
  LONG start = 0;
  if (*array == nullptr) {
    *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    if (*array == nullptr)
      return E_OUTOFMEMORY;
  } else {
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(*array, 1, &lower);
    SafeArrayGetUBound(*array, 1, &upper);
    start = upper + 1;
    SAFEARRAYBOUND bound = {static_cast<ULONG>(upper - lower + 1 + static_cast<LONG>(items.size())),
                            lower};
    HRESULT hr = SafeArrayRedim(*array, &bound);
    if (FAILED(hr))
      return hr;
  }
  for (size_t i = 0; i < items.size(); ++i) {
    CQilVariant item(static_cast<IUnknown *>(items[i].Get()));
    LONG position = start + static_cast<LONG>(i);
    HRESULT hr = SafeArrayPutElement(*array, &position, &item);
    if (FAILED(hr))
      return hr;
  }
  return S_OK;
}

bool SameObject(IUnknown *a, IUnknown *b) {
  CQilComPtr<IUnknown> first(a);
  return first.IsSameObject(b);
}

} // namespace

namespace ElementIds {

LONG Acquire(IUnknown *element) {
  CQilComPtr<IUnknown> identity;
  if (element == nullptr ||
      FAILED(element->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity))) ||
      !identity)
    return 0;
  auto key = reinterpret_cast<std::uintptr_t>(identity.Get());
  if constexpr (sizeof(void *) <= sizeof(LONG)) {
    return static_cast<LONG>(key);
  } else {
    ElementIdTable &table = IdTable();
    std::lock_guard<std::mutex> guard(table.lock);
    try {
      auto found = table.byElement.find(key);
      if (found != table.byElement.end()) {
        ++found->second.leases;
        return found->second.id;
      }
      // Positive ids, skipping those still held after the counter wraps.
      LONG id = table.next;
      while (table.byId.count(id) != 0)
        id = id == 0x7FFFFFFF ? 1 : id + 1;
      table.next = id == 0x7FFFFFFF ? 1 : id + 1;
      table.byId.emplace(id, key);
      table.byElement.emplace(key, ElementIdEntry{id, 1});
      return id;
    } catch (...) {
      return 0;
    }
  }
}

void Release(LONG id) {
  if constexpr (sizeof(void *) > sizeof(LONG)) {
    if (id == 0)
      return;
    ElementIdTable &table = IdTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto byId = table.byId.find(id);
    if (byId == table.byId.end())
      return;
    auto entry = table.byElement.find(byId->second);
    if (entry != table.byElement.end() && --entry->second.leases > 0)
      return;
    if (entry != table.byElement.end())
      table.byElement.erase(entry);
    table.byId.erase(byId);
  } else {
    (void)id;
  }
}

void ReleaseTable() {
  std::lock_guard<std::mutex> guard(g_tableCreation);
  delete g_idTable;
  g_idTable = nullptr;
}

size_t LiveCount() {
  ElementIdTable &table = IdTable();
  std::lock_guard<std::mutex> guard(table.lock);
  return table.byElement.size();
}

} // namespace ElementIds

CIE4Obj::CIE4Obj(IUnknown *element, IWebObj2 *parent) : CWebObj(element, parent) {
  SetWebClass(kAnyWebObjectClass);
  SetWebClass(kWebElementClass);
  m_bKitId = 1;
  m_bStandAlone = TRUE;
  if (element != nullptr) {
    HRESULT hr = element->QueryInterface(__uuidof(IHTMLElement),
                                         reinterpret_cast<void **>(&m_spHTMLElement));
    if (FAILED(hr)) {
      m_spHTMLElement.Release();
      if (hr != E_NOINTERFACE)
        m_hrConstruction = hr;
    }
  }
  m_lCachedIndex = -1;
  if (m_spParent && m_spHTMLElement) {
    CQilComPtr<IWebRunTimeID> parentId;
    if (SUCCEEDED(m_spParent->GetId(&parentId)) && parentId) {
      m_lElementId = ElementIds::Acquire(m_spHTMLElement);
      parentId->SetInnerObjId(m_lElementId);
      SetId(parentId);
    }
  }
  m_pUtil = SharedWebObjUtil(kElementUtil);
}

CIE4Obj::~CIE4Obj() { ElementIds::Release(m_lElementId); }

IUnknown *CIE4Obj::GetOuterObject() { return static_cast<IWebObj2 *>(this); }

CQilComPtr<IWebObj2> CIE4Obj::OuterWebObj() {
  IUnknown *outer = GetOuterObject();
  if (outer == static_cast<IWebObj2 *>(this))
    return CQilComPtr<IWebObj2>(this);
  CQilComPtr<IWebObj2> ao;
  ao.QueryFrom(outer);
  return ao;
}

CQilComPtr<IWebObj2> CIE4Obj::HostAOOf(IUnknown *element, bool create) {
  return HostServices::GetHostAO(element, m_spParent, create ? VARIANT_TRUE : VARIANT_FALSE);
}

HRESULT CIE4Obj::ReservedOperation(LONG, LONG) { return E_NOTIMPL; }

// ---- tree from the DOM ----

STDMETHODIMP CIE4Obj::GetParent(IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  if (!m_spHTMLElement)
    return S_OK;
  CQilComPtr<IWebObj2> frame;
  GetParentFrame(&frame);
  for (CQilComPtr<IHTMLElement> ancestor = ParentElement(m_spHTMLElement); ancestor;
       ancestor = ParentElement(ancestor)) {
    CQilComPtr<IWebObj2> ao = HostAOOf(ancestor, false);
    if (ao) {
      *ppAO = ao.Detach();
      return S_OK;
    }
  }
  *ppAO = frame.Detach();
  return S_OK;
}

STDMETHODIMP CIE4Obj::GetParentFrame(IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  return m_spParent.CopyTo(ppAO);
}

STDMETHODIMP CIE4Obj::GetWrappedElement(IUnknown **ppElement) {
  if (ppElement == nullptr)
    return E_POINTER;
  *ppElement = nullptr;
  if (!m_spHTMLElement)
    return S_OK;
  return m_spHTMLElement->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(ppElement));
}

STDMETHODIMP CIE4Obj::GetChild(LONG index, IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  if (!m_spHTMLElement)
    return E_FAIL;
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  SAFEARRAY *children = nullptr;
  HRESULT hr = GetDirectChildren(filter, &children);
  if (FAILED(hr))
    return hr;
  if (children == nullptr)
    return E_FAIL;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(children, 1, &lower);
  SafeArrayGetUBound(children, 1, &upper);
  LONG count = upper - lower + 1;
  hr = S_OK;
  if (index < 0 || index >= count) {
    hr = kIndexOutOfRange;
  } else {
    LONG position = lower + index;
    CQilVariant item;
    SafeArrayGetElement(children, &position, &item);
    CQilComPtr<IWebObj2> child;
    if (item.vt != VT_UNKNOWN || item.punkVal == nullptr || FAILED(child.QueryFrom(item.punkVal)))
      hr = E_UNEXPECTED;
    else
      *ppAO = child.Detach();
  }
  SafeArrayDestroy(children);
  return hr;
}

STDMETHODIMP CIE4Obj::GetChildByAttr(IWebAttrVal *pAttrVal, IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  LONG index = 0;
  if (pAttrVal != nullptr)
    pAttrVal->GetLongValue(0, &index);
  return GetChild(index, ppAO);
}

STDMETHODIMP CIE4Obj::GetChildById(IWebRunTimeID *pRTID, IWebObj2 **ppAO) {
  if (pRTID == nullptr)
    return E_INVALIDARG;
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  if (!m_spParent)
    return E_FAIL;
  CQilComPtr<IWebObj2> found;
  if (FAILED(m_spParent->GetChildById(pRTID, &found)) || !found || !m_spHTMLElement)
    return E_FAIL;
  CQilComPtr<IUnknown> wrapped;
  CQilComPtr<IHTMLElement> element;
  if (FAILED(found->GetWrappedElement(&wrapped)) || FAILED(element.QueryFrom(wrapped)) || !element)
    return E_FAIL;
  VARIANT_BOOL contained = VARIANT_FALSE;
  if (FAILED(m_spHTMLElement->contains(element, &contained)) || contained != VARIANT_TRUE)
    return E_FAIL;
  *ppAO = found.Detach();
  return S_OK;
}

bool CIE4Obj::IsDirectChild(IWebObj2 *candidate) {
  CQilComPtr<IUnknown> wrapped;
  CQilComPtr<IHTMLElement> element;
  if (candidate == nullptr || FAILED(candidate->GetWrappedElement(&wrapped)) ||
      FAILED(element.QueryFrom(wrapped)) || !element)
    return false;
  for (CQilComPtr<IHTMLElement> ancestor = ParentElement(element); ancestor;
       ancestor = ParentElement(ancestor)) {
    if (HostAOOf(ancestor, false))
      return ancestor.Get() == m_spHTMLElement.Get() || SameObject(ancestor, m_spHTMLElement);
  }
  return false;
}

STDMETHODIMP CIE4Obj::GetDirectChildById(IWebRunTimeID *pRTID, IWebObj2 **ppAO) {
  if (pRTID == nullptr)
    return E_INVALIDARG;
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  CQilComPtr<IWebObj2> child;
  if (FAILED(GetChildById(pRTID, &child)) || !IsDirectChild(child))
    return E_FAIL;
  *ppAO = child.Detach();
  return S_OK;
}

STDMETHODIMP CIE4Obj::GetDirectChildCount(LONG, LONG *plCount) {
  if (plCount == nullptr)
    return E_POINTER;
  *plCount = 0;
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  if (!filter)
    return E_FAIL;
  SAFEARRAY *children = nullptr;
  if (SUCCEEDED(GetDirectChildren(filter, &children)) && children != nullptr) {
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(children, 1, &lower);
    SafeArrayGetUBound(children, 1, &upper);
    *plCount = upper - lower + 1;
    SafeArrayDestroy(children);
  }
  return S_OK;
}

HRESULT CIE4Obj::GatherDirectChildren(IHTMLElement *element, BSTR tagName, WEB_ID_FILTERS kind,
                                      AOList &children) {
  CQilComPtr<IDispatch> dispatch;
  if (FAILED(element->get_children(&dispatch)))
    return S_OK;
  for (const CQilComPtr<IHTMLElement> &item :
       CollectionElements(Narrowed(AsCollection(dispatch), tagName))) {
    CQilComPtr<IWebObj2> ao = HostAOOf(item, kind == ALL_KINDS_OF_OBJECTS);
    if (!ao) {
      GatherDirectChildren(item, tagName, kind, children);
      continue;
    }
    CQilComPtr<IWebRunTimeID> id;
    if (SUCCEEDED(ao->GetIdRef(&id)) && id && id->IsFilterMatch(kind) == S_OK)
      children.push_back(ao);
  }
  return S_OK;
}

STDMETHODIMP CIE4Obj::GetDirectChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) {
  if (ppsaChildren == nullptr || !m_spHTMLElement)
    return E_POINTER;
  *ppsaChildren = nullptr;
  CQilBstr tagName;
  WEB_ID_FILTERS kind = ALL_KINDS_OF_OBJECTS;
  if (pFilter != nullptr) {
    pFilter->get_tagName(&tagName);
    pFilter->get_filter(&kind);
  }
  try {
    AOList children;
    GatherDirectChildren(m_spHTMLElement, tagName, kind, children);
    return AppendToArray(ppsaChildren, children);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CIE4Obj::GatherAllChildren(IFilterStruct *filter, AOList &children) {
  CQilBstr tagName;
  CQilBstr xpath;
  CQilBstr css;
  WEB_ID_FILTERS kind = ALL_KINDS_OF_OBJECTS;
  if (filter != nullptr) {
    filter->get_tagName(&tagName);
    filter->get_filter(&kind);
    filter->get_xpath(&xpath);
    filter->get_css(&css);
  }
  std::vector<CQilComPtr<IHTMLElement>> candidates;
  bool narrowed = false;
  if (!xpath.IsEmpty() || !css.IsEmpty()) {
    CQilComPtr<IWIElementQuery> query;
    if (FAILED(query.QueryFrom(m_spParent)) || !query)
      return S_OK;
    CQilVariant found;
    if (FAILED(query->QueryElements(xpath, css, m_spHTMLElement, -1, &found)))
      return S_OK;
    if ((found.vt & VT_ARRAY) != 0 && found.parray != nullptr) {
      LONG lower = 0;
      LONG upper = -1;
      SafeArrayGetLBound(found.parray, 1, &lower);
      SafeArrayGetUBound(found.parray, 1, &upper);
      for (LONG i = lower; i <= upper; ++i) {
        CQilVariant item;
        if (FAILED(SafeArrayGetElement(found.parray, &i, &item)) || item.vt != VT_DISPATCH)
          continue;
        CQilComPtr<IHTMLElement> element;
        if (SUCCEEDED(element.QueryFrom(item.pdispVal)) && element)
          candidates.push_back(element);
      }
    }
  } else {
    CQilComPtr<IDispatch> all;
    if (FAILED(m_spHTMLElement->get_all(&all)))
      return S_OK;
    narrowed = !tagName.IsEmpty();
    candidates = CollectionElements(Narrowed(AsCollection(all), tagName));
  }
  bool ignoreTags =
      !narrowed && HostServices::GetBoolSetting(CQilBstr(L"IgnorePredefinedTags"), false);
  for (const CQilComPtr<IHTMLElement> &element : candidates) {
    if (ignoreTags) {
      CQilBstr tag;
      element->get_tagName(&tag);
      if (HostServices::IsTagIgnored(tag.Text(), false))
        continue;
    }
    CQilComPtr<IWebObj2> ao = HostAOOf(element, kind == ALL_KINDS_OF_OBJECTS);
    if (ao)
      children.push_back(ao);
  }
  return S_OK;
}

STDMETHODIMP CIE4Obj::GetAllChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) {
  if (ppsaChildren == nullptr)
    return E_POINTER;
  if (!m_spHTMLElement)
    return E_FAIL;
  try {
    AOList children;
    GatherAllChildren(pFilter, children);
    return AppendToArray(ppsaChildren, children);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP CIE4Obj::GetDirectChildrenForLearn(SAFEARRAY **ppsaChildren) {
  if (ppsaChildren == nullptr)
    return E_POINTER;
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  return GetDirectChildren(filter, ppsaChildren);
}

STDMETHODIMP CIE4Obj::GetTreeBranch(IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  CQilComPtr<IWebAttrVal> branch = HostServices::NewWebAttrVal();
  if (!branch)
    return E_FAIL;
  HRESULT hr = branch->AddWebRTID(m_spRunTimeId);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IWebObj2> current(this);
  for (;;) {
    CQilComPtr<IWebObj2> parent;
    hr = current->GetParent(&parent);
    if (FAILED(hr))
      return hr;
    if (!parent || parent->CompareClass(kFrameClass) == S_OK)
      break;
    if (parent->CompareClass(kCellClass) != S_OK && parent->CompareClass(kRowClass) != S_OK) {
      CQilComPtr<IWebRunTimeID> id;
      hr = parent->GetId(&id);
      if (SUCCEEDED(hr))
        hr = branch->AddWebRTID(id);
      if (FAILED(hr))
        return hr;
    }
    current = parent;
  }
  *ppAttrVal = branch.Detach();
  return S_OK;
}

STDMETHODIMP CIE4Obj::GetTreeLevel(LONG *plLevel) {
  if (plLevel == nullptr)
    return E_POINTER;
  *plLevel = -1;
  LONG level = 0;
  CQilComPtr<IWebObj2> current(this);
  for (;;) {
    CQilComPtr<IWebObj2> parent;
    HRESULT hr = current->GetParent(&parent);
    if (FAILED(hr))
      return hr;
    if (!parent || parent->CompareClass(kFrameClass) == S_OK)
      break;
    if (parent->CompareClass(0) == S_OK && parent->CompareClass(kRowClass) != S_OK)
      ++level;
    current = parent;
  }
  *plLevel = level;
  return S_OK;
}

// Recording: IE4ObjRecording.cpp.

// ---- type and geometry ----

STDMETHODIMP CIE4Obj::GetType(LONG *plType) {
  if (plType == nullptr)
    return E_POINTER;
  *plType = m_pUtil != nullptr ? m_pUtil->GetObjectType() : 0;
  return S_OK;
}

BOOL CIE4Obj::GetElementRect(IHTMLElement *element, RECT *rect) {
  if (element == nullptr || rect == nullptr)
    return FALSE;
  CQilComPtr<IHTMLElement2> element2;
  if (SUCCEEDED(element2.QueryFrom(element)) && element2) {
    CQilComPtr<IHTMLRect> bounds;
    if (SUCCEEDED(element2->getBoundingClientRect(&bounds)) && bounds) {
      bounds->get_left(&rect->left);
      bounds->get_top(&rect->top);
      bounds->get_right(&rect->right);
      bounds->get_bottom(&rect->bottom);
    }
    return TRUE;
  }
  LONG left = 0;
  LONG top = 0;
  CQilComPtr<IHTMLElement> current(element);
  while (current) {
    LONG x = 0;
    LONG y = 0;
    current->get_offsetLeft(&x);
    current->get_offsetTop(&y);
    left += x;
    top += y;
    CQilComPtr<IHTMLElement> next;
    if (FAILED(current->get_offsetParent(&next)))
      break;
    current = next;
  }
  CQilComPtr<IDispatch> documentDispatch;
  CQilComPtr<IHTMLDocument2> document;
  CQilComPtr<IHTMLElement> body;
  CQilComPtr<IHTMLElement2> body2;
  if (SUCCEEDED(element->get_document(&documentDispatch)) &&
      SUCCEEDED(document.QueryFrom(documentDispatch)) && document &&
      SUCCEEDED(document->get_body(&body)) && SUCCEEDED(body2.QueryFrom(body)) && body2) {
    LONG scrollLeft = 0;
    LONG scrollTop = 0;
    body2->get_scrollLeft(&scrollLeft);
    body2->get_scrollTop(&scrollTop);
    left -= scrollLeft;
    top -= scrollTop;
  }
  LONG width = 0;
  LONG height = 0;
  element->get_offsetWidth(&width);
  element->get_offsetHeight(&height);
  *rect = {left, top, left + width, top + height};
  return TRUE;
}

bool CIE4Obj::ElementRect(RECT &rect) {
  rect = {0, 0, 0, 0};
  return GetElementRect(m_spHTMLElement, &rect) != FALSE;
}

STDMETHODIMP CIE4Obj::IsPointInObj(tagPOINT pt) {
  for (CQilComPtr<IHTMLElement> element = m_spHTMLElement; element;
       element = ParentElement(element)) {
    CQilComPtr<IHTMLStyle> style;
    if (FAILED(element->get_style(&style)) || !style)
      continue;
    CQilBstr visibility;
    CQilBstr display;
    style->get_visibility(&visibility);
    style->get_display(&display);
    if (lstrcmpW(visibility.Text(), L"hidden") == 0 || lstrcmpW(display.Text(), L"none") == 0)
      return S_FALSE;
  }
  CQilComPtr<IWebAttrVal> rects;
  if (GetAttr(70, nullptr, &rects) != S_OK || !rects)
    return S_FALSE;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  if (FAILED(rects->GetType(&type)) || type != WEB_AV_RECT)
    return S_FALSE;
  for (UINT i = 0;; ++i) {
    RECT rect = {};
    if (FAILED(rects->GetRectValue(i, &rect)))
      return S_FALSE;
    if (pt.x >= rect.left && pt.x <= rect.right && pt.y >= rect.top && pt.y <= rect.bottom)
      return S_OK;
  }
}

HRESULT CIE4Obj::GetElementTextRange(IHTMLElement *element, IHTMLTxtRange **range) {
  if (range != nullptr)
    *range = nullptr;
  if (element == nullptr)
    return E_FAIL;
  CQilComPtr<IDispatch> documentDispatch;
  CQilComPtr<IHTMLDocument2> document;
  CQilComPtr<IHTMLElement> body;
  CQilComPtr<IHTMLBodyElement> bodyElement;
  CQilComPtr<IHTMLTxtRange> text;
  HRESULT hr = element->get_document(&documentDispatch);
  if (SUCCEEDED(hr))
    hr = document.QueryFrom(documentDispatch);
  if (SUCCEEDED(hr) && document)
    hr = document->get_body(&body);
  if (SUCCEEDED(hr) && body)
    hr = bodyElement.QueryFrom(body);
  if (SUCCEEDED(hr) && bodyElement)
    hr = bodyElement->createTextRange(&text);
  if (FAILED(hr) || !text)
    return FAILED(hr) ? hr : E_FAIL;
  CQilComPtr<IHTMLTxtRange> word;
  hr = text->moveToElementText(element);
  if (SUCCEEDED(hr))
    hr = text->duplicate(&word);
  if (FAILED(hr) || !word)
    return FAILED(hr) ? hr : E_FAIL;
  VARIANT_BOOL expanded = VARIANT_FALSE;
  word->expand(CQilBstr(L"word"), &expanded);
  LONG start = 0;
  LONG end = 0;
  hr = word->compareEndPoints(CQilBstr(L"StartToStart"), text, &start);
  if (SUCCEEDED(hr))
    hr = word->compareEndPoints(CQilBstr(L"EndToEnd"), text, &end);
  if (FAILED(hr))
    return hr;
  if (range != nullptr)
    *range = word.Detach();
  return start == 0 && end == 0 ? S_OK : S_FALSE;
}

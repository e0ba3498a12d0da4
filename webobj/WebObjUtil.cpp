#include "webobj/WebObjUtil.h"

#include <new>

#include "support/HostCallbacks.h"
#include "support/QilBstr.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

// Constructed in table order at load, destroyed in reverse order at unload.
const CWebObjUtil g_elementUtil;
const CWebGeneralObjUtil g_generalObjUtil;
const CWebTextUtil g_textUtil;
const CWebHyperlinkUtil g_hyperlinkUtil;
const CWebLinkUtil g_linkUtil;
const CWebImageUtil g_imageUtil;
const CWebImageLinkUtil g_imageLinkUtil;
const CWebTableUtil g_tableUtil;
const CWebRowUtil g_rowUtil;
const CWebCellUtil g_cellUtil;
const CWebAreaUtil g_areaUtil;
const CWebActiveXUtil g_activeXUtil;
const CWebAppletUtil g_appletUtil;
const CViewLinkUtil g_viewLinkUtil;

const CWebObjUtil *const g_utils[kWebObjUtilCount] = {
    &g_elementUtil, &g_generalObjUtil, &g_textUtil,   &g_hyperlinkUtil, &g_linkUtil,
    &g_imageUtil,   &g_imageLinkUtil,  &g_tableUtil,  &g_rowUtil,       &g_cellUtil,
    &g_areaUtil,    &g_activeXUtil,    &g_appletUtil, &g_viewLinkUtil,
};

CQilComPtr<IWebObj2> ParentOf(IWebObj2 *ao) {
  CQilComPtr<IWebObj2> parent;
  if (FAILED(ao->GetParent(&parent)))
    return {};
  return parent;
}

// The elements of a collection through its enumerator; false when it
// offers none.
bool EnumeratedElements(IHTMLElementCollection *collection,
                        std::vector<CQilComPtr<IHTMLElement>> &elements) {
  CQilComPtr<IUnknown> unknown;
  CQilComPtr<IEnumVARIANT> items;
  if (FAILED(collection->get__newEnum(&unknown)) || FAILED(items.QueryFrom(unknown)) || !items)
    return false;
  for (;;) {
    CQilVariant item;
    ULONG fetched = 0;
    if (items->Next(1, &item, &fetched) != S_OK || fetched != 1)
      return true;
    CQilComPtr<IHTMLElement> element;
    if ((item.vt == VT_DISPATCH || item.vt == VT_UNKNOWN) &&
        SUCCEEDED(element.QueryFrom(item.punkVal)) && element)
      elements.push_back(element);
  }
}

void IndexedElements(IHTMLElementCollection *collection,
                     std::vector<CQilComPtr<IHTMLElement>> &elements) {
  LONG length = 0;
  if (FAILED(collection->get_length(&length)))
    return;
  for (LONG i = 0; i < length; ++i) {
    CQilVariant index(i);
    CQilVariant none;
    CQilComPtr<IDispatch> item;
    CQilComPtr<IHTMLElement> element;
    if (SUCCEEDED(collection->item(index, none, &item)) && item &&
        SUCCEEDED(element.QueryFrom(item)) && element)
      elements.push_back(element);
  }
}

} // namespace

CQilComPtr<IHTMLElement> ParentElement(IHTMLElement *element) {
  CQilComPtr<IHTMLElement> parent;
  if (element == nullptr || FAILED(element->get_parentElement(&parent)))
    return {};
  return parent;
}

std::vector<CQilComPtr<IHTMLElement>> CollectionElements(IHTMLElementCollection *collection) {
  std::vector<CQilComPtr<IHTMLElement>> elements;
  try {
    if (collection != nullptr && !EnumeratedElements(collection, elements))
      IndexedElements(collection, elements);
  } catch (const std::bad_alloc &) {
    elements.clear(); // out of memory: no elements rather than some
  }
  return elements;
}

const CWebObjUtil *SharedWebObjUtil(int position) {
  if (position < 0 || position >= kWebObjUtilCount)
    return g_utils[kElementUtil];
  return g_utils[position];
}

void CWebObjUtil::MakeClassName(LPCOLESTR name, IWebAttrVal **value) {
  if (value == nullptr)
    return;
  CQilComPtr<IWebAttrVal> attr = HostServices::NewWebAttrValString(CQilBstr(name));
  if (attr)
    *value = attr.Detach();
}

void CWebObjUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"WebElement", value); }
void CWebLinkUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"Link", value); }
void CWebImageUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"Image", value); }
void CWebImageLinkUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"Image", value); }
void CWebTableUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"WebTable", value); }
void CWebAreaUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"WebArea", value); }
void CViewLinkUtil::GetClassName(IWebAttrVal **value) const { MakeClassName(L"ViewLink", value); }

bool CWebTextUtil::NormalizeText(BSTR *text) {
  if (text == nullptr)
    return false;
  UINT length = SysStringLen(*text);
  if (length == 0)
    return false;
  BSTR source = *text;
  UINT kept = 0;
  for (UINT i = 0; i < length; ++i) {
    WCHAR c = source[i];
    if (c == L'\r' || c == L'\n')
      continue;
    source[kept++] = c == L'\t' ? L' ' : c;
  }
  if (kept == length)
    return true;
  BSTR shorter = SysAllocStringLen(source, kept);
  if (shorter == nullptr) {
    source[kept] = L'\0'; // out of memory: the text ends at the kept part
    return true;
  }
  SysFreeString(source);
  *text = shorter;
  return true;
}

CQilComPtr<IWebObj2> CWebObjUtil::FindFrame(IWebObj2 *ao) {
  CQilComPtr<IWebObj2> current(ao);
  while (current) {
    if (current->CompareClass(kFrameClass) == S_OK)
      return current;
    current = ParentOf(current);
  }
  return {};
}

CQilComPtr<IUnknown> CWebObjUtil::FindCallbackRegistry(IWebObj2 *ao) {
  CQilComPtr<IWebObj2> current(ao);
  while (current) {
    CQilComPtr<IWIBrowserServices> services;
    if (SUCCEEDED(services.QueryFrom(current)) && services)
      return GetHostCallbackRegistry(current);
    current = ParentOf(current);
  }
  return {};
}

// The element object: an agent object bound to one DOM element, answering
// the tree queries from the live DOM, the element attributes and the host's
// replay methods. Every kit agent object class derives from it.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <new>
#include <utility>
#include <vector>

#include "webobj/WebObj.h"
#include "webobj/WebObjUtil.h"

class CIE4Obj : public CWebObj {
public:
  CIE4Obj(IUnknown *element, IWebObj2 *parent);
  ~CIE4Obj() override;

  // S_OK, or the failure of the element's IHTMLElement query (other than
  // E_NOINTERFACE) that left the object without an HTML element.
  HRESULT ConstructionResult() const { return m_hrConstruction; }

  // Tree from the DOM
  STDMETHODIMP GetParent(IWebObj2 **ppAO) override;
  STDMETHODIMP GetParentFrame(IWebObj2 **ppAO) override;
  STDMETHODIMP GetChild(LONG index, IWebObj2 **ppAO) override;
  STDMETHODIMP GetChildByAttr(IWebAttrVal *pAttrVal, IWebObj2 **ppAO) override;
  STDMETHODIMP GetChildById(IWebRunTimeID *pRTID, IWebObj2 **ppAO) override;
  STDMETHODIMP GetDirectChildById(IWebRunTimeID *pRTID, IWebObj2 **ppAO) override;
  STDMETHODIMP GetDirectChildCount(LONG bUpdateBefore, LONG *plCount) override;
  STDMETHODIMP GetAllChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) override;
  STDMETHODIMP GetDirectChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) override;
  STDMETHODIMP GetTreeBranch(IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP GetTreeLevel(LONG *plLevel) override;
  STDMETHODIMP GetWrappedElement(IUnknown **ppElement) override;

  // Recording
  STDMETHODIMP GetRecordAttr(IWebInfo **ppObligAttrs, IWebInfo **ppOptionalAttrs,
                             BSTR *pbstrSelector) override;
  STDMETHODIMP GetRecordConfig(IWebInfo **ppObligAttrs, IWebInfo **ppOptionalAttrs,
                               BSTR *pbstrSelector) override;
  STDMETHODIMP FillRecordInformation(IUnknown *pElement, tagWIEventData EventData,
                                     IWebInfo **ppRecInfo) override;

  // Attributes
  STDMETHODIMP GetAttr(LONG lAttrName, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP GetAttrs(IWebInfo **ppWebInfo) override;
  STDMETHODIMP CompareAttr(LONG Name, IWebAttrVal *pAttrVal, VARIANT_BOOL bIgnorePrecedingSpaces,
                           VARIANT_BOOL bIgnoreCase) override;
  STDMETHODIMP CompareAttrData(LONG Name, IWebAttrVal *pAttrVal, IWebAttrVal *pAttrData,
                               VARIANT_BOOL bIgnorePrecedingSpaces,
                               VARIANT_BOOL bIgnoreCase) override;

  // Replay
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;

  STDMETHODIMP GetType(LONG *plType) override;
  STDMETHODIMP IsPointInObj(tagPOINT pt) override;
  STDMETHODIMP GetDirectChildrenForLearn(SAFEARRAY **ppsaChildren) override;

  // The element object's own operations, in this order.
  virtual HRESULT ReservedOperation(LONG first, LONG second);
  // S_OK match, S_FALSE no match, E_NOTIMPL when `id` has no special rule.
  virtual HRESULT CompareSpecialAttr(LONG id, IWebAttrVal *expected, IWebAttrVal *data);
  // The object that represents this agent object to others (no reference).
  virtual IUnknown *GetOuterObject();
  virtual HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record);
  // Takes over `element` (released) and `name` (freed).
  virtual HRESULT GetElementAttribute(IHTMLElement *element, BSTR name, VARIANT *value);
  // A text range on the body moved to the element's text and expanded by a
  // word; S_OK when its end points are the element text's, else S_FALSE.
  virtual HRESULT GetElementTextRange(IHTMLElement *element, IHTMLTxtRange **range);
  virtual HRESULT MakeElementVisible(POINT pt, IWebInfo *request);
  // False only for a null element; the caller zeroes `rect` first.
  virtual BOOL GetElementRect(IHTMLElement *element, RECT *rect);

protected:
  using AOList = std::vector<CQilComPtr<IWebObj2>>;

  // This object as others see it, as an IWebObj2 (GetOuterObject).
  CQilComPtr<IWebObj2> OuterWebObj();
  // The host's agent object of `element` under the parent frame.
  CQilComPtr<IWebObj2> HostAOOf(IUnknown *element, bool create);
  bool IsDirectChild(IWebObj2 *candidate);
  HRESULT GatherDirectChildren(IHTMLElement *element, BSTR tagName, WEB_ID_FILTERS kind,
                               AOList &children);
  HRESULT GatherAllChildren(IFilterStruct *filter, AOList &children);
  // The element's rectangle, zeroed first; false without one.
  bool ElementRect(RECT &rect);
  // The offset of the parent frame (its attribute 70's top-left corner);
  // false without a parent frame.
  bool FrameOffset(LONG &dx, LONG &dy);
  HRESULT GetParentFrameScreenOffset(POINT &offset);
  HRESULT GetVisibility(bool &visible);
  HRESULT ListSubtree(IHTMLElement *element, LONG depth, IWebAttrVal *list);
  // Attribute `id` of this object through GetAttr; its string 0 in `text`.
  HRESULT GetOwnString(LONG id, CQilComPtr<IWebAttrVal> &value, BSTR *text);

  // Replay helpers.
  HRESULT ReplayEvent(IWebInfo *request);
  HRESULT SubmitForm(IHTMLElement *element);
  HRESULT BuildEventObject(IHTMLElement *element, IWebInfo *request, VARIANT *eventObject);
  HRESULT MakeVisible(IWebInfo *request);
  HRESULT Highlight(IWebInfo *request);
  HRESULT ContainsText(BSTR text);
  HRESULT IsMouseReplayRequired(IWebInfo *request);

  const CWebObjUtil *m_pUtil = nullptr;
  CQilComPtr<IHTMLElement> m_spHTMLElement;
  LONG m_lCachedIndex = -1;

private:
  HRESULT m_hrConstruction = S_OK;
  LONG m_lElementId = 0; // the inner object id leased for this element, 0 for none
};

// Makes an agent object of class T (a CIE4Obj) and hands it out with one
// reference; the failure of its construction is returned instead.
template <class T, class... Args> HRESULT CreateWebObject(IWebObj2 **ppAO, Args &&...args) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  T *object = new (std::nothrow) T(std::forward<Args>(args)...);
  if (object == nullptr)
    return E_OUTOFMEMORY;
  object->AddRef();
  HRESULT hr = object->ConstructionResult();
  if (FAILED(hr)) {
    object->Release();
    return hr;
  }
  *ppAO = object;
  return S_OK;
}

// The stable 32-bit inner object id of a live element, the same for every
// agent object that asks while one of them holds a lease on it.
namespace ElementIds {
LONG Acquire(IUnknown *element); // 0 when none could be given
void Release(LONG id);
size_t LiveCount();
// Frees the table when the module is freed; no id may be held then.
void ReleaseTable();
} // namespace ElementIds

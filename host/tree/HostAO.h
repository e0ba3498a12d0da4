// CHostAO: what every agent object of the host shares - the 45 IWebObj2
// methods over the object tree, the runtime id, kit id and class set, and the
// event configuration interfaces. Derived classes answer their attributes
// (Attribute) and methods (Invoke).
#pragma once

#include <windows.h>

#include <string>

#include "TallowickHost.h"
#include "common/ComObject.h"
#include "tree/ObjectTree.h"
#include "values/ValueHelpers.h"

namespace host::tree {

// Attribute ids the host answers.
enum AttrId : LONG {
  kAttrClassName = 0,
  kAttrText = 3,
  kAttrValue = 6,
  kAttrParentId = 9,
  kAttrChecked = 17,
  kAttrUrl = 20,
  kAttrTreeLevel = 41,
  kAttrRecordId = 48,
  kAttrHref = 53,
  kAttrTagName = 58,
  kAttrEventName = 64,
  kAttrPoint = 65,
  kAttrRect = 70,
  kAttrName = 95,
  kAttrScreenRect = 102,
  kAttrInnerText = 104,
  kAttrInnerText2 = 105,
  kAttrSourceIndex = 112,
  kAttrId = 138,
  kAttrClass = 139,
  kAttrLogicalName = 146,
  kAttrScreenOffset = 201,
};

class CHostAO : public CHostObject<IWebObj2, IWebObjSelfEventConfig, IWebObjEventConfigControl> {
public:
  CHostAO(ObjectTree *tree, Node *node, LONG webClass);
  ~CHostAO() override;

  // The tree cuts the link before it releases the object.
  void Detach() {
    tree_ = nullptr;
    node_ = nullptr;
  }
  void Attach(ObjectTree *tree, Node *node) {
    tree_ = tree;
    node_ = node;
  }
  Node *GetNode() const { return node_; }
  // The object's test name (attribute 95).
  virtual std::wstring Name() = 0;
  // The element the object stands for, if any.
  virtual IHTMLElement *Element() const {
    return node_ != nullptr ? node_->element.Get() : nullptr;
  }

  // IWebObj2
  STDMETHODIMP ReleaseRefs() override;
  STDMETHODIMP SetId(IWebRunTimeID *id) override;
  STDMETHODIMP GetId(IWebRunTimeID **id) override;
  STDMETHODIMP GetIdRef(IWebRunTimeID **id) override;
  STDMETHODIMP SetKitId(LONG kitId) override;
  STDMETHODIMP GetKitID(LONG *kitId) override;
  STDMETHODIMP SetParent(IWebObj2 *ao) override;
  STDMETHODIMP GetParent(IWebObj2 **ao) override;
  STDMETHODIMP GetParentFrame(IWebObj2 **ao) override;
  STDMETHODIMP AddChild(IWebObj2 *ao) override;
  STDMETHODIMP RemoveChild(IWebObj2 *ao) override;
  STDMETHODIMP GetChild(LONG index, IWebObj2 **ao) override;
  STDMETHODIMP GetChildByAttr(IWebAttrVal *value, IWebObj2 **ao) override;
  STDMETHODIMP GetChildById(IWebRunTimeID *id, IWebObj2 **ao) override;
  STDMETHODIMP GetDirectChildById(IWebRunTimeID *id, IWebObj2 **ao) override;
  STDMETHODIMP RemoveAllChildren() override;
  STDMETHODIMP GetDirectChildCount(LONG update, LONG *count) override;
  STDMETHODIMP GetChildIndex(IWebObj2 *ao, LONG *index) override;
  STDMETHODIMP GetAllChildren(IFilterStruct *filter, SAFEARRAY **children) override;
  STDMETHODIMP GetDirectChildren(IFilterStruct *filter, SAFEARRAY **children) override;
  STDMETHODIMP GetTreeBranch(IWebAttrVal **value) override;
  STDMETHODIMP GetTreeLevel(LONG *level) override;
  STDMETHODIMP GetWrappedElement(IUnknown **element) override;
  STDMETHODIMP GetRecordAttr(IWebInfo **oblig, IWebInfo **optional, BSTR *selector) override;
  STDMETHODIMP GetRecordConfig(IWebInfo **oblig, IWebInfo **optional, BSTR *selector) override;
  STDMETHODIMP FillRecordInformation(IUnknown *element, tagWIEventData data,
                                     IWebInfo **record) override;
  STDMETHODIMP GetAttr(LONG name, IWebAttrVal *data, IWebAttrVal **value) override;
  STDMETHODIMP GetAttrEx(LONG name, IWebAttrVal *data, IWebAttrVal **value) override;
  STDMETHODIMP GetAttrs(IWebInfo **info) override;
  STDMETHODIMP CompareAttr(LONG name, IWebAttrVal *value, VARIANT_BOOL ignoreSpaces,
                           VARIANT_BOOL ignoreCase) override;
  STDMETHODIMP CompareAttrData(LONG name, IWebAttrVal *value, IWebAttrVal *data,
                               VARIANT_BOOL ignoreSpaces, VARIANT_BOOL ignoreCase) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM method, IWebInfo **info) override;
  STDMETHODIMP SetWebClass(LONG webClass) override;
  STDMETHODIMP CompareClass(LONG webClass) override;
  STDMETHODIMP GetRecordableClass(LONG *webClass) override;
  STDMETHODIMP ResetWebClass() override;
  STDMETHODIMP SetWebClassSet(IWIClassSet *classes) override;
  STDMETHODIMP GetWebClassSet(IWIClassSet **classes) override;
  STDMETHODIMP CallUpdate() override { return UpdateChildren(); }
  STDMETHODIMP UpdateChildren() override { return S_OK; }
  STDMETHODIMP IsLockedForUpdate() override { return S_OK; }
  STDMETHODIMP GetType(LONG *type) override;
  STDMETHODIMP IsStandAlone() override { return node_ != nullptr ? S_FALSE : S_OK; }
  STDMETHODIMP IsPointInObj(tagPOINT pt) override;
  STDMETHODIMP GetDirectChildrenForLearn(SAFEARRAY **children) override;

  // IWebObjSelfEventConfig
  STDMETHODIMP GetEventConfigState(LONG *state) override;
  STDMETHODIMP GetEventConfigFile(BSTR *file) override;
  // IWebObjEventConfigControl
  STDMETHODIMP SetEventConfig(BSTR file, VARIANT_BOOL enable) override;

protected:
  HRESULT QueryOther(REFIID riid, void **ppv) override;
  // The object's own attributes: S_OK with a value, E_FAIL for ids it does
  // not answer.
  virtual HRESULT Attribute(LONG name, IWebAttrVal *data, ComPtr<IWebAttrVal> &value);
  // The object's own methods; E_NOTIMPL for those it does not offer.
  virtual HRESULT Invoke(METHOD_NAME_ENUM method, IWebInfo *info);
  // The object's rectangle in its frame's client coordinates.
  virtual bool Rect(RECT *rect);
  // What GetWrappedElement answers.
  virtual IUnknown *Wrapped() { return Element(); }
  // The children that child queries list (view-link objects look into their frame).
  virtual Node *ChildRoot() { return node_; }

  // The nearest frame node at or above this object.
  Node *FrameNode() const;
  // The frame's offset to the screen (0,0 without a frame).
  POINT ScreenOffset() const;

  ObjectTree *tree_;
  Node *node_;

private:
  HRESULT Gather(Node *from, IFilterStruct *filter, bool all, SAFEARRAY **children);

  ComPtr<IWebRunTimeID> id_;
  ComPtr<IWIClassSet> classes_;
  LONG kitId_ = 0;
  std::wstring eventConfigFile_;
  LONG eventConfigState_ = 0;
};

// The IUnknown of an object deriving from CHostAO and further interfaces.
#define HOST_AO_IUNKNOWN                                                                           \
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {                                  \
    return CHostAO::QueryInterface(riid, ppv);                                                     \
  }                                                                                                \
  STDMETHODIMP_(ULONG) AddRef() override { return CHostAO::AddRef(); }                             \
  STDMETHODIMP_(ULONG) Release() override { return CHostAO::Release(); }

// Value makers.
HRESULT StringValue(const std::wstring &text, ComPtr<IWebAttrVal> &value);
HRESULT LongValue(LONG number, ComPtr<IWebAttrVal> &value);
HRESULT BoolValue(bool flag, ComPtr<IWebAttrVal> &value);
HRESULT RectValue(const RECT &rect, ComPtr<IWebAttrVal> &value);
HRESULT PointValue(const POINT &point, ComPtr<IWebAttrVal> &value);
HRESULT IdValue(IWebRunTimeID *id, ComPtr<IWebAttrVal> &value);

// A SAFEARRAY of VARIANT (VT_UNKNOWN) holding the AOs, appended to *array when
// it holds one already.
HRESULT AppendAOs(const std::vector<IWebObj2 *> &aos, SAFEARRAY **array);
// The host object behind an AO of this module, or null.
CHostAO *HostObjectOf(IUnknown *ao);

} // namespace host::tree

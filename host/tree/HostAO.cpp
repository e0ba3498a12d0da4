#include "tree/HostAO.h"

#include <algorithm>

#include "module/HostClasses.h"
#include "tallowick/Strings.h"
#include "tree/ElementQuery.h"
#include "values/IdCommon.h"

namespace host::tree {
namespace {

// {E3B1C0A4-5D27-4F3B-A1C6-2F84D9B7E015}: answers the CHostAO behind an AO of
// this module (not a COM interface; never leaves the module).
const IID kHostObjectIID = {
    0xE3B1C0A4, 0x5D27, 0x4F3B, {0xA1, 0xC6, 0x2F, 0x84, 0xD9, 0xB7, 0xE0, 0x15}};

constexpr HRESULT kChildOutOfRange = 0x80040211;

std::wstring Take(BSTR text) {
  std::wstring out = FromBstr(text);
  SysFreeString(text);
  return out;
}

template <class I>
HRESULT NewValue(HRESULT (*creator)(IUnknown *, REFIID, void **), ComPtr<I> &out) {
  return creator(nullptr, __uuidof(I), reinterpret_cast<void **>(out.Out()));
}

void Preorder(Node *from, std::vector<Node *> &out) {
  std::vector<Node *> stack(from->children.rbegin(), from->children.rend());
  while (!stack.empty()) {
    Node *node = stack.back();
    stack.pop_back();
    out.push_back(node);
    stack.insert(stack.end(), node->children.rbegin(), node->children.rend());
  }
}

bool IdMatches(Node *node, IWebRunTimeID *id) {
  ComPtr<IWebRunTimeID> own;
  if (FAILED(node->ao->GetIdRef(own.Out())) || !own)
    return false;
  return own->CompareNoType(id) == S_OK;
}

} // namespace

HRESULT StringValue(const std::wstring &text, ComPtr<IWebAttrVal> &value) {
  HRESULT hr = NewWebAttrVal(value);
  if (FAILED(hr))
    return hr;
  BSTR bstr = ToBstr(text);
  if (bstr == nullptr)
    return E_OUTOFMEMORY;
  hr = value->AddString(bstr);
  SysFreeString(bstr);
  return hr;
}

HRESULT LongValue(LONG number, ComPtr<IWebAttrVal> &value) {
  HRESULT hr = NewWebAttrVal(value);
  return FAILED(hr) ? hr : value->AddLong(number);
}

HRESULT BoolValue(bool flag, ComPtr<IWebAttrVal> &value) {
  HRESULT hr = NewWebAttrVal(value);
  return FAILED(hr) ? hr : value->AddBool(flag ? 1 : 0);
}

HRESULT RectValue(const RECT &rect, ComPtr<IWebAttrVal> &value) {
  HRESULT hr = NewWebAttrVal(value);
  tagRECT r{rect.left, rect.top, rect.right, rect.bottom};
  return FAILED(hr) ? hr : value->AddRect(r);
}

HRESULT PointValue(const POINT &point, ComPtr<IWebAttrVal> &value) {
  HRESULT hr = NewWebAttrVal(value);
  tagPOINT p{point.x, point.y};
  return FAILED(hr) ? hr : value->AddPoint(p);
}

HRESULT IdValue(IWebRunTimeID *id, ComPtr<IWebAttrVal> &value) {
  HRESULT hr = NewWebAttrVal(value);
  if (FAILED(hr) || id == nullptr)
    return hr;
  return value->AddWebRTID(id);
}

HRESULT AppendAOs(const std::vector<IWebObj2 *> &aos, SAFEARRAY **array) {
  LONG start = 0;
  if (*array == nullptr) {
    *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(aos.size()));
    if (*array == nullptr)
      return E_OUTOFMEMORY;
  } else {
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetDim(*array) != 1 || FAILED(SafeArrayGetVartype(*array, &type)) ||
        type != VT_VARIANT)
      return E_INVALIDARG;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(*array, 1, &lower);
    SafeArrayGetUBound(*array, 1, &upper);
    start = upper + 1;
    SAFEARRAYBOUND bound{static_cast<ULONG>(upper - lower + 1) + static_cast<ULONG>(aos.size()),
                         lower};
    HRESULT hr = SafeArrayRedim(*array, &bound);
    if (FAILED(hr))
      return hr;
  }
  for (size_t i = 0; i < aos.size(); ++i) {
    VARIANT item;
    VariantInit(&item);
    item.vt = VT_UNKNOWN;
    item.punkVal = aos[i];
    LONG at = start + static_cast<LONG>(i);
    HRESULT hr = SafeArrayPutElement(*array, &at, &item); // copies (AddRef)
    if (FAILED(hr))
      return hr;
  }
  return S_OK;
}

CHostAO *HostObjectOf(IUnknown *ao) {
  if (ao == nullptr)
    return nullptr;
  CHostAO *object = nullptr;
  if (FAILED(ao->QueryInterface(kHostObjectIID, reinterpret_cast<void **>(&object))) ||
      object == nullptr)
    return nullptr;
  object->Release();
  return object;
}

CHostAO::CHostAO(ObjectTree *tree, Node *node, LONG webClass) : tree_(tree), node_(node) {
  if (SUCCEEDED(NewValue(CreateWIClassSet, classes_)) && webClass != kNoClass)
    classes_->Add(webClass);
  if (SUCCEEDED(NewValue(CreateWebRunTimeID, id_)) && node != nullptr)
    id_->SetIdFromIds(tree != nullptr ? tree->BrowserId() : 0, node->frameId, node->objectId,
                      node->typeId);
}

CHostAO::~CHostAO() = default;

HRESULT CHostAO::QueryOther(REFIID riid, void **ppv) {
  if (riid != kHostObjectIID)
    return E_NOINTERFACE;
  *ppv = this;
  return S_OK;
}

Node *CHostAO::FrameNode() const {
  if (node_ == nullptr)
    return nullptr;
  return node_->frame;
}

POINT CHostAO::ScreenOffset() const {
  Node *frame = FrameNode();
  return frame != nullptr ? FrameScreenOffset(frame) : POINT{0, 0};
}

STDMETHODIMP CHostAO::ReleaseRefs() {
  Detach();
  return S_OK;
}

STDMETHODIMP CHostAO::SetId(IWebRunTimeID *id) {
  if (id == nullptr)
    return E_INVALIDARG;
  if (!id_)
    return E_OUTOFMEMORY;
  return id_->SetId(id);
}

STDMETHODIMP CHostAO::GetId(IWebRunTimeID **id) {
  if (id == nullptr)
    return E_POINTER;
  *id = nullptr;
  return Guarded([&] {
    ComPtr<IWebRunTimeID> copy;
    HRESULT hr = CopyWebRunTimeID(id_.Get(), copy);
    if (SUCCEEDED(hr))
      *id = copy.Detach();
    return hr;
  });
}

STDMETHODIMP CHostAO::GetIdRef(IWebRunTimeID **id) {
  if (id == nullptr)
    return E_POINTER;
  id_.CopyTo(id);
  return *id != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CHostAO::SetKitId(LONG kitId) {
  kitId_ = kitId;
  return S_OK;
}

STDMETHODIMP CHostAO::GetKitID(LONG *kitId) {
  if (kitId == nullptr)
    return E_POINTER;
  *kitId = kitId_;
  return S_OK;
}

// The parent is the tree's; an object can be moved under another object of
// the same tree.
STDMETHODIMP CHostAO::SetParent(IWebObj2 *ao) {
  return Guarded([&]() -> HRESULT {
    if (ao == nullptr || tree_ == nullptr || node_ == nullptr)
      return S_OK;
    Node *parent = tree_->NodeOfAO(ao);
    if (parent == nullptr)
      return E_INVALIDARG;
    if (parent != node_->parent)
      tree_->Reparent(node_, parent);
    return S_OK;
  });
}

STDMETHODIMP CHostAO::GetParent(IWebObj2 **ao) {
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  if (node_ == nullptr || node_->parent == nullptr || node_->parent->ao == nullptr)
    return S_OK;
  *ao = node_->parent->ao;
  (*ao)->AddRef();
  return S_OK;
}

STDMETHODIMP CHostAO::GetParentFrame(IWebObj2 **ao) {
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  Node *frame = FrameNode();
  if (frame == node_ && frame != nullptr && frame->parent != nullptr)
    frame = frame->parent->frame; // a frame's parent frame
  if (frame == nullptr || frame == node_ || frame->ao == nullptr)
    return S_OK;
  *ao = frame->ao;
  (*ao)->AddRef();
  return S_OK;
}

STDMETHODIMP CHostAO::AddChild(IWebObj2 *ao) {
  if (ao == nullptr)
    return E_POINTER;
  if (tree_ == nullptr || node_ == nullptr)
    return 0x80040208;
  return Guarded([&] { return tree_->Link(node_, ao); });
}

STDMETHODIMP CHostAO::RemoveChild(IWebObj2 *ao) {
  if (ao == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    if (tree_ == nullptr || node_ == nullptr)
      return S_FALSE;
    Node *child = tree_->NodeOfAO(ao);
    if (child == nullptr || child->parent != node_)
      return S_FALSE;
    return tree_->Unlink(child);
  });
}

STDMETHODIMP CHostAO::GetChild(LONG index, IWebObj2 **ao) {
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  Node *root = ChildRoot();
  if (root == nullptr)
    return E_FAIL;
  if (index < 0 || static_cast<size_t>(index) >= root->children.size())
    return kChildOutOfRange;
  *ao = root->children[static_cast<size_t>(index)]->ao;
  (*ao)->AddRef();
  return S_OK;
}

STDMETHODIMP CHostAO::GetChildByAttr(IWebAttrVal *value, IWebObj2 **ao) {
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  if (value == nullptr)
    return E_INVALIDARG;
  LONG index = 0;
  HRESULT hr = value->GetLongValue(0, &index);
  return FAILED(hr) ? hr : GetChild(index, ao);
}

STDMETHODIMP CHostAO::GetChildById(IWebRunTimeID *id, IWebObj2 **ao) {
  if (id == nullptr)
    return E_INVALIDARG;
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  return Guarded([&]() -> HRESULT {
    Node *root = ChildRoot();
    if (root == nullptr)
      return E_FAIL;
    std::vector<Node *> all;
    Preorder(root, all);
    for (Node *node : all) {
      if (IdMatches(node, id)) {
        *ao = node->ao;
        (*ao)->AddRef();
        return S_OK;
      }
    }
    return E_FAIL;
  });
}

STDMETHODIMP CHostAO::GetDirectChildById(IWebRunTimeID *id, IWebObj2 **ao) {
  if (id == nullptr)
    return E_INVALIDARG;
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  Node *root = ChildRoot();
  if (root == nullptr)
    return E_FAIL;
  for (Node *node : root->children) {
    if (IdMatches(node, id)) {
      *ao = node->ao;
      (*ao)->AddRef();
      return S_OK;
    }
  }
  return E_FAIL;
}

STDMETHODIMP CHostAO::RemoveAllChildren() {
  return Guarded([&]() -> HRESULT {
    if (tree_ != nullptr && node_ != nullptr)
      tree_->UnlinkChildren(node_);
    return S_OK;
  });
}

STDMETHODIMP CHostAO::GetDirectChildCount(LONG, LONG *count) {
  if (count == nullptr)
    return E_POINTER;
  Node *root = ChildRoot();
  *count = root != nullptr ? static_cast<LONG>(root->children.size()) : 0;
  return S_OK;
}

STDMETHODIMP CHostAO::GetChildIndex(IWebObj2 *ao, LONG *index) {
  if (index == nullptr)
    return E_POINTER;
  *index = -1;
  Node *root = ChildRoot();
  if (root == nullptr || ao == nullptr)
    return S_OK;
  for (size_t i = 0; i < root->children.size(); ++i) {
    if (SameObject(root->children[i]->ao, ao)) {
      *index = static_cast<LONG>(i) + 1;
      break;
    }
  }
  return S_OK;
}

HRESULT CHostAO::Gather(Node *from, IFilterStruct *filter, bool all, SAFEARRAY **children) {
  std::wstring tag, xpath, css;
  WEB_ID_FILTERS kind = ALL_KINDS_OF_OBJECTS;
  LONG webClass = 0;
  if (filter != nullptr) {
    BSTR text = nullptr;
    if (SUCCEEDED(filter->get_tagName(&text)))
      tag = Take(text);
    text = nullptr;
    if (SUCCEEDED(filter->get_xpath(&text)))
      xpath = Take(text);
    text = nullptr;
    if (SUCCEEDED(filter->get_css(&text)))
      css = Take(text);
    filter->get_filter(&kind);
    filter->get_webClass(&webClass);
  }
  std::vector<Node *> candidates;
  if (!xpath.empty() || !css.empty()) {
    // The selectors run on the elements under this object; each match counts
    // through its agent object.
    // A frame's objects are those of its own document.
    ComPtr<IHTMLElement> root = from->kind == NodeKind::Element
                                    ? ComPtr<IHTMLElement>(from->element)
                                    : ComPtr<IHTMLElement>(from->root);
    if (!root && from->kind == NodeKind::Page && !from->children.empty())
      root = from->children.front()->root;
    std::vector<ComPtr<IHTMLElement>> found;
    HRESULT hr = QueryElements(root.Get(), xpath, css, -1, found);
    if (FAILED(hr))
      return hr;
    for (const auto &element : found) {
      ComPtr<IWebObj2> ao;
      if (tree_ != nullptr &&
          tree_->ElementAO(element.Get(), kind == ALL_KINDS_OF_OBJECTS, ao.Out()) == S_OK)
        if (Node *node = tree_->NodeOfAO(ao.Get()))
          candidates.push_back(node);
    }
  } else if (all) {
    Preorder(from, candidates);
  } else {
    candidates = from->children;
  }
  std::vector<IWebObj2 *> selected;
  for (Node *node : candidates) {
    if (!tag.empty() && !tallowick::platform::EqualsNoCase(TagName(node->element.Get()), tag))
      continue;
    if (webClass != 0 && node->ao->CompareClass(webClass) != S_OK)
      continue;
    ComPtr<IWebRunTimeID> id;
    if (kind != ALL_KINDS_OF_OBJECTS &&
        (FAILED(node->ao->GetIdRef(id.Out())) || !id || id->IsFilterMatch(kind) != S_OK))
      continue;
    selected.push_back(node->ao);
  }
  return AppendAOs(selected, children);
}

STDMETHODIMP CHostAO::GetAllChildren(IFilterStruct *filter, SAFEARRAY **children) {
  if (children == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    Node *root = ChildRoot();
    if (root == nullptr)
      return E_FAIL;
    return Gather(root, filter, true, children);
  });
}

STDMETHODIMP CHostAO::GetDirectChildren(IFilterStruct *filter, SAFEARRAY **children) {
  if (children == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    Node *root = ChildRoot();
    if (root == nullptr)
      return E_FAIL;
    return Gather(root, filter, false, children);
  });
}

STDMETHODIMP CHostAO::GetDirectChildrenForLearn(SAFEARRAY **children) {
  if (children == nullptr)
    return E_POINTER;
  *children = nullptr;
  return GetDirectChildren(nullptr, children);
}

// The own id, then the ids of the ancestors up to (not including) the frame,
// leaving out rows and cells.
STDMETHODIMP CHostAO::GetTreeBranch(IWebAttrVal **value) {
  if (value == nullptr)
    return E_POINTER;
  *value = nullptr;
  return Guarded([&]() -> HRESULT {
    ComPtr<IWebAttrVal> list;
    HRESULT hr = NewWebAttrVal(list);
    if (FAILED(hr))
      return hr;
    list->AddWebRTID(id_.Get());
    for (Node *at = node_ != nullptr ? node_->parent : nullptr;
         at != nullptr && at->kind == NodeKind::Element; at = at->parent) {
      if (at->ao->CompareClass(kHtmlCell) == S_OK || at->ao->CompareClass(kHtmlRow) == S_OK)
        continue;
      ComPtr<IWebRunTimeID> id;
      if (SUCCEEDED(at->ao->GetIdRef(id.Out())))
        list->AddWebRTID(id.Get());
    }
    *value = list.Detach();
    return S_OK;
  });
}

STDMETHODIMP CHostAO::GetTreeLevel(LONG *level) {
  if (level == nullptr)
    return E_POINTER;
  *level = 0;
  for (Node *at = node_ != nullptr ? node_->parent : nullptr;
       at != nullptr && at->kind == NodeKind::Element; at = at->parent)
    ++*level;
  return S_OK;
}

STDMETHODIMP CHostAO::GetWrappedElement(IUnknown **element) {
  if (element == nullptr)
    return E_POINTER;
  *element = nullptr;
  IUnknown *wrapped = Wrapped();
  if (wrapped == nullptr)
    return S_FALSE;
  return wrapped->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(element));
}

// The attributes that identify a host object in a step: class and name; tag
// name and id as further help.
STDMETHODIMP CHostAO::GetRecordConfig(IWebInfo **oblig, IWebInfo **optional, BSTR *selector) {
  if (oblig == nullptr || optional == nullptr || selector == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    ComPtr<IWebInfo> first, second;
    HRESULT hr = NewValue(CreateWebInfo, first);
    if (SUCCEEDED(hr))
      hr = NewValue(CreateWebInfo, second);
    if (FAILED(hr))
      return hr;
    first->InsertAttr(kAttrClassName);
    first->InsertAttr(kAttrName);
    second->InsertAttr(kAttrTagName);
    second->InsertAttr(kAttrId);
    if (*oblig != nullptr)
      (*oblig)->Release();
    if (*optional != nullptr)
      (*optional)->Release();
    *oblig = first.Detach();
    *optional = second.Detach();
    *selector = nullptr;
    return PutBstr(L"", selector);
  });
}

STDMETHODIMP CHostAO::GetRecordAttr(IWebInfo **oblig, IWebInfo **optional, BSTR *selector) {
  HRESULT hr = GetRecordConfig(oblig, optional, selector);
  if (FAILED(hr))
    return hr;
  hr = GetAttrs(oblig);
  return FAILED(hr) ? hr : GetAttrs(optional);
}

// A host object records its value (attribute 6) beside the event name that
// the host put into the record.
STDMETHODIMP CHostAO::FillRecordInformation(IUnknown *, tagWIEventData, IWebInfo **record) {
  if (record == nullptr || *record == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    ComPtr<IWebAttrVal> value;
    if (GetAttr(kAttrValue, nullptr, value.Out()) == S_OK && value)
      (*record)->InsertAttrWebAttr(kAttrValue, value.Get(), 1);
    return S_OK;
  });
}

STDMETHODIMP CHostAO::GetAttr(LONG name, IWebAttrVal *data, IWebAttrVal **value) {
  return GetAttrEx(name, data, value);
}

STDMETHODIMP CHostAO::GetAttrEx(LONG name, IWebAttrVal *data, IWebAttrVal **value) {
  if (value == nullptr)
    return E_POINTER;
  *value = nullptr;
  return Guarded([&]() -> HRESULT {
    ComPtr<IWebAttrVal> result;
    HRESULT hr = E_FAIL;
    switch (name) {
    case kAttrClassName: {
      LONG webClass = 0;
      GetRecordableClass(&webClass);
      hr = StringValue(WebClassName(webClass), result);
      break;
    }
    case kAttrParentId: {
      ComPtr<IWebObj2> parent;
      ComPtr<IWebRunTimeID> id;
      GetParent(parent.Out());
      if (parent)
        parent->GetId(id.Out());
      hr = IdValue(id.Get(), result);
      break;
    }
    case kAttrTreeLevel: {
      LONG level = 0;
      GetTreeLevel(&level);
      hr = LongValue(level, result);
      break;
    }
    case kAttrName:
    case kAttrLogicalName:
      hr = StringValue(Name(), result);
      break;
    case kAttrRect: {
      RECT rect{};
      hr = Rect(&rect) ? RectValue(rect, result) : E_FAIL;
      break;
    }
    case kAttrScreenRect: {
      // Frames answer their rectangle in screen terms already.
      RECT rect{};
      Rect(&rect);
      if (node_ == nullptr || node_->kind == NodeKind::Element) {
        POINT offset = ScreenOffset();
        OffsetRect(&rect, offset.x, offset.y);
      }
      hr = RectValue(rect, result);
      break;
    }
    default:
      hr = Attribute(name, data, result);
      break;
    }
    if (hr == S_OK)
      *value = result.Detach();
    return hr;
  });
}

HRESULT CHostAO::Attribute(LONG, IWebAttrVal *, ComPtr<IWebAttrVal> &) { return E_FAIL; }

bool CHostAO::Rect(RECT *rect) { return ClientRect(Element(), rect); }

STDMETHODIMP CHostAO::GetAttrs(IWebInfo **info) {
  if (info == nullptr || *info == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    UINT size = 0;
    (*info)->GetSize(&size);
    for (UINT i = 0; i < size; ++i) {
      LONG name = 0;
      if (FAILED((*info)->GetAttrNameByIndex(i, &name)))
        continue;
      ComPtr<IWebAttrVal> value;
      if (GetAttr(name, nullptr, value.Out()) == S_OK && value)
        (*info)->ReplaceAttrValueByIndex(i, value.Get());
    }
    return S_OK;
  });
}

STDMETHODIMP CHostAO::CompareAttr(LONG name, IWebAttrVal *expected, VARIANT_BOOL ignoreSpaces,
                                  VARIANT_BOOL ignoreCase) {
  return CompareAttrData(name, expected, nullptr, ignoreSpaces, ignoreCase);
}

STDMETHODIMP CHostAO::CompareAttrData(LONG name, IWebAttrVal *expected, IWebAttrVal *data,
                                      VARIANT_BOOL ignoreSpaces, VARIANT_BOOL ignoreCase) {
  if (expected == nullptr)
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    ComPtr<IWebAttrVal> actual;
    HRESULT hr = GetAttr(name, data, actual.Out());
    if (hr != S_OK || !actual)
      return S_FALSE;
    hr = expected->Compare(actual.Get(), ignoreSpaces != VARIANT_FALSE ? 1 : 0,
                           ignoreCase != VARIANT_FALSE ? 1 : 0);
    return FAILED(hr) ? hr : (hr == S_OK ? S_OK : S_FALSE);
  });
}

STDMETHODIMP CHostAO::InvokeMethod(METHOD_NAME_ENUM method, IWebInfo **info) {
  if (info == nullptr || *info == nullptr)
    return E_POINTER;
  return Guarded([&]() -> HRESULT {
    HRESULT hr = Invoke(method, *info);
    if (hr != E_NOTIMPL)
      return hr;
    IWebInfo *request = *info;
    switch (method) {
    case IS_ALIVE:
      request->SetReturnValue(node_ != nullptr ? S_OK : S_FALSE);
      return S_OK;
    case ID_TO_DESC: {
      // Descriptions are the frame's business.
      Node *frame = FrameNode();
      if (frame == nullptr || frame == node_ || frame->ao == nullptr)
        return E_NOTIMPL;
      return frame->ao->InvokeMethod(method, info);
    }
    case CONTAINS_POINT: {
      ComPtr<IWebVariant> point;
      request->SetReturnValue(E_INVALIDARG);
      if (SUCCEEDED(request->GetTopInnerAttrValueByName(kAttrPoint, WEB_AV_POINT, point.Out())) &&
          point) {
        tagPOINT pt{};
        point->get_point(&pt);
        request->SetReturnValue(IsPointInObj(pt) == S_OK ? S_OK : S_FALSE);
      }
      return S_OK;
    }
    case GET_SCREEN_RECT: {
      ComPtr<IWebAttrVal> rect;
      hr = GetAttr(kAttrScreenRect, nullptr, rect.Out());
      if (hr != S_OK)
        return FAILED(hr) ? hr : E_FAIL;
      request->ReplaceAttrValueByName(kAttrRect, rect.Get(), 1);
      request->SetReturnValue(S_OK);
      return S_OK;
    }
    default:
      return E_NOTIMPL;
    }
  });
}

HRESULT CHostAO::Invoke(METHOD_NAME_ENUM, IWebInfo *) { return E_NOTIMPL; }

STDMETHODIMP CHostAO::SetWebClass(LONG webClass) {
  return classes_ ? classes_->Add(webClass) : E_OUTOFMEMORY;
}

STDMETHODIMP CHostAO::CompareClass(LONG webClass) {
  return classes_ ? classes_->Match(webClass) : S_FALSE;
}

STDMETHODIMP CHostAO::GetRecordableClass(LONG *webClass) {
  if (webClass == nullptr)
    return E_POINTER;
  *webClass = 0;
  return classes_ ? classes_->GetRecordableClass(webClass) : S_FALSE;
}

STDMETHODIMP CHostAO::ResetWebClass() { return classes_ ? classes_->Reset() : S_OK; }

STDMETHODIMP CHostAO::SetWebClassSet(IWIClassSet *classes) {
  if (classes == nullptr)
    return E_INVALIDARG;
  classes_ = ComPtr<IWIClassSet>(classes);
  return S_OK;
}

STDMETHODIMP CHostAO::GetWebClassSet(IWIClassSet **classes) {
  if (classes == nullptr)
    return E_POINTER;
  classes_.CopyTo(classes);
  return *classes != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CHostAO::GetType(LONG *type) {
  if (type == nullptr)
    return E_POINTER;
  *type = node_ != nullptr && node_->kind == NodeKind::Element ? 0 : 1;
  return S_OK;
}

STDMETHODIMP CHostAO::IsPointInObj(tagPOINT pt) {
  return Guarded([&]() -> HRESULT {
    ComPtr<IWebAttrVal> rects;
    if (GetAttr(kAttrRect, nullptr, rects.Out()) != S_OK || !rects)
      return S_FALSE;
    UINT size = 0;
    rects->GetSize(&size);
    for (UINT i = 0; i < size; ++i) {
      tagRECT r{};
      if (FAILED(rects->GetRectValue(i, &r)))
        break;
      if (pt.x >= r.left && pt.x <= r.right && pt.y >= r.top && pt.y <= r.bottom)
        return S_OK;
    }
    return S_FALSE;
  });
}

STDMETHODIMP CHostAO::GetEventConfigState(LONG *state) {
  if (state == nullptr)
    return E_POINTER;
  *state = eventConfigState_;
  return S_OK;
}

STDMETHODIMP CHostAO::GetEventConfigFile(BSTR *file) {
  if (file == nullptr)
    return E_POINTER;
  *file = nullptr;
  if (eventConfigFile_.empty())
    return S_OK;
  return Guarded([&] { return PutBstr(eventConfigFile_, file); });
}

STDMETHODIMP CHostAO::SetEventConfig(BSTR file, VARIANT_BOOL enable) {
  return Guarded([&]() -> HRESULT {
    eventConfigFile_ = FromBstr(file);
    eventConfigState_ = eventConfigFile_.empty() ? 0 : (enable != VARIANT_FALSE ? 2 : 1);
    return S_OK;
  });
}

} // namespace host::tree

// Named node maps: the attributes of an element (live) and the entities of a
// document type.
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"
#include "xml/XmlObject.h"

namespace tallowick::platform::xml {

namespace {

class XmlNamedNodeMap final : public DispatchObject<IXMLDOMNamedNodeMap> {
 public:
  // `holder` keeps the element or document type alive; `parent` may be null (empty map).
  XmlNamedNodeMap(TreePtr tree, XmlDocument *owner, xmlNodePtr parent, IUnknown *holder)
      : tree_(std::move(tree)), owner_(owner), parent_(parent), holder_(holder) {
    holder_->AddRef();
  }

  STDMETHODIMP getNamedItem(BSTR name, IXMLDOMNode **item) override {
    if (item == nullptr)
      return E_POINTER;
    *item = nullptr;
    return Guard([&] { return WrapAs(tree_, owner_, Find(BstrToUtf8(name)), item); });
  }
  STDMETHODIMP setNamedItem(IXMLDOMNode *newItem, IXMLDOMNode **item) override {
    if (item != nullptr)
      *item = nullptr;
    if (!IsAttributes())
      return E_FAIL; // entities are read-only
    return Guard([&]() -> HRESULT {
      IXMLDOMElement *element = nullptr;
      IXMLDOMAttribute *attribute = nullptr;
      HRESULT hr = WrapAs(tree_, owner_, parent_, &element);
      if (SUCCEEDED(hr) && newItem != nullptr)
        hr = newItem->QueryInterface(IID_IXMLDOMAttribute, reinterpret_cast<void **>(&attribute));
      if (SUCCEEDED(hr) && attribute == nullptr)
        hr = E_INVALIDARG;
      if (SUCCEEDED(hr))
        hr = element->setAttributeNode(attribute, nullptr);
      if (attribute != nullptr)
        attribute->Release();
      if (element != nullptr)
        element->Release();
      if (SUCCEEDED(hr) && item != nullptr) {
        newItem->AddRef();
        *item = newItem;
      }
      return hr;
    });
  }
  STDMETHODIMP removeNamedItem(BSTR name, IXMLDOMNode **item) override {
    if (item != nullptr)
      *item = nullptr;
    return Guard([&] { return Remove(Find(BstrToUtf8(name)), item); });
  }
  STDMETHODIMP get_item(LONG index, IXMLDOMNode **item) override {
    if (item == nullptr)
      return E_POINTER;
    *item = nullptr;
    return Guard([&] { return WrapAs(tree_, owner_, At(index), item); });
  }
  STDMETHODIMP get_length(LONG *length) override {
    if (length == nullptr)
      return E_POINTER;
    LONG count = 0;
    for (xmlNodePtr node = First(); node != nullptr; node = Next(node))
      ++count;
    *length = count;
    return S_OK;
  }
  STDMETHODIMP getQualifiedItem(BSTR baseName, BSTR namespaceURI, IXMLDOMNode **item) override {
    if (item == nullptr)
      return E_POINTER;
    *item = nullptr;
    return Guard([&] {
      return WrapAs(tree_, owner_, FindQualified(BstrToUtf8(baseName), BstrToUtf8(namespaceURI)),
                    item);
    });
  }
  STDMETHODIMP removeQualifiedItem(BSTR baseName, BSTR namespaceURI,
                                   IXMLDOMNode **item) override {
    if (item != nullptr)
      *item = nullptr;
    return Guard([&] {
      return Remove(FindQualified(BstrToUtf8(baseName), BstrToUtf8(namespaceURI)), item);
    });
  }
  STDMETHODIMP nextNode(IXMLDOMNode **next) override {
    if (next == nullptr)
      return E_POINTER;
    HRESULT hr = get_item(cursor_, next);
    if (hr == S_OK)
      ++cursor_;
    return hr;
  }
  STDMETHODIMP reset() override {
    cursor_ = 0;
    return S_OK;
  }
  STDMETHODIMP get__newEnum(IUnknown **enumerator) override {
    if (enumerator == nullptr)
      return E_POINTER;
    *enumerator = nullptr;
    return Guard([&]() -> HRESULT {
      std::vector<IDispatch *> items;
      for (xmlNodePtr node = First(); node != nullptr; node = Next(node)) {
        IXMLDOMNode *object = nullptr;
        HRESULT hr = WrapAs(tree_, owner_, node, &object);
        if (FAILED(hr)) {
          for (IDispatch *item : items)
            item->Release();
          return hr;
        }
        items.push_back(object);
      }
      return NewVariantEnum(std::move(items), enumerator);
    });
  }

 private:
  ~XmlNamedNodeMap() override { holder_->Release(); }

  bool IsAttributes() const { return parent_ != nullptr && parent_->type == XML_ELEMENT_NODE; }
  xmlNodePtr First() const {
    if (parent_ == nullptr)
      return nullptr;
    if (IsAttributes())
      return reinterpret_cast<xmlNodePtr>(parent_->properties);
    return Skip(parent_->children);
  }
  xmlNodePtr Next(xmlNodePtr node) const { return IsAttributes() ? node->next : Skip(node->next); }
  // Entity declarations only, among the declarations of a document type.
  static xmlNodePtr Skip(xmlNodePtr node) {
    while (node != nullptr && node->type != XML_ENTITY_DECL)
      node = node->next;
    return node;
  }
  xmlNodePtr At(LONG index) const {
    if (index < 0)
      return nullptr;
    xmlNodePtr node = First();
    for (LONG i = 0; node != nullptr && i < index; ++i)
      node = Next(node);
    return node;
  }
  xmlNodePtr Find(const std::string &name) const {
    for (xmlNodePtr node = First(); node != nullptr; node = Next(node))
      if (QualifiedNameUtf8(node) == name)
        return node;
    return nullptr;
  }
  xmlNodePtr FindQualified(const std::string &localName, const std::string &uri) const {
    for (xmlNodePtr node = First(); node != nullptr; node = Next(node)) {
      std::string href = node->ns && node->ns->href ? reinterpret_cast<const char *>(node->ns->href)
                                                     : "";
      if (localName == reinterpret_cast<const char *>(node->name) && href == uri)
        return node;
    }
    return nullptr;
  }
  HRESULT Remove(xmlNodePtr node, IXMLDOMNode **item) {
    if (!IsAttributes())
      return E_FAIL;
    if (node == nullptr)
      return S_FALSE;
    UnlinkToOrphans(*tree_, node);
    if (item == nullptr)
      return S_OK;
    return WrapAs(tree_, owner_, node, item);
  }

  TreePtr tree_;
  XmlDocument *owner_;
  xmlNodePtr parent_;
  IUnknown *holder_;
  LONG cursor_ = 0;
};

HRESULT NewMap(const TreePtr &tree, XmlDocument *owner, xmlNodePtr parent,
               IXMLDOMNamedNodeMap **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  IUnknown *holder = nullptr;
  HRESULT hr = parent != nullptr ? WrapAs(tree, owner, parent, &holder)
                                 : owner->QueryInterface(IID_IUnknown,
                                                         reinterpret_cast<void **>(&holder));
  if (holder == nullptr)
    return FAILED(hr) ? hr : E_UNEXPECTED;
  *out = new XmlNamedNodeMap(tree, owner, parent, holder);
  holder->Release();
  return S_OK;
}

} // namespace

HRESULT NewAttributeMap(const TreePtr &tree, XmlDocument *owner, xmlNodePtr element,
                        IXMLDOMNamedNodeMap **out) {
  return NewMap(tree, owner, element, out);
}

HRESULT NewEntityMap(const TreePtr &tree, XmlDocument *owner, xmlNodePtr dtd,
                     IXMLDOMNamedNodeMap **out) {
  return NewMap(tree, owner, dtd, out);
}

} // namespace tallowick::platform::xml

// CElementAO: the host's agent object of an element, of one of the standard
// web classes (Link, Image, WebEdit, WebButton, ..., WebElement).
#pragma once

#include "tree/HostAO.h"

namespace host::tree {

class CElementAO : public CHostAO {
public:
  CElementAO(ObjectTree *tree, Node *node, LONG webClass, IHTMLElement *element);

  std::wstring Name() override;
  IHTMLElement *Element() const override { return element_.Get(); }

protected:
  HRESULT Attribute(LONG name, IWebAttrVal *data, ComPtr<IWebAttrVal> &value) override;
  HRESULT Invoke(METHOD_NAME_ENUM method, IWebInfo *info) override;
  // The value a step records (attribute 6).
  std::wstring Value();
  LONG Class();

  ComPtr<IHTMLElement> element_;
};

} // namespace host::tree

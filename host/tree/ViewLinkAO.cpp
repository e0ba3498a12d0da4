// CViewLinkAO: the host's agent object of an element whose behaviour renders
// into a view-link document. Its children are those of its view-link frame.
// A kit that wraps the element keeps one as its inner object; that one is
// not linked into the tree and finds its frame through the element.
#include "tree/TreeObjects.h"

namespace host::tree {
namespace {

class CViewLinkAO final : public CElementAO {
public:
  CViewLinkAO(ObjectTree *tree, Node *node, IHTMLElement *element)
      : CElementAO(tree, node, kViewLink, element) {}

protected:
  // The object under a point is its view-link frame's to find.
  HRESULT Invoke(METHOD_NAME_ENUM method, IWebInfo *info) override {
    if (method != GET_OBJ_ID_FROM_POINT)
      return CElementAO::Invoke(method, info);
    Node *frame = ChildRoot();
    if (frame == nullptr || frame->ao == nullptr)
      return E_FAIL;
    return frame->ao->InvokeMethod(method, &info);
  }
  Node *ChildRoot() override {
    if (tree_ == nullptr)
      return nullptr;
    return tree_->ViewLinkFrameOf(tree_->NodeOfElement(element_.Get()));
  }
};

} // namespace

CHostAO *NewViewLinkAO(ObjectTree *tree, Node *node, IHTMLElement *element) {
  return new CViewLinkAO(tree, node, element);
}

} // namespace host::tree

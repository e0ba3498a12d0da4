// Makers of the host's agent objects. Each answers a new object with one
// reference (std::bad_alloc when memory runs out).
#pragma once

#include "tree/ElementAO.h"
#include "tree/HostAO.h"

namespace host::tree {

CHostAO *NewElementAO(ObjectTree *tree, Node *node, LONG webClass, IHTMLElement *element);
CHostAO *NewViewLinkAO(ObjectTree *tree, Node *node, IHTMLElement *element);
CHostAO *NewPageAO(ObjectTree *tree, Node *node);
CHostAO *NewFrameAO(ObjectTree *tree, Node *node);
CHostAO *NewViewLinkFrameAO(ObjectTree *tree, Node *node);

} // namespace host::tree

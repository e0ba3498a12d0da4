// Element behaviours: a page's <?import namespace="ns" implementation="file"?>
// attaches one instance of the script component in `file` to every <ns:Tag>
// element. The component format is described in docs/behaviours.md.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "page/PageObjects.h"

namespace tallowick::page {

struct ScriptLink;

// A parsed component file.
struct Component {
  struct Property {
    std::wstring name, internal, get, put, id; // internal: the script variable (no get/put)
    std::optional<std::wstring> value;         // the declared initial value
  };
  struct Method {
    std::wstring name, internal;
  };
  struct Event {
    std::wstring name, id;
  };
  struct Attach {
    std::wstring event, handler;
  };
  // <public:defaults>: what it declares; unset members keep IE's defaults.
  struct Defaults {
    std::optional<bool> viewLinkContent, tabStop, viewInheritStyle, contentEditable;
  };
  std::wstring url;
  std::wstring tagName; // the custom tag it binds to; empty: every tag of its namespace
  std::vector<Property> properties;
  std::vector<Method> methods;
  std::vector<Event> events;
  std::vector<Attach> attaches;
  Defaults defaults;
  bool literalContent = false; // the element's children are the component's, not the page's
  bool lightweight = false;
  std::wstring script;
  long scriptLine = 1; // where the script starts in the file, for error lines
};

struct Behavior {
  std::shared_ptr<const Component> component;
  std::shared_ptr<PageDocument> viewLink; // the document the component renders into
  std::shared_ptr<Node> literal;          // the literal content (literalContent)
  std::vector<Listener> lifecycle;        // oncontentready, ondocumentready, ondetach handlers
  std::weak_ptr<ScriptLink> link;         // the engine that holds the instance
  uint32_t instance = 0;                  // its member table in the engine's stash
};

// Attaches the behaviours that `document` imports; errors (a missing or
// malformed file, a failing component script) are reported as script errors.
// Answers the elements that got one, in document order.
std::vector<std::shared_ptr<Node>> AttachBehaviors(Page &page, PageDocument &document);
// Fires a lifecycle event ("oncontentready", "ondocumentready", "ondetach")
// on the `<public:attach>` handlers of the element's behaviour.
void FireLifecycle(Page &page, Node &element, const std::wstring &type);
// Fires ondetach for every bound element in the subtree under (and at) `root`.
void DetachBehaviors(Page &page, Node &root);
// The view-link document of an element's behaviour, or null.
PageDocument *ViewLinkOf(const Node &element);
// The literal content of an element whose component declares literalContent, or null.
Node *LiteralContentOf(const Node &element);
// Members of the element's behaviour by name (ignoring case).
bool FindBehaviorMember(const Node &element, const std::wstring &name);
HRESULT InvokeBehaviorMember(Node &element, const std::wstring &name, WORD flags,
                             DISPPARAMS *params, VARIANT *result);

} // namespace tallowick::page

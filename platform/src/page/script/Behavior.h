// Element behaviours: a page's <?import namespace="ns" implementation="file"?>
// attaches one instance of the script component in `file` to every <ns:Tag>
// element. The component format is described in docs/behaviours.md.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "page/PageObjects.h"

namespace tallowick::page {

struct ScriptLink;

// A parsed component file.
struct Component {
  struct Property {
    std::wstring name, get, put;
  };
  struct Event {
    std::wstring name, id;
  };
  struct Attach {
    std::wstring event, handler;
  };
  std::wstring url;
  std::wstring tagName; // the custom tag it binds to; empty: every tag of its namespace
  std::vector<Property> properties;
  std::vector<std::wstring> methods;
  std::vector<Event> events;
  std::vector<Attach> attaches;
  bool viewLink = false;
  std::wstring script;
};

struct Behavior {
  std::shared_ptr<const Component> component;
  std::shared_ptr<PageDocument> viewLink; // the document the component renders into
  std::weak_ptr<ScriptLink> link;         // the engine that holds the instance
  uint32_t instance = 0;                  // its member table in the engine's stash
};

// Attaches the behaviours that `document` imports; errors (a missing or
// malformed file, a failing component script) are reported as script errors.
void AttachBehaviors(Page &page, PageDocument &document);
// The view-link document of an element's behaviour, or null.
PageDocument *ViewLinkOf(const Node &element);
// Members of the element's behaviour by name (ignoring case).
bool FindBehaviorMember(const Node &element, const std::wstring &name);
HRESULT InvokeBehaviorMember(Node &element, const std::wstring &name, WORD flags,
                             DISPPARAMS *params, VARIANT *result);

} // namespace tallowick::page

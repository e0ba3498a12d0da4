// A page shown in the host's browser with the registered kit loaded: the
// object tree walked in order, objects found by name, elements found by
// selector, and user input delivered to elements as a user's would arrive.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>
#include <vector>

#include "ComRef.h"
#include "HostSession.h"
#include "TallowickHost.h"

namespace tallowick::cli {

struct TreeObject {
  Ref<IWebObj2> ao;
  int depth = 0;
  LONG webClass = 0;
  std::string className;
  std::string name; // 146 for a kit's object, else 95
  LONG kitId = 0;
  std::string rtid;
};

class PageSession {
public:
  PageSession() = default;
  PageSession(const PageSession &) = delete;
  PageSession &operator=(const PageSession &) = delete;
  ~PageSession();

  // Starts the host, loads the kit and shows PAGE (a file or a URL). False,
  // with a message on stderr, on failure.
  bool Open(const std::vector<std::pair<std::string, std::string>> &settings,
            const std::string &page, bool quietWithoutKit = false);

  IWIHostBrowser *Browser() const { return browser_.Get(); }
  IWIAgentServices *AgentServices() const { return host_.AgentServices(); }
  Ref<IWebObj2> PageAO() const;
  // The document the browser shows now (after any navigation).
  Ref<IHTMLDocument2> Document() const;

  // The tree in pre-order, the page first.
  std::vector<TreeObject> Walk() const;
  TreeObject Describe(IWebObj2 *ao, int depth) const;

  // OBJECT: a kit object's name (146), an element id, or Class:n (the n-th
  // object of that class, from 0). Empty with a message in `error` when none.
  Ref<IWebObj2> FindObject(const std::string &spec, std::string &error) const;
  // The object of a class with that name (for steps), or the n-th one when the
  // name is "#n"-free and several share it: the first.
  Ref<IWebObj2> FindByClassAndName(const std::string &className, const std::string &name) const;

  // SELECTOR: steps joined by ">>"; each step is an id, "#id" or "tag:n" in the
  // document reached so far, optionally followed by "/tag:n" parts that pick
  // the n-th element of a tag inside the element found so far; ">>" enters the view-link document
  // of the element (or the document of a frame or iframe) found by the step before.
  HRESULT FindElement(const std::string &selector, IHTMLElement **element,
                      std::string &error) const;

private:
  HostSession host_;
  Ref<IWIHostBrowser> browser_;
};

// One selector step in one document: an id, "#id", or "tag:n" (the n-th
// element of that tag, from 0).
HRESULT FindInDocument(IHTMLDocument2 *document, const std::string &selector,
                       IHTMLElement **element);

// Evaluates SCRIPT through the window's eval; DISP_E_EXCEPTION for a script
// error (reported to the page's script-error handler).
HRESULT EvalInWindow(IHTMLWindow2 *window, const std::string &script, VARIANT *result);

// Children of an object in the browser's tree.
std::vector<Ref<IWebObj2>> TreeChildren(IWIHostBrowser *browser, IWebObj2 *ao);

} // namespace tallowick::cli

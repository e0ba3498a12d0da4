// Loading HTML pages into the page engine, for the host and the tests.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <functional>
#include <string>
#include <vector>

namespace tallowick::platform {

// Loads the page in file `path`; `url` is the page's URL (empty: the file's
// file:// URL). Frames and iframes load from files relative to the URL.
// Answers the document with one reference; E_POINTER, E_INVALIDARG, or
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the file cannot be read.
HRESULT LoadPageFromFile(const std::wstring &path, const std::wstring &url,
                         IHTMLDocument2 **document);
// Loads the page from markup (UTF-8) with the given URL.
HRESULT LoadPageFromString(const std::string &html, const std::wstring &url,
                           IHTMLDocument2 **document);
// The window of a loaded document, with one reference.
HRESULT GetPageWindow(IHTMLDocument2 *document, IHTMLWindow2 **window);

// An event fired on an element of the page: fireEvent, click, focus, blur,
// form submit and link navigation go through here until the page's own
// events and scripts run them.
struct PageEvent {
  std::wstring type;     // "onclick", "onchange", "onsubmit", "navigate", ...
  std::wstring tagName;  // of the source element
  std::wstring id;       // of the source element
  long sourceIndex = -1; // of the source element
  std::wstring detail;   // the URL for "navigate"
  // The source element itself (no reference: valid during the handler call only;
  // null when the event has no source element).
  IHTMLElement *element = nullptr;
};
// Answers whether the event runs its default action (false: cancelled).
using PageEventHandler = std::function<bool(const PageEvent &event)>;

// Installs the handler for the page of `document` (all its frames); null removes it.
HRESULT SetPageEventHandler(IHTMLDocument2 *document, PageEventHandler handler);
// The events fired so far on the page of `document`, oldest first.
HRESULT GetPageEvents(IHTMLDocument2 *document, std::vector<PageEvent> *events);

// The view-link document that the behaviour of `element` renders into, with one
// reference; S_FALSE and null when the element has none.
HRESULT GetViewLinkDocument(IHTMLElement *element, IHTMLDocument2 **document);
// The element that owns a view-link document, with one reference; S_FALSE and
// null for a page's or a frame's own document.
HRESULT GetViewLinkOwner(IHTMLDocument2 *document, IHTMLElement **owner);

} // namespace tallowick::platform

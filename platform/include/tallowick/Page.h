// Loading HTML pages into the page engine, for the host and the tests.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <functional>
#include <string>
#include <vector>

namespace tallowick::platform {

// Loading parses the page, attaches the element behaviours its <?import?>
// declarations name, runs its <script> elements in document order (inline and
// src files relative to the page) and fires the body's onload. Script errors
// met while loading are kept (GetScriptErrors) and reach the handler once one
// is installed for later errors.
//
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

// An event dispatched on an element of the page, by script or by a C++ call
// (fireEvent, click, focus, blur, form submit, link navigation): the hook
// sees it before the page's own handlers run, with its source element.
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

// A user's click on `element`, as the mouse makes it: onmousedown and
// onmouseup (event.button 1), then the click with its default action (the
// element's click()). Answers what click() answers; E_INVALIDARG for an
// object that is no element of a loaded page.
HRESULT UserClick(IHTMLElement *element);

// --- Scripts ---

// A script error: an uncaught exception, a syntax error, a timeout.
struct ScriptError {
  std::wstring message; // "TypeError: undefined not callable", "Script timeout", ...
  long line = 0;        // 1-based line in `source`; 0 when unknown
  std::wstring source;  // the page URL, the script file's URL, or what ran the code
  bool timeout = false; // the execution budget ran out
};
using ScriptErrorHandler = std::function<void(const ScriptError &error)>;
// Installs the handler that hears of every script error of the page of
// `document` (null removes it). C++ callers of a failing script see
// DISP_E_EXCEPTION with EXCEPINFO filled (scode HRESULT_FROM_WIN32(ERROR_TIMEOUT)
// for a timeout); event handlers' and timers' errors go to the handler only.
HRESULT SetScriptErrorHandler(IHTMLDocument2 *document, ScriptErrorHandler handler);
// The script errors of the page so far, oldest first (also those of loading).
HRESULT GetScriptErrors(IHTMLDocument2 *document, std::vector<ScriptError> *errors);
// The execution budget of one call into script from C++ (default 5000 ms;
// 0 restores the default). A call over budget fails with a script timeout.
HRESULT SetScriptBudget(IHTMLDocument2 *document, unsigned long milliseconds);
// Advances the page's timer clock by `elapsedMs` and runs the setTimeout and
// setInterval callbacks that fell due, in due order; `ran` (optional) counts
// them. Timers never run on their own: the host drives them.
HRESULT RunPageTimers(IHTMLDocument2 *document, unsigned long elapsedMs, long *ran);

// --- Navigation ---

// A form submission or link activation.
struct Navigation {
  std::wstring url;    // absolute target URL
  std::wstring method; // "get" or "post"; "get" for links
  // The form's successful controls in document order, hidden ones included
  // (__EVENTTARGET, __EVENTARGUMENT, __VIEWSTATE, ...); empty for links.
  std::vector<std::pair<std::wstring, std::wstring>> fields;
  IHTMLElement *element = nullptr; // the form or link (no reference; valid during the call)
};
// What a navigation handler may answer: a new page that replaces the document
// in its window. The old document's objects stay valid but detached.
struct NavigationAnswer {
  bool replace = false;
  std::string html; // UTF-8 markup of the new page
  std::wstring url; // its URL (empty: the navigation's URL)
};
// A failed HRESULT is what form.submit() / click() answer; the page stays.
using NavigationHandler =
    std::function<HRESULT(const Navigation &navigation, NavigationAnswer *answer)>;
// Installs the page's navigation handler (null removes it). Without one a
// navigation is recorded (GetNavigations) and nothing else happens.
HRESULT SetNavigationHandler(IHTMLDocument2 *document, NavigationHandler handler);
// The navigations of the page so far (element is null in the copies).
HRESULT GetNavigations(IHTMLDocument2 *document, std::vector<Navigation> *navigations);
// The file that a file:// URL (or a plain path) names, query and fragment
// dropped and percent-escapes decoded; empty for other URLs.
std::string PathFromFileUrl(const std::wstring &url);
// The document now shown in the window of `document`'s page (after
// navigations that replaced it), with one reference.
HRESULT GetCurrentDocument(IHTMLDocument2 *document, IHTMLDocument2 **current);

} // namespace tallowick::platform

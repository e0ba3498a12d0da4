// Reading the page through the DOM interfaces, for the object tree.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>
#include <vector>

#include "common/ComObject.h"
#include "values/ValueHelpers.h"

namespace host::tree {

// The COM identity of an object (its IUnknown), empty for null.
ComPtr<IUnknown> Identity(IUnknown *object);
bool SameObject(IUnknown *a, IUnknown *b);

std::wstring TagName(IHTMLElement *element); // upper-case as the DOM gives it
std::wstring ElementId(IHTMLElement *element);
std::wstring ClassName(IHTMLElement *element);
std::wstring InnerText(IHTMLElement *element);
// An attribute's text as written in the page; nullopt-like: `present` false
// when the element has no such attribute.
std::wstring AttributeText(IHTMLElement *element, const wchar_t *name, bool *present = nullptr);
// A property read by name through IDispatch; VT_EMPTY when there is none.
HRESULT GetProperty(IUnknown *object, const wchar_t *name, VARIANT *value);
std::wstring PropertyText(IUnknown *object, const wchar_t *name);
bool PropertyBool(IUnknown *object, const wchar_t *name);

std::vector<ComPtr<IHTMLElement>> Children(IHTMLElement *element);
ComPtr<IHTMLElement> ParentElement(IHTMLElement *element);
ComPtr<IHTMLElement> DocumentElement(IHTMLDocument2 *document);
ComPtr<IHTMLDocument2> DocumentOf(IHTMLElement *element);
// The document of the index-th frame (frames and iframes in document order).
ComPtr<IHTMLDocument2> FrameDocument(IHTMLDocument2 *document, LONG index);
std::wstring DocumentUrl(IHTMLDocument2 *document);
std::wstring DocumentTitle(IHTMLDocument2 *document);

// getBoundingClientRect; false (and a zero rectangle) when it cannot be read.
bool ClientRect(IHTMLElement *element, RECT *rect);

} // namespace host::tree

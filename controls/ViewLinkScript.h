// What the view-link control objects share: late-bound calls on the
// behaviour's script objects, item names ("#%d"), request and record entries.
// Texts read from the page are kept in BSTRs of their own length.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include "TallowickIE_h.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"

namespace ViewLinkScript {

// The element's IDispatch: E_FAIL without an element, else the query's result.
HRESULT ElementDispatch(IHTMLElement *element, CQilComPtr<IDispatch> &dispatch);

// Property get into `value` (cleared first).
HRESULT GetProperty(IDispatch *object, LPCOLESTR name, CQilVariant &value);
// Method calls with no, one or two arguments (the arguments stay the caller's).
HRESULT Call0(IDispatch *object, LPCOLESTR name, CQilVariant &result);
HRESULT Call1(IDispatch *object, LPCOLESTR name, const VARIANT &argument, CQilVariant &result);
HRESULT Call2(IDispatch *object, LPCOLESTR name, const VARIANT &first, const VARIANT &second,
              CQilVariant &result);
// getAttribute(name) of a script object.
HRESULT GetAttribute(IDispatch *object, LPCOLESTR name, CQilVariant &value);
// A string result of getAttribute(name): S_FALSE and an empty text for any
// other type; the call's failure is returned.
HRESULT GetAttributeText(IDispatch *object, LPCOLESTR name, CQilBstr &text);
// A VT_DISPATCH result that is not null, else empty.
CQilComPtr<IDispatch> DispatchOf(const VARIANT &value);

// "#" followed by the index in decimal.
CQilBstr IndexName(LONG index);
// A name longer than one character that begins with "#": the number after
// it, read as a decimal (leading blanks and a sign allowed, reading stops at
// the first other character, 0 when there is no digit).
bool ParseIndexName(BSTR name, LONG &number);
// A copy of the whole text (a null text gives an empty one).
CQilBstr Copy(BSTR text);
// Case-sensitive comparison of two texts (a null text is empty).
bool SameText(BSTR left, BSTR right);
// Appends a line feed and `text` to `list`.
HRESULT AppendLine(CQilBstr &list, BSTR text);
// The text without white space at both ends.
CQilBstr Trimmed(BSTR text);

// Request entries, as their top inner value of the type.
bool ReadRequestString(IWebInfo *request, LONG id, CQilBstr &value);
bool ReadRequestLong(IWebInfo *request, LONG id, LONG &value);
// Replaces a record entry (adding it when missing).
HRESULT ReplaceString(IWebInfo *record, LONG id, BSTR value);
HRESULT ReplaceLong(IWebInfo *record, LONG id, LONG value);

// Hands a new string or long value to an attribute out-parameter.
void OutString(BSTR text, IWebAttrVal **value);
void OutLong(LONG number, IWebAttrVal **value);
// A new value holding the object's own runtime id; nothing when GetId fails.
void OutRuntimeId(IWebObj2 *object, IWebAttrVal **value);
// The attributes every view-link control answers alike: 0 (its class name),
// 146 (the element's id, attribute 138) and 199 (its own runtime id). False
// for any other id.
bool AnswerControlAttribute(IWebObj2 *control, LPCOLESTR className, LONG id, IWebAttrVal *data,
                            IWebAttrVal **value);
// Names the control's event configuration file to the inner object too.
void NameInnerEventConfiguration(IWebObj2 *innerAO);

} // namespace ViewLinkScript

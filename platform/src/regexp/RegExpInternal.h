// Shared pieces of the "VBScript.RegExp" component: match records, the class
// constructors and the late-bound dispatch helpers of its three classes.
#pragma once

#include <windows.h>

#include "VBScriptRegExp_h.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tallowick::platform::regexp {

// The script runtime's "Syntax error in regular expression".
constexpr HRESULT kSyntaxError = static_cast<HRESULT>(0x800A1399);
// The script runtime's "Out of stack space": a match gave up at its limits.
constexpr HRESULT kRunawayMatch = static_cast<HRESULT>(0x800A001C);

struct MatchRecord {
  std::wstring value;
  LONG firstIndex = 0;
};

HRESULT CreateRegExp(IUnknown *outer, REFIID riid, void **ppv);
HRESULT CreateMatch(MatchRecord record, IDispatch **match);
HRESULT CreateMatchCollection(std::vector<MatchRecord> records, IDispatch **collection);
HRESULT CreateMatchEnum(std::vector<MatchRecord> records, size_t position, IEnumVARIANT **ppEnum);

struct DispMember {
  const wchar_t *name;
  DISPID id;
};

// Case-insensitive name lookup as IDispatch::GetIDsOfNames does it.
HRESULT LookupNames(const DispMember *members, size_t count, LPOLESTR *names, UINT cNames,
                    DISPID *ids);
// Checks what every Invoke checks; `flags` are the call kinds that reached a member.
HRESULT CheckInvoke(REFIID riid, DISPPARAMS *params);
bool IsGet(WORD flags);
bool IsPut(WORD flags);
// Positional argument `index` (0 = first) converted to `vt`, into `out`.
HRESULT GetArgument(DISPPARAMS *params, UINT index, VARTYPE vt, VARIANT &out, UINT *argErr);
// The value of a property put (the argument named DISPID_PROPERTYPUT or the only one).
HRESULT GetPutValue(DISPPARAMS *params, VARTYPE vt, VARIANT &out, UINT *argErr);
// Fills a result slot that may be null.
void SetResult(VARIANT *result, VARIANT &value);

} // namespace tallowick::platform::regexp

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

// IUnknown and the name half of IDispatch for an automation object that
// implements the dual interface I with the member table `Members`; the class
// itself implements Invoke and the interface's methods.
template <class I, const DispMember *Members, size_t Count> class CAutomationObject : public I {
public:
  CAutomationObject() = default;
  CAutomationObject(const CAutomationObject &) = delete;
  CAutomationObject &operator=(const CAutomationObject &) = delete;
  virtual ~CAutomationObject() = default;

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(I)) {
      *ppv = static_cast<I *>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP GetTypeInfoCount(UINT *pctinfo) override {
    if (pctinfo == nullptr)
      return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **ppTInfo) override {
    if (ppTInfo == nullptr)
      return E_POINTER;
    *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT cNames, LCID, DISPID *ids) override {
    return LookupNames(Members, Count, names, cNames, ids);
  }

private:
  LONG refs_ = 1;
};
bool IsGet(WORD flags);
bool IsPut(WORD flags);
// Positional argument `index` (0 = first) converted to `vt`, into `out`.
HRESULT GetArgument(DISPPARAMS *params, UINT index, VARTYPE vt, VARIANT &out, UINT *argErr);
// The value of a property put (the argument named DISPID_PROPERTYPUT or the only one).
HRESULT GetPutValue(DISPPARAMS *params, VARTYPE vt, VARIANT &out, UINT *argErr);
// Fills a result slot that may be null.
void SetResult(VARIANT *result, VARIANT &value);

} // namespace tallowick::platform::regexp

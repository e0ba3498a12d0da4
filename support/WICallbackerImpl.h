// The generic callbacker: a table of named exit points, ordered by name, each
// with a handler and a priority. The host calls them through IWICallbacker.
#pragma once

#include <map>
#include <string>

#include "TallowickIE_h.h"
#include "support/QilSafeArray.h"

class CWICallbackerImpl : public IWICallbacker {
public:
  // A handler reads its arguments from the input array and appends its
  // results to the output array.
  using Handler = HRESULT (*)(CQilSafeArray &input, CQilSafeArray &output);

  STDMETHODIMP InvokeCallback(BSTR bsCallbackName, VARIANT vtInput, VARIANT *pvtOutput) override;
  STDMETHODIMP GetCallbackPriority(BSTR bsCallbackName, WI_PRIORITY *pPriority) override;
  STDMETHODIMP GetSupportedCallbacks(SAFEARRAY **psaCallbacks) override;

  // Registers (or replaces) an exit point; without a priority it takes
  // GetDefaultPriority.
  void RegisterCallback(const std::wstring &name, Handler handler);
  void RegisterCallback(const std::wstring &name, Handler handler, WI_PRIORITY priority);

protected:
  virtual ~CWICallbackerImpl() = default;
  virtual WI_PRIORITY GetDefaultPriority() { return WI_PRIORITY_NORMAL; }

private:
  struct ExitPoint {
    Handler handler;
    WI_PRIORITY priority;
  };
  std::map<std::wstring, ExitPoint> exitPoints_;
};

// CWIClassSet: the web classes of an agent object, in the order added; the
// last one added is the most specific and is the class a step records.
// Class ids are positive; 0 ("no class") and negative ids are E_INVALIDARG.
// Adding a class that is there already answers S_FALSE and keeps its place.
#include <algorithm>
#include <vector>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/IdCommon.h"

namespace host {
namespace {

class CWIClassSet : public CHostObject<IWIClassSet> {
public:
  STDMETHODIMP Add(LONG webClass) override {
    if (webClass <= 0)
      return E_INVALIDARG;
    if (Contains(webClass))
      return S_FALSE;
    try {
      classes_.push_back(webClass);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  STDMETHODIMP Match(LONG webClass) override { return Contains(webClass) ? S_OK : S_FALSE; }
  STDMETHODIMP GetRecordableClass(LONG *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = classes_.empty() ? 0 : classes_.back();
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    classes_.clear();
    return S_OK;
  }

private:
  bool Contains(LONG webClass) const {
    return std::find(classes_.begin(), classes_.end(), webClass) != classes_.end();
  }

  std::vector<LONG> classes_;
};

} // namespace

HRESULT CreateWIClassSet(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CWIClassSet>(outer, riid, ppv);
}

} // namespace host

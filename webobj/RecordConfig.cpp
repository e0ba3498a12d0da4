#include "webobj/RecordConfig.h"

#include <map>
#include <new>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "webobj/HostServices.h"

namespace RecordConfig {
namespace {

struct CLists {
  CQilComPtr<IWebInfo> obligatory;
  CQilComPtr<IWebInfo> optional;
  CQilBstr selector; // nothing in the kit sets it
};

// Owned through Release() only: the lists are host objects, which must not be
// released at process exit when the host may be gone.
std::map<const CWebObjUtil *, CLists> *g_lists = nullptr;

void Replace(IWebInfo *list, IWebInfo **slot) {
  list->AddRef();
  IWebInfo *old = *slot;
  *slot = list;
  if (old != nullptr)
    old->Release();
}

} // namespace

HRESULT GetLists(const CWebObjUtil *util, IWebInfo **obligatory, IWebInfo **optional,
                 BSTR *selector) {
  if (obligatory == nullptr || optional == nullptr || selector == nullptr)
    return E_POINTER;
  if (util == nullptr)
    return E_FAIL;
  try {
    if (g_lists == nullptr)
      g_lists = new std::map<const CWebObjUtil *, CLists>;
    CLists &lists = (*g_lists)[util];
    if (!lists.obligatory)
      lists.obligatory = HostServices::NewWebInfo();
    if (!lists.optional)
      lists.optional = HostServices::NewWebInfo();
    if (!lists.obligatory || !lists.optional)
      return E_FAIL;
    BSTR copy = nullptr;
    HRESULT hr = lists.selector.CopyTo(&copy);
    if (FAILED(hr))
      return hr;
    Replace(lists.obligatory, obligatory);
    Replace(lists.optional, optional);
    *selector = copy;
    return S_OK;
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  }
}

void Release() {
  delete g_lists;
  g_lists = nullptr;
}

} // namespace RecordConfig

#include "support/WIKitRequestsHandlerImpl.h"

STDMETHODIMP CWIKitRequestsHandlerImpl::ProcessRequest(WEB_MSG_TYPE, IWebInfo **) {
  return S_FALSE;
}

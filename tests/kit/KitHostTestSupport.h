// The kit beside the reference host: both registered in the per-test
// registry, the host's agent services reached through the kit's host services
// and let go again when the test ends.
#pragma once

#include "KitTestSupport.h"

#include <mshtml.h>

#include "TallowickHost.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"

class KitHostTest : public KitRegistryTest {
protected:
  void TearDown() override {
    // The kit keeps these for the life of its module; here the test is the module.
    HostServices::ReleaseAgentServices();
    HostServices::ReleaseFactories();
    KitRegistryTest::TearDown();
  }

  // Registers the host module and creates its agent services.
  static void StartAgentServices() {
    HMODULE host = LoadLibraryW(kHostModule);
    ASSERT_NE(host, nullptr);
    auto registerServer = reinterpret_cast<HRESULT (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(host, "DllRegisterServer")));
    ASSERT_EQ(registerServer(), S_OK);
    FreeLibrary(host);
    HostServices::EnsureAgentServices();
    ASSERT_NE(HostServices::AgentServices(), nullptr);
  }
  static void SetSetting(LPCOLESTR name, const VARIANT &value) {
    CQilComPtr<IWIHostSettings> settings;
    ASSERT_EQ(settings.QueryFrom(HostServices::AgentServices()), S_OK);
    settings->SetSetting(CQilBstr(name), value);
  }
  static void SetSetting(LPCOLESTR name, LONG number) { SetSetting(name, CQilVariant(number)); }

  static CQilComPtr<IHTMLElement> ById(IHTMLDocument2 *document, LPCOLESTR id) {
    CQilComPtr<IHTMLDocument3> document3;
    CQilComPtr<IHTMLElement> element;
    document3.QueryFrom(document);
    if (document3)
      document3->getElementById(CQilBstr(id), &element);
    return element;
  }
};

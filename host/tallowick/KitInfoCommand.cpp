// tallowick kit-info [--json]: create the kit as a host does, initialise it
// with a kits manager and report what the host received.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Cli.h"
#include "HostSession.h"
#include "common/Strings.h"

namespace tallowick::cli {
namespace {

struct KitInfo {
  LONG kitId = 0;
  std::string kitName;
  std::vector<std::pair<LONG, std::string>> webClasses;
  bool factory = false;
  bool requestsHandler = false;
  bool callbacker = false;
};

std::string JsonString(const std::string &text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string FromBstr(BSTR text) {
  return tallowick::platform::Narrow(std::wstring(text, SysStringLen(text)));
}

void ReadWebClasses(IWIAgentServices *services, KitInfo &info) {
  IWIHostWebClasses *classes = nullptr;
  if (FAILED(services->QueryInterface(__uuidof(IWIHostWebClasses),
                                      reinterpret_cast<void **>(&classes))))
    return;
  LONG count = 0;
  classes->GetRegisteredClassCount(&count);
  for (LONG i = 0; i < count; ++i) {
    LONG id = 0;
    BSTR name = nullptr;
    if (SUCCEEDED(classes->GetRegisteredClass(i, &id, &name)))
      info.webClasses.emplace_back(id, FromBstr(name));
    SysFreeString(name);
  }
  classes->Release();
}

template <class T>
bool Received(IWIKitsManagerInfo *manager, HRESULT (IWIKitsManagerInfo::*get)(T **)) {
  T *object = nullptr;
  if ((manager->*get)(&object) != S_OK || object == nullptr)
    return false;
  object->Release();
  return true;
}

void ReadReceived(IUnknown *manager, KitInfo &info) {
  IWIKitsManagerInfo *received = nullptr;
  if (FAILED(manager->QueryInterface(__uuidof(IWIKitsManagerInfo),
                                     reinterpret_cast<void **>(&received))))
    return;
  info.factory = Received(received, &IWIKitsManagerInfo::GetKitFactory);
  info.requestsHandler = Received(received, &IWIKitsManagerInfo::GetRequestsHandler);
  info.callbacker = Received(received, &IWIKitsManagerInfo::GetCallbacker);
  received->Reset();
  received->Release();
}

void PrintText(const KitInfo &info) {
  std::printf("kit id:      %d\n", static_cast<int>(info.kitId));
  std::printf("kit name:    %s\n", info.kitName.c_str());
  std::printf("web classes:");
  for (const auto &[id, name] : info.webClasses)
    std::printf(" %d %s;", static_cast<int>(id), name.c_str());
  std::printf("\nreceived:    factory %s, requests handler %s, callbacker %s\n",
              info.factory ? "yes" : "no", info.requestsHandler ? "yes" : "no",
              info.callbacker ? "yes" : "no");
}

void PrintJson(const KitInfo &info) {
  std::string out = "{\"kitId\":" + std::to_string(info.kitId) +
                    ",\"kitName\":" + JsonString(info.kitName) + ",\"webClasses\":[";
  for (size_t i = 0; i < info.webClasses.size(); ++i) {
    if (i > 0)
      out += ",";
    out += "{\"id\":" + std::to_string(info.webClasses[i].first) +
           ",\"name\":" + JsonString(info.webClasses[i].second) + "}";
  }
  auto flag = [](bool value) { return value ? "true" : "false"; };
  out += std::string("],\"received\":{\"factory\":") + flag(info.factory) +
         ",\"requestsHandler\":" + flag(info.requestsHandler) +
         ",\"callbacker\":" + flag(info.callbacker) + "}}";
  std::puts(out.c_str());
}

} // namespace

int RunKitInfo(const Invocation &invocation) {
  bool json = false;
  for (size_t i = 1; i < invocation.args.size(); ++i) {
    if (invocation.args[i] != "--json") {
      std::fprintf(stderr, "usage: tallowick kit-info [--json]\n");
      return 2;
    }
    json = true;
  }
  HostSession host;
  if (!host.Start(invocation.options.settings))
    return 1;

  IWIKit *kit = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_TallowickIE, nullptr, CLSCTX_INPROC_SERVER, IID_IWIKit,
                                reinterpret_cast<void **>(&kit));
  if (hr == REGDB_E_CLASSNOTREG) {
    std::fprintf(stderr,
                 "tallowick: the kit's classes are not registered in %s\n"
                 "register them with: tallowick register libTallowickIE.so\n",
                 getenv("TALLOWICK_REGISTRY") != nullptr ? getenv("TALLOWICK_REGISTRY")
                                                         : "the registry");
    return 1;
  }
  if (FAILED(hr)) {
    std::fprintf(stderr, "tallowick: cannot create the kit object: 0x%08X\n",
                 static_cast<unsigned>(hr));
    return 1;
  }
  IUnknown *manager = host.NewKitsManager();
  kit->Initialize(manager);

  KitInfo info;
  kit->GetKitID(&info.kitId);
  BSTR name = nullptr;
  if (SUCCEEDED(kit->GetKitName(&name)))
    info.kitName = FromBstr(name);
  SysFreeString(name);
  ReadWebClasses(host.AgentServices(), info);
  if (manager != nullptr) {
    ReadReceived(manager, info);
    manager->Release();
  }
  kit->Terminate();
  kit->Release();

  if (json)
    PrintJson(info);
  else
    PrintText(info);
  return 0;
}

} // namespace tallowick::cli

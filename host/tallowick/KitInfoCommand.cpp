// tallowick kit-info [--json]: create the kit as a host does, initialise it
// with a kits manager and report what the host received: the kit's exit
// points and its answer to the kit-private request 1025.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Cli.h"
#include "HostSession.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {
namespace {

struct KitInfo {
  LONG kitId = 0;
  std::string kitName;
  std::vector<std::pair<LONG, std::string>> webClasses;
  bool factory = false;
  bool requestsHandler = false;
  bool callbacker = false;
  std::vector<std::pair<std::string, LONG>> callbacks; // exit point, priority
  bool answered1025 = false;
  HRESULT request1025 = S_OK;
};

constexpr LONG kKitPrivateRequest = 1025;

} // namespace

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

namespace {

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
T *Received(IWIKitsManagerInfo *manager, HRESULT (IWIKitsManagerInfo::*get)(T **)) {
  T *object = nullptr;
  if ((manager->*get)(&object) != S_OK && object != nullptr) {
    object->Release();
    object = nullptr;
  }
  return object;
}

// The names in a callbacker's array of exit points, whatever its shape.
std::vector<std::wstring> ArrayNames(SAFEARRAY *array) {
  std::vector<std::wstring> names;
  VARTYPE type = VT_EMPTY;
  if (array == nullptr || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_BSTR)
    return names;
  ULONG count = 1;
  for (UINT d = 0; d < array->cDims; ++d)
    count *= array->rgsabound[d].cElements;
  BSTR *items = nullptr;
  if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void **>(&items))))
    return names;
  for (ULONG i = 0; i < count; ++i)
    names.emplace_back(items[i], SysStringLen(items[i]));
  SafeArrayUnaccessData(array);
  return names;
}

void ReadCallbacks(IWICallbacker *callbacker, KitInfo &info) {
  SAFEARRAY *array = nullptr;
  if (FAILED(callbacker->GetSupportedCallbacks(&array)))
    return;
  for (const std::wstring &name : ArrayNames(array)) {
    BSTR bstr = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    WI_PRIORITY priority = WI_PRIORITY_LOW;
    if (bstr != nullptr && SUCCEEDED(callbacker->GetCallbackPriority(bstr, &priority)))
      info.callbacks.emplace_back(tallowick::platform::Narrow(name), static_cast<LONG>(priority));
    SysFreeString(bstr);
  }
  SafeArrayDestroy(array);
}

// The handler neither reads nor changes the request; it gets a new, empty one.
void Ask1025(IWIKitRequestsHandler2 *handler, KitInfo &info) {
  IWebInfo *request = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WebInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IWebInfo,
                              reinterpret_cast<void **>(&request))))
    request = nullptr;
  info.request1025 =
      handler->ProcessRequest(static_cast<WEB_MSG_TYPE>(kKitPrivateRequest), &request);
  info.answered1025 = true;
  if (request != nullptr)
    request->Release();
}

void ReadReceived(IUnknown *manager, KitInfo &info) {
  IWIKitsManagerInfo *received = nullptr;
  if (FAILED(manager->QueryInterface(__uuidof(IWIKitsManagerInfo),
                                     reinterpret_cast<void **>(&received))))
    return;
  IWIKitFactoryEx *factory = Received(received, &IWIKitsManagerInfo::GetKitFactory);
  IWIKitRequestsHandler2 *handler = Received(received, &IWIKitsManagerInfo::GetRequestsHandler);
  IWICallbacker *callbacker = Received(received, &IWIKitsManagerInfo::GetCallbacker);
  info.factory = factory != nullptr;
  info.requestsHandler = handler != nullptr;
  info.callbacker = callbacker != nullptr;
  if (callbacker != nullptr) {
    ReadCallbacks(callbacker, info);
    callbacker->Release();
  }
  if (handler != nullptr) {
    Ask1025(handler, info);
    handler->Release();
  }
  if (factory != nullptr)
    factory->Release();
  received->Reset();
  received->Release();
}

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
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
  std::printf("callbacks:  ");
  for (const auto &[name, priority] : info.callbacks)
    std::printf(" %s priority %d;", name.c_str(), static_cast<int>(priority));
  std::printf("\nrequest1025: %s\n",
              info.answered1025 ? HresultText(info.request1025).c_str() : "not asked");
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
         ",\"callbacker\":" + flag(info.callbacker) + "},\"callbacks\":[";
  for (size_t i = 0; i < info.callbacks.size(); ++i) {
    if (i > 0)
      out += ",";
    out += "{\"name\":" + JsonString(info.callbacks[i].first) +
           ",\"priority\":" + std::to_string(info.callbacks[i].second) + "}";
  }
  out += "],\"request1025\":" +
         (info.answered1025 ? JsonString(HresultText(info.request1025)) : std::string("null")) +
         "}";
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

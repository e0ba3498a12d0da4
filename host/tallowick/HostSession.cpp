#include "HostSession.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tallowick/Strings.h"

namespace tallowick::cli {
namespace {

bool HostClassesRegistered() {
  CLSID clsid{};
  return SUCCEEDED(CLSIDFromProgID(kAgentServicesProgID, &clsid));
}

bool RegisterHostModule() {
  HMODULE module = LoadLibraryW(kHostModule);
  if (module == nullptr)
    return false;
  auto entry = reinterpret_cast<HRESULT(WINAPI *)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
  HRESULT hr = entry != nullptr ? entry() : E_FAIL;
  FreeLibrary(module);
  return SUCCEEDED(hr);
}

VARIANT SettingValue(const std::string &text) {
  VARIANT value;
  VariantInit(&value);
  errno = 0;
  char *end = nullptr;
  long number = std::strtol(text.c_str(), &end, 10);
  if (!text.empty() && *end == '\0' && errno == 0 && number >= INT32_MIN && number <= INT32_MAX) {
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(number);
    return value;
  }
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(tallowick::platform::Widen(text).c_str());
  return value;
}

constexpr char kConfigurationSetting[] = "web forms configuration file";
constexpr wchar_t kConfigurationFile[] = L"WebFormsConfiguration.xml";

// The configuration document beside the program, or empty.
std::string DefaultConfigurationPath() {
  WCHAR path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return std::string();
  std::wstring file(path, length);
  size_t slash = file.find_last_of(L"/\\");
  file = (slash == std::wstring::npos ? std::wstring() : file.substr(0, slash + 1)) +
         kConfigurationFile;
  return tallowick::platform::Narrow(file);
}

// The settings as given, with the configuration document's path added unless
// one is given.
std::vector<std::pair<std::string, std::string>>
WithDefaults(const std::vector<std::pair<std::string, std::string>> &settings) {
  std::vector<std::pair<std::string, std::string>> all;
  bool named = false;
  for (const auto &[name, text] : settings)
    named = named || name == kConfigurationSetting;
  std::string path = named ? std::string() : DefaultConfigurationPath();
  if (!path.empty())
    all.emplace_back(kConfigurationSetting, path);
  all.insert(all.end(), settings.begin(), settings.end());
  return all;
}

} // namespace

HostSession::~HostSession() {
  if (agentServices_ != nullptr)
    agentServices_->Release();
}

bool HostSession::Start(const std::vector<std::pair<std::string, std::string>> &settings) {
  if (!HostClassesRegistered() && !RegisterHostModule()) {
    std::fprintf(stderr, "tallowick: cannot register the host module %s\n",
                 tallowick::platform::Narrow(kHostModule).c_str());
    return false;
  }
  IUnknown *unknown = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_WIAgentServicesIE, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUnknown, reinterpret_cast<void **>(&unknown));
  if (FAILED(hr)) {
    std::fprintf(stderr, "tallowick: cannot create agent services: 0x%08X\n",
                 static_cast<unsigned>(hr));
    return false;
  }
  agentServices_ = reinterpret_cast<IWIAgentServices *>(unknown); // its IUnknown is the interface
  IWIHostSettings *hostSettings = nullptr;
  if (FAILED(unknown->QueryInterface(__uuidof(IWIHostSettings),
                                     reinterpret_cast<void **>(&hostSettings))))
    return false;
  for (const auto &[name, text] : WithDefaults(settings)) {
    BSTR wideName = SysAllocString(tallowick::platform::Widen(name).c_str());
    VARIANT value = SettingValue(text);
    hostSettings->SetSetting(wideName, value);
    VariantClear(&value);
    SysFreeString(wideName);
  }
  hostSettings->Release();
  return true;
}

IUnknown *HostSession::NewKitsManager() const {
  IUnknown *manager = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WIKitsManager, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void **>(&manager))))
    return nullptr;
  return manager;
}

} // namespace tallowick::cli

// Recognition at scale: the host's full tree build of generated table-laid-out
// Web Forms pages with the kit loaded (and, for comparison, without it),
// against a bare walk that visits every element and reads its tag name; and
// a thousand loads and releases of a page with every control, reporting the
// resident set before and after and the kit's DllCanUnloadNow.
#include <windows.h>

#include <mshtml.h>
#include <tallowick/Page.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "FactoryGeneratedPage.h"
#include "TallowickHost.h"
#include "TallowickIE_h.h"

namespace {

constexpr wchar_t kKitModule[] = L"libTallowickIE.so";
constexpr wchar_t kPageUrl[] = L"http://bench/Generated.aspx";

template <class T> struct Releaser {
  void operator()(T *p) const {
    if (p != nullptr)
      p->Release();
  }
};
template <class T> using Ref = std::unique_ptr<T, Releaser<T>>;

template <class T> Ref<T> As(IUnknown *from) {
  T *to = nullptr;
  if (from == nullptr || FAILED(from->QueryInterface(__uuidof(T), reinterpret_cast<void **>(&to))))
    return Ref<T>();
  return Ref<T>(to);
}

HRESULT RegisterModule(const wchar_t *name) {
  HMODULE module = LoadLibraryW(name);
  if (module == nullptr)
    return E_FAIL;
  auto entry = reinterpret_cast<HRESULT (*)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
  HRESULT hr = entry != nullptr ? entry() : E_FAIL;
  FreeLibrary(module);
  return hr;
}

std::filesystem::path ProgramFolder() {
  wchar_t path[4096] = {};
  GetModuleFileNameW(nullptr, path, 4096);
  return std::filesystem::path(path).parent_path();
}

// The host and the kit registered in a registry of this run, agent services
// with the kit's configuration document; kept for the whole program.
class Environment {
public:
  static Environment &Get() {
    static Environment environment;
    return environment;
  }
  bool Ready() const { return ready_; }
  const std::filesystem::path &Folder() const { return folder_; }

  Ref<IWIHostBrowser> NewBrowser(bool withKit) {
    IWIHostBrowser *browser = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WIBrowserIE, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IWIHostBrowser), reinterpret_cast<void **>(&browser))))
      return Ref<IWIHostBrowser>();
    Ref<IWIHostBrowser> owned(browser);
    if (withKit && FAILED(owned->LoadKit(CLSID_TallowickIE)))
      return Ref<IWIHostBrowser>();
    return owned;
  }

  // The generated page of about `elements` elements, parsed once.
  IHTMLDocument2 *Page(size_t elements) {
    auto found = pages_.find(elements);
    if (found != pages_.end())
      return found->second.get();
    IHTMLDocument2 *document = nullptr;
    tallowick::platform::LoadPageFromString(factory_pages::GeneratedPage(elements), kPageUrl,
                                            &document);
    pages_[elements].reset(document);
    return document;
  }

  static HRESULT KitCanUnloadNow() {
    HMODULE kit = GetModuleHandleW(kKitModule);
    if (kit == nullptr)
      return S_OK;
    auto entry = reinterpret_cast<HRESULT (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(kit, "DllCanUnloadNow")));
    return entry != nullptr ? entry() : E_FAIL;
  }

  ~Environment() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

private:
  Environment() {
    folder_ = std::filesystem::temp_directory_path() /
              ("tallowick-treebench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    setenv("TALLOWICK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
    CoInitialize(nullptr);
    ready_ = SUCCEEDED(RegisterModule(kHostModule)) && SUCCEEDED(RegisterModule(kKitModule)) &&
             StartAgentServices();
  }

  bool StartAgentServices() {
    IUnknown *services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WIAgentServicesIE, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUnknown, reinterpret_cast<void **>(&services))))
      return false;
    agentServices_.reset(services);
    Ref<IWIHostSettings> settings = As<IWIHostSettings>(services);
    if (!settings)
      return false;
    std::wstring path = (ProgramFolder() / "WebFormsConfiguration.xml").wstring();
    BSTR name = SysAllocString(L"web forms configuration file");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(path.c_str());
    HRESULT hr = settings->SetSetting(name, value);
    VariantClear(&value);
    SysFreeString(name);
    return SUCCEEDED(hr);
  }

  bool ready_ = false;
  std::filesystem::path folder_;
  Ref<IUnknown> agentServices_;
  std::map<size_t, Ref<IHTMLDocument2>> pages_;
};

size_t WalkElements(IHTMLElement *element) {
  BSTR tag = nullptr;
  element->get_tagName(&tag);
  benchmark::DoNotOptimize(tag);
  SysFreeString(tag);
  size_t count = 1;
  IDispatch *dispatch = nullptr;
  if (FAILED(element->get_children(&dispatch)) || dispatch == nullptr)
    return count;
  Ref<IDispatch> owned(dispatch);
  Ref<IHTMLElementCollection> children = As<IHTMLElementCollection>(dispatch);
  LONG length = 0;
  if (!children || FAILED(children->get_length(&length)))
    return count;
  for (LONG i = 0; i < length; ++i) {
    VARIANT index;
    VARIANT none;
    VariantInit(&index);
    VariantInit(&none);
    index.vt = VT_I4;
    index.lVal = i;
    IDispatch *item = nullptr;
    if (FAILED(children->item(index, none, &item)) || item == nullptr)
      continue;
    Ref<IDispatch> ownedItem(item);
    if (Ref<IHTMLElement> child = As<IHTMLElement>(item))
      count += WalkElements(child.get());
  }
  return count;
}

size_t CountElements(IHTMLDocument2 *document) {
  IHTMLElement *body = nullptr;
  Ref<IHTMLDocument3> document3 = As<IHTMLDocument3>(document);
  if (!document3 || FAILED(document3->get_documentElement(&body)) || body == nullptr)
    return 0;
  Ref<IHTMLElement> root(body);
  return WalkElements(root.get());
}

void SetElementCounters(benchmark::State &state, size_t elements) {
  state.counters["elements"] = static_cast<double>(elements);
  // Seconds per element (shown with an SI prefix: 250n is 250 ns).
  state.counters["per_element"] = benchmark::Counter(static_cast<double>(elements),
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_BareWalk(benchmark::State &state) {
  Environment &environment = Environment::Get();
  IHTMLDocument2 *document = environment.Page(static_cast<size_t>(state.range(0)));
  if (!environment.Ready() || document == nullptr) {
    state.SkipWithError("no host or page");
    return;
  }
  size_t elements = 0;
  for (auto _ : state)
    elements = CountElements(document);
  SetElementCounters(state, elements);
}

void BuildTree(benchmark::State &state, bool withKit) {
  Environment &environment = Environment::Get();
  IHTMLDocument2 *document = environment.Page(static_cast<size_t>(state.range(0)));
  Ref<IWIHostBrowser> browser = environment.NewBrowser(withKit);
  if (!environment.Ready() || document == nullptr || !browser) {
    state.SkipWithError("no host, kit or page");
    return;
  }
  for (auto _ : state) {
    if (FAILED(browser->SetDocument(document))) {
      state.SkipWithError("the tree was not built");
      break;
    }
  }
  browser->Close();
  SetElementCounters(state, CountElements(document));
}

void BM_TreeWithKit(benchmark::State &state) { BuildTree(state, true); }
void BM_TreeHostOnly(benchmark::State &state) { BuildTree(state, false); }

void PageSizes(benchmark::internal::Benchmark *bench) {
  for (long elements : {1000L, 3000L, 10000L, 30000L, 100000L})
    bench->Arg(elements);
  bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_BareWalk)->Apply(PageSizes);
BENCHMARK(BM_TreeWithKit)->Apply(PageSizes);
BENCHMARK(BM_TreeHostOnly)->Apply(PageSizes);

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Each iteration: a browser with the kit loads the page, builds its tree and
// lets everything go.
void BM_LoadAndRelease(benchmark::State &state) {
  Environment &environment = Environment::Get();
  if (!environment.Ready()) {
    state.SkipWithError("no host");
    return;
  }
  std::wstring page =
      factory_pages::WriteEveryControlPage(
          environment.Folder(), std::filesystem::path(TALLOWICK_SOURCE_DIR) / "examples/pages")
          .wstring();
  auto once = [&] {
    Ref<IWIHostBrowser> browser = environment.NewBrowser(true);
    BSTR path = SysAllocString(page.c_str());
    HRESULT hr = browser ? browser->LoadPage(path) : E_FAIL;
    SysFreeString(path);
    if (browser)
      browser->Close();
    return hr;
  };
  for (int warm = 0; warm < 20; ++warm)
    once();
  long before = ResidentKilobytes();
  for (auto _ : state) {
    if (FAILED(once())) {
      state.SkipWithError("the page did not load");
      break;
    }
  }
  long after = ResidentKilobytes();
  state.counters["rss_before_kb"] = static_cast<double>(before);
  state.counters["rss_after_kb"] = static_cast<double>(after);
  state.counters["rss_growth_kb"] = static_cast<double>(after - before);
  state.counters["DllCanUnloadNow_is_S_OK"] = Environment::KitCanUnloadNow() == S_OK ? 1 : 0;
}

BENCHMARK(BM_LoadAndRelease)->Iterations(1000)->Unit(benchmark::kMillisecond);

} // namespace

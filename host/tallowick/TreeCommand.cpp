// tallowick tree PAGE [--json]: the agent object tree of a page as the host
// builds it, with the registered kit asked for every element. One object a
// line, indented by depth: class, name (95; 146 for a kit's object), kit id
// and runtime id; --json gives nested objects.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Cli.h"
#include "HostSession.h"
#include "TallowickHost.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {
namespace {

using platform::Narrow;

template <class T> class Ref {
public:
  Ref() = default;
  Ref(const Ref &) = delete;
  Ref(Ref &&other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ~Ref() { Reset(); }
  void Reset() {
    if (p_)
      p_->Release();
    p_ = nullptr;
  }
  T **Out() { return &p_; }
  T *operator->() const { return p_; }
  T *Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  T *p_ = nullptr;
};

std::string Take(BSTR text) {
  std::string out = Narrow(std::wstring(text, SysStringLen(text)));
  SysFreeString(text);
  return out;
}

struct Line {
  int depth = 0;
  std::string className;
  std::string name;
  LONG kitId = 0;
  std::string rtid;
};

Line Describe(IWebObj2 *ao, IWIAgentServices *services, int depth) {
  Line line;
  line.depth = depth;
  LONG webClass = 0;
  ao->GetRecordableClass(&webClass);
  BSTR text = nullptr;
  if (SUCCEEDED(services->GetWebClassName(webClass, &text)))
    line.className = Take(text);
  ao->GetKitID(&line.kitId);
  Ref<IWebAttrVal> name;
  text = nullptr;
  if (ao->GetAttr(line.kitId != 0 ? 146 : 95, nullptr, name.Out()) == S_OK && name &&
      SUCCEEDED(name->GetStringValue(0, &text)))
    line.name = Take(text);
  Ref<IWebRunTimeID> id;
  text = nullptr;
  if (SUCCEEDED(ao->GetId(id.Out())) && id && SUCCEEDED(id->GetIdAsString(&text)))
    line.rtid = Take(text);
  return line;
}

std::vector<Ref<IWebObj2>> TreeChildren(IWIHostBrowser *browser, IWebObj2 *ao) {
  std::vector<Ref<IWebObj2>> out;
  SAFEARRAY *array = nullptr;
  if (FAILED(browser->GetTreeChildren(ao, &array)) || array == nullptr)
    return out;
  LONG upper = -1;
  SafeArrayGetUBound(array, 1, &upper);
  for (LONG i = 0; i <= upper; ++i) {
    VARIANT item;
    VariantInit(&item);
    if (SUCCEEDED(SafeArrayGetElement(array, &i, &item)) && item.vt == VT_UNKNOWN &&
        item.punkVal != nullptr) {
      Ref<IWebObj2> child;
      if (SUCCEEDED(item.punkVal->QueryInterface(__uuidof(IWebObj2),
                                                 reinterpret_cast<void **>(child.Out()))))
        out.push_back(std::move(child));
    }
    VariantClear(&item);
  }
  SafeArrayDestroy(array);
  return out;
}

// The tree in pre-order (an explicit stack: trees may nest deep).
std::vector<Line> Walk(IWIHostBrowser *browser, IWebObj2 *page, IWIAgentServices *services) {
  std::vector<Line> lines;
  struct Pending {
    Ref<IWebObj2> ao;
    int depth;
  };
  std::vector<Pending> stack;
  Pending first{Ref<IWebObj2>(), 0};
  page->AddRef();
  *first.ao.Out() = page;
  stack.push_back(std::move(first));
  while (!stack.empty()) {
    Pending item = std::move(stack.back());
    stack.pop_back();
    lines.push_back(Describe(item.ao.Get(), services, item.depth));
    auto children = TreeChildren(browser, item.ao.Get());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back({std::move(*it), item.depth + 1});
  }
  return lines;
}

void PrintText(const std::vector<Line> &lines) {
  for (const Line &line : lines) {
    std::printf("%s%s %s kit %d rtid %s\n",
                std::string(static_cast<size_t>(line.depth) * 2, ' ').c_str(),
                line.className.c_str(), JsonString(line.name).c_str(), static_cast<int>(line.kitId),
                line.rtid.c_str());
  }
}

void PrintJson(const std::vector<Line> &lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line &line = lines[i];
    out += "{\"class\":" + JsonString(line.className) + ",\"name\":" + JsonString(line.name) +
           ",\"kitId\":" + std::to_string(line.kitId) + ",\"rtid\":" + JsonString(line.rtid) +
           ",\"children\":[";
    int next = i + 1 < lines.size() ? lines[i + 1].depth : 0;
    if (next > line.depth)
      continue; // its first child follows
    out += "]}";
    for (int depth = line.depth; depth > next; --depth)
      out += "]}";
    if (i + 1 < lines.size())
      out += ",";
  }
  std::puts(out.c_str());
}

int Usage() {
  std::fputs("usage: tallowick tree PAGE [--json]\n", stderr);
  return 2;
}

} // namespace

int RunTree(const Invocation &invocation) {
  std::string page;
  bool json = false;
  for (size_t i = 1; i < invocation.args.size(); ++i) {
    const std::string &arg = invocation.args[i];
    if (arg == "--json") {
      json = true;
    } else if (arg.rfind("--", 0) == 0 || !page.empty()) {
      return Usage();
    } else {
      page = arg;
    }
  }
  if (page.empty())
    return Usage();
  HostSession host;
  if (!host.Start(invocation.options.settings))
    return 1;
  Ref<IWIHostBrowser> browser;
  HRESULT hr = CoCreateInstance(CLSID_WIBrowserIE, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IWIHostBrowser), reinterpret_cast<void **>(browser.Out()));
  if (FAILED(hr)) {
    std::fprintf(stderr,
                 "tallowick: cannot create the host's browser: 0x%08X\n"
                 "register the host with: tallowick register libTallowickHost.so\n",
                 static_cast<unsigned>(hr));
    return 1;
  }
  hr = browser->LoadKit(CLSID_TallowickIE);
  if (hr == REGDB_E_CLASSNOTREG)
    std::fputs("tallowick: no kit registered (tallowick register libTallowickIE.so); "
               "the tree has the host's classes only\n",
               stderr);
  else if (FAILED(hr))
    std::fprintf(stderr, "tallowick: the kit did not load: 0x%08X\n", static_cast<unsigned>(hr));

  BSTR path = SysAllocString(platform::Widen(page).c_str());
  hr = browser->LoadPage(path);
  SysFreeString(path);
  Ref<IWebObj2> pageAO;
  if (FAILED(hr) || browser->GetPageAO(pageAO.Out()) != S_OK) {
    BSTR why = nullptr;
    if (browser->GetNavigationError(&why) == S_OK)
      std::fprintf(stderr, "tallowick: %s (error 0x%08X)\n", platform::Narrow(why).c_str(),
                   static_cast<unsigned>(hr));
    else
      std::fprintf(stderr, "tallowick: cannot load page '%s' (error 0x%08X)\n", page.c_str(),
                   static_cast<unsigned>(hr));
    SysFreeString(why);
    browser->Close();
    return 1;
  }
  std::vector<Line> lines = Walk(browser.Get(), pageAO.Get(), host.AgentServices());
  pageAO.Reset();
  browser->Close();
  if (json)
    PrintJson(lines);
  else
    PrintText(lines);
  return 0;
}

} // namespace tallowick::cli

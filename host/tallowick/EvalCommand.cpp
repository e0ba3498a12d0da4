// tallowick eval PAGE SCRIPT [--click SELECTOR]: loads the page, runs its
// scripts, optionally clicks an element, evaluates SCRIPT in the page's window
// and prints the result as a VARIANT. Script errors go to standard error.
#include <windows.h>

#include <mshtml.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Cli.h"
#include "PageSource.h"
#include "tallowick/Page.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {

namespace {

using platform::Narrow;
using platform::Widen;

template <class T> class Ref {
public:
  Ref() = default;
  Ref(const Ref &) = delete;
  ~Ref() {
    if (p_)
      p_->Release();
  }
  T **operator&() { return &p_; }
  T *operator->() const { return p_; }
  T *get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  T *p_ = nullptr;
};

void PrintError(const platform::ScriptError &error) {
  std::fprintf(stderr, "tallowick: script error: %s", Narrow(error.message).c_str());
  if (!error.source.empty())
    std::fprintf(stderr, " (%s%s)", Narrow(error.source).c_str(),
                 error.line ? (":" + std::to_string(error.line)).c_str() : "");
  std::fputc('\n', stderr);
}

std::string Quoted(const std::wstring &text) {
  std::string out = "\"";
  for (char c : Narrow(text)) {
    if (c == '"' || c == '\\')
      out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string Describe(const VARIANT &value) {
  char number[64];
  switch (value.vt) {
  case VT_EMPTY:
    return "VT_EMPTY";
  case VT_NULL:
    return "VT_NULL";
  case VT_I4:
    return "VT_I4 " + std::to_string(value.lVal);
  case VT_R8:
    std::snprintf(number, sizeof number, "%.17g", value.dblVal);
    return std::string("VT_R8 ") + number;
  case VT_BOOL:
    return value.boolVal ? "VT_BOOL true" : "VT_BOOL false";
  case VT_BSTR:
    return "VT_BSTR " +
           Quoted(value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : L"");
  case VT_DISPATCH:
    return value.pdispVal ? "VT_DISPATCH" : "VT_DISPATCH null";
  default:
    return "VT " + std::to_string(value.vt);
  }
}

// SELECTOR: an id, "#id", or "tag:n" (the n-th element of that tag, from 0).
HRESULT Find(IHTMLDocument2 *document, const std::string &selector, IHTMLElement **element) {
  *element = nullptr;
  size_t colon = selector.rfind(':');
  if (colon != std::string::npos && colon > 0 && colon + 1 < selector.size() &&
      selector.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
    Ref<IHTMLElementCollection> all;
    HRESULT hr = document->get_all(&all);
    if (FAILED(hr))
      return hr;
    Ref<IDispatch> tags;
    VARIANT tag;
    tag.vt = VT_BSTR;
    tag.bstrVal = SysAllocString(Widen(selector.substr(0, colon)).c_str());
    hr = all->tags(tag, &tags);
    VariantClear(&tag);
    Ref<IHTMLElementCollection> list;
    if (FAILED(hr) || !tags ||
        FAILED(tags->QueryInterface(IID_IHTMLElementCollection, reinterpret_cast<void **>(&list))))
      return E_FAIL;
    VARIANT index, none;
    index.vt = VT_I4;
    index.lVal = std::atoi(selector.c_str() + colon + 1);
    VariantInit(&none);
    Ref<IDispatch> item;
    if (FAILED(list->item(index, none, &item)) || !item)
      return E_FAIL;
    return item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void **>(element));
  }
  std::string id = !selector.empty() && selector[0] == '#' ? selector.substr(1) : selector;
  Ref<IHTMLDocument3> document3;
  HRESULT hr = document->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void **>(&document3));
  if (FAILED(hr))
    return hr;
  BSTR name = SysAllocString(Widen(id).c_str());
  hr = document3->getElementById(name, element);
  SysFreeString(name);
  return SUCCEEDED(hr) && !*element ? E_FAIL : hr;
}

} // namespace

int RunEval(const Invocation &invocation) {
  std::vector<std::string> positional;
  std::string click;
  const auto &args = invocation.args;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--click" && i + 1 < args.size()) {
      click = args[++i];
      continue;
    }
    positional.push_back(args[i]);
  }
  if (positional.size() != 2) {
    std::fputs("usage: tallowick eval PAGE SCRIPT [--click SELECTOR]\n", stderr);
    return 2;
  }
  Ref<IHTMLDocument2> document;
  host::http::HttpSession session;
  HRESULT hr = LoadPageArgument(positional[0], session, &document);
  if (FAILED(hr))
    return 1;
  std::vector<platform::ScriptError> errors;
  platform::GetScriptErrors(document.get(), &errors);
  for (const auto &error : errors)
    PrintError(error);
  bool failed = !errors.empty();
  if (host::http::IsHttpUrl(Widen(positional[0])))
    FollowHttpNavigations(document.get(), session, &failed);
  platform::SetScriptErrorHandler(document.get(), [&](const platform::ScriptError &error) {
    PrintError(error);
    failed = true;
  });
  if (!click.empty()) {
    Ref<IHTMLElement> element;
    if (FAILED(Find(document.get(), click, &element))) {
      std::fprintf(stderr, "tallowick: no element '%s' to click\n", click.c_str());
      return 2;
    }
    platform::UserClick(element.get());
  }
  // The click may have navigated to a new page: evaluate in the window's document.
  Ref<IHTMLDocument2> current;
  Ref<IHTMLWindow2> window;
  if (FAILED(platform::GetCurrentDocument(document.get(), &current)) ||
      FAILED(current->get_parentWindow(&window)))
    return 2;
  platform::SetScriptErrorHandler(current.get(), [&](const platform::ScriptError &error) {
    PrintError(error);
    failed = true;
  });
  DISPID id = 0;
  wchar_t evalName[] = L"eval";
  LPOLESTR names[] = {evalName};
  VARIANT code, result;
  VariantInit(&result);
  code.vt = VT_BSTR;
  code.bstrVal = SysAllocString(Widen(positional[1]).c_str());
  DISPPARAMS params = {&code, nullptr, 1, 0};
  EXCEPINFO info{};
  hr = window->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (SUCCEEDED(hr))
    hr = window->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &info, nullptr);
  VariantClear(&code);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  if (FAILED(hr)) {
    if (hr != DISP_E_EXCEPTION)
      std::fprintf(stderr, "tallowick: eval failed (0x%08X)\n", static_cast<unsigned>(hr));
    VariantClear(&result);
    return 1;
  }
  std::printf("%s\n", Describe(result).c_str());
  VariantClear(&result);
  return failed ? 1 : 0;
}

} // namespace tallowick::cli

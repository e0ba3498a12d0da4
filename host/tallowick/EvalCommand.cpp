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
#include "ComRef.h"
#include "PageSession.h"
#include "PageSource.h"
#include "tallowick/Page.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {

namespace {

using platform::Narrow;
using platform::Widen;

void PrintError(const platform::ScriptError &error) {
  std::fprintf(stderr, "tallowick: script error: %s", Narrow(error.message).c_str());
  if (!error.source.empty())
    std::fprintf(stderr, " (%s%s)", Narrow(error.source).c_str(),
                 error.line ? (":" + std::to_string(error.line)).c_str() : "");
  std::fputc('\n', stderr);
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
  HRESULT hr = LoadPageArgument(positional[0], session, document.Out());
  if (FAILED(hr))
    return 1;
  std::vector<platform::ScriptError> errors;
  platform::GetScriptErrors(document.Get(), &errors);
  for (const auto &error : errors)
    PrintError(error);
  bool failed = !errors.empty();
  if (host::http::IsHttpUrl(Widen(positional[0])))
    FollowHttpNavigations(document.Get(), session, &failed);
  platform::SetScriptErrorHandler(document.Get(), [&](const platform::ScriptError &error) {
    PrintError(error);
    failed = true;
  });
  if (!click.empty()) {
    Ref<IHTMLElement> element;
    if (FAILED(FindInDocument(document.Get(), click, element.Out()))) {
      std::fprintf(stderr, "tallowick: no element '%s' to click\n", click.c_str());
      return 2;
    }
    platform::UserClick(element.Get());
  }
  // The click may have navigated to a new page: evaluate in the window's document.
  Ref<IHTMLDocument2> current;
  Ref<IHTMLWindow2> window;
  if (FAILED(platform::GetCurrentDocument(document.Get(), current.Out())) ||
      FAILED(current->get_parentWindow(window.Out())))
    return 2;
  platform::SetScriptErrorHandler(current.Get(), [&](const platform::ScriptError &error) {
    PrintError(error);
    failed = true;
  });
  VARIANT result;
  VariantInit(&result);
  hr = EvalInWindow(window.Get(), positional[1], &result);
  if (FAILED(hr)) {
    if (hr != DISP_E_EXCEPTION)
      std::fprintf(stderr, "tallowick: eval failed (0x%08X)\n", static_cast<unsigned>(hr));
    VariantClear(&result);
    return 1;
  }
  std::printf("%s\n", VariantText(result).c_str());
  VariantClear(&result);
  return failed ? 1 : 0;
}

} // namespace tallowick::cli

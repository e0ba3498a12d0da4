// tallowick record PAGE ACTION... and tallowick replay PAGE STEPS [--inspect]:
// a user's actions turned into steps through the kits, and steps carried out
// again on a fresh page.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"
#include "Inspect.h"
#include "PageSession.h"
#include "Replay.h"
#include "UserInput.h"

namespace tallowick::cli {
namespace {

struct Action {
  std::string verb; // click, type, select, check, uncheck
  std::string selector;
  std::string text;
};

int RecordUsage() {
  std::fputs("usage: tallowick record PAGE ACTION...\n"
             "  actions: click SELECTOR | type SELECTOR TEXT | select SELECTOR OPTION |\n"
             "           check SELECTOR | uncheck SELECTOR\n"
             "  SELECTOR: id, #id or tag:n, then /tag:n for the n-th such element inside;\n"
             "            'A >> B' finds B inside the view-link or frame document of A\n",
             stderr);
  return 2;
}

bool ParseActions(const std::vector<std::string> &args, std::vector<Action> &actions) {
  for (size_t i = 2; i < args.size();) {
    Action action{args[i], "", ""};
    bool withText = action.verb == "type" || action.verb == "select";
    bool known =
        withText || action.verb == "click" || action.verb == "check" || action.verb == "uncheck";
    size_t needed = withText ? 3 : 2;
    if (!known) {
      std::fprintf(stderr, "tallowick: unknown action '%s'\n", action.verb.c_str());
      return false;
    }
    if (i + needed > args.size()) {
      std::fprintf(stderr, "tallowick: action '%s' needs %s\n", action.verb.c_str(),
                   withText ? "a selector and a text" : "a selector");
      return false;
    }
    action.selector = args[i + 1];
    if (withText)
      action.text = args[i + 2];
    actions.push_back(action);
    i += needed;
  }
  return !actions.empty();
}

HRESULT Perform(const PageSession &session, const Action &action, std::string &error) {
  Ref<IHTMLElement> element;
  HRESULT hr = session.FindElement(action.selector, element.Out(), error);
  if (FAILED(hr))
    return hr;
  if (action.verb == "click")
    return UserClick(element.Get());
  if (action.verb == "type") {
    hr = UserType(element.Get(), action.text);
    if (hr == E_INVALIDARG)
      error = "'" + action.selector + "' is no text field";
    return hr;
  }
  if (action.verb == "select")
    return UserSelect(element.Get(), action.text, error);
  hr = UserCheck(element.Get(), action.verb == "check");
  if (hr == E_INVALIDARG)
    error = "'" + action.selector + "' is no check box";
  return hr;
}

// The object's part of a host step: the last "Class "name" EVENT ..." after
// the frames ("Frame "f" / ").
std::string OwnPart(const std::string &text) {
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (quoted && text[i] == '\\') {
      ++i;
      continue;
    }
    if (text[i] == '"')
      quoted = !quoted;
    else if (!quoted && text.compare(i, 3, " / ") == 0)
      start = i + 3;
  }
  return text.substr(start);
}

// The replay steps of the host's steps from index `from` on.
std::vector<Step> NewSteps(IWIHostBrowser *browser, LONG &from) {
  std::vector<Step> steps;
  LONG count = 0;
  browser->GetStepCount(&count);
  for (; from < count; ++from) {
    BSTR text = nullptr;
    if (FAILED(browser->GetStep(from, &text, nullptr)))
      continue;
    Step recorded;
    std::string error;
    if (!ParseStep(OwnPart(TakeText(text)), recorded, error))
      continue;
    std::optional<Step> replay =
        ReplayStepFor(recorded.className, recorded.name, recorded.method, recorded.entries);
    // One action may be recorded by several events (a node click and its
    // selection change): the same step once.
    if (replay && (steps.empty() || FormatStep(steps.back()) != FormatStep(*replay)))
      steps.push_back(*replay);
  }
  return steps;
}

bool ReadLines(const std::string &source, std::vector<std::string> &lines) {
  std::ifstream file;
  std::istream *in = &std::cin;
  if (source != "-") {
    file.open(source);
    if (!file)
      return false;
    in = &file;
  }
  std::string line;
  while (std::getline(*in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return true;
}

// SCRIPT evaluated in the window of the page replay ended on, printed as eval does.
int PrintEval(const PageSession &session, const std::string &script) {
  Ref<IHTMLDocument2> document = session.Document();
  Ref<IHTMLWindow2> window;
  if (!document || FAILED(document->get_parentWindow(window.Out())) || !window) {
    std::fputs("tallowick: no page to evaluate in\n", stderr);
    return 1;
  }
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = EvalInWindow(window.Get(), script, &result);
  if (FAILED(hr)) {
    std::fprintf(stderr, "tallowick: --eval failed: %s\n", HresultText(hr).c_str());
    return 1;
  }
  std::printf("%s\n", VariantText(result).c_str());
  VariantClear(&result);
  return 0;
}

} // namespace

int RunRecord(const Invocation &invocation) {
  const auto &args = invocation.args;
  std::vector<Action> actions;
  if (args.size() < 3 || !ParseActions(args, actions))
    return RecordUsage();
  PageSession session;
  if (!session.Open(invocation.options.settings, args[1]))
    return 1;
  session.Browser()->SetRecording(VARIANT_TRUE);
  LONG seen = 0;
  for (const Action &action : actions) {
    std::string error;
    HRESULT hr = Perform(session, action, error);
    for (const Step &step : NewSteps(session.Browser(), seen))
      std::printf("%s\n", FormatStep(step).c_str());
    if (!error.empty() || FAILED(hr)) {
      std::fprintf(stderr, "tallowick: %s %s: %s\n", action.verb.c_str(), action.selector.c_str(),
                   error.empty() ? ("failed " + HresultText(hr)).c_str() : error.c_str());
      return error.rfind("no element", 0) == 0 ? 2 : 1;
    }
  }
  std::fflush(stdout);
  return 0;
}

int RunReplay(const Invocation &invocation) {
  const auto &args = invocation.args;
  std::vector<std::string> positional;
  bool inspect = false;
  std::string script;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--inspect") {
      inspect = true;
    } else if (args[i] == "--eval" && i + 1 < args.size()) {
      script = args[++i];
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) {
    std::fputs("usage: tallowick replay PAGE STEPS [--inspect] [--eval SCRIPT]"
               "   (STEPS: a file, or -)\n",
               stderr);
    return 2;
  }
  std::vector<std::string> lines;
  if (!ReadLines(positional[1], lines)) {
    std::fprintf(stderr, "tallowick: cannot read steps from %s\n", positional[1].c_str());
    return 1;
  }
  std::vector<Step> steps;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find_first_not_of(" \t") == std::string::npos || lines[i][0] == '#')
      continue;
    Step step;
    std::string error;
    if (!ParseStep(lines[i], step, error)) {
      std::fprintf(stderr, "tallowick: line %zu: %s: %s\n", i + 1, error.c_str(), lines[i].c_str());
      return 2;
    }
    steps.push_back(std::move(step));
  }
  PageSession session;
  if (!session.Open(invocation.options.settings, positional[0]))
    return 1;
  for (const Step &step : steps) {
    StepOutcome outcome;
    bool ran = RunStep(session, step, outcome);
    if (ran && Succeeded(outcome)) {
      std::printf("%s ok\n", FormatStep(step).c_str());
      continue;
    }
    std::string why = !outcome.error.empty() ? outcome.error
                      : FAILED(outcome.invoke)
                          ? "the method answered " + HresultText(outcome.invoke)
                          : "the operation answered " + HresultText(outcome.returnValue);
    std::printf("%s failed: %s\n", FormatStep(step).c_str(), why.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "tallowick: step failed: %s: %s\n", FormatStep(step).c_str(), why.c_str());
    return 1;
  }
  if (inspect)
    PrintInspectText(Inspect(session));
  return script.empty() ? 0 : PrintEval(session, script);
}

} // namespace tallowick::cli

// tallowick attr PAGE OBJECT ID [DATA...] and
// tallowick invoke PAGE OBJECT METHOD [ID=VALUE]... [--then-inspect]:
// one attribute or one method of one object of a page.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Cli.h"
#include "Inspect.h"
#include "PageSession.h"
#include "Replay.h"

namespace tallowick::cli {
namespace {

bool ParseId(const std::string &text, LONG &id) {
  char *end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 0x7FFFFFFF)
    return false;
  id = static_cast<LONG>(value);
  return true;
}

std::string ClassOf(const PageSession &session, IWebObj2 *ao) {
  return session.Describe(ao, 0).className;
}

} // namespace

int RunAttr(const Invocation &invocation) {
  const auto &args = invocation.args;
  LONG id = 0;
  if (args.size() < 4 || !ParseId(args[3], id)) {
    std::fputs("usage: tallowick attr PAGE OBJECT ID [DATA...]\n", stderr);
    return 2;
  }
  std::vector<EntryValue> data;
  for (size_t i = 4; i < args.size(); ++i)
    data.push_back(PlainValue(args[i]));
  PageSession session;
  if (!session.Open(invocation.options.settings, args[1]))
    return 1;
  std::string error;
  Ref<IWebObj2> ao = session.FindObject(args[2], error);
  if (!ao) {
    std::fprintf(stderr, "tallowick: %s\n", error.c_str());
    return 1;
  }
  Ref<IWebAttrVal> request = data.empty() ? Ref<IWebAttrVal>() : NewAttrVal(data);
  Ref<IWebAttrVal> value;
  HRESULT hr = ao->GetAttr(id, request.Get(), value.Out());
  if (FAILED(hr)) {
    std::fprintf(stderr, "tallowick: attribute %ld of '%s' failed: %s\n", static_cast<long>(id),
                 args[2].c_str(), HresultText(hr).c_str());
    return 1;
  }
  if (!value || ValueCount(value.Get()) == 0) {
    std::printf("VT_EMPTY\n");
    return 0;
  }
  for (UINT i = 0; i < ValueCount(value.Get()); ++i)
    std::printf("%s\n", VariantFormText(value.Get(), i).c_str());
  return 0;
}

int RunInvoke(const Invocation &invocation) {
  const auto &args = invocation.args;
  std::vector<std::string> positional;
  bool thenInspect = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--then-inspect")
      thenInspect = true;
    else
      positional.push_back(args[i]);
  }
  if (positional.size() < 3) {
    std::fputs("usage: tallowick invoke PAGE OBJECT METHOD [ID=VALUE]... [--then-inspect]\n",
               stderr);
    return 2;
  }
  std::vector<Entry> entries;
  for (size_t i = 3; i < positional.size(); ++i) {
    const std::string &text = positional[i];
    size_t eq = text.find('=');
    Entry entry;
    if (eq == std::string::npos || !ParseId(text.substr(0, eq), entry.id)) {
      std::fprintf(stderr, "tallowick: an entry is ID=VALUE, not '%s'\n", text.c_str());
      return 2;
    }
    std::string error;
    std::string value = text.substr(eq + 1);
    if (!value.empty() && (value[0] == '"' || value[0] == '(')) {
      if (!ParseStepValue(value, entry.value, error)) {
        std::fprintf(stderr, "tallowick: %s\n", error.c_str());
        return 2;
      }
    } else {
      entry.value = PlainValue(value);
    }
    entries.push_back(std::move(entry));
  }
  PageSession session;
  if (!session.Open(invocation.options.settings, positional[0]))
    return 1;
  std::string error;
  Ref<IWebObj2> ao = session.FindObject(positional[1], error);
  if (!ao) {
    std::fprintf(stderr, "tallowick: %s\n", error.c_str());
    return 1;
  }
  StepOutcome outcome;
  if (!RunMethod(session, ao.Get(), ClassOf(session, ao.Get()), positional[2], entries, outcome)) {
    std::fprintf(stderr, "tallowick: %s\n", outcome.error.c_str());
    return outcome.error.rfind("unknown method", 0) == 0 ? 2 : 1;
  }
  ao.Reset();
  std::printf("HRESULT %s\n", HresultText(outcome.invoke).c_str());
  if (outcome.hasReturnValue)
    std::printf("return %s\n", HresultText(outcome.returnValue).c_str());
  for (const Entry &entry : outcome.entries)
    std::printf("%ld=%s\n", static_cast<long>(entry.id), StepText(entry.value).c_str());
  if (thenInspect)
    PrintInspectText(Inspect(session));
  return Succeeded(outcome) ? 0 : 1;
}

} // namespace tallowick::cli

// The tallowick command line: global options and the commands.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tallowick::cli {

struct GlobalOptions {
  std::string registry; // --registry FILE, else TALLOWICK_REGISTRY
  std::vector<std::pair<std::string, std::string>> settings; // --setting NAME=VALUE
};

struct Invocation {
  GlobalOptions options;
  std::vector<std::string> args; // the command and its arguments
};

// Parses argv; false (with a message on stderr) for bad global options.
bool ParseCommandLine(int argc, char **argv, Invocation &invocation);

int RunRegister(const Invocation &invocation, bool unregister);
int RunRegistry(const Invocation &invocation);
int RunKitInfo(const Invocation &invocation);
int RunDom(const Invocation &invocation);
int RunEval(const Invocation &invocation);
int RunTree(const Invocation &invocation);
int RunInspect(const Invocation &invocation);
int RunAttr(const Invocation &invocation);
int RunInvoke(const Invocation &invocation);
int RunRecord(const Invocation &invocation);
int RunReplay(const Invocation &invocation);

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string &text);

void PrintUsage();

} // namespace tallowick::cli

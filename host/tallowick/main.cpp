#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Cli.h"

namespace tallowick::cli {

void PrintUsage() {
  std::fputs("usage: tallowick [--registry FILE] [--setting NAME=VALUE]... COMMAND [ARGS]\n"
             "\n"
             "commands:\n"
             "  kit-info [--json]         create and initialise the kit as a host does; report it\n"
             "  register MODULE           load MODULE and call its DllRegisterServer\n"
             "  unregister MODULE         load MODULE and call its DllUnregisterServer\n"
             "  registry export [KEY]     print the registry, or the subtree at KEY, as REGEDIT4\n"
             "  dom PAGE [--geometry]     print the element tree of the HTML page PAGE\n"
             "  tree PAGE [--json]        print the agent object tree of the page, kits included\n"

             "  eval PAGE SCRIPT [--click SELECTOR]\n"
             "                            run PAGE's scripts, click SELECTOR (id, #id or tag:n),\n"
             "                            evaluate SCRIPT in its window, print the VARIANT\n"
             "  inspect PAGE [--json] [--svg FILE]\n"
             "                            the kit's objects of the page with their attributes\n"
             "  attr PAGE OBJECT ID [DATA...]\n"
             "                            one attribute of one object\n"
             "  invoke PAGE OBJECT METHOD [ID=VALUE]... [--then-inspect]\n"
             "                            one kit or host method of one object\n"
             "  record PAGE ACTION...     perform user actions, print the recorded steps\n"
             "  replay PAGE STEPS [--inspect]\n"
             "                            carry out steps (a file, or -) on the page\n"
             "\n"
             "PAGE is a file or an http:// URL on 127.0.0.1; OBJECT a kit object's name, an\n"
             "element id or Class:n.\n",
             stderr);
}

bool ParseCommandLine(int argc, char **argv, Invocation &invocation) {
  int i = 1;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--registry" || arg == "--setting") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "tallowick: %s needs a value\n", arg.c_str());
        return false;
      }
      std::string value = argv[++i];
      if (arg == "--registry") {
        invocation.options.registry = value;
        continue;
      }
      size_t eq = value.find('=');
      if (eq == std::string::npos || eq == 0) {
        std::fprintf(stderr, "tallowick: --setting wants NAME=VALUE, not '%s'\n", value.c_str());
        return false;
      }
      invocation.options.settings.emplace_back(value.substr(0, eq), value.substr(eq + 1));
      continue;
    }
    if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "tallowick: unknown option %s\n", arg.c_str());
      return false;
    }
    break;
  }
  for (; i < argc; ++i)
    invocation.args.emplace_back(argv[i]);
  return true;
}

} // namespace tallowick::cli

int main(int argc, char **argv) {
  using namespace tallowick::cli;
  Invocation invocation;
  if (!ParseCommandLine(argc, argv, invocation))
    return 2;
  if (invocation.args.empty()) {
    PrintUsage();
    return 2;
  }
  if (!invocation.options.registry.empty())
    setenv("TALLOWICK_REGISTRY", invocation.options.registry.c_str(), 1);

  const std::string &command = invocation.args[0];
  CoInitialize(nullptr);
  int status = 2;
  if (command == "kit-info") {
    status = RunKitInfo(invocation);
  } else if (command == "register" || command == "unregister") {
    status = RunRegister(invocation, command == "unregister");
  } else if (command == "registry") {
    status = RunRegistry(invocation);
  } else if (command == "dom") {
    status = RunDom(invocation);
  } else if (command == "tree") {
    status = RunTree(invocation);
  } else if (command == "eval") {
    status = RunEval(invocation);
  } else if (command == "inspect") {
    status = RunInspect(invocation);
  } else if (command == "attr") {
    status = RunAttr(invocation);
  } else if (command == "invoke") {
    status = RunInvoke(invocation);
  } else if (command == "record") {
    status = RunRecord(invocation);
  } else if (command == "replay") {
    status = RunReplay(invocation);
  } else {
    std::fprintf(stderr, "tallowick: unknown command '%s'\n", command.c_str());
    PrintUsage();
  }
  CoUninitialize();
  return status;
}

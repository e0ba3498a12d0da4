// tallowick registry export [KEY]
#include <windows.h>

#include <cstdio>
#include <string>

#include "Cli.h"
#include "tallowick/Registry.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {

int RunRegistry(const Invocation &invocation) {
  const auto &args = invocation.args;
  if (args.size() < 2 || args.size() > 3 || args[1] != "export") {
    std::fputs("usage: tallowick registry export [KEY]\n", stderr);
    return 2;
  }
  std::wstring key = args.size() == 3 ? tallowick::platform::Widen(args[2]) : std::wstring();
  std::string text;
  LONG rc = tallowick::platform::ExportRegistry(key, text);
  if (rc == ERROR_SUCCESS) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  std::string file = tallowick::platform::RegistryFilePath();
  if (rc == ERROR_REGISTRY_CORRUPT) {
    std::fprintf(stderr, "tallowick: the registry file is malformed: %s\n",
                 tallowick::platform::RegistryParseError().c_str());
  } else if (rc == ERROR_FILE_NOT_FOUND) {
    std::fprintf(stderr, "tallowick: no key '%s' in %s\n", args[2].c_str(), file.c_str());
  } else {
    std::fprintf(stderr, "tallowick: cannot export '%s' from %s (error %d)\n",
                 args.size() == 3 ? args[2].c_str() : "", file.c_str(), static_cast<int>(rc));
  }
  return 1;
}

} // namespace tallowick::cli

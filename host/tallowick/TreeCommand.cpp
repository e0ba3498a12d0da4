// tallowick tree PAGE [--json]: the agent object tree of a page as the host
// builds it, with the registered kit asked for every element. One object a
// line, indented by depth: class, name (95; 146 for a kit's object), kit id
// and runtime id; --json gives nested objects.
#include <cstdio>
#include <string>
#include <vector>

#include "Cli.h"
#include "PageSession.h"

namespace tallowick::cli {
namespace {

void PrintText(const std::vector<TreeObject> &objects) {
  for (const TreeObject &object : objects) {
    std::printf("%s%s %s kit %d rtid %s\n",
                std::string(static_cast<size_t>(object.depth) * 2, ' ').c_str(),
                object.className.c_str(), JsonString(object.name).c_str(),
                static_cast<int>(object.kitId), object.rtid.c_str());
  }
}

void PrintJson(const std::vector<TreeObject> &objects) {
  std::string out;
  for (size_t i = 0; i < objects.size(); ++i) {
    const TreeObject &object = objects[i];
    out += "{\"class\":" + JsonString(object.className) + ",\"name\":" + JsonString(object.name) +
           ",\"kitId\":" + std::to_string(object.kitId) + ",\"rtid\":" + JsonString(object.rtid) +
           ",\"children\":[";
    int next = i + 1 < objects.size() ? objects[i + 1].depth : 0;
    if (next > object.depth)
      continue; // its first child follows
    out += "]}";
    for (int depth = object.depth; depth > next; --depth)
      out += "]}";
    if (i + 1 < objects.size())
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
  PageSession session;
  if (!session.Open(invocation.options.settings, page))
    return 1;
  std::vector<TreeObject> objects = session.Walk();
  for (TreeObject &object : objects)
    object.ao.Reset();
  if (json)
    PrintJson(objects);
  else
    PrintText(objects);
  return 0;
}

} // namespace tallowick::cli

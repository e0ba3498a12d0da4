// tallowick inspect PAGE [--json] [--svg FILE]: every kit object of a page in
// tree order with the attributes that describe it; --svg draws the page's
// layout boxes with the kit objects outlined.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "Inspect.h"
#include "PageSession.h"
#include "WebValues.h"

namespace tallowick::cli {
namespace {

struct AttributeName {
  LONG id;
  const char *name;
};

constexpr AttributeName kAttributeNames[] = {
    {6, "text"},
    {16, "title"},
    {46, "disabled"},
    {67, "rows"},
    {69, "columns"},
    {121, "items"},
    {122, "item count"},
    {16384, "selection mode"},
    {16385, "selection kind"},
    {16386, "selected date"},
    {16387, "selected"},
    {16395, "allow add new"},
    {16396, "allow sort"},
    {16397, "allow delete"},
};

struct ClassAttributes {
  const char *className;
  std::vector<LONG> ids;
};

const std::vector<ClassAttributes> &Described() {
  static const std::vector<ClassAttributes> table = {
      {"WbfTabStrip", {6, 121, 122, 16387}},
      {"WbfToolbar", {121, 122}},
      {"WbfTreeView", {46, 121, 122, 16387}},
      {"WbfCalendar", {16, 16384, 16385, 16386}},
      {"WbfGrid", {67, 69}},
      {"WbfUltraGrid", {67, 69, 16395, 16396, 16397}},
  };
  return table;
}

const std::vector<LONG> &IdsOf(const std::string &className) {
  static const std::vector<LONG> none = {6};
  for (const ClassAttributes &entry : Described()) {
    if (className == entry.className)
      return entry.ids;
  }
  return none;
}

std::string TextLine(const InspectedAttribute &attribute) {
  std::string text;
  for (size_t i = 0; i < attribute.values.size(); ++i)
    text += (i > 0 ? ", " : "") + attribute.values[i];
  return text;
}

int Usage() {
  std::fputs("usage: tallowick inspect PAGE [--json] [--svg FILE]\n", stderr);
  return 2;
}

} // namespace

const char *AttributeShortName(LONG id) {
  for (const AttributeName &entry : kAttributeNames) {
    if (entry.id == id)
      return entry.name;
  }
  return "";
}

std::vector<InspectedObject> Inspect(const PageSession &session) {
  std::vector<InspectedObject> out;
  struct Ancestor {
    int depth;
    bool kit;
  };
  std::vector<Ancestor> path; // the objects above the one visited
  for (const TreeObject &object : session.Walk()) {
    while (!path.empty() && path.back().depth >= object.depth)
      path.pop_back();
    bool kit = object.kitId != 0 && object.webClass >= 1025;
    path.push_back({object.depth, kit});
    if (!kit)
      continue;
    InspectedObject inspected;
    inspected.object = object;
    inspected.object.depth = -1; // nesting among kit objects
    for (const Ancestor &above : path)
      inspected.object.depth += above.kit ? 1 : 0;
    for (LONG id : IdsOf(object.className)) {
      Ref<IWebAttrVal> value;
      HRESULT hr = object.ao->GetAttr(id, nullptr, value.Out());
      if (FAILED(hr) || !value || ValueCount(value.Get()) == 0)
        continue;
      InspectedAttribute attribute{id, {}, JsonValue(value.Get())};
      for (UINT i = 0; i < ValueCount(value.Get()); ++i)
        attribute.values.push_back(StepText(ValueAt(value.Get(), i)));
      inspected.attributes.push_back(std::move(attribute));
    }
    out.push_back(std::move(inspected));
  }
  return out;
}

void PrintInspectText(const std::vector<InspectedObject> &objects) {
  for (const InspectedObject &inspected : objects) {
    const TreeObject &object = inspected.object;
    std::printf("%s%s %s rtid %s\n",
                std::string(static_cast<size_t>(object.depth) * 2, ' ').c_str(),
                object.className.c_str(), Quoted(object.name).c_str(), object.rtid.c_str());
    for (const InspectedAttribute &attribute : inspected.attributes) {
      const char *name = AttributeShortName(attribute.id);
      std::printf(
          "%s  %ld%s%s = %s\n", std::string(static_cast<size_t>(object.depth) * 2, ' ').c_str(),
          static_cast<long>(attribute.id), *name ? " " : "", name, TextLine(attribute).c_str());
    }
  }
}

// Nested by tree depth: an object's children are the kit objects below it.
void PrintInspectJson(const std::vector<InspectedObject> &objects) {
  std::string out = "[";
  std::vector<int> open; // depths of the objects whose children are open
  for (size_t i = 0; i < objects.size(); ++i) {
    const TreeObject &object = objects[i].object;
    while (!open.empty() && open.back() >= object.depth) {
      out += "]}";
      open.pop_back();
    }
    if (out.back() != '[')
      out += ",";
    out += "{\"class\":" + JsonString(object.className) + ",\"name\":" + JsonString(object.name) +
           ",\"rtid\":" + JsonString(object.rtid) + ",\"attributes\":{";
    for (size_t a = 0; a < objects[i].attributes.size(); ++a) {
      const InspectedAttribute &attribute = objects[i].attributes[a];
      out += (a > 0 ? "," : "") + JsonString(std::to_string(attribute.id)) + ":" + attribute.json;
    }
    out += "},\"children\":[";
    open.push_back(object.depth);
  }
  for (size_t i = 0; i < open.size(); ++i)
    out += "]}";
  out += "]";
  std::puts(out.c_str());
}

int RunInspect(const Invocation &invocation) {
  std::string page, svg;
  bool json = false;
  const auto &args = invocation.args;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--svg") {
      if (i + 1 >= args.size())
        return Usage();
      svg = args[++i];
    } else if (args[i].rfind("--", 0) == 0 || !page.empty()) {
      return Usage();
    } else {
      page = args[i];
    }
  }
  if (page.empty())
    return Usage();
  PageSession session;
  if (!session.Open(invocation.options.settings, page))
    return 1;
  std::vector<InspectedObject> objects = Inspect(session);
  if (!svg.empty() && !WriteLayoutSvg(session, objects, svg)) {
    std::fprintf(stderr, "tallowick: cannot write %s\n", svg.c_str());
    return 1;
  }
  if (json)
    PrintInspectJson(objects);
  else
    PrintInspectText(objects);
  return 0;
}

} // namespace tallowick::cli

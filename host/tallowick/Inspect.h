// What `inspect` reads of a page's kit objects, shared with `invoke` and
// `replay` (which can inspect the page they end on).
#pragma once

#include <string>
#include <vector>

#include "PageSession.h"

namespace tallowick::cli {

struct InspectedAttribute {
  LONG id = 0;
  std::vector<std::string> values; // step forms
  std::string json;
};

struct InspectedObject {
  TreeObject object;
  std::vector<InspectedAttribute> attributes;
};

const char *AttributeShortName(LONG id);
std::vector<InspectedObject> Inspect(const PageSession &session);
void PrintInspectText(const std::vector<InspectedObject> &objects);
void PrintInspectJson(const std::vector<InspectedObject> &objects);
// The page's layout boxes, the kit objects outlined with class and name.
bool WriteLayoutSvg(const PageSession &session, const std::vector<InspectedObject> &objects,
                    const std::string &path);

} // namespace tallowick::cli

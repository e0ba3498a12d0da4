#include "Steps.h"

#include <cstdlib>
#include <cstring>

namespace tallowick::cli {
namespace {

struct MethodName {
  const char *className; // nullptr: any class
  const char *name;
  LONG id;
};

// Kit methods first (per class), then the host's METHOD_NAME_ENUM.
constexpr MethodName kMethods[] = {
    {"WbfTabStrip", "SelectTab", 1024},           {"WbfTabStrip", "GetTabText", 1029},
    {"WbfToolbar", "SelectListOption", 1024},     {"WbfToolbar", "ClickButton", 1025},
    {"WbfToolbar", "SetTextBoxValue", 1026},      {"WbfToolbar", "GetItemText", 1029},
    {"WbfTreeView", "SelectNode", 1024},          {"WbfTreeView", "SetNodeCheck", 1026},
    {"WbfTreeView", "ExpandNode", 1027},          {"WbfTreeView", "CollapseNode", 1028},
    {"WbfTreeView", "GetNodeText", 1029},         {"WbfCalendar", "GoToMonth", 1030},
    {"WbfCalendar", "SelectDay", 1031},           {"WbfCalendar", "SelectRange", 1032},
    {"WbfCalendar", "ClickPrevMonth", 1033},      {"WbfCalendar", "ClickNextMonth", 1034},
    {"WbfCalendar", "GetSelectionByStyle", 1035}, {"WbfCalendar", "GetDayStyle", 1036},
};

constexpr const char *kHostMethods[] = {"ADD_COORDINATES_TO_URL",
                                        "BROWSER_COMMAND",
                                        "BUILD_LAYOUT_TREE",
                                        "CALL_EVENT",
                                        "CALL_UPDATE_OF_ALL_FRAMES",
                                        "CONTAINS_POINT",
                                        "CONTAINS_TEXT",
                                        "DESC_TO_ID",
                                        "FIND_ACTIVEX_BY_IUNKNOWN",
                                        "GET_AND_INCREMENT_TABLE_INDEX",
                                        "GET_COOKIES",
                                        "GET_ID_FROM_SOURCE_INDEX",
                                        "GET_LAST_LO_ELEMENT",
                                        "GET_OBJ_ID_FROM_POINT",
                                        "GET_PANE",
                                        "GET_PARENT_ID_FROM_HWND",
                                        "GET_PATH_STATUS",
                                        "GET_TABLE_DATA",
                                        "GET_TEXT_INFO_EX",
                                        "HIGHLIGHT_OBJECT",
                                        "HTML_FILE_PROPERTIES",
                                        "ID_TO_DESC",
                                        "IS_ALIVE",
                                        "IS_EMBED_HWND",
                                        "IS_FRAMESET",
                                        "IS_SAME_ELEMENT",
                                        "ITEM_TO_NUM",
                                        "MAKE_HWND_OBJ_VISIBLE",
                                        "MAKE_VISIBLE",
                                        "NUM_TO_ITEM",
                                        "LIST_DESELECT",
                                        "LIST_EXTEND_SELECT",
                                        "LIST_SELECT",
                                        "OBJ_CLICK_COORDS",
                                        "PREF_SET_PREFS",
                                        "RESET_LAYOUT_TREE",
                                        "SAVE_FRAME_SOURCE_NOT_RECURSIVE",
                                        "SAVE_HTML_SOURCE",
                                        "SCROLL_FRAME_BY_POINT",
                                        "SCROLL_POINT_INTO_VIEW",
                                        "SCROLL_RECT_INTO_VIEW",
                                        "SCROLL_WHOLE_FRAME",
                                        "SET_ACTIVE_RADIO_BY_ELEMENT",
                                        "SET_ACTIVE_RADIO_BY_VALUE",
                                        "SET_ATTRIB",
                                        "SET_COOKIES",
                                        "SET_DATA",
                                        "SET_IDLE_FLAG",
                                        "SET_VALUE",
                                        "SKIP_OBJ_FROM_POINT",
                                        "WEB_GETFORMA",
                                        "ZERO_WASTED_TIME",
                                        "GET_OBJ_IDENT_FROM_POINT",
                                        "IS_MOUSE_REPLAY_REQUIRED",
                                        "UPDATE_FRAMES_BY_DOM",
                                        "SRVC_GET_OBJECTS_PROP_BY_IDENTIFIER",
                                        "SRVC_APPLICATION_LOGIN",
                                        "SRVC_APPLICATION_LOGOUT",
                                        "SET_OPENEDBYQT_FLAG",
                                        "SET_INNER_CELL_DATA",
                                        "GET_TABLE_COLUMN",
                                        "GET_TABLE_CELL_DATA",
                                        "GET_ROW_WITH_CELLTEXT",
                                        "GET_SCREEN_RECT",
                                        "REBUILD_WEB_SUPPORT_METHOD_NAME",
                                        "BROWSER_IS_SIBLING_TAB_METHOD_NAME",
                                        "DOC_EXECUTE_SCRIPT"};

constexpr const char *kActionMethods[] = {"Click", "Set", "ClickCell", "SetCell"};

constexpr LONG kAttrValue = 6;
constexpr LONG kAttrCalendarKind = 16385;
constexpr LONG kAttrCalendarDate = 16386;
constexpr LONG kAttrTreePath = 16388;
constexpr LONG kAttrItemIndex = 16389;
constexpr LONG kAttrItemKind = 16390;

const Entry *Find(const std::vector<Entry> &entries, LONG id) {
  for (const Entry &entry : entries) {
    if (entry.id == id)
      return &entry;
  }
  return nullptr;
}

std::string TextOf(const std::vector<Entry> &entries, LONG id) {
  const Entry *entry = Find(entries, id);
  return entry != nullptr ? entry->value.text : std::string();
}

Entry StringEntry(LONG id, const std::string &text) {
  Entry entry;
  entry.id = id;
  entry.value.text = text;
  return entry;
}

Entry LongEntry(LONG id, LONG number) {
  Entry entry;
  entry.id = id;
  entry.value.kind = EntryValue::Kind::Long;
  entry.value.number = number;
  return entry;
}

// Days of the month of a date text such as 1-Feb-2012; 0 when unreadable.
LONG DaysInMonthOf(const std::string &date) {
  static const char *const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  size_t first = date.find('-');
  size_t second = first == std::string::npos ? first : date.find('-', first + 1);
  if (second == std::string::npos)
    return 0;
  std::string month = date.substr(first + 1, second - first - 1);
  int year = std::atoi(date.c_str() + second + 1);
  for (int m = 0; m < 12; ++m) {
    if (month != kMonths[m])
      continue;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[m] + (m == 1 && leap ? 1 : 0);
  }
  return 0;
}

Step Make(const std::string &className, const std::string &name, const std::string &method,
          std::vector<Entry> entries) {
  return Step{className, name, method, std::move(entries)};
}

std::optional<Step> ToolbarStep(const std::string &name, const std::string &event,
                                const std::vector<Entry> &entries) {
  if (event == "onbuttonclick")
    return Make("WbfToolbar", name, "ClickButton",
                {StringEntry(kAttrValue, TextOf(entries, kAttrValue))});
  const Entry *index = Find(entries, kAttrItemIndex);
  if (event != "onchange" || index == nullptr)
    return std::nullopt;
  std::string kind = TextOf(entries, kAttrItemKind);
  std::string method = kind == "dropdownlist" ? "SelectListOption"
                       : kind == "textbox"    ? "SetTextBoxValue"
                                              : "";
  if (method.empty())
    return std::nullopt;
  return Make("WbfToolbar", name, method,
              {StringEntry(kAttrValue, TextOf(entries, kAttrValue)), *index});
}

std::optional<Step> TreeViewStep(const std::string &name, const std::vector<Entry> &entries) {
  const Entry *path = Find(entries, kAttrTreePath);
  if (path == nullptr)
    return std::nullopt;
  const Entry *checked = Find(entries, kAttrValue);
  if (checked == nullptr)
    return Make("WbfTreeView", name, "SelectNode", {*path});
  Entry state;
  state.id = kAttrValue;
  state.value.kind = EntryValue::Kind::Bool;
  state.value.flag = checked->value.kind == EntryValue::Kind::Bool ? checked->value.flag
                                                                   : checked->value.number != 0;
  return Make("WbfTreeView", name, "SetNodeCheck", {*path, state});
}

std::optional<Step> CalendarStep(const std::string &name, const std::vector<Entry> &entries) {
  std::string kind = TextOf(entries, kAttrCalendarKind);
  std::string date = TextOf(entries, kAttrCalendarDate);
  if (kind == "NextMonth")
    return Make("WbfCalendar", name, "ClickNextMonth", {});
  if (kind == "PrevMonth")
    return Make("WbfCalendar", name, "ClickPrevMonth", {});
  if (kind == "Day")
    return Make("WbfCalendar", name, "SelectDay", {StringEntry(kAttrCalendarDate, date)});
  if (kind == "Week")
    return Make("WbfCalendar", name, "SelectRange",
                {StringEntry(kAttrCalendarDate, date), StringEntry(kAttrCalendarKind, kind)});
  if (kind == "Month")
    return Make("WbfCalendar", name, "SelectRange",
                {StringEntry(kAttrCalendarDate, date), StringEntry(kAttrCalendarKind, kind),
                 LongEntry(kAttrValue, DaysInMonthOf(date))});
  return std::nullopt;
}

// Recorded entries that name an inner control of a grid: all of them but the
// runtime id (48), which a fresh page gives anew.
std::optional<Step> GridStep(const std::string &className, const std::string &name,
                             const std::string &event, const std::vector<Entry> &entries) {
  std::vector<Entry> kept;
  for (const Entry &entry : entries) {
    if (entry.id != 48)
      kept.push_back(entry);
  }
  // A control that takes a value (a changed field, a check box's state) is set;
  // anything else is clicked.
  const Entry *value = Find(entries, kAttrValue);
  bool state = value != nullptr && value->value.kind == EntryValue::Kind::Bool;
  return Make(className, name, event == "onchange" || state ? "SetCell" : "ClickCell", kept);
}

bool IsAnyOf(const std::string &text, std::initializer_list<const char *> names) {
  for (const char *name : names) {
    if (text == name)
      return true;
  }
  return false;
}

} // namespace

bool ParseStep(const std::string &line, Step &step, std::string &error) {
  step = Step();
  size_t space = line.find(' ');
  if (space == std::string::npos || space == 0 || line.size() <= space + 1 ||
      line[space + 1] != '"') {
    error = "a step is Class \"name\" Method [ID=VALUE]...";
    return false;
  }
  step.className = line.substr(0, space);
  size_t at = space + 1;
  size_t close = at + 1;
  while (close < line.size() && line[close] != '"')
    close += line[close] == '\\' ? 2 : 1;
  if (close >= line.size()) {
    error = "the object's name has no closing quote";
    return false;
  }
  EntryValue name;
  if (!ParseStepValue(line.substr(at, close - at + 1), name, error))
    return false;
  step.name = name.text;
  at = close + 1;
  auto nextToken = [&](std::string &token) {
    while (at < line.size() && line[at] == ' ')
      ++at;
    if (at >= line.size())
      return false;
    size_t start = at;
    bool quoted = false;
    for (; at < line.size(); ++at) {
      char c = line[at];
      if (quoted && c == '\\') {
        ++at;
        continue;
      }
      if (c == '"')
        quoted = !quoted;
      else if (c == ' ' && !quoted)
        break;
    }
    token = line.substr(start, at - start);
    return true;
  };
  if (!nextToken(step.method)) {
    error = "the step names no method";
    return false;
  }
  std::string token;
  while (nextToken(token)) {
    size_t eq = token.find('=');
    char *end = nullptr;
    long id = eq == std::string::npos ? 0 : std::strtol(token.c_str(), &end, 10);
    if (eq == std::string::npos || eq == 0 || end != token.c_str() + eq) {
      error = "an entry is ID=VALUE, not '" + token + "'";
      return false;
    }
    Entry entry;
    entry.id = static_cast<LONG>(id);
    if (!ParseStepValue(token.substr(eq + 1), entry.value, error))
      return false;
    step.entries.push_back(std::move(entry));
  }
  return true;
}

std::string FormatStep(const Step &step) {
  std::string line = step.className + " " + Quoted(step.name) + " " + step.method;
  for (const Entry &entry : step.entries)
    line += " " + std::to_string(entry.id) + "=" + StepText(entry.value);
  return line;
}

LONG MethodId(const std::string &className, const std::string &method) {
  for (const MethodName &entry : kMethods) {
    if (className == entry.className && method == entry.name)
      return entry.id;
  }
  for (size_t i = 0; i < sizeof kHostMethods / sizeof kHostMethods[0]; ++i) {
    if (method == kHostMethods[i])
      return static_cast<LONG>(i);
  }
  char *end = nullptr;
  long id = std::strtol(method.c_str(), &end, 10);
  if (!method.empty() && *end == '\0' && id >= 0)
    return static_cast<LONG>(id);
  return -1;
}

bool IsActionMethod(const std::string &method) {
  for (const char *name : kActionMethods) {
    if (method == name)
      return true;
  }
  return false;
}

std::optional<Step> ReplayStepFor(const std::string &className, const std::string &name,
                                  const std::string &event, const std::vector<Entry> &entries) {
  if (className == "WbfTabStrip")
    return Make(className, name, "SelectTab",
                {StringEntry(kAttrValue, TextOf(entries, kAttrValue))});
  if (className == "WbfToolbar")
    return ToolbarStep(name, event, entries);
  if (className == "WbfTreeView")
    return TreeViewStep(name, entries);
  if (className == "WbfCalendar")
    return CalendarStep(name, entries);
  if (className == "WbfGrid" || className == "WbfUltraGrid")
    return GridStep(className, name, event, entries);
  if (IsAnyOf(className, {"WebEdit", "WebFile", "WebList"}))
    return Make(className, name, "Set", {StringEntry(kAttrValue, TextOf(entries, kAttrValue))});
  if (className == "WebCheckBox") {
    const Entry *checked = Find(entries, 17);
    std::vector<Entry> state;
    if (checked != nullptr)
      state.push_back(*checked);
    return Make(className, name, checked != nullptr ? "Set" : "Click", state);
  }
  if (event == "onclick")
    return Make(className, name, "Click", {});
  return std::nullopt;
}

} // namespace tallowick::cli

// Host attribute values and records as the commands read and write them:
// typed entries parsed from the command line or a step, requests built from
// them, and values printed in the VARIANT, step and JSON forms.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ComRef.h"
#include "TallowickIE_h.h"

namespace tallowick::cli {

struct EntryValue {
  enum class Kind { Long, Bool, String, Point, Rect } kind = Kind::String;
  LONG number = 0;
  bool flag = false;
  std::string text;
  LONG box[4] = {0, 0, 0, 0}; // x, y (point) or left, top, right, bottom
};

struct Entry {
  LONG id = 0;
  EntryValue value;
};

// A command-line value: an integer is a long, true/false a bool, anything else
// a string.
EntryValue PlainValue(const std::string &text);
// A step value: "quoted" (\" \\ \n escapes) is a string, an integer a long,
// true/false a bool, (x,y) a point, (l,t,r,b) a rectangle. False when malformed.
bool ParseStepValue(const std::string &text, EntryValue &value, std::string &error);
// The step form of a value: strings quoted and escaped, longs in decimal, ...
std::string StepText(const EntryValue &value);

Ref<IWebAttrVal> NewAttrVal(const EntryValue &value);
Ref<IWebAttrVal> NewAttrVal(const std::vector<EntryValue> &values);
// A request holding the entries (ReplaceAttrValueByName with add-new).
Ref<IWebInfo> NewRequest(const std::vector<Entry> &entries);

// The entries of a record in order, optionally leaving one id out.
std::vector<Entry> RecordEntries(IWebInfo *record, LONG skip = -1);
// One value of an attribute value as an entry value (strings, longs, bools,
// points, rectangles, doubles as strings, runtime ids as their text).
EntryValue ValueAt(IWebAttrVal *value, UINT index);
UINT ValueCount(IWebAttrVal *value);
// One value in eval's VARIANT form (runtime ids as RTID "b;f;o;t").
std::string VariantFormText(IWebAttrVal *value, UINT index);
// A value as JSON: strings, numbers and booleans; several values an array.
std::string JsonValue(IWebAttrVal *value);

} // namespace tallowick::cli

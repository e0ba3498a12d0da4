#include "WebValues.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "Cli.h"

namespace tallowick::cli {
namespace {

using platform::Narrow;
using platform::Widen;

bool ParseLong(const std::string &text, LONG &number) {
  if (text.empty())
    return false;
  errno = 0;
  char *end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX)
    return false;
  number = static_cast<LONG>(value);
  return true;
}

// "(a,b)" or "(a,b,c,d)" into numbers; false for anything else.
bool ParseTuple(const std::string &text, std::vector<LONG> &numbers) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')')
    return false;
  std::string inner = text.substr(1, text.size() - 2);
  size_t start = 0;
  while (true) {
    size_t comma = inner.find(',', start);
    LONG number = 0;
    if (!ParseLong(inner.substr(start, comma == std::string::npos ? comma : comma - start), number))
      return false;
    numbers.push_back(number);
    if (comma == std::string::npos)
      return true;
    start = comma + 1;
  }
}

bool Unquote(const std::string &text, std::string &out, std::string &error) {
  out.clear();
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      error = "unescaped quote inside " + text;
      return false;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= text.size()) {
      error = "dangling backslash in " + text;
      return false;
    }
    char next = text[++i];
    if (next == 'n')
      out += '\n';
    else if (next == '"' || next == '\\')
      out += next;
    else {
      error = std::string("unknown escape \\") + next + " in " + text;
      return false;
    }
  }
  return true;
}

BSTR NewBstr(const std::string &text) { return SysAllocString(Widen(text).c_str()); }

} // namespace

EntryValue PlainValue(const std::string &text) {
  EntryValue value;
  if (ParseLong(text, value.number)) {
    value.kind = EntryValue::Kind::Long;
  } else if (text == "true" || text == "false") {
    value.kind = EntryValue::Kind::Bool;
    value.flag = text == "true";
  } else {
    value.text = text;
  }
  return value;
}

bool ParseStepValue(const std::string &text, EntryValue &value, std::string &error) {
  value = EntryValue();
  if (!text.empty() && text.front() == '"') {
    if (text.size() < 2 || text.back() != '"') {
      error = "unterminated string " + text;
      return false;
    }
    return Unquote(text, value.text, error);
  }
  std::vector<LONG> numbers;
  if (!text.empty() && text.front() == '(') {
    if (!ParseTuple(text, numbers) || (numbers.size() != 2 && numbers.size() != 4)) {
      error = "a point is (x,y) and a rectangle (l,t,r,b), not " + text;
      return false;
    }
    value.kind = numbers.size() == 2 ? EntryValue::Kind::Point : EntryValue::Kind::Rect;
    for (size_t i = 0; i < numbers.size(); ++i)
      value.box[i] = numbers[i];
    return true;
  }
  if (text == "true" || text == "false" || ParseLong(text, value.number)) {
    value = PlainValue(text);
    return true;
  }
  error =
      "a value is a quoted string, a number, true/false, (x,y) or (l,t,r,b), not '" + text + "'";
  return false;
}

std::string StepText(const EntryValue &value) {
  switch (value.kind) {
  case EntryValue::Kind::Long:
    return std::to_string(value.number);
  case EntryValue::Kind::Bool:
    return value.flag ? "true" : "false";
  case EntryValue::Kind::Point:
    return "(" + std::to_string(value.box[0]) + "," + std::to_string(value.box[1]) + ")";
  case EntryValue::Kind::Rect:
    return "(" + std::to_string(value.box[0]) + "," + std::to_string(value.box[1]) + "," +
           std::to_string(value.box[2]) + "," + std::to_string(value.box[3]) + ")";
  case EntryValue::Kind::String:
    break;
  }
  return Quoted(value.text);
}

Ref<IWebAttrVal> NewAttrVal(const std::vector<EntryValue> &values) {
  Ref<IWebAttrVal> out;
  if (FAILED(CoCreateInstance(CLSID_WebAttrVal, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IWebAttrVal), out.OutVoid())))
    return {};
  for (const EntryValue &value : values) {
    switch (value.kind) {
    case EntryValue::Kind::Long:
      out->AddLong(value.number);
      break;
    case EntryValue::Kind::Bool:
      out->AddBool(value.flag ? 1 : 0);
      break;
    case EntryValue::Kind::Point:
      out->AddPoint(tagPOINT{value.box[0], value.box[1]});
      break;
    case EntryValue::Kind::Rect:
      out->AddRect(tagRECT{value.box[0], value.box[1], value.box[2], value.box[3]});
      break;
    case EntryValue::Kind::String: {
      BSTR text = NewBstr(value.text);
      out->AddString(text);
      SysFreeString(text);
      break;
    }
    }
  }
  return out;
}

Ref<IWebAttrVal> NewAttrVal(const EntryValue &value) {
  return NewAttrVal(std::vector<EntryValue>{value});
}

Ref<IWebInfo> NewRequest(const std::vector<Entry> &entries) {
  Ref<IWebInfo> request;
  if (FAILED(CoCreateInstance(CLSID_WebInfo, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWebInfo),
                              request.OutVoid())))
    return {};
  for (const Entry &entry : entries) {
    Ref<IWebAttrVal> value = NewAttrVal(entry.value);
    if (!value || FAILED(request->ReplaceAttrValueByName(entry.id, value.Get(), 1)))
      return {};
  }
  return request;
}

UINT ValueCount(IWebAttrVal *value) {
  UINT size = 0;
  if (value == nullptr || FAILED(value->GetSize(&size)))
    return 0;
  return size;
}

EntryValue ValueAt(IWebAttrVal *value, UINT index) {
  EntryValue out;
  Ref<IWebVariant> item;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  if (FAILED(value->GetValue(index, item.Out())) || !item || FAILED(item->GetType(&type)))
    return out;
  switch (type) {
  case WEB_AV_LONG:
    out.kind = EntryValue::Kind::Long;
    item->get_long(&out.number);
    return out;
  case WEB_AV_BOOL: {
    LONG flag = 0;
    item->get_bool(&flag);
    out.kind = EntryValue::Kind::Bool;
    out.flag = flag != 0;
    return out;
  }
  case WEB_AV_POINT: {
    tagPOINT point{};
    item->get_point(&point);
    out.kind = EntryValue::Kind::Point;
    out.box[0] = point.x;
    out.box[1] = point.y;
    return out;
  }
  case WEB_AV_RECT: {
    tagRECT rect{};
    item->get_rect(&rect);
    out.kind = EntryValue::Kind::Rect;
    out.box[0] = rect.left;
    out.box[1] = rect.top;
    out.box[2] = rect.right;
    out.box[3] = rect.bottom;
    return out;
  }
  case WEB_AV_ID: {
    Ref<IWebRunTimeID> id;
    BSTR text = nullptr;
    if (SUCCEEDED(item->get_RTID(id.Out())) && id && SUCCEEDED(id->GetIdAsString(&text)))
      out.text = TakeText(text);
    return out;
  }
  default: {
    BSTR text = nullptr;
    if (SUCCEEDED(item->get_string(&text)))
      out.text = TakeText(text);
    return out;
  }
  }
}

std::vector<Entry> RecordEntries(IWebInfo *record, LONG skip) {
  std::vector<Entry> entries;
  UINT size = 0;
  if (record == nullptr || FAILED(record->GetSize(&size)))
    return entries;
  for (UINT i = 0; i < size; ++i) {
    LONG id = 0;
    Ref<IWebAttrVal> value;
    if (FAILED(record->GetAttrNameByIndex(i, &id)) || id == skip ||
        FAILED(record->GetAttrValueByIndex(i, value.Out())) || !value ||
        ValueCount(value.Get()) == 0)
      continue;
    entries.push_back({id, ValueAt(value.Get(), 0)});
  }
  return entries;
}

std::string VariantFormText(IWebAttrVal *value, UINT index) {
  Ref<IWebVariant> item;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  if (FAILED(value->GetValue(index, item.Out())) || !item || FAILED(item->GetType(&type)))
    return "VT_EMPTY";
  EntryValue entry = ValueAt(value, index);
  switch (type) {
  case WEB_AV_ID:
    return "RTID " + Quoted(entry.text);
  case WEB_AV_POINT:
  case WEB_AV_RECT:
    return StepText(entry);
  default:
    break;
  }
  VARIANT variant;
  VariantInit(&variant);
  if (FAILED(item->ToVariant(&variant)))
    return "VT_EMPTY";
  std::string text = VariantText(variant);
  VariantClear(&variant);
  return text;
}

std::string JsonValue(IWebAttrVal *value) {
  UINT count = ValueCount(value);
  std::string out = count == 1 ? "" : "[";
  for (UINT i = 0; i < count; ++i) {
    if (i > 0)
      out += ",";
    EntryValue entry = ValueAt(value, i);
    switch (entry.kind) {
    case EntryValue::Kind::Long:
      out += std::to_string(entry.number);
      break;
    case EntryValue::Kind::Bool:
      out += entry.flag ? "true" : "false";
      break;
    case EntryValue::Kind::String:
      out += JsonString(entry.text);
      break;
    default:
      out += JsonString(StepText(entry));
      break;
    }
  }
  return count == 1 ? out : out + "]";
}

} // namespace tallowick::cli

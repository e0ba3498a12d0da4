#include "registry/RegistryFormat.h"

#include "tallowick/Strings.h"

#include <cstring>
#include <optional>

namespace tallowick::platform::registry {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr size_t kWrapColumn = 77;

// ---- writing ----

std::string Quote(std::wstring_view text) {
  std::string out = "\"";
  for (char c : Narrow(text)) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// The string of a REG_SZ value, when the quoted form reproduces its bytes exactly.
std::optional<std::wstring> PlainString(const Value &value) {
  const auto &data = value.data;
  if (value.type != REG_SZ || data.empty() || data.size() % sizeof(wchar_t) != 0)
    return std::nullopt;
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data.data(), data.size());
  if (text.back() != L'\0')
    return std::nullopt;
  text.pop_back();
  if (!IsStorableText(text))
    return std::nullopt;
  return text;
}

void AppendHex(const Value &value, std::string &line, std::string &out) {
  char buf[32];
  if (value.type == REG_BINARY)
    line += "hex:";
  else {
    std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
    line += buf;
  }
  for (size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", value.data[i]);
    line += buf;
    if (i + 1 == value.data.size())
      break;
    line += ',';
    if (line.size() >= kWrapColumn) {
      out += line;
      out += "\\\n";
      line = "  ";
    }
  }
}

void AppendValue(const Value &value, std::string &out) {
  std::string line = value.name.empty() ? "@" : Quote(value.name);
  line += '=';
  if (auto text = PlainString(value)) {
    line += Quote(*text);
  } else if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
    DWORD number;
    std::memcpy(&number, value.data.data(), sizeof number);
    char buf[32];
    std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(number));
    line += buf;
  } else {
    AppendHex(value, line, out);
  }
  out += line;
  out += '\n';
}

void AppendSections(const Key &key, const std::wstring &path, bool isRoot, std::string &out) {
  if (!isRoot || !key.values.empty()) {
    out += "\n[" + Narrow(path) + "]\n";
    for (const auto &value : key.values)
      AppendValue(value, out);
  }
  for (const auto &child : key.subkeys)
    AppendSections(child, path + L'\\' + child.name, false, out);
}

// ---- parsing ----

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::wstring_view s, std::wstring_view prefix) {
  return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

// Hexadecimal number of 1 to 8 digits filling all of `s`.
bool ParseHexNumber(std::wstring_view s, DWORD &number) {
  if (s.empty() || s.size() > 8)
    return false;
  number = 0;
  for (wchar_t c : s) {
    int d = HexDigit(c);
    if (d < 0)
      return false;
    number = number << 4 | static_cast<DWORD>(d);
  }
  return true;
}

void SkipSpaces(std::wstring_view s, size_t &pos) {
  while (pos < s.size() && (s[pos] == L' ' || s[pos] == L'\t'))
    ++pos;
}

class LineParser {
public:
  LineParser(Tree &tree, ParseError &error) : tree_(tree), error_(error) {}

  bool Line(std::wstring_view line, size_t number) {
    line_ = number;
    if (line.empty() || line[0] == L';')
      return true;
    if (line[0] == L'[')
      return Section(line);
    if (line[0] == L'@' || line[0] == L'"')
      return ValueLine(line);
    return Fail("unexpected text");
  }

private:
  bool Fail(std::string reason) {
    error_.line = line_;
    error_.reason = std::move(reason);
    return false;
  }

  bool Section(std::wstring_view line) {
    if (line.back() != L']')
      return Fail("key name without closing ']'");
    std::wstring_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path[0] == L'-')
      return Fail("key deletion entries are not supported");
    size_t sep = path.find(L'\\');
    int root = RootIndex(path.substr(0, sep));
    if (root < 0)
      return Fail("unknown root key");
    Key *key = &tree_.roots[static_cast<size_t>(root)];
    while (sep != std::wstring_view::npos) {
      path.remove_prefix(sep + 1);
      sep = path.find(L'\\');
      std::wstring_view part = path.substr(0, sep);
      if (part.empty())
        return Fail("empty key name");
      if (part.size() > kMaxKeyNameLength)
        return Fail("key name too long");
      bool created;
      key = &key->AddSubkey(part, created);
    }
    current_ = key;
    return true;
  }

  bool Quoted(std::wstring_view s, size_t &pos, std::wstring &text) {
    ++pos; // opening quote
    text.clear();
    for (; pos < s.size(); ++pos) {
      wchar_t c = s[pos];
      if (c == L'"') {
        ++pos;
        return true;
      }
      if (c == L'\\') {
        if (++pos == s.size())
          break;
        c = s[pos];
        if (c != L'\\' && c != L'"')
          return Fail("unknown escape sequence in string");
      }
      text += c;
    }
    return Fail("unterminated string");
  }

  bool HexBytes(std::wstring_view s, std::vector<BYTE> &bytes) {
    size_t pos = 0;
    SkipSpaces(s, pos);
    if (pos == s.size())
      return true;
    for (;;) {
      size_t comma = s.find(L',', pos);
      std::wstring_view token =
          s.substr(pos, comma == std::wstring_view::npos ? s.npos : comma - pos);
      size_t t = 0;
      SkipSpaces(token, t);
      token.remove_prefix(t);
      while (!token.empty() && (token.back() == L' ' || token.back() == L'\t'))
        token.remove_suffix(1);
      DWORD byte;
      if (token.size() > 2 || !ParseHexNumber(token, byte))
        return Fail("invalid hex byte");
      bytes.push_back(static_cast<BYTE>(byte));
      if (comma == std::wstring_view::npos)
        return true;
      pos = comma + 1;
    }
  }

  bool Data(std::wstring_view s, DWORD &type, std::vector<BYTE> &bytes) {
    size_t pos = 0;
    if (!s.empty() && s[0] == L'"') {
      std::wstring text;
      if (!Quoted(s, pos, text))
        return false;
      SkipSpaces(s, pos);
      if (pos != s.size())
        return Fail("unexpected text after string");
      type = REG_SZ;
      bytes.resize((text.size() + 1) * sizeof(wchar_t));
      std::memcpy(bytes.data(), text.c_str(), bytes.size());
      return true;
    }
    if (StartsWithNoCase(s, L"dword:")) {
      DWORD number;
      if (!ParseHexNumber(s.substr(6), number))
        return Fail("invalid dword");
      type = REG_DWORD;
      bytes.resize(sizeof number);
      std::memcpy(bytes.data(), &number, sizeof number);
      return true;
    }
    if (StartsWithNoCase(s, L"hex:")) {
      type = REG_BINARY;
      return HexBytes(s.substr(4), bytes);
    }
    if (StartsWithNoCase(s, L"hex(")) {
      size_t close = s.find(L"):");
      if (close == std::wstring_view::npos || !ParseHexNumber(s.substr(4, close - 4), type))
        return Fail("invalid value type");
      return HexBytes(s.substr(close + 2), bytes);
    }
    if (s == L"-")
      return Fail("value deletion entries are not supported");
    return Fail("unknown value data");
  }

  bool ValueLine(std::wstring_view line) {
    if (!current_)
      return Fail("value outside a key section");
    std::wstring name; // '@' names the default value
    size_t pos = 0;
    if (line[0] == L'@')
      pos = 1;
    else if (!Quoted(line, pos, name))
      return false;
    if (name.size() > kMaxValueNameLength)
      return Fail("value name too long");
    if (!IsStorableText(name))
      return Fail("invalid character in value name");
    SkipSpaces(line, pos);
    if (pos == line.size() || line[pos] != L'=')
      return Fail("expected '='");
    ++pos;
    SkipSpaces(line, pos);
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    if (!Data(line.substr(pos), type, bytes))
      return false;
    current_->SetValue(name, type, std::move(bytes));
    return true;
  }

  Tree &tree_;
  ParseError &error_;
  Key *current_ = nullptr;
  size_t line_ = 0;
};

// Splits text into physical lines; a value line ending in '\' continues on the next line.
class LineReader {
public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string &logical, size_t &first) {
    if (pos_ >= text_.size())
      return false;
    logical.clear();
    first = number_ + 1;
    for (;;) {
      std::string_view line = Physical();
      if (!logical.empty()) {
        logical.pop_back(); // the continuation backslash
      }
      logical += line;
      bool value = !logical.empty() && (logical[0] == '"' || logical[0] == '@');
      if (!value || logical.back() != '\\' || pos_ >= text_.size())
        return true;
    }
  }

private:
  std::string_view Physical() {
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos)
      end = text_.size();
    std::string_view line = Trim(text_.substr(pos_, end - pos_));
    pos_ = end + 1;
    ++number_;
    return line;
  }

  std::string_view text_;
  size_t pos_ = 0;
  size_t number_ = 0;
};

} // namespace

bool ParseRegedit(std::string_view text, Tree &tree, ParseError &error) {
  if (text.starts_with("\xEF\xBB\xBF"))
    text.remove_prefix(3);
  LineReader reader(text);
  LineParser parser(tree, error);
  std::string line;
  size_t number = 0;
  bool header = false;
  while (reader.Next(line, number)) {
    std::wstring wide = Widen(line);
    if (Narrow(wide) != line) {
      error = {number, "invalid UTF-8"};
      return false;
    }
    if (!header) {
      if (line.empty())
        continue;
      if (line != kHeader) {
        error = {number, "missing REGEDIT4 header"};
        return false;
      }
      header = true;
      continue;
    }
    if (!parser.Line(wide, number))
      return false;
  }
  return true;
}

std::string FormatRegedit(const Tree &tree) {
  std::string out(kHeader);
  out += '\n';
  for (const auto &root : tree.roots)
    AppendSections(root, root.name, true, out);
  return out;
}

std::string FormatRegedit(const Key &key, const std::wstring &path) {
  std::string out(kHeader);
  out += '\n';
  AppendSections(key, path, path.find(L'\\') == std::wstring::npos, out);
  return out;
}

} // namespace tallowick::platform::registry

#include "kit/RegistryScript.h"

#include <cwctype>
#include <vector>

namespace {

bool EqualsNoCase(const std::wstring &a, const wchar_t *b) { return lstrcmpiW(a.c_str(), b) == 0; }

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

HKEY HiveByName(const std::wstring &name) {
  struct Hive {
    const wchar_t *shortName;
    const wchar_t *longName;
    HKEY key;
  };
  static const Hive hives[] = {
      {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {L"HKU", L"HKEY_USERS", HKEY_USERS},
  };
  for (const Hive &hive : hives)
    if (EqualsNoCase(name, hive.shortName) || EqualsNoCase(name, hive.longName))
      return hive.key;
  return nullptr;
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

} // namespace

class CRegistryScript::Parser {
public:
  Parser(const std::wstring &text, const Replacements &replacements)
      : text_(text), replacements_(replacements) {}

  bool ParseRoots(std::vector<Root> &roots) {
    for (;;) {
      std::wstring name;
      if (!NextToken(name))
        return error_.empty();
      HKEY hive = HiveByName(name);
      if (hive == nullptr)
        return Fail(L"unknown root key '" + name + L"'");
      Root root{hive, {}};
      if (!Expect(L"{") || !ParseKeys(root.keys))
        return false;
      roots.push_back(std::move(root));
    }
  }

  const std::wstring &Error() const { return error_; }

private:
  // Keys up to and including the closing brace.
  bool ParseKeys(std::vector<Key> &keys) {
    for (;;) {
      std::wstring token;
      if (!NextToken(token))
        return Fail(L"missing '}'");
      if (token == L"}")
        return true;
      if (EqualsNoCase(token, L"val"))
        return Fail(L"value outside a key");
      Key key;
      if (!ParseKey(token, key))
        return false;
      keys.push_back(std::move(key));
    }
  }

  bool ParseKey(std::wstring token, Key &key) {
    for (;;) {
      if (EqualsNoCase(token, L"NoRemove")) {
        key.noRemove = true;
      } else if (EqualsNoCase(token, L"ForceRemove")) {
        key.forceRemove = true;
      } else if (EqualsNoCase(token, L"Delete")) {
        key.deleteKey = true;
      } else {
        break;
      }
      if (!NextToken(token))
        return Fail(L"missing key name");
    }
    key.name = token;
    if (Peek() == L'=') {
      Advance();
      key.hasDefault = true;
      if (!ParseTypedValue(key.defaultValue))
        return false;
    }
    if (Peek() != L'{')
      return true;
    Advance();
    return ParseKeyBody(key);
  }

  bool ParseKeyBody(Key &key) {
    for (;;) {
      std::wstring token;
      if (!NextToken(token))
        return Fail(L"missing '}'");
      if (token == L"}")
        return true;
      if (EqualsNoCase(token, L"val")) {
        Value value;
        if (!NextToken(value.name) || !Expect(L"=") || !ParseTypedValue(value))
          return false;
        key.values.push_back(std::move(value));
        continue;
      }
      Key child;
      if (!ParseKey(token, child))
        return false;
      key.children.push_back(std::move(child));
    }
  }

  bool ParseTypedValue(Value &value) {
    std::wstring type;
    if (!NextToken(type))
      return Fail(L"missing value type");
    if (type.size() != 1 || (type != L"s" && type != L"d" && type != L"b"))
      return Fail(L"unknown value type '" + type + L"'");
    value.type = type[0];
    if (!NextToken(value.text))
      return Fail(L"missing value");
    return true;
  }

  bool Expect(const wchar_t *what) {
    std::wstring token;
    if (NextToken(token) && token == what)
      return true;
    return Fail(std::wstring(L"expected '") + what + L"'");
  }

  void SkipSpace() {
    while (pos_ < text_.size() && std::iswspace(static_cast<wint_t>(text_[pos_])))
      ++pos_;
  }
  wchar_t Peek() {
    SkipSpace();
    return pos_ < text_.size() ? text_[pos_] : L'\0';
  }
  void Advance() { ++pos_; }

  // A brace, '=', a quoted string (with '' for a quote) or a bare word.
  // Braces must be separated from words by white space.
  bool NextToken(std::wstring &token) {
    token.clear();
    wchar_t c = Peek();
    if (c == L'\0')
      return false;
    // A brace stands alone; "{...}" glued to more text is a name such as a GUID.
    bool glued = pos_ + 1 < text_.size() && !std::iswspace(static_cast<wint_t>(text_[pos_ + 1]));
    if (c == L'=' || c == L'}' || (c == L'{' && !glued)) {
      token = c;
      ++pos_;
      return true;
    }
    if (c == L'\'')
      return ReadQuoted(token);
    while (pos_ < text_.size()) {
      wchar_t w = text_[pos_];
      if (std::iswspace(static_cast<wint_t>(w)) || w == L'=')
        break;
      token += w;
      ++pos_;
    }
    return Substitute(token);
  }

  bool ReadQuoted(std::wstring &token) {
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size())
        return Fail(L"unterminated string");
      wchar_t w = text_[pos_++];
      if (w != L'\'') {
        token += w;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == L'\'') {
        token += L'\'';
        ++pos_;
        continue;
      }
      return Substitute(token);
    }
  }

  bool Substitute(std::wstring &token) {
    std::wstring out;
    for (size_t i = 0; i < token.size(); ++i) {
      if (token[i] != L'%') {
        out += token[i];
        continue;
      }
      size_t end = token.find(L'%', i + 1);
      if (end == std::wstring::npos)
        return Fail(L"unterminated %variable%");
      std::wstring name = token.substr(i + 1, end - i - 1);
      i = end;
      if (name.empty()) {
        out += L'%';
        continue;
      }
      const std::wstring *replacement = Lookup(name);
      if (replacement == nullptr)
        return Fail(L"unknown variable %" + name + L"%");
      out += *replacement;
    }
    token = std::move(out);
    return true;
  }

  const std::wstring *Lookup(const std::wstring &name) const {
    for (const auto &entry : replacements_)
      if (EqualsNoCase(name, entry.first.c_str()))
        return &entry.second;
    return nullptr;
  }

  bool Fail(const std::wstring &message) {
    if (error_.empty())
      error_ = message;
    return false;
  }

  const std::wstring &text_;
  const Replacements &replacements_;
  size_t pos_ = 0;
  std::wstring error_;
};

HRESULT CRegistryScript::Parse(const std::wstring &script, const Replacements &replacements) {
  roots_.clear();
  error_.clear();
  Parser parser(script, replacements);
  std::vector<Root> roots;
  if (!parser.ParseRoots(roots)) {
    error_ = parser.Error();
    return E_INVALIDARG;
  }
  roots_ = std::move(roots);
  return S_OK;
}

HRESULT CRegistryScript::WriteValue(HKEY key, const Value &value) {
  LPCWSTR name = value.name.empty() ? nullptr : value.name.c_str();
  if (value.type == L's') {
    auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(WCHAR));
    return FromWin32(RegSetValueExW(key, name, 0, REG_SZ,
                                    reinterpret_cast<const BYTE *>(value.text.c_str()), bytes));
  }
  if (value.type == L'd') {
    wchar_t *end = nullptr;
    DWORD number = static_cast<DWORD>(std::wcstoul(value.text.c_str(), &end, 0));
    if (end == value.text.c_str() || *end != L'\0')
      return E_INVALIDARG;
    return FromWin32(RegSetValueExW(key, name, 0, REG_DWORD,
                                    reinterpret_cast<const BYTE *>(&number), sizeof number));
  }
  if (value.text.size() % 2 != 0)
    return E_INVALIDARG;
  std::vector<BYTE> bytes;
  for (size_t i = 0; i < value.text.size(); i += 2) {
    int hi = HexDigit(value.text[i]);
    int lo = HexDigit(value.text[i + 1]);
    if (hi < 0 || lo < 0)
      return E_INVALIDARG;
    bytes.push_back(static_cast<BYTE>(hi << 4 | lo));
  }
  return FromWin32(
      RegSetValueExW(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())));
}

HRESULT CRegistryScript::RegisterKey(HKEY parent, const Key &key) {
  if (key.deleteKey) {
    LONG rc = RegDeleteTreeW(parent, key.name.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(rc);
  }
  if (key.forceRemove) {
    LONG rc = RegDeleteTreeW(parent, key.name.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
      return FromWin32(rc);
  }
  HKEY handle = nullptr;
  HRESULT hr = FromWin32(RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &handle, nullptr));
  if (FAILED(hr))
    return hr;
  if (key.hasDefault)
    hr = WriteValue(handle, key.defaultValue);
  for (size_t i = 0; SUCCEEDED(hr) && i < key.values.size(); ++i)
    hr = WriteValue(handle, key.values[i]);
  for (size_t i = 0; SUCCEEDED(hr) && i < key.children.size(); ++i)
    hr = RegisterKey(handle, key.children[i]);
  RegCloseKey(handle);
  return hr;
}

// Children first; the key itself goes when it is not NoRemove and nothing the
// script does not know is left under it (ForceRemove takes the whole tree).
HRESULT CRegistryScript::UnregisterKey(HKEY parent, const Key &key) {
  if (key.deleteKey)
    return S_OK;
  HKEY handle = nullptr;
  LONG rc = RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_ALL_ACCESS, &handle);
  if (rc == ERROR_FILE_NOT_FOUND)
    return S_OK;
  if (rc != ERROR_SUCCESS)
    return FromWin32(rc);
  HRESULT hr = S_OK;
  for (size_t i = 0; SUCCEEDED(hr) && i < key.children.size(); ++i)
    hr = UnregisterKey(handle, key.children[i]);
  for (const Value &value : key.values)
    RegDeleteValueW(handle, value.name.c_str());
  DWORD subkeys = 0;
  RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  if (FAILED(hr) || key.noRemove)
    return hr;
  if (key.forceRemove) {
    rc = RegDeleteTreeW(parent, key.name.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(rc);
  }
  if (subkeys != 0)
    return S_OK;
  rc = RegDeleteKeyW(parent, key.name.c_str());
  return rc == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(rc);
}

HRESULT CRegistryScript::Register() const {
  for (const Root &root : roots_)
    for (const Key &key : root.keys) {
      HRESULT hr = RegisterKey(root.hive, key);
      if (FAILED(hr))
        return hr;
    }
  return S_OK;
}

HRESULT CRegistryScript::Unregister() const {
  for (const Root &root : roots_)
    for (const Key &key : root.keys) {
      HRESULT hr = UnregisterKey(root.hive, key);
      if (FAILED(hr))
        return hr;
    }
  return S_OK;
}

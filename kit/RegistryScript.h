// Runs registry scripts in the registrar's text format:
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {…} = s 'Description'
//       {
//         InprocServer32 = s '%RELATIVE_PATH%'
//         {
//           val ThreadingModel = s 'Apartment'
//         }
//       }
//     }
//   }
//
// Keys may carry NoRemove (never deleted at unregistration), ForceRemove (the
// whole subtree is replaced at registration) or Delete (removed at
// registration). Values are `s` strings, `d` DWORDs and `b` hex bytes.
// %NAME% is replaced from the replacement map; %% is a percent sign.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CRegistryScript {
public:
  using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

  // Parses `script`; E_INVALIDARG (with a message) when it is malformed.
  HRESULT Parse(const std::wstring &script, const Replacements &replacements);
  // Writes the parsed keys, or removes them. The first failure stops the run.
  HRESULT Register() const;
  HRESULT Unregister() const;
  const std::wstring &Error() const { return error_; }

private:
  struct Value {
    std::wstring name; // empty: the key's default value
    wchar_t type = L's';
    std::wstring text;
  };
  struct Key {
    std::wstring name;
    bool noRemove = false;
    bool forceRemove = false;
    bool deleteKey = false;
    bool hasDefault = false;
    Value defaultValue;
    std::vector<Value> values;
    std::vector<Key> children;
  };
  struct Root {
    HKEY hive;
    std::vector<Key> keys;
  };

  class Parser;

  static HRESULT WriteValue(HKEY key, const Value &value);
  static HRESULT RegisterKey(HKEY parent, const Key &key);
  static HRESULT UnregisterKey(HKEY parent, const Key &key);

  std::vector<Root> roots_;
  std::wstring error_;
};

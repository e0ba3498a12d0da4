// REGEDIT4 text: the registry file's format and the export format.
#pragma once

#include "registry/RegistryTree.h"

#include <string>
#include <string_view>

namespace tallowick::platform::registry {

struct ParseError {
  size_t line = 0;
  std::string reason;
};

// Parses REGEDIT4 text into `tree` (which should be empty). Text with nothing but
// white space is an empty registry.
bool ParseRegedit(std::string_view text, Tree &tree, ParseError &error);

// The whole registry: roots in fixed order, keys depth-first in name order.
std::string FormatRegedit(const Tree &tree);
// `key` and everything below it; `path` is the key's full name, e.g. L"HKEY_CLASSES_ROOT\\CLSID".
std::string FormatRegedit(const Key &key, const std::wstring &path);

} // namespace tallowick::platform::registry

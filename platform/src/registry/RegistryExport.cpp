#include <tallowick/Registry.h>

#include "registry/RegistryFormat.h"
#include "registry/RegistryStore.h"

#include <new>

namespace tallowick::platform {

std::string RegistryFilePath() {
  std::lock_guard lock(registry::RegistryMutex());
  return registry::RegistryFilePath();
}

LONG ExportRegistry(std::wstring_view keyPath, std::string &text) {
  using namespace registry;
  try {
    std::lock_guard lock(RegistryMutex());
    bool whole = keyPath.empty();
    size_t sep = keyPath.find(L'\\');
    int root = keyPath.empty() ? 0 : RootIndex(keyPath.substr(0, sep));
    if (root < 0)
      return ERROR_BAD_PATHNAME;
    KeyPath path;
    while (sep != std::wstring_view::npos) {
      keyPath.remove_prefix(sep + 1);
      sep = keyPath.find(L'\\');
      if (sep == 0 || keyPath.empty())
        return ERROR_BAD_PATHNAME;
      path.emplace_back(keyPath.substr(0, sep));
    }
    std::shared_ptr<const Tree> tree;
    if (LONG status = LoadRegistry(tree); status != ERROR_SUCCESS)
      return status;
    if (whole) {
      text = FormatRegedit(*tree);
      return ERROR_SUCCESS;
    }
    // The full name as stored, whatever case the caller used.
    const Key *key = &tree->roots[static_cast<size_t>(root)];
    std::wstring name = key->name;
    for (const auto &part : path) {
      key = key->FindSubkey(part);
      if (!key)
        return ERROR_FILE_NOT_FOUND;
      name += L'\\' + key->name;
    }
    text = FormatRegedit(*key, name);
    return ERROR_SUCCESS;
  } catch (const std::bad_alloc &) {
    return ERROR_OUTOFMEMORY;
  }
}

std::string RegistryParseError() {
  std::lock_guard lock(registry::RegistryMutex());
  return registry::RegistryParseError();
}

} // namespace tallowick::platform

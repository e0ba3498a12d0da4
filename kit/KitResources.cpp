#include "kit/KitResources.h"

#include "kit/KitCom.h"
#include "kit/resource.h"

#ifdef _WIN32

namespace KitResources {

bool RegistryScript(UINT id, std::wstring &script) {
  HMODULE module = KitModule::Instance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
  if (found == nullptr)
    return false;
  HGLOBAL loaded = LoadResource(module, found);
  DWORD size = SizeofResource(module, found);
  const char *bytes = loaded != nullptr ? static_cast<const char *>(LockResource(loaded)) : nullptr;
  if (bytes == nullptr)
    return false;
  int chars = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
  script.assign(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), script.data(), chars);
  return true;
}

std::wstring String(UINT id) {
  const wchar_t *text = nullptr;
  int length = LoadStringW(KitModule::Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

} // namespace KitResources

#else

#include "KitResourceText.h" // generated from the .rgs files and the .rc string table

namespace KitResources {

bool RegistryScript(UINT id, std::wstring &script) {
  for (const auto &entry : kRegistryScripts) {
    if (entry.id != id)
      continue;
    script = entry.text;
    return true;
  }
  return false;
}

std::wstring String(UINT id) {
  for (const auto &entry : kStringTable)
    if (entry.id == id)
      return entry.text;
  return std::wstring();
}

} // namespace KitResources

#endif

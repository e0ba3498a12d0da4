// Modules on top of the dynamic loader. An HMODULE is the module's load base
// address (what dladdr reports as dli_fbase); the loader's own reference count
// is the module's count: each successful load opens it once more, each
// FreeLibrary closes it once, and the last close unloads it (running DllMain's
// detach from the module's destructor).
#include "tallowick/Strings.h"
#include "tallowick/Loader.h"

#include <windows.h>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tallowick::platform;

namespace {

thread_local std::string t_loaderMessage;

struct Module {
  HMODULE base = nullptr;
  std::string path; // absolute
  bool main = false;
};

std::string ExecutablePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string AbsolutePath(const std::string &path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

std::string FileName(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int CollectModule(dl_phdr_info *info, size_t, void *data) {
  auto *modules = static_cast<std::vector<Module> *>(data);
  uintptr_t lowest = UINTPTR_MAX;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_vaddr < lowest)
      lowest = info->dlpi_phdr[i].p_vaddr;
  }
  if (lowest == UINTPTR_MAX)
    return 0;
  uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  Module module;
  module.base = reinterpret_cast<HMODULE>(info->dlpi_addr + (lowest & ~(page - 1)));
  module.main = modules->empty();
  if (module.main) {
    module.path = ExecutablePath();
  } else if (info->dlpi_name != nullptr && info->dlpi_name[0] == '/') {
    module.path = info->dlpi_name;
  } else if (info->dlpi_name != nullptr && std::strchr(info->dlpi_name, '/') != nullptr) {
    module.path = AbsolutePath(info->dlpi_name);
  } else {
    return 0; // the vDSO and other objects without a file
  }
  modules->push_back(std::move(module));
  return 0;
}

std::vector<Module> LoadedModules() {
  std::vector<Module> modules;
  dl_iterate_phdr(CollectModule, &modules);
  return modules;
}

std::optional<Module> FindByBase(HMODULE base) {
  for (auto &module : LoadedModules()) {
    if (module.base == base)
      return module;
  }
  return std::nullopt;
}

std::optional<Module> MainModule() {
  auto modules = LoadedModules();
  if (modules.empty())
    return std::nullopt;
  return modules.front();
}

// A name with '/' matches a module's full path, a bare name its file name.
std::optional<Module> FindByName(const std::string &name) {
  bool isPath = name.find('/') != std::string::npos;
  std::string wanted = isPath ? AbsolutePath(name) : name;
  for (auto &module : LoadedModules()) {
    if ((isPath ? module.path : FileName(module.path)) == wanted)
      return module;
  }
  return std::nullopt;
}

std::optional<Module> FindByAddress(const void *address) {
  Dl_info info{};
  if (address == nullptr || dladdr(address, &info) == 0)
    return std::nullopt;
  return FindByBase(static_cast<HMODULE>(info.dli_fbase));
}

// A loader handle for a loaded module; adds one to its count (dlclose undoes it).
void *OpenLoaded(const Module &module, int extraFlags = 0) {
  if (module.main)
    return dlopen(nullptr, RTLD_LAZY);
  return dlopen(module.path.c_str(), RTLD_LAZY | RTLD_NOLOAD | extraFlags);
}

bool IsRegularFile(const std::string &path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsLoadableElf(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  ElfW(Ehdr) header{};
  if (!file.read(reinterpret_cast<char *>(&header), sizeof header))
    return false;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
    return false;
  Dl_info self{};
  if (dladdr(reinterpret_cast<void *>(&IsLoadableElf), &self) == 0)
    return true;
  auto *own = static_cast<const ElfW(Ehdr) *>(self.dli_fbase);
  return header.e_ident[EI_CLASS] == own->e_ident[EI_CLASS] && header.e_machine == own->e_machine;
}

DWORD LoadFailure(const std::string &target, const std::string &message) {
  if (target.find('/') != std::string::npos) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0)
      return ERROR_MOD_NOT_FOUND;
    if (!S_ISREG(st.st_mode) || !IsLoadableElf(target))
      return ERROR_BAD_FORMAT;
  }
  if (message.find("undefined symbol") != std::string::npos)
    return ERROR_PROC_NOT_FOUND;
  for (const char *bad : {"invalid ELF header", "file too short", "wrong ELF class", "ELF file",
                          "cannot dynamically load"}) {
    if (message.find(bad) != std::string::npos)
      return ERROR_BAD_FORMAT;
  }
  return ERROR_MOD_NOT_FOUND;
}

// The loader's search path as it applies to this library (its run path, the
// environment's path, the system folders). Asked explicitly because dlopen's
// own search would use the run path of whatever object called it, which an
// interposed dlopen (a sanitizer's) changes.
std::vector<std::string> PlatformSearchPath() {
  std::vector<std::string> folders;
  Dl_info self{};
  if (dladdr(reinterpret_cast<void *>(&PlatformSearchPath), &self) == 0 ||
      self.dli_fname == nullptr)
    return folders;
  void *handle = dlopen(self.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (handle == nullptr)
    return folders;
  Dl_serinfo size{};
  if (dlinfo(handle, RTLD_DI_SERINFOSIZE, &size) == 0 && size.dls_size > 0) {
    std::vector<char> storage(size.dls_size);
    auto *info = reinterpret_cast<Dl_serinfo *>(storage.data());
    info->dls_size = size.dls_size;
    info->dls_cnt = size.dls_cnt;
    if (dlinfo(handle, RTLD_DI_SERINFO, info) == 0) {
      for (unsigned i = 0; i < info->dls_cnt; ++i)
        folders.emplace_back(info->dls_serpath[i].dls_name);
    }
  }
  dlclose(handle);
  return folders;
}

// What to hand to dlopen for a module name: a path as an absolute path; a bare
// name as an already loaded module of that file name, else the file beside the
// executable, else the file on the library search path, else the name itself.
std::string ResolveLibrary(const std::string &name) {
  if (name.find('/') != std::string::npos)
    return AbsolutePath(name);
  if (auto loaded = FindByName(name))
    return loaded->path;
  std::string exe = ExecutablePath();
  if (!exe.empty()) {
    std::string beside = fs::path(exe).parent_path() / name;
    if (IsRegularFile(beside))
      return beside;
  }
  for (const std::string &folder : PlatformSearchPath()) {
    std::string candidate = fs::path(folder) / name;
    if (IsRegularFile(candidate))
      return candidate;
  }
  return name;
}

HMODULE BaseOfHandle(void *handle) {
  link_map *map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
    return nullptr;
  Dl_info info{};
  if (dladdr(map->l_ld, &info) == 0)
    return nullptr;
  return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE Load(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  constexpr DWORD kUnsupported = DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE;
  constexpr DWORD kAccepted = LOAD_WITH_ALTERED_SEARCH_PATH | LOAD_IGNORE_CODE_AUTHZ_LEVEL;
  if (lpLibFileName == nullptr || lpLibFileName[0] == L'\0' || hFile != nullptr ||
      (dwFlags & ~(kAccepted | kUnsupported)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if ((dwFlags & kUnsupported) != 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  std::string target = ResolveLibrary(Narrow(lpLibFileName));
  if (auto main = MainModule(); main && target == main->path) {
    t_loaderMessage.clear();
    return main->base; // the executable is never unloaded
  }
  void *handle = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char *error = dlerror();
    t_loaderMessage = error != nullptr ? error : "cannot load " + target;
    SetLastError(LoadFailure(target, t_loaderMessage));
    return nullptr;
  }
  HMODULE base = BaseOfHandle(handle);
  if (base == nullptr) {
    dlclose(handle);
    t_loaderMessage = "cannot locate the loaded module " + target;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  t_loaderMessage.clear();
  return base;
}

DWORD CopyOut(const std::wstring &text, LPWSTR buffer, DWORD size) {
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (text.size() < size) {
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
  }
  std::wmemcpy(buffer, text.c_str(), size - 1);
  buffer[size - 1] = L'\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

} // namespace

namespace tallowick::platform {
std::string LastLoaderMessage() { return t_loaderMessage; }
} // namespace tallowick::platform

extern "C" {

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
  return LoadLibraryExW(lpLibFileName, nullptr, 0);
}

HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  try {
    return Load(lpLibFileName, hFile, dwFlags);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  try {
    auto module = FindByBase(hLibModule);
    if (!module) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return FALSE;
    }
    if (module->main)
      return TRUE;
    void *handle = OpenLoaded(*module);
    if (handle == nullptr) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return FALSE;
    }
    dlclose(handle); // the lookup's own reference
    dlclose(handle); // the caller's reference: unloads the module when it was the last
    return TRUE;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  try {
    if (lpProcName == nullptr || IS_INTRESOURCE(lpProcName)) {
      SetLastError(ERROR_PROC_NOT_FOUND); // ordinals do not exist here
      return nullptr;
    }
    auto module = hModule == nullptr ? MainModule() : FindByBase(hModule);
    if (!module) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    void *handle = OpenLoaded(*module);
    if (handle == nullptr) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    void *symbol = dlsym(handle, lpProcName);
    Dl_info info{};
    // dlsym also searches the module's dependencies; only its own exports count.
    bool own = symbol != nullptr && dladdr(symbol, &info) != 0 && info.dli_fbase == module->base;
    dlclose(handle);
    if (!own) {
      SetLastError(ERROR_PROC_NOT_FOUND);
      return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  try {
    if (lpFilename == nullptr && nSize != 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    auto module = hModule == nullptr ? MainModule() : FindByBase(hModule);
    if (!module) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    return CopyOut(Widen(module->path), lpFilename, nSize);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  try {
    auto module = lpModuleName == nullptr ? MainModule() : FindByName(Narrow(lpModuleName));
    if (!module) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    return module->base;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE *phModule) {
  constexpr DWORD kKnown = GET_MODULE_HANDLE_EX_FLAG_PIN |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                           GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
  constexpr DWORD kPinUnchanged =
      GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (phModule != nullptr)
    *phModule = nullptr;
  if (phModule == nullptr || (dwFlags & ~kKnown) != 0 ||
      (dwFlags & kPinUnchanged) == kPinUnchanged) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  try {
    std::optional<Module> module;
    if ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) != 0)
      module = FindByAddress(lpModuleName);
    else
      module = lpModuleName == nullptr ? MainModule() : FindByName(Narrow(lpModuleName));
    if (!module) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return FALSE;
    }
    if (!module->main && (dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) == 0) {
      // The reference stays open: FreeLibrary gives it back; a pinned module never unloads.
      bool pin = (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) != 0;
      if (OpenLoaded(*module, pin ? RTLD_NODELETE : 0) == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
      }
    }
    *phModule = module->base;
    return TRUE;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule) {
  try {
    if (!FindByBase(hLibModule)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    return TRUE; // modules get no thread notifications here
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

} // extern "C"

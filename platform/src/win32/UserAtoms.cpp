// The process-wide user atom table and registered clipboard formats.
#include "win32/UserAtoms.h"

#include "tallowick/Strings.h"

#include <mutex>
#include <vector>

namespace tallowick::platform {
namespace {

constexpr size_t kMaxAtoms = 0x10000 - kFirstUserAtom;
constexpr size_t kMaxNameLength = 255;

struct AtomTable {
  std::mutex lock;
  std::vector<std::wstring> names; // index + kFirstUserAtom = atom
};

AtomTable &Atoms() {
  static auto *table = new AtomTable;
  return *table;
}

ATOM FindLocked(AtomTable &table, std::wstring_view name) {
  for (size_t i = 0; i < table.names.size(); ++i)
    if (EqualsNoCase(table.names[i], name))
      return static_cast<ATOM>(kFirstUserAtom + i);
  return 0;
}

} // namespace

ATOM AddUserAtom(LPCWSTR name) {
  if (name == nullptr || *name == L'\0' || wcslen(name) > kMaxNameLength) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  AtomTable &table = Atoms();
  std::lock_guard guard(table.lock);
  if (ATOM atom = FindLocked(table, name))
    return atom;
  if (table.names.size() >= kMaxAtoms) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  try {
    table.names.emplace_back(name);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  return static_cast<ATOM>(kFirstUserAtom + table.names.size() - 1);
}

ATOM FindUserAtom(LPCWSTR name) {
  if (name == nullptr)
    return 0;
  AtomTable &table = Atoms();
  std::lock_guard guard(table.lock);
  return FindLocked(table, name);
}

std::wstring UserAtomName(ATOM atom) {
  AtomTable &table = Atoms();
  std::lock_guard guard(table.lock);
  if (atom < kFirstUserAtom || static_cast<size_t>(atom - kFirstUserAtom) >= table.names.size())
    return {};
  return table.names[atom - kFirstUserAtom];
}

} // namespace tallowick::platform

extern "C" {

// The same name (case-insensitive) gives the same id, from 0xC000 up, for the
// whole process.
UINT WINAPI RegisterClipboardFormatW(LPCWSTR lpszFormat) {
  return tallowick::platform::AddUserAtom(lpszFormat);
}

} // extern "C"

// BSTR: a DWORD byte count stored just before the characters, always followed
// by a NUL character. The block starts kPrefix bytes before the string so
// the string keeps malloc's alignment.
#include "oleaut/OleAut.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace tallowick::platform::oleaut {
namespace {

constexpr size_t kPrefix = 16;
constexpr size_t kMaxBytes = 0x7FFFFFF0u - kPrefix;

char *BlockOf(BSTR bstr) { return reinterpret_cast<char *>(bstr) - kPrefix; }

DWORD StoredBytes(BSTR bstr) {
  DWORD bytes;
  std::memcpy(&bytes, reinterpret_cast<char *>(bstr) - sizeof(DWORD), sizeof bytes);
  return bytes;
}

// Allocates room for `bytes` bytes, zeroes everything after them and records
// the count. The caller fills the bytes.
BSTR AllocBytes(size_t bytes) {
  if (bytes > kMaxBytes)
    return nullptr;
  size_t tail = sizeof(OLECHAR) + (sizeof(OLECHAR) - bytes % sizeof(OLECHAR)) % sizeof(OLECHAR);
  char *block = static_cast<char *>(std::malloc(kPrefix + bytes + tail));
  if (block == nullptr)
    return nullptr;
  DWORD count = static_cast<DWORD>(bytes);
  std::memcpy(block + kPrefix - sizeof(DWORD), &count, sizeof count);
  std::memset(block + kPrefix + bytes, 0, tail);
  return reinterpret_cast<BSTR>(block + kPrefix);
}

} // namespace

std::wstring_view BstrView(BSTR bstr) {
  if (bstr == nullptr)
    return {};
  return {bstr, StoredBytes(bstr) / sizeof(OLECHAR)};
}

BSTR MakeBstr(std::wstring_view text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

} // namespace tallowick::platform::oleaut

using namespace tallowick::platform::oleaut;

extern "C" {

BSTR WINAPI SysAllocString(const OLECHAR *psz) {
  if (psz == nullptr)
    return nullptr;
  return SysAllocStringLen(psz, static_cast<UINT>(std::wcslen(psz)));
}

BSTR WINAPI SysAllocStringLen(const OLECHAR *strIn, UINT ui) {
  if (ui > kMaxBytes / sizeof(OLECHAR))
    return nullptr;
  size_t bytes = size_t{ui} * sizeof(OLECHAR);
  BSTR bstr = AllocBytes(bytes);
  if (bstr == nullptr)
    return nullptr;
  if (strIn != nullptr) {
    std::memcpy(bstr, strIn, bytes);
  } else {
    std::memset(bstr, 0, bytes);
  }
  return bstr;
}

BSTR WINAPI SysAllocStringByteLen(LPCSTR psz, UINT len) {
  BSTR bstr = AllocBytes(len);
  if (bstr == nullptr)
    return nullptr;
  if (psz != nullptr) {
    std::memcpy(bstr, psz, len);
  } else {
    std::memset(bstr, 0, len);
  }
  return bstr;
}

INT WINAPI SysReAllocStringLen(BSTR *pbstr, const OLECHAR *psz, UINT len) {
  if (pbstr == nullptr)
    return FALSE;
  BSTR old = *pbstr;
  BSTR fresh;
  if (psz != nullptr) {
    // psz may point into the old string: copy before freeing it.
    fresh = SysAllocStringLen(psz, len);
  } else {
    // Without a source the old characters are kept, as far as they reach.
    fresh = SysAllocStringLen(nullptr, len);
    if (fresh != nullptr && old != nullptr) {
      size_t keep = std::min<size_t>(len, SysStringLen(old));
      std::memcpy(fresh, old, keep * sizeof(OLECHAR));
    }
  }
  if (fresh == nullptr)
    return FALSE;
  SysFreeString(old);
  *pbstr = fresh;
  return TRUE;
}

INT WINAPI SysReAllocString(BSTR *pbstr, const OLECHAR *psz) {
  if (pbstr == nullptr)
    return FALSE;
  if (psz == nullptr) {
    BSTR empty = SysAllocStringLen(L"", 0);
    if (empty == nullptr)
      return FALSE;
    SysFreeString(*pbstr);
    *pbstr = empty;
    return TRUE;
  }
  return SysReAllocStringLen(pbstr, psz, static_cast<UINT>(std::wcslen(psz)));
}

void WINAPI SysFreeString(BSTR bstrString) {
  if (bstrString != nullptr)
    std::free(BlockOf(bstrString));
}

UINT WINAPI SysStringLen(BSTR pbstr) {
  return pbstr == nullptr ? 0 : StoredBytes(pbstr) / sizeof(OLECHAR);
}

UINT WINAPI SysStringByteLen(BSTR bstr) { return bstr == nullptr ? 0 : StoredBytes(bstr); }

} // extern "C"

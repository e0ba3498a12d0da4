// Global memory: fixed blocks (the handle is the address) and movable blocks
// (the handle names the block; its address is valid while it is locked). Every
// call validates the handle against the process-wide table first.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
  bool movable = false;
  void *data = nullptr; // nullptr: a discarded movable block
  SIZE_T size = 0;
  UINT lockCount = 0;
  UINT flags = 0;
};

struct GlobalTable {
  std::mutex lock;
  std::unordered_map<HGLOBAL, Block> blocks;
  std::unordered_map<void *, HGLOBAL> byAddress;
};

GlobalTable &Table() {
  static auto *table = new GlobalTable; // blocks may be freed during static destruction
  return *table;
}

Block *Find(GlobalTable &table, HGLOBAL handle) {
  auto it = table.blocks.find(handle);
  if (it == table.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

// Storage for `size` bytes; at least one byte so that the address is unique.
void *Allocate(SIZE_T size, bool zero) {
  return zero ? std::calloc(size == 0 ? 1 : size, 1) : std::malloc(size == 0 ? 1 : size);
}

// Resizes a block's storage, moving it if `mayMove`; false when it cannot.
bool Resize(GlobalTable &table, Block &block, SIZE_T size, bool zero, bool mayMove) {
  if (block.data != nullptr && size <= block.size) {
    block.size = size; // shrinks in place
    return true;
  }
  if (block.data != nullptr && !mayMove)
    return false;
  void *data = std::realloc(block.data, size == 0 ? 1 : size);
  if (data == nullptr)
    return false;
  if (zero)
    std::memset(static_cast<char *>(data) + block.size, 0, size - block.size);
  if (block.data != nullptr)
    table.byAddress.erase(block.data);
  block.data = data;
  block.size = size;
  return true;
}

} // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  try {
    Block block;
    block.movable = (uFlags & GMEM_MOVEABLE) != 0;
    block.flags = uFlags & (GMEM_DISCARDABLE | GMEM_DDESHARE);
    if (!block.movable || dwBytes > 0) {
      block.data = Allocate(dwBytes, (uFlags & GMEM_ZEROINIT) != 0);
      if (block.data == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
      }
      block.size = dwBytes;
    }
    HGLOBAL handle = block.data;
    if (block.movable) {
      handle = std::malloc(1); // the block's name, unique while it lives
      if (handle == nullptr) {
        std::free(block.data);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
      }
    }
    if (block.data != nullptr)
      table.byAddress[block.data] = handle;
    table.blocks[handle] = block;
    return handle;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  Block *block = Find(table, hMem);
  if (block == nullptr)
    return nullptr;
  if (!block->movable)
    return block->data;
  if (block->data == nullptr) {
    SetLastError(ERROR_DISCARDED);
    return nullptr;
  }
  if (block->lockCount < GMEM_LOCKCOUNT)
    ++block->lockCount;
  return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  Block *block = Find(table, hMem);
  if (block == nullptr)
    return FALSE;
  if (!block->movable)
    return TRUE;
  if (block->lockCount == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->lockCount == 0) {
    SetLastError(NO_ERROR);
    return FALSE;
  }
  return TRUE;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  Block *block = Find(table, hMem);
  return block == nullptr ? 0 : block->size;
}

UINT WINAPI GlobalFlags(HGLOBAL hMem) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  Block *block = Find(table, hMem);
  if (block == nullptr)
    return GMEM_INVALID_HANDLE;
  UINT flags = block->flags | block->lockCount;
  if (block->movable && block->data == nullptr)
    flags |= GMEM_DISCARDED;
  return flags;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pMem) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.byAddress.find(const_cast<void *>(pMem));
  if (it == table.byAddress.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second;
}

// A locked block is freed all the same, as Windows does.
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  if (hMem == nullptr)
    return nullptr;
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  Block *block = Find(table, hMem);
  if (block == nullptr)
    return hMem;
  if (block->data != nullptr)
    table.byAddress.erase(block->data);
  std::free(block->data);
  if (block->movable)
    std::free(hMem);
  table.blocks.erase(hMem);
  return nullptr;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
  GlobalTable &table = Table();
  std::lock_guard guard(table.lock);
  Block *block = Find(table, hMem);
  if (block == nullptr)
    return nullptr;
  if ((uFlags & GMEM_MODIFY) != 0) {
    block->flags = (block->flags & ~GMEM_DISCARDABLE) | (uFlags & GMEM_DISCARDABLE);
    return hMem;
  }
  bool zero = (uFlags & GMEM_ZEROINIT) != 0;
  try {
    if (block->movable && dwBytes == 0) {
      if (block->lockCount > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      if (block->data != nullptr)
        table.byAddress.erase(block->data);
      std::free(block->data);
      block->data = nullptr;
      block->size = 0;
      return hMem;
    }
    // A fixed or locked block moves only when the caller allows it.
    bool pinned = !block->movable || block->lockCount > 0;
    bool mayMove = !pinned || (uFlags & GMEM_MOVEABLE) != 0;
    if (!Resize(table, *block, dwBytes, zero, mayMove)) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    HGLOBAL handle = block->movable ? hMem : block->data;
    table.byAddress[block->data] = handle;
    if (handle != hMem) { // a fixed block that moved has a new handle
      Block moved = *block;
      table.blocks.erase(hMem);
      table.blocks[handle] = moved;
    }
    return handle;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

} // extern "C"

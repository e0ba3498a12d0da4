// CHGlobalStream: IStream over a global memory block. Clones share the block
// and the stream's size; each has its own seek position. The stream's size is
// its own (the block may be larger), as on Windows.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace {

// Answered by our streams only, with the stream itself.
const IID IID_HGlobalStreamSelf = {
    0x6d1f2a37, 0x0c52, 0x4b7e, {0x9a, 0x41, 0x3e, 0x58, 0x21, 0xc4, 0x7b, 0x90}};

struct SharedBlock {
  std::mutex lock;
  HGLOBAL handle = nullptr;
  ULONGLONG size = 0;
  bool deleteOnRelease = false;

  ~SharedBlock() {
    if (deleteOnRelease)
      GlobalFree(handle);
  }

  // Makes the block hold at least `size` bytes; the stream's size is unchanged.
  HRESULT Reserve(ULONGLONG needed) {
    if (needed > 0xFFFFFFFFull)
      return STG_E_MEDIUMFULL;
    if (GlobalSize(handle) >= needed)
      return S_OK;
    HGLOBAL grown = GlobalReAlloc(handle, static_cast<SIZE_T>(needed), GMEM_MOVEABLE);
    if (grown == nullptr)
      return E_OUTOFMEMORY;
    handle = grown;
    return S_OK;
  }
};

class CHGlobalStream final : public IStream {
public:
  CHGlobalStream(std::shared_ptr<SharedBlock> block, ULONGLONG position)
      : block_(std::move(block)), position_(position) {}

  SharedBlock &Block() { return *block_; }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream ||
        riid == IID_HGlobalStreamSelf) {
      *ppv = static_cast<IStream *>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0)
      delete this;
    return left;
  }

  STDMETHODIMP Read(void *pv, ULONG cb, ULONG *pcbRead) override {
    if (pcbRead != nullptr)
      *pcbRead = 0;
    if (pv == nullptr)
      return STG_E_INVALIDPOINTER;
    std::lock_guard guard(block_->lock);
    ULONGLONG available = position_ < block_->size ? block_->size - position_ : 0;
    ULONG count = static_cast<ULONG>(std::min<ULONGLONG>(cb, available));
    if (count > 0) {
      auto *data = static_cast<const BYTE *>(GlobalLock(block_->handle));
      if (data == nullptr)
        return E_OUTOFMEMORY;
      std::memcpy(pv, data + position_, count);
      GlobalUnlock(block_->handle);
      position_ += count;
    }
    if (pcbRead != nullptr)
      *pcbRead = count;
    return S_OK;
  }

  STDMETHODIMP Write(const void *pv, ULONG cb, ULONG *pcbWritten) override {
    if (pcbWritten != nullptr)
      *pcbWritten = 0;
    if (pv == nullptr)
      return STG_E_INVALIDPOINTER;
    if (cb == 0)
      return S_OK;
    std::lock_guard guard(block_->lock);
    ULONGLONG end = position_ + cb;
    HRESULT hr = block_->Reserve(end);
    if (FAILED(hr))
      return hr;
    auto *data = static_cast<BYTE *>(GlobalLock(block_->handle));
    if (data == nullptr)
      return E_OUTOFMEMORY;
    // Bytes between the old end and a seek beyond it read as zeros.
    if (position_ > block_->size)
      std::memset(data + block_->size, 0, static_cast<size_t>(position_ - block_->size));
    std::memcpy(data + position_, pv, cb);
    GlobalUnlock(block_->handle);
    position_ = end;
    block_->size = std::max(block_->size, end);
    if (pcbWritten != nullptr)
      *pcbWritten = cb;
    return S_OK;
  }

  STDMETHODIMP Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                    ULARGE_INTEGER *plibNewPosition) override {
    std::lock_guard guard(block_->lock);
    LONGLONG base = 0;
    switch (dwOrigin) {
    case STREAM_SEEK_SET:
      base = 0;
      break;
    case STREAM_SEEK_CUR:
      base = static_cast<LONGLONG>(position_);
      break;
    case STREAM_SEEK_END:
      base = static_cast<LONGLONG>(block_->size);
      break;
    default:
      return STG_E_INVALIDFUNCTION;
    }
    LONGLONG target = 0;
    if (__builtin_add_overflow(base, dlibMove.QuadPart, &target) || target < 0)
      return STG_E_INVALIDFUNCTION;
    position_ = static_cast<ULONGLONG>(target);
    if (plibNewPosition != nullptr)
      plibNewPosition->QuadPart = position_;
    return S_OK;
  }

  STDMETHODIMP SetSize(ULARGE_INTEGER libNewSize) override {
    std::lock_guard guard(block_->lock);
    ULONGLONG size = libNewSize.QuadPart;
    HRESULT hr = block_->Reserve(size);
    if (FAILED(hr))
      return hr;
    if (size > block_->size) {
      auto *data = static_cast<BYTE *>(GlobalLock(block_->handle));
      if (data == nullptr)
        return E_OUTOFMEMORY;
      std::memset(data + block_->size, 0, static_cast<size_t>(size - block_->size));
      GlobalUnlock(block_->handle);
    }
    block_->size = size;
    return S_OK;
  }

  STDMETHODIMP CopyTo(IStream *pstm, ULARGE_INTEGER cb, ULARGE_INTEGER *pcbRead,
                      ULARGE_INTEGER *pcbWritten) override {
    if (pcbRead != nullptr)
      pcbRead->QuadPart = 0;
    if (pcbWritten != nullptr)
      pcbWritten->QuadPart = 0;
    if (pstm == nullptr)
      return STG_E_INVALIDPOINTER;
    ULONGLONG left = cb.QuadPart;
    ULONGLONG totalRead = 0;
    ULONGLONG totalWritten = 0;
    BYTE buffer[4096];
    HRESULT hr = S_OK;
    while (left > 0) {
      ULONG chunk = static_cast<ULONG>(std::min<ULONGLONG>(left, sizeof buffer));
      ULONG read = 0;
      hr = Read(buffer, chunk, &read);
      if (FAILED(hr) || read == 0)
        break;
      totalRead += read;
      ULONG written = 0;
      hr = pstm->Write(buffer, read, &written);
      totalWritten += written;
      if (FAILED(hr))
        break;
      left -= read;
    }
    if (pcbRead != nullptr)
      pcbRead->QuadPart = totalRead;
    if (pcbWritten != nullptr)
      pcbWritten->QuadPart = totalWritten;
    return FAILED(hr) ? hr : S_OK;
  }

  STDMETHODIMP Commit(DWORD) override { return S_OK; }
  STDMETHODIMP Revert() override { return S_OK; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  STDMETHODIMP Stat(STATSTG *pstatstg, DWORD grfStatFlag) override {
    if (pstatstg == nullptr)
      return STG_E_INVALIDPOINTER;
    if (grfStatFlag > (STATFLAG_NONAME | STATFLAG_NOOPEN))
      return STG_E_INVALIDFLAG;
    std::memset(pstatstg, 0, sizeof *pstatstg);
    pstatstg->type = STGTY_STREAM;
    std::lock_guard guard(block_->lock);
    pstatstg->cbSize.QuadPart = block_->size;
    pstatstg->grfMode = STGM_READWRITE;
    return S_OK;
  }

  STDMETHODIMP Clone(IStream **ppstm) override {
    if (ppstm == nullptr)
      return STG_E_INVALIDPOINTER;
    std::lock_guard guard(block_->lock);
    *ppstm = new (std::nothrow) CHGlobalStream(block_, position_);
    return *ppstm != nullptr ? S_OK : E_OUTOFMEMORY;
  }

private:
  ~CHGlobalStream() = default;

  std::atomic<ULONG> refs_{1};
  std::shared_ptr<SharedBlock> block_;
  ULONGLONG position_;
};

} // namespace

extern "C" {

HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM *ppstm) {
  if (ppstm == nullptr)
    return E_INVALIDARG;
  *ppstm = nullptr;
  std::shared_ptr<SharedBlock> block;
  try {
    block = std::make_shared<SharedBlock>();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  if (hGlobal == nullptr) {
    hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, 0);
    if (hGlobal == nullptr)
      return E_OUTOFMEMORY;
    block->size = 0;
  } else {
    if (GlobalFlags(hGlobal) == GMEM_INVALID_HANDLE)
      return E_INVALIDARG;
    block->size = GlobalSize(hGlobal);
  }
  block->handle = hGlobal;
  block->deleteOnRelease = fDeleteOnRelease != FALSE;
  *ppstm = new (std::nothrow) CHGlobalStream(std::move(block), 0);
  return *ppstm != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL *phglobal) {
  if (phglobal == nullptr)
    return E_INVALIDARG;
  *phglobal = nullptr;
  if (pstm == nullptr)
    return E_INVALIDARG;
  CHGlobalStream *stream = nullptr;
  if (FAILED(pstm->QueryInterface(IID_HGlobalStreamSelf, reinterpret_cast<void **>(&stream))))
    return E_INVALIDARG;
  {
    std::lock_guard guard(stream->Block().lock);
    *phglobal = stream->Block().handle;
  }
  stream->Release();
  return S_OK;
}

} // extern "C"

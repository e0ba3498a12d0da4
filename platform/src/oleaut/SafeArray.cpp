// SAFEARRAY. The descriptor is preceded by a hidden 16-byte header holding
// the element VARTYPE; bounds are stored last dimension first and elements
// are laid out with the first index varying fastest, as on Windows.
#include "oleaut/OleAut.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kHeader = 16;
constexpr USHORT kForeignMemory = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED;
constexpr ULONG kMaxLocks = 0xFFFF;

ULONG ElementSize(VARTYPE vt) {
  using tallowick::platform::oleaut::ScalarSize;
  if (vt == VT_VARIANT)
    return sizeof(VARIANT);
  if (vt == VT_DECIMAL)
    return sizeof(DECIMAL);
  return static_cast<ULONG>(ScalarSize(vt));
}

USHORT FeaturesOf(VARTYPE vt) {
  switch (vt) {
  case VT_BSTR:
    return FADF_BSTR | FADF_HAVEVARTYPE;
  case VT_UNKNOWN:
    return FADF_UNKNOWN | FADF_HAVEVARTYPE;
  case VT_DISPATCH:
    return FADF_DISPATCH | FADF_HAVEVARTYPE;
  case VT_VARIANT:
    return FADF_VARIANT | FADF_HAVEVARTYPE;
  default:
    return FADF_HAVEVARTYPE;
  }
}

char *HeaderOf(SAFEARRAY *psa) { return reinterpret_cast<char *>(psa) - kHeader; }

void StoreVartype(SAFEARRAY *psa, VARTYPE vt) {
  DWORD value = vt;
  std::memcpy(reinterpret_cast<char *>(psa) - sizeof(DWORD), &value, sizeof value);
}

VARTYPE StoredVartype(SAFEARRAY *psa) {
  DWORD value;
  std::memcpy(&value, reinterpret_cast<char *>(psa) - sizeof(DWORD), sizeof value);
  return static_cast<VARTYPE>(value);
}

// Bounds of dimension `dim` (0-based, in the order given to SafeArrayCreate).
const SAFEARRAYBOUND &Bound(const SAFEARRAY *psa, UINT dim) {
  return psa->rgsabound[psa->cDims - 1 - dim];
}

// Number of elements, or false when the size does not fit.
bool CountElements(const SAFEARRAY *psa, size_t &count) {
  size_t total = 1;
  for (UINT i = 0; i < psa->cDims; ++i) {
    size_t n = psa->rgsabound[i].cElements;
    if (n != 0 && total > SIZE_MAX / n)
      return false;
    total *= n;
  }
  if (psa->cbElements != 0 && total > SIZE_MAX / psa->cbElements)
    return false;
  count = total;
  return true;
}

size_t ElementCount(const SAFEARRAY *psa) {
  size_t count = 0;
  return CountElements(psa, count) ? count : 0;
}

bool OffsetOf(const SAFEARRAY *psa, const LONG *indices, size_t &offset) {
  size_t index = 0;
  size_t stride = 1;
  for (UINT d = 0; d < psa->cDims; ++d) {
    const SAFEARRAYBOUND &b = Bound(psa, d);
    int64_t rel = int64_t{indices[d]} - b.lLbound;
    if (rel < 0 || rel >= int64_t{b.cElements})
      return false;
    index += static_cast<size_t>(rel) * stride;
    stride *= b.cElements;
  }
  offset = index * psa->cbElements;
  return true;
}

// Releases what `count` elements starting at `data` own and zeroes them.
void ClearElements(const SAFEARRAY *psa, char *data, size_t count) {
  if (data == nullptr)
    return;
  for (size_t i = 0; i < count; ++i) {
    char *element = data + i * psa->cbElements;
    if (psa->fFeatures & FADF_BSTR) {
      BSTR bstr;
      std::memcpy(&bstr, element, sizeof bstr);
      SysFreeString(bstr);
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
      IUnknown *unk;
      std::memcpy(&unk, element, sizeof unk);
      if (unk != nullptr)
        unk->Release();
    } else if (psa->fFeatures & FADF_VARIANT) {
      VariantClear(reinterpret_cast<VARIANT *>(element));
    }
  }
  std::memset(data, 0, count * psa->cbElements);
}

// Copies one element into zeroed or released storage at `to`.
HRESULT CopyElement(const SAFEARRAY *psa, const char *from, char *to) {
  if (psa->fFeatures & FADF_BSTR) {
    BSTR src;
    std::memcpy(&src, from, sizeof src);
    BSTR copy = nullptr;
    if (src != nullptr) {
      copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src), SysStringByteLen(src));
      if (copy == nullptr)
        return E_OUTOFMEMORY;
    }
    std::memcpy(to, &copy, sizeof copy);
    return S_OK;
  }
  if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    IUnknown *unk;
    std::memcpy(&unk, from, sizeof unk);
    if (unk != nullptr)
      unk->AddRef();
    std::memcpy(to, &unk, sizeof unk);
    return S_OK;
  }
  if (psa->fFeatures & FADF_VARIANT) {
    auto *dest = reinterpret_cast<VARIANT *>(to);
    VariantInit(dest);
    return VariantCopy(dest, reinterpret_cast<const VARIANT *>(from));
  }
  std::memmove(to, from, psa->cbElements);
  return S_OK;
}

HRESULT CopyAllElements(const SAFEARRAY *from, SAFEARRAY *to) {
  size_t count = ElementCount(from);
  auto *src = static_cast<const char *>(from->pvData);
  auto *dst = static_cast<char *>(to->pvData);
  for (size_t i = 0; i < count; ++i) {
    HRESULT hr = CopyElement(from, src + i * from->cbElements, dst + i * from->cbElements);
    if (FAILED(hr)) {
      ClearElements(to, dst, i);
      return hr;
    }
  }
  return S_OK;
}

bool SameShape(const SAFEARRAY *a, const SAFEARRAY *b) {
  if (a->cDims != b->cDims || a->cbElements != b->cbElements)
    return false;
  for (UINT i = 0; i < a->cDims; ++i) {
    if (a->rgsabound[i].cElements != b->rgsabound[i].cElements ||
        a->rgsabound[i].lLbound != b->rgsabound[i].lLbound)
      return false;
  }
  return true;
}

} // namespace

extern "C" {

HRESULT WINAPI SafeArrayAllocDescriptor(UINT cDims, SAFEARRAY **ppsaOut) {
  if (ppsaOut == nullptr)
    return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (cDims == 0 || cDims > 0xFFFF)
    return E_INVALIDARG;
  size_t size = kHeader + sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
  char *block = static_cast<char *>(std::calloc(1, size));
  if (block == nullptr)
    return E_OUTOFMEMORY;
  auto *psa = reinterpret_cast<SAFEARRAY *>(block + kHeader);
  psa->cDims = static_cast<USHORT>(cDims);
  *ppsaOut = psa;
  return S_OK;
}

HRESULT WINAPI SafeArrayAllocDescriptorEx(VARTYPE vt, UINT cDims, SAFEARRAY **ppsaOut) {
  if (ppsaOut == nullptr)
    return E_INVALIDARG;
  *ppsaOut = nullptr;
  ULONG size = ElementSize(vt);
  if (size == 0)
    return E_INVALIDARG;
  HRESULT hr = SafeArrayAllocDescriptor(cDims, ppsaOut);
  if (FAILED(hr))
    return hr;
  (*ppsaOut)->cbElements = size;
  (*ppsaOut)->fFeatures = FeaturesOf(vt);
  StoreVartype(*ppsaOut, vt);
  return S_OK;
}

HRESULT WINAPI SafeArrayAllocData(SAFEARRAY *psa) {
  if (psa == nullptr || psa->cbElements == 0)
    return E_INVALIDARG;
  size_t count = 0;
  if (!CountElements(psa, count))
    return E_OUTOFMEMORY;
  void *data = std::calloc(count == 0 ? 1 : count, psa->cbElements);
  if (data == nullptr)
    return E_OUTOFMEMORY;
  psa->pvData = data;
  return S_OK;
}

SAFEARRAY *WINAPI SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND *rgsabound) {
  if (rgsabound == nullptr)
    return nullptr;
  SAFEARRAY *psa = nullptr;
  if (FAILED(SafeArrayAllocDescriptorEx(vt, cDims, &psa)))
    return nullptr;
  for (UINT i = 0; i < cDims; ++i)
    psa->rgsabound[i] = rgsabound[cDims - 1 - i];
  if (FAILED(SafeArrayAllocData(psa))) {
    SafeArrayDestroyDescriptor(psa);
    return nullptr;
  }
  return psa;
}

SAFEARRAY *WINAPI SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  SAFEARRAYBOUND bound{cElements, lLbound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT WINAPI SafeArrayDestroyData(SAFEARRAY *psa) {
  if (psa == nullptr)
    return E_INVALIDARG;
  if (psa->cLocks != 0)
    return DISP_E_ARRAYISLOCKED;
  if (psa->pvData == nullptr)
    return S_OK;
  ClearElements(psa, static_cast<char *>(psa->pvData), ElementCount(psa));
  if (psa->fFeatures & kForeignMemory)
    return S_OK;
  std::free(psa->pvData);
  psa->pvData = nullptr;
  return S_OK;
}

HRESULT WINAPI SafeArrayDestroyDescriptor(SAFEARRAY *psa) {
  if (psa == nullptr)
    return E_INVALIDARG;
  if (psa->cLocks != 0)
    return DISP_E_ARRAYISLOCKED;
  if (!(psa->fFeatures & kForeignMemory))
    std::free(HeaderOf(psa));
  return S_OK;
}

HRESULT WINAPI SafeArrayDestroy(SAFEARRAY *psa) {
  if (psa == nullptr)
    return S_OK;
  if (psa->cLocks != 0)
    return DISP_E_ARRAYISLOCKED;
  HRESULT hr = SafeArrayDestroyData(psa);
  if (FAILED(hr))
    return hr;
  return SafeArrayDestroyDescriptor(psa);
}

HRESULT WINAPI SafeArrayRedim(SAFEARRAY *psa, SAFEARRAYBOUND *psaboundNew) {
  if (psa == nullptr || psaboundNew == nullptr || psa->cbElements == 0)
    return E_INVALIDARG;
  if (psa->cLocks != 0)
    return DISP_E_ARRAYISLOCKED;
  SAFEARRAYBOUND &last = psa->rgsabound[0];
  if (psaboundNew->cElements == last.cElements) {
    last.lLbound = psaboundNew->lLbound;
    return S_OK;
  }
  if (psa->fFeatures & (kForeignMemory | FADF_FIXEDSIZE))
    return E_INVALIDARG;

  // The last dimension varies slowest: resizing it cuts or extends the block's end.
  size_t slice = 1;
  for (UINT i = 1; i < psa->cDims; ++i)
    slice *= psa->rgsabound[i].cElements;
  size_t oldCount = slice * last.cElements;
  if (psaboundNew->cElements != 0 && slice > SIZE_MAX / psa->cbElements / psaboundNew->cElements)
    return E_OUTOFMEMORY;
  size_t newCount = slice * psaboundNew->cElements;
  auto *data = static_cast<char *>(psa->pvData);
  if (newCount < oldCount && data != nullptr)
    ClearElements(psa, data + newCount * psa->cbElements, oldCount - newCount);
  if (data != nullptr) {
    size_t bytes = (newCount == 0 ? 1 : newCount) * psa->cbElements;
    auto *grown = static_cast<char *>(std::realloc(data, bytes));
    if (grown == nullptr)
      return E_OUTOFMEMORY;
    if (newCount > oldCount)
      std::memset(grown + oldCount * psa->cbElements, 0, (newCount - oldCount) * psa->cbElements);
    psa->pvData = grown;
  }
  last = *psaboundNew;
  return S_OK;
}

UINT WINAPI SafeArrayGetDim(SAFEARRAY *psa) { return psa == nullptr ? 0 : psa->cDims; }

UINT WINAPI SafeArrayGetElemsize(SAFEARRAY *psa) { return psa == nullptr ? 0 : psa->cbElements; }

HRESULT WINAPI SafeArrayGetUBound(SAFEARRAY *psa, UINT nDim, LONG *plUbound) {
  if (psa == nullptr || plUbound == nullptr)
    return E_INVALIDARG;
  if (nDim == 0 || nDim > psa->cDims)
    return DISP_E_BADINDEX;
  const SAFEARRAYBOUND &b = Bound(psa, nDim - 1);
  *plUbound = static_cast<LONG>(int64_t{b.lLbound} + b.cElements - 1);
  return S_OK;
}

HRESULT WINAPI SafeArrayGetLBound(SAFEARRAY *psa, UINT nDim, LONG *plLbound) {
  if (psa == nullptr || plLbound == nullptr)
    return E_INVALIDARG;
  if (nDim == 0 || nDim > psa->cDims)
    return DISP_E_BADINDEX;
  *plLbound = Bound(psa, nDim - 1).lLbound;
  return S_OK;
}

HRESULT WINAPI SafeArrayLock(SAFEARRAY *psa) {
  if (psa == nullptr)
    return E_INVALIDARG;
  if (psa->cLocks >= kMaxLocks)
    return E_UNEXPECTED;
  ++psa->cLocks;
  return S_OK;
}

HRESULT WINAPI SafeArrayUnlock(SAFEARRAY *psa) {
  if (psa == nullptr)
    return E_INVALIDARG;
  if (psa->cLocks == 0)
    return E_UNEXPECTED;
  --psa->cLocks;
  return S_OK;
}

HRESULT WINAPI SafeArrayAccessData(SAFEARRAY *psa, void **ppvData) {
  if (psa == nullptr || ppvData == nullptr)
    return E_INVALIDARG;
  HRESULT hr = SafeArrayLock(psa);
  if (FAILED(hr))
    return hr;
  *ppvData = psa->pvData;
  return S_OK;
}

HRESULT WINAPI SafeArrayUnaccessData(SAFEARRAY *psa) { return SafeArrayUnlock(psa); }

HRESULT WINAPI SafeArrayPtrOfIndex(SAFEARRAY *psa, LONG *rgIndices, void **ppvData) {
  if (psa == nullptr || rgIndices == nullptr || ppvData == nullptr)
    return E_INVALIDARG;
  size_t offset = 0;
  if (!OffsetOf(psa, rgIndices, offset))
    return DISP_E_BADINDEX;
  if (psa->pvData == nullptr)
    return E_INVALIDARG;
  *ppvData = static_cast<char *>(psa->pvData) + offset;
  return S_OK;
}

HRESULT WINAPI SafeArrayGetElement(SAFEARRAY *psa, LONG *rgIndices, void *pv) {
  if (pv == nullptr)
    return E_INVALIDARG;
  void *element = nullptr;
  HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &element);
  if (FAILED(hr))
    return hr;
  SafeArrayLock(psa);
  hr = CopyElement(psa, static_cast<const char *>(element), static_cast<char *>(pv));
  SafeArrayUnlock(psa);
  return hr;
}

HRESULT WINAPI SafeArrayPutElement(SAFEARRAY *psa, LONG *rgIndices, void *pv) {
  void *slot = nullptr;
  HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &slot);
  if (FAILED(hr))
    return hr;
  auto *element = static_cast<char *>(slot);
  // BSTR and interface elements are passed by value, everything else by pointer.
  if (psa->fFeatures & FADF_BSTR) {
    auto src = static_cast<BSTR>(pv);
    BSTR copy = nullptr;
    if (src != nullptr) {
      copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src), SysStringByteLen(src));
      if (copy == nullptr)
        return E_OUTOFMEMORY;
    }
    ClearElements(psa, element, 1);
    std::memcpy(element, &copy, sizeof copy);
    return S_OK;
  }
  if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    auto *unk = static_cast<IUnknown *>(pv);
    if (unk != nullptr)
      unk->AddRef();
    ClearElements(psa, element, 1);
    std::memcpy(element, &unk, sizeof unk);
    return S_OK;
  }
  if (pv == nullptr)
    return E_INVALIDARG;
  if (psa->fFeatures & FADF_VARIANT) {
    return VariantCopy(reinterpret_cast<VARIANT *>(element), static_cast<const VARIANT *>(pv));
  }
  std::memmove(element, pv, psa->cbElements);
  return S_OK;
}

HRESULT WINAPI SafeArrayCopyData(SAFEARRAY *psaSource, SAFEARRAY *psaTarget) {
  if (psaSource == nullptr || psaTarget == nullptr || psaSource == psaTarget)
    return E_INVALIDARG;
  if (!SameShape(psaSource, psaTarget))
    return E_INVALIDARG;
  if (psaSource->pvData == nullptr || psaTarget->pvData == nullptr)
    return E_INVALIDARG;
  ClearElements(psaTarget, static_cast<char *>(psaTarget->pvData), ElementCount(psaTarget));
  return CopyAllElements(psaSource, psaTarget);
}

HRESULT WINAPI SafeArrayCopy(SAFEARRAY *psa, SAFEARRAY **ppsaOut) {
  if (ppsaOut == nullptr)
    return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (psa == nullptr)
    return S_OK;
  SAFEARRAY *copy = nullptr;
  HRESULT hr = SafeArrayAllocDescriptor(psa->cDims, &copy);
  if (FAILED(hr))
    return hr;
  copy->fFeatures = psa->fFeatures & ~kForeignMemory;
  copy->cbElements = psa->cbElements;
  std::memcpy(copy->rgsabound, psa->rgsabound, psa->cDims * sizeof(SAFEARRAYBOUND));
  // Only a descriptor that says so carries the hidden header (a caller's own may not).
  if (psa->fFeatures & (FADF_HAVEVARTYPE | FADF_HAVEIID))
    std::memcpy(HeaderOf(copy), HeaderOf(psa), kHeader);
  if (psa->pvData != nullptr) {
    hr = SafeArrayAllocData(copy);
    if (SUCCEEDED(hr))
      hr = CopyAllElements(psa, copy);
    if (FAILED(hr)) {
      std::free(copy->pvData);
      SafeArrayDestroyDescriptor(copy);
      return hr;
    }
  }
  *ppsaOut = copy;
  return S_OK;
}

HRESULT WINAPI SafeArrayGetVartype(SAFEARRAY *psa, VARTYPE *pvt) {
  if (psa == nullptr || pvt == nullptr)
    return E_INVALIDARG;
  if (psa->fFeatures & FADF_HAVEVARTYPE) {
    *pvt = StoredVartype(psa);
  } else if (psa->fFeatures & FADF_BSTR) {
    *pvt = VT_BSTR;
  } else if (psa->fFeatures & FADF_UNKNOWN) {
    *pvt = VT_UNKNOWN;
  } else if (psa->fFeatures & FADF_DISPATCH) {
    *pvt = VT_DISPATCH;
  } else if (psa->fFeatures & FADF_VARIANT) {
    *pvt = VT_VARIANT;
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

} // extern "C"

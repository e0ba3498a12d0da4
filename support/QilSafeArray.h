// Owning SAFEARRAY wrapper for variant arrays: read item by item from a read
// position, append at the end, write out as a VT_ARRAY|VT_VARIANT VARIANT.
#pragma once

#include <windows.h>

#include <exception>

// Raised when the wrapper cannot allocate an array.
class CQilSafeArrayError : public std::exception {
public:
  const char *what() const noexcept override { return "CQilSafeArray"; }
};

class CQilSafeArray {
public:
  CQilSafeArray() = default;
  CQilSafeArray(const CQilSafeArray &) = delete;
  CQilSafeArray &operator=(const CQilSafeArray &) = delete;
  ~CQilSafeArray() { Destroy(); }

  // VT_EMPTY empties the wrapper; VT_ARRAY|VT_VARIANT takes a copy and reads
  // from its start; any other type is E_INVALIDARG and changes nothing.
  HRESULT FromVariant(const VARIANT &source);

  // Each read takes the next item (an empty VARIANT past the end) converted
  // to the target type; a failed conversion leaves the target unchanged.
  HRESULT ReadLong(LONG &value);
  HRESULT ReadString(BSTR *value); // the caller frees *value
  HRESULT ReadBool(bool &value);
  HRESULT ReadInterface(IUnknown **value); // one reference for the caller; null for empty

  // Appends one item to a one-dimensional VARIANT array (created when none).
  HRESULT AppendLong(LONG value);
  HRESULT AppendString(LPCOLESTR value);
  HRESULT AppendBool(bool value);
  HRESULT AppendInterface(IUnknown *value);

  // Clears `target` and gives it a copy as VT_ARRAY|VT_VARIANT (an empty
  // wrapper writes a zero-length array).
  HRESULT ToVariant(VARIANT *target) const;

  // Replaces the array by a new rows × columns one of `type` (VT_BSTR,
  // VT_DISPATCH, VT_VARIANT or VT_UNKNOWN), both lower bounds 0.
  HRESULT Create(VARTYPE type, ULONG rows, ULONG columns);
  HRESULT PutElement(LONG row, LONG column, void *value);

  SAFEARRAY *Get() const { return array_; }
  SAFEARRAY *Detach();
  ULONG Count() const; // number of elements in all dimensions
  ULONG ReadPosition() const { return position_; }

private:
  void Destroy();
  HRESULT ReadNext(VARTYPE type, VARIANT &item);
  HRESULT Append(const VARIANT &item);

  SAFEARRAY *array_ = nullptr;
  ULONG position_ = 0;
};

#pragma once
#include <windef.h>
#include <string.h>

#ifndef GUID_DEFINED
#define GUID_DEFINED
typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;
#endif
typedef GUID IID, CLSID, FMTID;
typedef GUID *LPGUID, *LPIID, *LPCLSID;
typedef const GUID *LPCGUID;

#ifdef __cplusplus
#define REFGUID const GUID &
#define REFIID const IID &
#define REFCLSID const IID &
#define REFFMTID const IID &
#else
#define REFGUID const GUID *
#define REFIID const IID *
#define REFCLSID const IID *
#define REFFMTID const IID *
#endif

// Without INITGUID a GUID is declared; with it, defined (weak, so that several
// translation units may define the same one).
#undef DEFINE_GUID
#ifdef INITGUID
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)          \
  EXTERN_C __attribute__((weak, visibility("default"))) const GUID name = {   \
      l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#else
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)          \
  EXTERN_C const GUID name
#endif
#define DEFINE_OLEGUID(name, l, w1, w2)                                        \
  DEFINE_GUID(name, l, w1, w2, 0xC0, 0, 0, 0, 0, 0, 0, 0x46)

#define GUID_NULL (*(const GUID *)&TALLOWICK_GUID_NULL)
#define IID_NULL GUID_NULL
#define CLSID_NULL GUID_NULL
EXTERN_C const GUID TALLOWICK_GUID_NULL;

#ifdef __cplusplus
inline int IsEqualGUID(REFGUID a, REFGUID b) { return memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b) != 0; }
inline bool operator!=(REFGUID a, REFGUID b) { return !(a == b); }
#else
#define IsEqualGUID(a, b) (!memcmp((a), (b), sizeof(GUID)))
#endif
#define InlineIsEqualGUID IsEqualGUID
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

// __uuidof for GCC, in the same form as the mingw-w64 headers.
#ifdef __cplusplus
extern "C++" {
template <typename T> const GUID &__mingw_uuidof();
}
#define __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)       \
  extern "C++" {                                                               \
  template <> inline const GUID &__mingw_uuidof<type>() {                      \
    static const IID __uuid_inst = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
    return __uuid_inst;                                                        \
  }                                                                            \
  template <> inline const GUID &__mingw_uuidof<type *>() {                    \
    return __mingw_uuidof<type>();                                             \
  }                                                                            \
  }
#define __uuidof(type) __mingw_uuidof<__typeof(type)>()
#else
#define __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)
#endif

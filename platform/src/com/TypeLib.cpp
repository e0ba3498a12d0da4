// Type libraries: a module carries its library as an exported description
// (TALLOWICK_TYPELIB_EXPORT); registration writes the standard TypeLib keys.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "com/ComInternal.h"
#include "com/RegKey.h"
#include "tallowick/Strings.h"

namespace {

using tallowick::platform::EqualsNoCase;
using tallowick::platform::GuidToString;
using tallowick::platform::RegKey;

BSTR AllocOptional(LPCWSTR text) { return SysAllocString(text != nullptr ? text : L""); }

class TypeLib final : public ITypeLib {
public:
  TypeLib(HMODULE module, const TALLOWICK_TYPELIB_DESC *desc) : module_(module), desc_(desc) {}

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ITypeLib) {
      *ppv = static_cast<ITypeLib *>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      HMODULE module = module_;
      delete this;
      FreeLibrary(module);
    }
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP_(UINT) GetTypeInfoCount() override { return desc_->typeCount; }
  // Type descriptions beyond names and kinds are not carried on this platform.
  STDMETHODIMP GetTypeInfo(UINT index, ITypeInfo **ppTInfo) override {
    if (ppTInfo == nullptr)
      return E_INVALIDARG;
    *ppTInfo = nullptr;
    return index < desc_->typeCount ? E_NOTIMPL : TYPE_E_ELEMENTNOTFOUND;
  }
  STDMETHODIMP GetTypeInfoType(UINT index, TYPEKIND *pTKind) override {
    if (pTKind == nullptr)
      return E_INVALIDARG;
    if (index >= desc_->typeCount)
      return TYPE_E_ELEMENTNOTFOUND;
    *pTKind = desc_->types[index].kind;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfoOfGuid(REFGUID guid, ITypeInfo **ppTinfo) override {
    if (ppTinfo == nullptr)
      return E_INVALIDARG;
    *ppTinfo = nullptr;
    for (UINT i = 0; i < desc_->typeCount; ++i)
      if (desc_->types[i].guid == guid)
        return E_NOTIMPL;
    return TYPE_E_ELEMENTNOTFOUND;
  }
  STDMETHODIMP GetLibAttr(TLIBATTR **ppTLibAttr) override {
    if (ppTLibAttr == nullptr)
      return E_INVALIDARG;
    auto *attr = static_cast<TLIBATTR *>(CoTaskMemAlloc(sizeof(TLIBATTR)));
    if (attr == nullptr)
      return E_OUTOFMEMORY;
    *attr = desc_->attr;
    *ppTLibAttr = attr;
    return S_OK;
  }
  STDMETHODIMP GetTypeComp(ITypeComp **ppTComp) override {
    if (ppTComp == nullptr)
      return E_INVALIDARG;
    *ppTComp = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetDocumentation(INT index, BSTR *pBstrName, BSTR *pBstrDocString,
                                DWORD *pdwHelpContext, BSTR *pBstrHelpFile) override {
    LPCWSTR name = desc_->name;
    LPCWSTR doc = desc_->docString;
    if (index >= 0) {
      if (static_cast<UINT>(index) >= desc_->typeCount)
        return TYPE_E_ELEMENTNOTFOUND;
      name = desc_->types[index].name;
      doc = desc_->types[index].docString;
    } else if (index != -1) {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    if (pBstrName != nullptr)
      *pBstrName = AllocOptional(name);
    if (pBstrDocString != nullptr)
      *pBstrDocString = AllocOptional(doc);
    if (pdwHelpContext != nullptr)
      *pdwHelpContext = 0;
    if (pBstrHelpFile != nullptr)
      *pBstrHelpFile = nullptr;
    return S_OK;
  }
  STDMETHODIMP IsName(LPOLESTR szNameBuf, ULONG lHashVal, BOOL *pfName) override {
    (void)lHashVal;
    if (szNameBuf == nullptr || pfName == nullptr)
      return E_INVALIDARG;
    *pfName = FALSE;
    for (UINT i = 0; i < desc_->typeCount; ++i) {
      LPCWSTR name = desc_->types[i].name;
      if (name == nullptr || !EqualsNoCase(name, szNameBuf))
        continue;
      std::wmemcpy(szNameBuf, name, std::wcslen(name)); // Windows returns the stored casing
      *pfName = TRUE;
      break;
    }
    return S_OK;
  }
  STDMETHODIMP FindName(LPOLESTR szNameBuf, ULONG lHashVal, ITypeInfo **ppTInfo, MEMBERID *rgMemId,
                        USHORT *pcFound) override {
    (void)szNameBuf;
    (void)lHashVal;
    (void)ppTInfo;
    (void)rgMemId;
    if (pcFound == nullptr)
      return E_INVALIDARG;
    *pcFound = 0;
    return E_NOTIMPL;
  }
  STDMETHODIMP_(void) ReleaseTLibAttr(TLIBATTR *pTLibAttr) override { CoTaskMemFree(pTLibAttr); }

private:
  ~TypeLib() = default;
  LONG refs_ = 1;
  HMODULE module_;
  const TALLOWICK_TYPELIB_DESC *desc_;
};

bool IsFullPath(LPCOLESTR path) { return path[0] == L'/'; }

std::wstring Hex(unsigned value) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"%x", value);
  return buffer;
}

std::wstring VersionKey(REFGUID libid, WORD major, WORD minor) {
  return L"TypeLib\\" + GuidToString(libid) + L"\\" + Hex(major) + L"." + Hex(minor);
}

const wchar_t *PlatformKey(SYSKIND syskind) {
  switch (syskind) {
  case SYS_WIN16:
    return L"win16";
  case SYS_WIN64:
    return L"win64";
  case SYS_MAC:
    return L"mac";
  default:
    return L"win32";
  }
}

std::wstring FolderOf(const std::wstring &path) {
  size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

LONG WriteKeyDefault(const std::wstring &path, const std::wstring &value) {
  RegKey key;
  LONG rc = key.Create(HKEY_CLASSES_ROOT, path);
  if (rc != ERROR_SUCCESS)
    return rc;
  return key.WriteString(L"", value);
}

// Deletes `path` when it has neither subkeys nor values.
void DeleteIfEmpty(const std::wstring &path) {
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, path) != ERROR_SUCCESS || !key.IsEmpty())
    return;
  key.Close();
  RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}

HRESULT LoadModuleTypeLib(LPCOLESTR szFile, ITypeLib **pptlib) {
  HMODULE module = LoadLibraryExW(szFile, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr)
    return TYPE_E_CANTLOADLIBRARY;
  auto proc = tallowick::platform::ProcAs<TALLOWICK_TYPELIB_PROC>(
      GetProcAddress(module, TALLOWICK_TYPELIB_EXPORT));
  const TALLOWICK_TYPELIB_DESC *desc = proc != nullptr ? proc() : nullptr;
  if (desc == nullptr) {
    FreeLibrary(module);
    return TYPE_E_CANTLOADLIBRARY;
  }
  *pptlib = new TypeLib(module, desc);
  return S_OK;
}

} // namespace

extern "C" {

HRESULT WINAPI LoadTypeLibEx(LPCOLESTR szFile, REGKIND regkind, ITypeLib **pptlib) {
  if (szFile == nullptr || pptlib == nullptr)
    return E_INVALIDARG;
  *pptlib = nullptr;
  HRESULT hr = LoadModuleTypeLib(szFile, pptlib);
  if (FAILED(hr))
    return hr;
  bool registerIt =
      regkind == REGKIND_REGISTER || (regkind == REGKIND_DEFAULT && !IsFullPath(szFile));
  if (!registerIt)
    return S_OK;
  hr = RegisterTypeLib(*pptlib, szFile, nullptr);
  if (FAILED(hr)) {
    (*pptlib)->Release();
    *pptlib = nullptr;
  }
  return hr;
}

HRESULT WINAPI LoadTypeLib(LPCOLESTR szFile, ITypeLib **pptlib) {
  return LoadTypeLibEx(szFile, REGKIND_DEFAULT, pptlib);
}

HRESULT WINAPI LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                              ITypeLib **pptlib) {
  if (pptlib == nullptr)
    return E_INVALIDARG;
  *pptlib = nullptr;
  std::wstring base = VersionKey(rguid, wVerMajor, wVerMinor) + L"\\" + Hex(lcid) + L"\\";
  for (SYSKIND kind : {SYS_WIN32, SYS_WIN64}) {
    auto path = tallowick::platform::ReadClassesRootString(base + PlatformKey(kind));
    if (path && !path->empty())
      return LoadTypeLibEx(path->c_str(), REGKIND_NONE, pptlib);
  }
  return TYPE_E_LIBNOTREGISTERED;
}

HRESULT WINAPI RegisterTypeLib(ITypeLib *ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
  if (ptlib == nullptr || szFullPath == nullptr)
    return E_INVALIDARG;
  TLIBATTR *attr = nullptr;
  HRESULT hr = ptlib->GetLibAttr(&attr);
  if (FAILED(hr))
    return hr;
  TLIBATTR lib = *attr;
  ptlib->ReleaseTLibAttr(attr);

  BSTR name = nullptr;
  BSTR doc = nullptr;
  ptlib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
  std::wstring title = SysStringLen(doc) != 0 ? std::wstring(doc) : std::wstring(name ? name : L"");
  SysFreeString(name);
  SysFreeString(doc);

  std::wstring version = VersionKey(lib.guid, lib.wMajorVerNum, lib.wMinorVerNum);
  std::wstring helpDir = szHelpDir != nullptr ? std::wstring(szHelpDir) : FolderOf(szFullPath);
  LONG rc = WriteKeyDefault(version, title);
  if (rc == ERROR_SUCCESS)
    rc = WriteKeyDefault(version + L"\\FLAGS", std::to_wstring(lib.wLibFlags));
  if (rc == ERROR_SUCCESS)
    rc = WriteKeyDefault(version + L"\\HELPDIR", helpDir);
  if (rc == ERROR_SUCCESS)
    rc = WriteKeyDefault(version + L"\\" + Hex(lib.lcid) + L"\\" + PlatformKey(lib.syskind),
                         szFullPath);
  return rc == ERROR_SUCCESS ? S_OK : TYPE_E_REGISTRYACCESS;
}

HRESULT WINAPI UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                                 SYSKIND syskind) {
  std::wstring version = VersionKey(libID, wVerMajor, wVerMinor);
  std::wstring localeKey = version + L"\\" + Hex(lcid);
  std::wstring platformKey = localeKey + L"\\" + PlatformKey(syskind);
  {
    RegKey probe;
    if (probe.Open(HKEY_CLASSES_ROOT, platformKey) != ERROR_SUCCESS)
      return TYPE_E_REGISTRYACCESS;
  }
  if (RegDeleteKeyW(HKEY_CLASSES_ROOT, platformKey.c_str()) != ERROR_SUCCESS)
    return TYPE_E_REGISTRYACCESS;
  DeleteIfEmpty(localeKey);

  // The version key goes once no locale is left under it (FLAGS and HELPDIR
  // are its own).
  RegKey versionKey;
  if (versionKey.Open(HKEY_CLASSES_ROOT, version) == ERROR_SUCCESS) {
    bool localeLeft = false;
    WCHAR sub[256];
    for (DWORD i = 0;; ++i) {
      DWORD len = 256;
      if (RegEnumKeyExW(versionKey.get(), i, sub, &len, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      if (!EqualsNoCase(sub, L"FLAGS") && !EqualsNoCase(sub, L"HELPDIR"))
        localeLeft = true;
    }
    versionKey.Close();
    if (!localeLeft)
      RegDeleteTreeW(HKEY_CLASSES_ROOT, version.c_str());
  }
  DeleteIfEmpty(L"TypeLib\\" + GuidToString(libID));
  return S_OK;
}

} // extern "C"

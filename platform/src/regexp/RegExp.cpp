// CRegExp: the "VBScript.RegExp" object, backed by PCRE2 on 32-bit code units
// (wchar_t). Patterns take JavaScript syntax; every match runs under match,
// depth and heap limits, so a runaway pattern fails instead of hanging.
#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

#include "oleaut/OleAut.h"
#include "regexp/RegExpInternal.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <optional>

namespace tallowick::platform::regexp {
namespace {

static_assert(sizeof(wchar_t) == sizeof(PCRE2_UCHAR32), "wide characters are 32-bit code units");

constexpr uint32_t kMatchSteps = 2000000;
constexpr uint32_t kDepthLimit = 10000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;

enum : DISPID {
  kDispPattern = 10001,
  kDispIgnoreCase = 10002,
  kDispGlobal = 10003,
  kDispExecute = 10004,
  kDispTest = 10005,
  kDispReplace = 10006,
};

constexpr DispMember kMembers[] = {
    {L"Pattern", kDispPattern}, {L"IgnoreCase", kDispIgnoreCase},
    {L"Global", kDispGlobal},   {L"Execute", kDispExecute},
    {L"Test", kDispTest},       {L"Replace", kDispReplace},
};

struct CodeDeleter {
  void operator()(pcre2_code *code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data *data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context *context) const { pcre2_match_context_free(context); }
};
struct CompileContextDeleter {
  void operator()(pcre2_compile_context *context) const { pcre2_compile_context_free(context); }
};
using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;

// One match: the whole match and each capture group as offsets; unset groups
// are PCRE2_UNSET.
struct Found {
  std::vector<PCRE2_SIZE> offsets; // pairs: start, end
};

PCRE2_SPTR32 Units(const wchar_t *text) { return reinterpret_cast<PCRE2_SPTR32>(text); }

HRESULT Compile(const std::wstring &pattern, bool ignoreCase, CodePtr &code) {
  std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
      pcre2_compile_context_create(nullptr));
  if (!context)
    return E_OUTOFMEMORY;
  pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_ALT_BSUX);
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                     PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY;
  if (ignoreCase)
    options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  code.reset(pcre2_compile(Units(pattern.c_str()), pattern.size(), options, &error, &errorOffset,
                           context.get()));
  if (!code)
    return error == PCRE2_ERROR_NOMEMORY ? E_OUTOFMEMORY : kSyntaxError;
  return S_OK;
}

// All non-overlapping matches (or only the first) of `code` in `subject`.
HRESULT FindMatches(const pcre2_code *code, std::wstring_view subject, bool all,
                    std::vector<Found> &found) {
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
      pcre2_match_data_create_from_pattern(code, nullptr));
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(
      pcre2_match_context_create(nullptr));
  if (!data || !context)
    return E_OUTOFMEMORY;
  pcre2_set_match_limit(context.get(), kMatchSteps);
  pcre2_set_depth_limit(context.get(), kDepthLimit);
  pcre2_set_heap_limit(context.get(), kHeapLimitKiB);

  // An empty subject still needs a valid pointer.
  const wchar_t *units = subject.empty() ? L"" : subject.data();
  PCRE2_SIZE start = 0;
  while (start <= subject.size()) {
    int rc = pcre2_match(code, Units(units), subject.size(), start, 0, data.get(), context.get());
    if (rc == PCRE2_ERROR_NOMATCH)
      break;
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT)
      return kRunawayMatch;
    if (rc == PCRE2_ERROR_NOMEMORY)
      return E_OUTOFMEMORY;
    if (rc < 0)
      return E_FAIL;
    uint32_t pairs = pcre2_get_ovector_count(data.get());
    PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data.get());
    Found match;
    match.offsets.assign(ovector, ovector + 2 * pairs);
    // Groups beyond the highest one set in this match are unset as well.
    for (uint32_t i = static_cast<uint32_t>(rc); i < pairs; ++i)
      match.offsets[2 * i] = match.offsets[2 * i + 1] = PCRE2_UNSET;
    PCRE2_SIZE begin = ovector[0];
    PCRE2_SIZE end = ovector[1];
    found.push_back(std::move(match));
    if (!all)
      break;
    // After an empty match the search moves on by one character.
    start = end > begin ? end : end + 1;
  }
  return S_OK;
}

std::optional<std::wstring_view> Group(std::wstring_view subject, const Found &match,
                                       size_t group) {
  if (2 * group + 1 >= match.offsets.size())
    return std::nullopt;
  PCRE2_SIZE begin = match.offsets[2 * group];
  PCRE2_SIZE end = match.offsets[2 * group + 1];
  if (begin == PCRE2_UNSET || end < begin)
    return std::wstring_view();
  return subject.substr(begin, end - begin);
}

// Expands $1..$9, $&, $`, $' and $$ in `replacement` for one match; any other
// '$' is kept as written, so is a group number the pattern does not have.
void AppendReplacement(std::wstring &out, std::wstring_view subject, const Found &match,
                       std::wstring_view replacement, uint32_t groups) {
  for (size_t i = 0; i < replacement.size(); ++i) {
    wchar_t c = replacement[i];
    if (c != L'$' || i + 1 == replacement.size()) {
      out += c;
      continue;
    }
    wchar_t next = replacement[i + 1];
    if (next == L'$') {
      out += L'$';
    } else if (next == L'&') {
      out += subject.substr(match.offsets[0], match.offsets[1] - match.offsets[0]);
    } else if (next == L'`') {
      out += subject.substr(0, match.offsets[0]);
    } else if (next == L'\'') {
      out += subject.substr(match.offsets[1]);
    } else if (next >= L'1' && next <= L'9' && static_cast<uint32_t>(next - L'0') <= groups) {
      if (auto text = Group(subject, match, next - L'0'))
        out += *text;
    } else {
      out += c;
      continue;
    }
    ++i;
  }
}

class CRegExp final : public IRegExp {
public:
  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IRegExp) {
      *ppv = static_cast<IRegExp *>(this);
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

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT *pctinfo) override {
    if (pctinfo == nullptr)
      return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **ppTInfo) override {
    if (ppTInfo == nullptr)
      return E_POINTER;
    *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT cNames, LCID, DISPID *ids) override {
    return LookupNames(kMembers, std::size(kMembers), names, cNames, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *, UINT *argErr) override {
    HRESULT hr = CheckInvoke(riid, params);
    if (FAILED(hr))
      return hr;
    switch (id) {
    case kDispPattern:
    case kDispIgnoreCase:
    case kDispGlobal:
      return InvokeProperty(id, flags, params, result, argErr);
    case kDispExecute:
    case kDispTest:
    case kDispReplace:
      if ((flags & DISPATCH_METHOD) == 0)
        return DISP_E_MEMBERNOTFOUND;
      return InvokeMethod(id, params, result, argErr);
    default:
      return DISP_E_MEMBERNOTFOUND;
    }
  }

  // IRegExp
  STDMETHODIMP get_Pattern(BSTR *pPattern) override {
    if (pPattern == nullptr)
      return E_POINTER;
    std::lock_guard guard(lock_);
    *pPattern = oleaut::MakeBstr(pattern_);
    return *pPattern != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP put_Pattern(BSTR pattern) override {
    try {
      std::lock_guard guard(lock_);
      pattern_ = oleaut::BstrView(pattern);
      code_.reset();
      return S_OK;
    } catch (const std::bad_alloc &) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }
  STDMETHODIMP get_IgnoreCase(VARIANT_BOOL *pIgnoreCase) override {
    return GetFlag(ignoreCase_, pIgnoreCase);
  }
  STDMETHODIMP put_IgnoreCase(VARIANT_BOOL ignoreCase) override {
    std::lock_guard guard(lock_);
    bool value = ignoreCase != VARIANT_FALSE;
    if (value != ignoreCase_)
      code_.reset();
    ignoreCase_ = value;
    return S_OK;
  }
  STDMETHODIMP get_Global(VARIANT_BOOL *pGlobal) override { return GetFlag(global_, pGlobal); }
  STDMETHODIMP put_Global(VARIANT_BOOL global) override {
    std::lock_guard guard(lock_);
    global_ = global != VARIANT_FALSE;
    return S_OK;
  }

  STDMETHODIMP Execute(BSTR source, IDispatch **ppMatches) override {
    if (ppMatches == nullptr)
      return E_POINTER;
    *ppMatches = nullptr;
    try {
      std::wstring_view subject = oleaut::BstrView(source);
      std::vector<Found> found;
      HRESULT hr = Run(subject, global_, found);
      if (FAILED(hr))
        return hr;
      std::vector<MatchRecord> records;
      records.reserve(found.size());
      for (const Found &match : found) {
        PCRE2_SIZE begin = match.offsets[0];
        PCRE2_SIZE end = match.offsets[1];
        records.push_back(
            {std::wstring(subject.substr(begin, end - begin)), static_cast<LONG>(begin)});
      }
      return CreateMatchCollection(std::move(records), ppMatches);
    } catch (const std::bad_alloc &) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

  STDMETHODIMP Test(BSTR source, VARIANT_BOOL *pMatch) override {
    if (pMatch == nullptr)
      return E_POINTER;
    *pMatch = VARIANT_FALSE;
    try {
      std::vector<Found> found;
      HRESULT hr = Run(oleaut::BstrView(source), false, found);
      if (FAILED(hr))
        return hr;
      *pMatch = found.empty() ? VARIANT_FALSE : VARIANT_TRUE;
      return S_OK;
    } catch (const std::bad_alloc &) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

  STDMETHODIMP Replace(BSTR source, BSTR replacement, BSTR *pDestString) override {
    if (pDestString == nullptr)
      return E_POINTER;
    *pDestString = nullptr;
    try {
      std::wstring_view subject = oleaut::BstrView(source);
      std::vector<Found> found;
      uint32_t groups = 0;
      HRESULT hr = Run(subject, global_, found, &groups);
      if (FAILED(hr))
        return hr;
      std::wstring out;
      PCRE2_SIZE copied = 0;
      for (const Found &match : found) {
        out += subject.substr(copied, match.offsets[0] - copied);
        AppendReplacement(out, subject, match, oleaut::BstrView(replacement), groups);
        copied = match.offsets[1];
      }
      out += subject.substr(copied);
      *pDestString = oleaut::MakeBstr(out);
      return *pDestString != nullptr ? S_OK : E_OUTOFMEMORY;
    } catch (const std::bad_alloc &) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

private:
  ~CRegExp() = default;

  HRESULT GetFlag(const bool &flag, VARIANT_BOOL *out) {
    if (out == nullptr)
      return E_POINTER;
    std::lock_guard guard(lock_);
    *out = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  // Compiles the pattern when it or the case option changed, then matches.
  HRESULT Run(std::wstring_view subject, bool all, std::vector<Found> &found,
              uint32_t *groups = nullptr) {
    std::lock_guard guard(lock_);
    if (!code_) {
      HRESULT hr = Compile(pattern_, ignoreCase_, code_);
      if (FAILED(hr))
        return hr;
    }
    if (groups != nullptr)
      pcre2_pattern_info(code_.get(), PCRE2_INFO_CAPTURECOUNT, groups);
    return FindMatches(code_.get(), subject, all, found);
  }

  HRESULT InvokeProperty(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result, UINT *argErr) {
    VARIANT value;
    VariantInit(&value);
    if (IsPut(flags)) {
      HRESULT hr = GetPutValue(params, id == kDispPattern ? VT_BSTR : VT_BOOL, value, argErr);
      if (FAILED(hr))
        return hr;
      if (id == kDispPattern)
        hr = put_Pattern(value.bstrVal);
      else if (id == kDispIgnoreCase)
        hr = put_IgnoreCase(value.boolVal);
      else
        hr = put_Global(value.boolVal);
      VariantClear(&value);
      return hr;
    }
    if (!IsGet(flags))
      return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 0)
      return DISP_E_BADPARAMCOUNT;
    HRESULT hr;
    if (id == kDispPattern) {
      value.vt = VT_BSTR;
      hr = get_Pattern(&value.bstrVal);
    } else {
      value.vt = VT_BOOL;
      hr = id == kDispIgnoreCase ? get_IgnoreCase(&value.boolVal) : get_Global(&value.boolVal);
    }
    if (FAILED(hr))
      return hr;
    SetResult(result, value);
    return S_OK;
  }

  HRESULT InvokeMethod(DISPID id, DISPPARAMS *params, VARIANT *result, UINT *argErr) {
    UINT expected = id == kDispReplace ? 2 : 1;
    if (params->cArgs != expected)
      return DISP_E_BADPARAMCOUNT;
    VARIANT source, replacement, value;
    VariantInit(&replacement);
    VariantInit(&value);
    HRESULT hr = GetArgument(params, 0, VT_BSTR, source, argErr);
    if (FAILED(hr))
      return hr;
    if (id == kDispExecute) {
      value.vt = VT_DISPATCH;
      hr = Execute(source.bstrVal, &value.pdispVal);
    } else if (id == kDispTest) {
      value.vt = VT_BOOL;
      hr = Test(source.bstrVal, &value.boolVal);
    } else {
      hr = GetArgument(params, 1, VT_BSTR, replacement, argErr);
      if (SUCCEEDED(hr)) {
        value.vt = VT_BSTR;
        hr = Replace(source.bstrVal, replacement.bstrVal, &value.bstrVal);
      }
    }
    VariantClear(&source);
    VariantClear(&replacement);
    if (FAILED(hr)) {
      value.vt = VT_EMPTY;
      return hr;
    }
    SetResult(result, value);
    return S_OK;
  }

  std::atomic<ULONG> refs_{1};
  std::mutex lock_;
  std::wstring pattern_;
  bool ignoreCase_ = false;
  bool global_ = false;
  CodePtr code_;
};

} // namespace

HRESULT CreateRegExp(IUnknown *outer, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  auto *object = new (std::nothrow) CRegExp;
  if (object == nullptr)
    return E_OUTOFMEMORY;
  HRESULT hr = object->QueryInterface(riid, ppv);
  object->Release();
  return hr;
}

} // namespace tallowick::platform::regexp

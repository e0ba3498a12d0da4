#include "support/QilUtils.h"

#include "VBScriptRegExp_h.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"

namespace {

// The critical section guarding the matcher, for the module's lifetime.
class CMatcherLock {
public:
  CMatcherLock() { InitializeCriticalSection(&section_); }
  ~CMatcherLock() { DeleteCriticalSection(&section_); }
  CMatcherLock(const CMatcherLock &) = delete;
  CMatcherLock &operator=(const CMatcherLock &) = delete;
  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

private:
  CRITICAL_SECTION section_;
};

CMatcherLock g_matcherLock;
IRegExp *g_matcher = nullptr;

class CMatcherSection {
public:
  CMatcherSection() { g_matcherLock.Enter(); }
  ~CMatcherSection() { g_matcherLock.Leave(); }
  CMatcherSection(const CMatcherSection &) = delete;
  CMatcherSection &operator=(const CMatcherSection &) = delete;
};

// Under the section.
IRegExp *Matcher() {
  if (g_matcher != nullptr)
    return g_matcher;
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"VBScript.RegExp", &clsid)))
    return nullptr;
  IRegExp *created = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IRegExp,
                              reinterpret_cast<void **>(&created))))
    return nullptr;
  g_matcher = created;
  return g_matcher;
}

bool SameText(BSTR a, BSTR b, bool ignoreCase) {
  UINT length = SysStringLen(a);
  if (length != SysStringLen(b))
    return false;
  if (length == 0)
    return true;
  if (ignoreCase)
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, static_cast<int>(length), b,
                          static_cast<int>(length)) == CSTR_EQUAL;
  for (UINT i = 0; i < length; ++i)
    if (a[i] != b[i])
      return false;
  return true;
}

// Whether the matches are exactly one that starts at 0 and spans `length`.
bool IsWholeTextMatch(IDispatch *result, LONG length) {
  CQilComPtr<IMatchCollection> matches;
  if (result == nullptr || FAILED(result->QueryInterface(IID_IMatchCollection,
                                                         reinterpret_cast<void **>(&matches))))
    return false;
  LONG count = 0;
  if (FAILED(matches->get_Count(&count)) || count != 1)
    return false;
  CQilComPtr<IDispatch> item;
  CQilComPtr<IMatch> match;
  if (FAILED(matches->get_Item(0, &item)) || item == nullptr ||
      FAILED(item->QueryInterface(IID_IMatch, reinterpret_cast<void **>(&match))))
    return false;
  LONG first = -1;
  LONG matched = -1;
  if (FAILED(match->get_FirstIndex(&first)) || FAILED(match->get_Length(&matched)))
    return false;
  return first == 0 && matched == length;
}

bool MatchRegularExpression(BSTR pattern, BSTR text, bool ignoreCase) {
  CMatcherSection section;
  IRegExp *matcher = Matcher();
  if (matcher == nullptr)
    return false;
  if (FAILED(matcher->put_IgnoreCase(ignoreCase ? VARIANT_TRUE : VARIANT_FALSE)))
    return false;
  // The matcher's methods take real BSTRs.
  CQilBstr patternText(pattern != nullptr ? pattern : L"", SysStringLen(pattern));
  CQilBstr sourceText(text != nullptr ? text : L"", SysStringLen(text));
  if (!patternText || !sourceText || FAILED(matcher->put_Pattern(patternText)))
    return false;
  CQilComPtr<IDispatch> result;
  if (FAILED(matcher->Execute(sourceText, &result)))
    return false;
  return IsWholeTextMatch(result, static_cast<LONG>(sourceText.Length()));
}

} // namespace

bool MatchText(BSTR pattern, BSTR text, bool regularExpression, bool ignoreCase) {
  if (!regularExpression)
    return SameText(pattern, text, ignoreCase);
  return MatchRegularExpression(pattern, text, ignoreCase);
}

void ReleaseTextMatcher() {
  CMatcherSection section;
  IRegExp *matcher = g_matcher;
  g_matcher = nullptr;
  if (matcher != nullptr)
    matcher->Release();
}

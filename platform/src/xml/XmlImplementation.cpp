// The document's implementation object: which DOM features it has.
#include <cwctype>

#include "xml/XmlObject.h"

namespace tallowick::platform::xml {

namespace {

class XmlImplementation final : public DispatchObject<IXMLDOMImplementation> {
 public:
  STDMETHODIMP hasFeature(BSTR feature, BSTR version, VARIANT_BOOL *has) override {
    if (has == nullptr)
      return E_POINTER;
    std::wstring name = feature ? feature : L"";
    std::wstring level = version ? version : L"";
    for (auto &c : name)
      c = towupper(c);
    bool known = name == L"XML" || name == L"DOM" || name == L"MS-DOM";
    *has = known && (level.empty() || level == L"1.0") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
};

} // namespace

HRESULT NewImplementation(IXMLDOMImplementation **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  return Guard([&] {
    *out = new XmlImplementation();
    return S_OK;
  });
}

} // namespace tallowick::platform::xml

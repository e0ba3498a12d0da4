// The parse error of a document's last load, as a snapshot.
#include "xml/XmlDocument.h"
#include "xml/XmlObject.h"

namespace tallowick::platform::xml {

namespace {

class XmlParseError final : public DispatchObject<IXMLDOMParseError> {
 public:
  explicit XmlParseError(ParseErrorInfo info) : info_(std::move(info)) {}

  STDMETHODIMP get_errorCode(LONG *code) override { return Number(info_.code, code); }
  STDMETHODIMP get_url(BSTR *url) override { return Text(info_.url, url); }
  STDMETHODIMP get_reason(BSTR *reason) override { return Text(info_.reason, reason); }
  STDMETHODIMP get_srcText(BSTR *source) override { return Text(info_.srcText, source); }
  STDMETHODIMP get_line(LONG *line) override { return Number(info_.line, line); }
  STDMETHODIMP get_linepos(LONG *position) override { return Number(info_.linepos, position); }
  STDMETHODIMP get_filepos(LONG *position) override { return Number(info_.filepos, position); }

 private:
  static HRESULT Number(LONG value, LONG *out) {
    if (out == nullptr)
      return E_POINTER;
    *out = value;
    return S_OK;
  }
  // An empty text is no text: NULL and S_FALSE.
  static HRESULT Text(const std::wstring &value, BSTR *out) {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (value.empty())
      return S_FALSE;
    return Guard([&] { return ReturnBstr(value, out); });
  }

  ParseErrorInfo info_;
};

} // namespace

HRESULT NewParseError(const ParseErrorInfo &info, IXMLDOMParseError **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  return Guard([&] {
    *out = new XmlParseError(info);
    return S_OK;
  });
}

} // namespace tallowick::platform::xml

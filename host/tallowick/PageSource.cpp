#include "PageSource.h"

#include <cstdio>

#include "tallowick/Page.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {

HRESULT LoadPageArgument(const std::string &page, host::http::HttpSession &session,
                         IHTMLDocument2 **document) {
  std::wstring name = platform::Widen(page);
  if (!host::http::IsHttpUrl(name)) {
    HRESULT hr = platform::LoadPageFromFile(name, L"", document);
    if (FAILED(hr))
      std::fprintf(stderr, "tallowick: cannot load page '%s' (error 0x%08X)\n", page.c_str(),
                   static_cast<unsigned>(hr));
    return hr;
  }
  host::http::Response response;
  HRESULT hr = session.Get(name, &response);
  if (SUCCEEDED(hr))
    hr = platform::LoadPageFromString(response.body, response.url, document);
  if (FAILED(hr))
    std::fprintf(stderr, "tallowick: %s (error 0x%08X)\n",
                 session.LastError().empty() ? ("cannot load page '" + page + "'").c_str()
                                             : platform::Narrow(session.LastError()).c_str(),
                 static_cast<unsigned>(hr));
  return hr;
}

void FollowHttpNavigations(IHTMLDocument2 *document, host::http::HttpSession &session,
                           bool *failed) {
  platform::SetNavigationHandler(
      document, [&session, failed](const platform::Navigation &navigation,
                                   platform::NavigationAnswer *answer) {
        HRESULT hr = host::http::AnswerNavigation(session, navigation, answer);
        if (hr == S_FALSE && !session.LastError().empty())
          std::fprintf(stderr, "tallowick: %s\n", platform::Narrow(session.LastError()).c_str());
        if (FAILED(hr)) {
          std::fprintf(stderr, "tallowick: %s (error 0x%08X)\n",
                       platform::Narrow(session.LastError()).c_str(), static_cast<unsigned>(hr));
          *failed = true;
        }
        return SUCCEEDED(hr) ? S_OK : hr;
      });
}

} // namespace tallowick::cli

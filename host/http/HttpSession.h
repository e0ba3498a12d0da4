// Pages over HTTP for the host: one session per browser (its cookies live as
// long as the session), GETs and form submissions, redirects followed.
// Only pages on the loopback host are fetched.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tallowick/Page.h"

// The URL moniker's error codes, as a browser reports failed downloads.
#ifndef INET_E_INVALID_URL
#define INET_E_INVALID_URL static_cast<HRESULT>(0x800C0002L)
#endif
#ifndef INET_E_CANNOT_CONNECT
#define INET_E_CANNOT_CONNECT static_cast<HRESULT>(0x800C0004L)
#endif
#ifndef INET_E_OBJECT_NOT_FOUND
#define INET_E_OBJECT_NOT_FOUND static_cast<HRESULT>(0x800C0006L)
#endif
#ifndef INET_E_DOWNLOAD_FAILURE
#define INET_E_DOWNLOAD_FAILURE static_cast<HRESULT>(0x800C0008L)
#endif
#ifndef INET_E_CONNECTION_TIMEOUT
#define INET_E_CONNECTION_TIMEOUT static_cast<HRESULT>(0x800C000BL)
#endif
#ifndef INET_E_REDIRECT_FAILED
#define INET_E_REDIRECT_FAILED static_cast<HRESULT>(0x800C0014L)
#endif

namespace host::http {

using Fields = std::vector<std::pair<std::wstring, std::wstring>>;

// An answer of the server, after redirects.
struct Response {
  long status = 0;
  std::string body;        // as sent (pages: UTF-8 markup)
  std::wstring url;        // the URL that answered (the last redirect's target)
  std::string contentType; // the Content-Type header, if any
};

// Limits of one fetch (all its redirects together).
inline constexpr int kMaxRedirects = 10;
inline constexpr long kFetchTimeoutMs = 60000;
inline constexpr long kConnectTimeoutMs = 10000;
inline constexpr size_t kMaxBodyBytes = 32u << 20;

// Whether a URL is an http:// or https:// URL.
bool IsHttpUrl(const std::wstring &url);
// Fields as application/x-www-form-urlencoded text (UTF-8, spaces as '+').
std::string EncodeForm(const Fields &fields);

class HttpSession {
public:
  HttpSession();
  ~HttpSession();
  HttpSession(const HttpSession &) = delete;
  HttpSession &operator=(const HttpSession &) = delete;

  // GETs the page at `url`.
  HRESULT Get(const std::wstring &url, Response *response);
  // Sends a form: "post" sends the fields as the URL-encoded body, "get"
  // puts them in place of the URL's query.
  HRESULT Submit(const std::wstring &url, const std::wstring &method, const Fields &fields,
                 Response *response);

  // What went wrong in the last failed call (naming the URL and the status or
  // the connection error); empty after a success.
  const std::wstring &LastError() const { return error_; }

private:
  struct Request {
    std::string url;
    bool post = false;
    std::string body;
  };
  HRESULT Run(Request request, Response *response);
  HRESULT Perform(const Request &request, Response *response, long timeoutMs,
                  std::string *location);
  HRESULT Fail(HRESULT hr, const std::string &message);

  void *curl_ = nullptr; // CURL: its cookie engine keeps the session's cookies
  std::wstring error_;
};

// Answers a navigation of a page over HTTP: S_OK with the new page in
// `answer`; S_FALSE when the URL is not an http one, or is off the loopback
// host (not fetched: the page stays; the session's LastError says so); a
// failure (with the session's LastError) when the fetch failed.
HRESULT AnswerNavigation(HttpSession &session, const tallowick::platform::Navigation &navigation,
                         tallowick::platform::NavigationAnswer *answer);

} // namespace host::http

#include "http/HttpSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <mutex>

#include "tallowick/Strings.h"

namespace host::http {
namespace {

using tallowick::platform::Narrow;
using tallowick::platform::Widen;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct UrlDeleter {
  void operator()(CURLU *url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

std::string UrlPart(CURLU *url, CURLUPart part) {
  char *text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr)
    return {};
  std::string value = text;
  curl_free(text);
  return value;
}

std::string Lower(std::string text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsLoopback(const std::string &host) {
  std::string name = Lower(host);
  return name == "127.0.0.1" || name == "localhost" || name == "[::1]" || name == "::1";
}

// What the body and header callbacks collect of one response.
struct Capture {
  std::string body;
  std::string statusLine; // of the last response (redirects and 100s have their own)
  bool tooLarge = false;
};

size_t OnBody(char *data, size_t size, size_t count, void *user) {
  auto *capture = static_cast<Capture *>(user);
  size_t bytes = size * count;
  if (capture->body.size() + bytes > kMaxBodyBytes) {
    capture->tooLarge = true;
    return 0; // aborts the transfer
  }
  capture->body.append(data, bytes);
  return bytes;
}

size_t OnHeader(char *data, size_t size, size_t count, void *user) {
  auto *capture = static_cast<Capture *>(user);
  size_t bytes = size * count;
  std::string line(data, bytes);
  if (line.rfind("HTTP/", 0) == 0) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
      line.pop_back();
    capture->statusLine = line;
  }
  return bytes;
}

// "500 Internal Server Error" from "HTTP/1.1 500 Internal Server Error".
std::string StatusText(const std::string &statusLine, long status) {
  size_t space = statusLine.find(' ');
  if (space == std::string::npos)
    return std::to_string(status);
  return statusLine.substr(space + 1);
}

HRESULT FromCurlCode(CURLcode code) {
  switch (code) {
  case CURLE_UNSUPPORTED_PROTOCOL:
  case CURLE_URL_MALFORMAT:
    return INET_E_INVALID_URL;
  case CURLE_COULDNT_RESOLVE_HOST:
  case CURLE_COULDNT_CONNECT:
    return INET_E_CANNOT_CONNECT;
  case CURLE_OPERATION_TIMEDOUT:
    return INET_E_CONNECTION_TIMEOUT;
  case CURLE_OUT_OF_MEMORY:
    return E_OUTOFMEMORY;
  default:
    return INET_E_DOWNLOAD_FAILURE;
  }
}

bool IsForm(IHTMLElement *element) {
  BSTR tag = nullptr;
  if (element == nullptr || FAILED(element->get_tagName(&tag)) || tag == nullptr)
    return false;
  bool form = tallowick::platform::EqualsNoCase(tag, L"FORM");
  SysFreeString(tag);
  return form;
}

} // namespace

bool IsHttpUrl(const std::wstring &url) {
  auto startsWith = [&](const wchar_t *prefix) {
    size_t n = std::char_traits<wchar_t>::length(prefix);
    if (url.size() < n)
      return false;
    for (size_t i = 0; i < n; ++i)
      if (static_cast<wchar_t>(std::towlower(url[i])) != prefix[i])
        return false;
    return true;
  };
  return startsWith(L"http://") || startsWith(L"https://");
}

std::string EncodeForm(const Fields &fields) {
  auto escape = [](const std::wstring &text) {
    std::string utf8 = Narrow(text);
    std::string out;
    for (unsigned char c : utf8) {
      bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '-' || c == '_' || c == '.' || c == '*';
      if (plain) {
        out += static_cast<char>(c);
      } else if (c == ' ') {
        out += '+';
      } else {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", c);
        out += hex;
      }
    }
    return out;
  };
  std::string encoded;
  for (const auto &[name, value] : fields) {
    if (!encoded.empty())
      encoded += '&';
    encoded += escape(name) + '=' + escape(value);
  }
  return encoded;
}

HttpSession::HttpSession() {
  GlobalInit();
  curl_ = curl_easy_init();
  if (curl_ != nullptr)
    curl_easy_setopt(static_cast<CURL *>(curl_), CURLOPT_COOKIEFILE, ""); // cookies in memory
}

HttpSession::~HttpSession() {
  if (curl_ != nullptr)
    curl_easy_cleanup(static_cast<CURL *>(curl_));
}

HRESULT HttpSession::Fail(HRESULT hr, const std::string &message) {
  error_ = Widen(message);
  return hr;
}

HRESULT HttpSession::Get(const std::wstring &url, Response *response) {
  if (response == nullptr)
    return E_POINTER;
  return Run({Narrow(url), false, {}}, response);
}

HRESULT HttpSession::Submit(const std::wstring &url, const std::wstring &method,
                            const Fields &fields, Response *response) {
  if (response == nullptr)
    return E_POINTER;
  std::string target = Narrow(url);
  std::string encoded = EncodeForm(fields);
  bool post = method.size() == 4 && std::towlower(method[0]) == L'p' &&
              std::towlower(method[1]) == L'o' && std::towlower(method[2]) == L's' &&
              std::towlower(method[3]) == L't';
  if (post)
    return Run({target, true, encoded}, response);
  UrlHandle parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, target.c_str(), 0) != CURLUE_OK)
    return Fail(INET_E_INVALID_URL, "cannot fetch " + target + ": not a valid URL");
  curl_url_set(parsed.get(), CURLUPART_QUERY, encoded.empty() ? nullptr : encoded.c_str(), 0);
  curl_url_set(parsed.get(), CURLUPART_FRAGMENT, nullptr, 0);
  return Run({UrlPart(parsed.get(), CURLUPART_URL), false, {}}, response);
}

// Follows redirects itself (at most kMaxRedirects, all within
// kFetchTimeoutMs), so that every hop is checked: 301/302/303 go on as a
// GET, 307/308 repeat the request.
HRESULT HttpSession::Run(Request request, Response *response) {
  error_.clear();
  if (curl_ == nullptr)
    return Fail(E_OUTOFMEMORY, "cannot fetch " + request.url + ": no HTTP session");
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kFetchTimeoutMs);
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    long left = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline - std::chrono::steady_clock::now())
                                      .count());
    if (left <= 0)
      return Fail(INET_E_CONNECTION_TIMEOUT, "cannot fetch " + request.url + ": no answer within " +
                                                 std::to_string(kFetchTimeoutMs / 1000) +
                                                 " seconds");
    std::string location;
    HRESULT hr = Perform(request, response, left, &location);
    if (hr != S_FALSE)
      return hr;
    if (response->status != 307 && response->status != 308)
      request = {location, false, {}};
    else
      request.url = location;
  }
  return Fail(INET_E_REDIRECT_FAILED, "cannot fetch " + request.url + ": more than " +
                                          std::to_string(kMaxRedirects) + " redirects");
}

// One request. S_OK with the page; S_FALSE and `location` for a redirect; a
// failure with the message for anything else.
HRESULT HttpSession::Perform(const Request &request, Response *response, long timeoutMs,
                             std::string *location) {
  UrlHandle parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, request.url.c_str(), 0) != CURLUE_OK)
    return Fail(INET_E_INVALID_URL, "cannot fetch " + request.url + ": not a valid URL");
  std::string scheme = Lower(UrlPart(parsed.get(), CURLUPART_SCHEME));
  if (scheme != "http" && scheme != "https")
    return Fail(INET_E_INVALID_URL, "cannot fetch " + request.url + ": not an http URL");
  if (!IsLoopback(UrlPart(parsed.get(), CURLUPART_HOST)))
    return Fail(E_ACCESSDENIED,
                "cannot fetch " + request.url + ": only pages on 127.0.0.1 are fetched");

  CURL *curl = static_cast<CURL *>(curl_);
  Capture capture;
  char message[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(timeoutMs, kConnectTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 7.0; TallowickHost)");
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &capture);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &capture);
  if (request.post) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.c_str());
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }
  CURLcode code = curl_easy_perform(curl);
  // Nothing of this call stays set but the handle's cookies and connections.
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
  if (capture.tooLarge)
    return Fail(INET_E_DOWNLOAD_FAILURE, "cannot fetch " + request.url + ": the answer is over " +
                                             std::to_string(kMaxBodyBytes >> 20) + " MiB");
  if (code != CURLE_OK)
    return Fail(FromCurlCode(code), "cannot fetch " + request.url + ": " +
                                        (message[0] != 0 ? message : curl_easy_strerror(code)));

  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  response->status = status;
  if (status >= 300 && status < 400 && status != 304) {
    char *target = nullptr;
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &target);
    if (target == nullptr || *target == 0)
      return Fail(INET_E_REDIRECT_FAILED, request.url + " answered " +
                                              StatusText(capture.statusLine, status) +
                                              " without a Location");
    *location = target;
    return S_FALSE;
  }
  if (status >= 400 || status < 200)
    return Fail(status == 404 ? INET_E_OBJECT_NOT_FOUND : INET_E_DOWNLOAD_FAILURE,
                request.url + " answered " + StatusText(capture.statusLine, status));
  char *type = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
  response->contentType = type != nullptr ? type : "";
  response->url = Widen(request.url);
  response->body = std::move(capture.body);
  return S_OK;
}

HRESULT AnswerNavigation(HttpSession &session, const tallowick::platform::Navigation &navigation,
                         tallowick::platform::NavigationAnswer *answer) {
  if (answer == nullptr)
    return E_POINTER;
  if (!IsHttpUrl(navigation.url))
    return S_FALSE;
  // A form sends its fields (a GET form in place of the query); a link is a
  // plain GET of its URL.
  Response response;
  HRESULT hr = IsForm(navigation.element)
                   ? session.Submit(navigation.url, navigation.method, navigation.fields, &response)
                   : session.Get(navigation.url, &response);
  if (hr == E_ACCESSDENIED)
    return S_FALSE;
  if (FAILED(hr))
    return hr;
  answer->replace = true;
  answer->html = std::move(response.body);
  answer->url = response.url;
  return S_OK;
}

} // namespace host::http

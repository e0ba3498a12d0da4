// The host's HTTP session against the example ASP.NET site served on
// 127.0.0.1: fetches, form submissions, cookies, redirects and failures.
#include <windows.h>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "AspNetServer.h"
#include "http/HttpSession.h"
#include "tallowick/Strings.h"

namespace {

using host::http::EncodeForm;
using host::http::HttpSession;
using host::http::Response;
using tallowick::platform::Narrow;
using tallowick::platform::Widen;
using tallowick::test::AspNetServer;

// A port on 127.0.0.1 that nothing listens on: bound, then closed.
int ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr *>(&address), size) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  close(fd);
  return port;
}

bool Contains(const std::string &text, const std::string &part) {
  return text.find(part) != std::string::npos;
}

TEST(HttpFormTest, EncodesFieldsAsABrowserDoes) {
  EXPECT_EQ(EncodeForm({}), "");
  EXPECT_EQ(EncodeForm({{L"a b", L"x+y&z=1"}, {L"empty", L""}}), "a+b=x%2By%26z%3D1&empty=");
  EXPECT_EQ(EncodeForm({{L"q", L"50% ~/?#'\"\n"}}), "q=50%25+%7E%2F%3F%23%27%22%0A");
  EXPECT_EQ(EncodeForm({{L"name", L"Zo\u00EB \u20AC"}}), "name=Zo%C3%AB+%E2%82%AC");
}

TEST(HttpSessionTest, RefusesPagesOffTheLoopbackHostWithoutConnecting) {
  HttpSession session;
  Response response;
  EXPECT_EQ(session.Get(L"http://example.invalid/page.aspx", &response), E_ACCESSDENIED);
  EXPECT_TRUE(Contains(Narrow(session.LastError()), "http://example.invalid/page.aspx"))
      << Narrow(session.LastError());
  EXPECT_EQ(session.Get(L"ftp://127.0.0.1/x", &response), INET_E_INVALID_URL);
  EXPECT_EQ(session.Get(L"http://", &response), INET_E_INVALID_URL);
  EXPECT_EQ(session.Get(L"http://127.0.0.1/", nullptr), E_POINTER);
}

TEST(HttpSessionTest, ARefusedConnectionIsAnErrorNamingTheUrl) {
  int port = ClosedPort();
  ASSERT_GT(port, 0);
  std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + L"/Calendar.aspx";
  HttpSession session;
  Response response;
  EXPECT_EQ(session.Get(url, &response), INET_E_CANNOT_CONNECT);
  std::string error = Narrow(session.LastError());
  EXPECT_TRUE(Contains(error, Narrow(url))) << error;
  EXPECT_TRUE(Contains(error, "connect")) << error;
  EXPECT_TRUE(response.body.empty());
}

class ServedSiteTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (std::string why = AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    ASSERT_TRUE(server_.Start()) << server_.Error();
  }
  std::wstring Url(const std::string &page) const { return Widen(server_.Url(page)); }

  AspNetServer server_;
  HttpSession session_;
};

TEST_F(ServedSiteTest, FetchesAPageTheServerRenders) {
  Response response;
  ASSERT_EQ(session_.Get(Url("Calendar.aspx"), &response), S_OK) << Narrow(session_.LastError());
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.url, Url("Calendar.aspx"));
  EXPECT_TRUE(Contains(response.contentType, "text/html")) << response.contentType;
  EXPECT_TRUE(Contains(response.body, "id=\"Calendar1\"")) << response.body;
  EXPECT_TRUE(Contains(response.body, "__doPostBack('Calendar1','3660')"));
  EXPECT_TRUE(Contains(response.body, "January 2010"));
  EXPECT_TRUE(Contains(response.body, "<span id=\"Selection\">5-Jan-2010 (1)</span>"));
  EXPECT_TRUE(session_.LastError().empty());

  // The site's own URL serves its Default.aspx.
  Response index;
  ASSERT_EQ(session_.Get(Widen(server_.BaseUrl()), &index), S_OK);
  EXPECT_TRUE(Contains(index.body, "<a href=\"Calendar.aspx\">")) << index.body;
}

TEST_F(ServedSiteTest, PostsFormFieldsUrlEncodedAndGetFormsReplaceTheQuery) {
  Response posted;
  ASSERT_EQ(session_.Submit(
                Url("Echo.aspx?from=form"), L"post",
                {{L"name", L"Ada & Co"}, {L"note", L"50% = half; a+b"}, {L"city", L"Z\u00FCrich"}},
                &posted),
            S_OK)
      << Narrow(session_.LastError());
  EXPECT_TRUE(Contains(posted.body, "Method: POST")) << posted.body;
  EXPECT_TRUE(Contains(posted.body, "<li>name=Ada &amp; Co</li><li>note=50% = half; a+b</li>"
                                    "<li>city=Z\u00C3\u00BCrich</li>") ||
              Contains(posted.body, "<li>name=Ada &amp; Co</li><li>note=50% = half; a+b</li>"
                                    "<li>city=Z&#252;rich</li>"))
      << posted.body;
  EXPECT_TRUE(Contains(posted.body, "<ul id=\"Query\"><li>from=form</li></ul>")) << posted.body;

  Response got;
  ASSERT_EQ(session_.Submit(Url("Echo.aspx?from=form#top"), L"get", {{L"q", L"a b"}}, &got), S_OK);
  EXPECT_EQ(got.url, Url("Echo.aspx?q=a+b"));
  EXPECT_TRUE(Contains(got.body, "Method: GET")) << got.body;
  EXPECT_TRUE(Contains(got.body, "<ul id=\"Query\"><li>q=a b</li></ul>")) << got.body;
}

TEST_F(ServedSiteTest, APostbackOfACalendarDayChangesTheSelection) {
  Response page;
  ASSERT_EQ(session_.Get(Url("Calendar.aspx"), &page), S_OK);
  auto hidden = [&](const std::string &name) {
    std::string marker = "id=\"" + name + "\" value=\"";
    size_t at = page.body.find(marker);
    if (at == std::string::npos)
      return std::string();
    at += marker.size();
    return page.body.substr(at, page.body.find('"', at) - at);
  };
  std::string viewState = hidden("__VIEWSTATE");
  ASSERT_FALSE(viewState.empty()) << page.body;
  host::http::Fields fields = {{L"__EVENTTARGET", L"Calendar1"},
                               {L"__EVENTARGUMENT", L"3660"},
                               {L"__VIEWSTATE", Widen(viewState)}};
  if (std::string validation = hidden("__EVENTVALIDATION"); !validation.empty())
    fields.emplace_back(L"__EVENTVALIDATION", Widen(validation));
  Response answer;
  ASSERT_EQ(session_.Submit(Url("Calendar.aspx"), L"post", fields, &answer), S_OK)
      << Narrow(session_.LastError());
  EXPECT_TRUE(Contains(answer.body, "<span id=\"Selection\">8-Jan-2010 (1)</span>")) << answer.body;
}

TEST_F(ServedSiteTest, KeepsCookiesForTheSessionsLife) {
  Response first, second, elsewhere;
  ASSERT_EQ(session_.Get(Url("Cookie.aspx"), &first), S_OK);
  EXPECT_TRUE(Contains(first.body, "<span id=\"Visits\">0</span>")) << first.body;
  EXPECT_TRUE(Contains(first.body, "<span id=\"Theme\">none</span>")) << first.body;
  // Both cookies of the answer (separate Set-Cookie headers) come back.
  ASSERT_EQ(session_.Get(Url("Cookie.aspx"), &second), S_OK);
  EXPECT_TRUE(Contains(second.body, "<span id=\"Visits\">1</span>")) << second.body;
  EXPECT_TRUE(Contains(second.body, "<span id=\"Theme\">plain</span>")) << second.body;

  HttpSession other;
  ASSERT_EQ(other.Get(Url("Cookie.aspx"), &elsewhere), S_OK);
  EXPECT_TRUE(Contains(elsewhere.body, "<span id=\"Visits\">0</span>")) << elsewhere.body;
}

TEST_F(ServedSiteTest, FollowsRedirectsAndAPostRedirectedBecomesAGet) {
  Response response;
  ASSERT_EQ(session_.Get(Url("Redirect.aspx"), &response), S_OK);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.url, Url("Calendar.aspx"));
  EXPECT_TRUE(Contains(response.body, "id=\"Calendar1\""));

  Response posted;
  ASSERT_EQ(session_.Submit(Url("Redirect.aspx?to=Echo.aspx"), L"post", {{L"a", L"1"}}, &posted),
            S_OK);
  EXPECT_EQ(posted.url, Url("Echo.aspx"));
  EXPECT_TRUE(Contains(posted.body, "Method: GET")) << posted.body;

  Response looping;
  EXPECT_EQ(session_.Get(Url("Redirect.aspx?loop=1"), &looping), INET_E_REDIRECT_FAILED);
  EXPECT_TRUE(Contains(Narrow(session_.LastError()), "more than 10 redirects"))
      << Narrow(session_.LastError());
}

TEST_F(ServedSiteTest, ErrorStatusesAreErrorsNamingTheUrlAndTheStatus) {
  Response response;
  EXPECT_EQ(session_.Get(Url("Error.aspx"), &response), INET_E_DOWNLOAD_FAILURE);
  std::string error = Narrow(session_.LastError());
  EXPECT_EQ(error, server_.Url("Error.aspx") + " answered 500 Internal Server Error");
  EXPECT_TRUE(response.body.empty());

  EXPECT_EQ(session_.Get(Url("Missing.aspx"), &response), INET_E_OBJECT_NOT_FOUND);
  EXPECT_EQ(Narrow(session_.LastError()), server_.Url("Missing.aspx") + " answered 404 Not Found");

  ASSERT_EQ(session_.Get(Url("Calendar.aspx"), &response), S_OK);
  EXPECT_TRUE(session_.LastError().empty());
}

} // namespace

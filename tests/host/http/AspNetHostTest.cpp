// The ASP.NET host itself: its arguments, its answers as ASP.NET sends them,
// and how it stops.
#include <windows.h>

#include <gtest/gtest.h>

#include <signal.h>
#include <string>

#include "AspNetServer.h"
#include "CommandOutput.h"
#include "http/HttpSession.h"
#include "tallowick/Strings.h"

namespace {

using host::http::HttpSession;
using host::http::Response;
using tallowick::platform::Narrow;
using tallowick::platform::Widen;
using tallowick::test::AspNetServer;

using Outcome = CommandOutcome;

class AspNetHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (std::string why = AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
  }
};

TEST_F(AspNetHostTest, BadArgumentsAreRefused) {
  const std::string host = TALLOWICK_ASPNET_HOST;
  Outcome none = RunCommand(host);
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.output, "usage: AspNetHost.exe SITE PORT [--ignore-stdin]\n");
  Outcome port = RunCommand(host + " " + TALLOWICK_ASPNET_SITE + " 70000");
  EXPECT_EQ(port.status, 2);
  EXPECT_EQ(port.output, none.output);
  Outcome folder = RunCommand(host + " /nonexistent/site 0");
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.output, "AspNetHost: no such folder: /nonexistent/site\n");
}

TEST_F(AspNetHostTest, StopsWhenItsInputCloses) {
  AspNetServer server;
  ASSERT_TRUE(server.Start()) << server.Error();
  std::wstring url = Widen(server.Url("Calendar.aspx"));
  EXPECT_EQ(server.CloseInputAndWait(std::chrono::seconds(30)), 0);
  HttpSession session;
  Response response;
  EXPECT_EQ(session.Get(url, &response), INET_E_CANNOT_CONNECT);
}

TEST_F(AspNetHostTest, StopsOnSigtermAndAnswersUntilThen) {
  AspNetServer server;
  ASSERT_TRUE(server.Start()) << server.Error();
  HttpSession session;
  Response response;
  // A POST body of some size reaches the page whole.
  std::wstring big(200000, L'x');
  ASSERT_EQ(session.Submit(Widen(server.Url("Echo.aspx")), L"post", {{L"big", big}}, &response),
            S_OK)
      << Narrow(session.LastError());
  EXPECT_NE(response.body.find("<li>big=" + std::string(200000, 'x') + "</li>"), std::string::npos);
  EXPECT_EQ(server.SignalAndWait(SIGTERM, std::chrono::seconds(30)), 0);
}

} // namespace

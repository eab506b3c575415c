// The post-update HTTP POST against a real local server.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "EngineProbe.h"
#include "TestHttpServer.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

TEST(PostUpdateTest, SendsTheBodyAndKeepsTheReply) {
  test::TTestHttpServer server;
  std::mutex lock;
  std::string body, contentType, agent, method;
  server.Server().Post("/report.php", [&](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard<std::mutex> guard(lock);
    body = req.body;
    contentType = req.get_header_value("Content-Type");
    agent = req.get_header_value("User-Agent");
    method = req.method;
    res.set_content(std::string("ok\0reply", 8), "text/plain");
  });
  server.Start();

  test::TEngineProbe engine;
  engine.PostUpdateInfo.Server = "127.0.0.1:" + std::to_string(server.Port());
  engine.PostUpdateInfo.Action = "/report.php";
  engine.PostUpdateInfo.Data = std::string("a=1&b=\xC3\xA9\0z", 10);
  engine.PostUpdateInfo.PostResult = "stale";
  engine.DoPostUpdateInfo();

  std::lock_guard<std::mutex> guard(lock);
  EXPECT_EQ(method, "POST");
  EXPECT_EQ(body, std::string("a=1&b=\xC3\xA9\0z", 10));
  EXPECT_EQ(contentType, "application/x-www-form-urlencoded");
  EXPECT_EQ(agent, "TVudIvazoz");
  EXPECT_EQ(engine.PostUpdateInfo.PostResult, std::string("ok\0reply", 8));
  EXPECT_TRUE(engine.Messages.empty());
}

TEST(PostUpdateTest, NothingWithoutServerOrAction) {
  test::TEngineProbe engine;
  engine.PostUpdateInfo.Enabled = true;
  engine.PostUpdateInfo.Action = "/x";
  engine.PostUpdateInfo.PostResult = "kept";
  engine.DoPostUpdateInfo();
  engine.PostUpdateInfo.Server = "127.0.0.1";
  engine.PostUpdateInfo.Action = "";
  engine.DoPostUpdateInfo();
  EXPECT_EQ(engine.PostUpdateInfo.PostResult, "kept");
  EXPECT_TRUE(engine.Messages.empty());
}

// A port that was free a moment ago and is closed now.
int ClosedPort() {
  test::TTestHttpServer server;
  server.Start();
  return server.Port();
}

TEST(PostUpdateTest, ServerThatCannotBeReached) {
  test::TEngineProbe engine;
  engine.PostUpdateInfo.Server = "127.0.0.1:" + std::to_string(ClosedPort());
  engine.PostUpdateInfo.Action = "x";
  engine.PostUpdateInfo.PostResult = "kept";
  engine.DoPostUpdateInfo();
  ASSERT_EQ(engine.Messages.size(), 1u);
  EXPECT_EQ(engine.Messages[0].Id, 951);
  EXPECT_EQ(engine.Messages[0].Text, "Cannot connect to server for post");
  EXPECT_EQ(engine.Messages[0].Status, 16);
  EXPECT_EQ(engine.Messages[0].Error, 5);
  EXPECT_EQ(engine.PostUpdateInfo.PostResult, "kept");
}

TEST(PostUpdateTest, ResourceThatCannotBeRequested) {
  test::TTestHttpServer server;
  std::atomic<int> requests{0};
  server.Server().Post(".*", [&](const httplib::Request&, httplib::Response& res) {
    ++requests;
    res.set_content("reply", "text/plain");
  });
  server.Start();
  const std::string live = "127.0.0.1:" + std::to_string(server.Port());
  const std::string closed = "127.0.0.1:" + std::to_string(ClosedPort());
  struct TCase {
    std::string Server;
    std::string Action;
    int Expected;
  } cases[] = {
      {live, "/a b.php", 952},
      {live, "/report.php\r\nX-Injected: 1", 952},
      {live, std::string("/report.php\0/other", 18), 952},
      {live, "/report\x7F.php", 952},
      {closed, "/a b.php", 951},  // the connection is tried first
      {live + "/other", "report.php", 951},  // not a host name
      {"user:pw@" + live, "report.php", 951},
  };
  for (const auto& c : cases) {
    test::TEngineProbe engine;
    engine.PostUpdateInfo.Server = c.Server;
    engine.PostUpdateInfo.Action = c.Action;
    engine.PostUpdateInfo.PostResult = "kept";
    engine.DoPostUpdateInfo();
    EXPECT_EQ(engine.MessageIds(), std::vector<int>{c.Expected}) << c.Server << c.Action;
    EXPECT_EQ(engine.PostUpdateInfo.PostResult, "kept") << c.Server << c.Action;
    if (c.Expected == 952 && !engine.Messages.empty()) {
      EXPECT_EQ(engine.Messages[0].Text, "Cannot access resource for post");
      EXPECT_EQ(engine.Messages[0].Status, 17);
      EXPECT_EQ(engine.Messages[0].Error, 5);
    }
  }
  EXPECT_EQ(requests, 0);
}

}  // namespace
}  // namespace vyn

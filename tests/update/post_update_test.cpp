// The post-update HTTP POST against a real local server.

#include <gtest/gtest.h>

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

TEST(PostUpdateTest, ServerThatCannotBeReached) {
  int port;
  {
    test::TTestHttpServer server;  // a port that was free a moment ago and is closed now
    server.Start();
    port = server.Port();
  }
  test::TEngineProbe engine;
  engine.PostUpdateInfo.Server = "127.0.0.1:" + std::to_string(port);
  engine.PostUpdateInfo.Action = "x";
  engine.DoPostUpdateInfo();
  ASSERT_EQ(engine.Messages.size(), 1u);
  EXPECT_EQ(engine.Messages[0].Id, 951);
  EXPECT_EQ(engine.Messages[0].Text, "Cannot connect to server for post");
  EXPECT_EQ(engine.Messages[0].Status, 16);
  EXPECT_EQ(engine.Messages[0].Error, 5);
  EXPECT_EQ(engine.PostUpdateInfo.PostResult, "");
}

}  // namespace
}  // namespace vyn

#include "update/net/InternetSession.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "TestEnvironment.h"
#include "TestFtpServer.h"
#include "TestHttpServer.h"
#include "TestProxyServer.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace vyn {
namespace {

using test::TTestHttpServer;

// Reads the whole body in blocks of 4096 bytes; -1 stays in `failed`.
std::string ReadAll(TInternetRequest& request, bool* failed = nullptr) {
  std::string body;
  char block[4096];
  for (;;) {
    const long n = request.Read(block, sizeof block);
    if (n < 0 && failed) *failed = true;
    if (n <= 0) return body;
    body.append(block, static_cast<size_t>(n));
  }
}

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131) ^ (i >> 9));
  return s;
}

TEST(InternetSessionHttp, ReadsBodyStatusLengthAndSendsHeaders) {
  TTestHttpServer server;
  const std::string body = Pattern(300000);
  std::string agent, auth, pragma;
  server.Server().Get("/f.bin", [&](const httplib::Request& req, httplib::Response& res) {
    agent = req.get_header_value("User-Agent");
    auth = req.get_header_value("Authorization");
    pragma = req.get_header_value("Pragma");
    res.set_content(body, "application/octet-stream");
  });
  server.Start();
  TInternetSession session({.Agent = "AgentX"});
  auto request =
      session.OpenUrl(server.Url("/f.bin"), "Authorization: Basic dTpw\r\n\r\n", TRequestFlags{});
  ASSERT_TRUE(request);
  EXPECT_EQ(request->StatusCode(), 200);
  EXPECT_EQ(request->ContentLength(), 300000);
  EXPECT_EQ(ReadAll(*request), body);
  EXPECT_EQ(agent, "AgentX");
  EXPECT_EQ(auth, "Basic dTpw");
  EXPECT_EQ(pragma, "no-cache");
}

TEST(InternetSessionHttp, ErrorStatusIsAResponseAndRedirectsAreFollowed) {
  TTestHttpServer server;
  server.Serve("/final", "landed");
  server.Server().Get("/moved", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/final");
  });
  server.Server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/loop");
  });
  server.Server().Get("/boom", [](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content("oops", "text/plain");
  });
  server.Start();
  TInternetSession session({});
  auto missing = session.OpenUrl(server.Url("/none"), "", {});
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->StatusCode(), 404);
  auto boom = session.OpenUrl(server.Url("/boom"), "", {});
  ASSERT_TRUE(boom);
  EXPECT_EQ(boom->StatusCode(), 500);
  auto moved = session.OpenUrl(server.Url("/moved"), "", {});
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->StatusCode(), 200);
  EXPECT_EQ(ReadAll(*moved), "landed");
  EXPECT_FALSE(session.OpenUrl(server.Url("/loop"), "", {}));
  EXPECT_NE(session.LastError().Code, 0);
}

TEST(InternetSessionHttp, NoServerGivesNoRequestAndAnError) {
  const int port = test::FreeLoopbackPort();
  TInternetSession session({});
  EXPECT_FALSE(session.OpenUrl("http://127.0.0.1:" + std::to_string(port) + "/x", "", {}));
  EXPECT_NE(session.LastError().Code, 0);
  EXPECT_FALSE(session.LastError().Text.empty());
}

TEST(InternetSessionHttp, ShortBodyEndsLikeACompleteOneAndMissingLengthIsUnknown) {
  TTestHttpServer server;
  server.Server().Get("/short", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(10000, "application/octet-stream",
                             [](size_t offset, size_t, httplib::DataSink& sink) {
                               if (offset > 0) return false;  // drop the connection half-way
                               sink.write(std::string(5000, 'a').data(), 5000);
                               return true;
                             });
  });
  server.Server().Get("/nolength", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
      if (offset >= 9000) {
        sink.done();
        return true;
      }
      sink.write(std::string(3000, 'b').data(), 3000);
      return true;
    });
  });
  server.Server().set_keep_alive_max_count(1);
  server.Start();
  TInternetSession session({});
  auto shortBody = session.OpenUrl(server.Url("/short"), "", {});
  ASSERT_TRUE(shortBody);
  EXPECT_EQ(shortBody->ContentLength(), 10000);
  bool failed = false;
  EXPECT_EQ(ReadAll(*shortBody, &failed).size(), 5000u);
  EXPECT_FALSE(failed);
  auto noLength = session.OpenUrl(server.Url("/nolength"), "", {});
  ASSERT_TRUE(noLength);
  EXPECT_EQ(noLength->ContentLength(), -1);
  EXPECT_EQ(ReadAll(*noLength), std::string(9000, 'b'));
}

TEST(InternetSessionHttp, SilentServerTimesOut) {
  TTestHttpServer server;
  static std::atomic<bool> release;  // outlives the server threads that wait on it
  release = false;
  server.Server().Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100000, "application/octet-stream",
                             [&](size_t offset, size_t, httplib::DataSink& sink) {
                               if (offset == 0) {
                                 sink.write(std::string(4096, 'c').data(), 4096);
                                 return true;
                               }
                               while (!release) std::this_thread::sleep_for(10ms);
                               return false;
                             });
  });
  server.Server().Get("/mute", [&](const httplib::Request&, httplib::Response&) {
    while (!release) std::this_thread::sleep_for(10ms);
  });
  server.Start();
  TInternetSession session({.ReceiveTimeoutMs = 300});
  auto stalled = session.OpenUrl(server.Url("/stall"), "", {});
  ASSERT_TRUE(stalled);
  bool failed = false;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadAll(*stalled, &failed).size(), 4096u);
  EXPECT_TRUE(failed);
  EXPECT_EQ(stalled->ErrorCode(), CURLE_OPERATION_TIMEDOUT);
  EXPECT_FALSE(session.OpenUrl(server.Url("/mute"), "", {}));
  EXPECT_EQ(session.LastError().Code, CURLE_OPERATION_TIMEDOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  release = true;
}

TEST(InternetSessionHttp, FilesOfOneSessionShareAConnection) {
  TTestHttpServer server;
  std::set<int> ports;
  std::mutex mutex;
  server.Server().Get(R"(/f\d+)", [&](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex);
    ports.insert(req.remote_port);
    res.set_content(Pattern(20000), "application/octet-stream");
  });
  server.Start();
  TInternetSession session({});
  for (int i = 0; i < 5; ++i) {
    auto request = session.OpenUrl(server.Url("/f" + std::to_string(i)), "", {});
    ASSERT_TRUE(request);
    EXPECT_EQ(ReadAll(*request).size(), 20000u);
  }
  EXPECT_EQ(ports.size(), 1u);
}

TEST(InternetSessionHttps, CertificateIsVerifiedUnlessDisabled) {
  TTestHttpServer server(true);
  server.Serve("/s.txt", "secure");
  server.Start();
  {
    TInternetSession untrusted({});
    EXPECT_FALSE(untrusted.OpenUrl(server.Url("/s.txt"), "", {}));
    EXPECT_EQ(untrusted.LastError().Code, CURLE_PEER_FAILED_VERIFICATION);
    auto ignored = untrusted.OpenUrl(server.Url("/s.txt"), "", {.IgnoreCertificates = true});
    ASSERT_TRUE(ignored);
    EXPECT_EQ(ReadAll(*ignored), "secure");
  }
  {
    TInternetSession unchecked({.VerifyCertificates = false});
    auto request = unchecked.OpenUrl(server.Url("/s.txt"), "", {});
    ASSERT_TRUE(request);
    EXPECT_EQ(ReadAll(*request), "secure");
  }
  {
    TInternetSession trusted({.CAFile = server.CertificateFile()});
    auto request = trusted.OpenUrl(server.Url("/s.txt"), "", {});
    ASSERT_TRUE(request);
    EXPECT_EQ(ReadAll(*request), "secure");
  }
}

TEST(InternetSessionHttps, ARedirectionStaysOnHttpsOrIsTheAnswer) {
  TTestHttpServer plain;
  std::atomic<int> plainRequests{0};
  plain.Server().Get("/x", [&](const httplib::Request&, httplib::Response& res) {
    ++plainRequests;
    res.set_content("clear", "text/plain");
  });
  plain.Start();
  TTestHttpServer secure(true);
  secure.Serve("/s.txt", "secure");
  std::string location;
  secure.Server().Get("/go", [&](const httplib::Request&, httplib::Response& res) {
    res.status = 307;
    res.set_header("Location", location);
  });
  secure.Start();
  const std::string plainHost = "127.0.0.1:" + std::to_string(plain.Port());
  const std::string secureHost = "127.0.0.1:" + std::to_string(secure.Port());
  struct TCase {
    std::string Location;
    long Status;  // 200: followed
  } cases[] = {
      {"http://" + plainHost + "/x", 307},
      {"HTTP://" + plainHost + "/x", 307},
      {" ftp://" + plainHost + "/x", 307},
      {"/s.txt", 200},
      {"s.txt", 200},
      {"//" + secureHost + "/s.txt", 200},
      {"HTTPS://" + secureHost + "/s.txt", 200},
  };
  TInternetSession session({.CAFile = secure.CertificateFile()});
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Location);
    location = c.Location;
    auto request = session.OpenUrl(secure.Url("/go"), "", {});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->StatusCode(), c.Status);
    if (c.Status == 200) {
      EXPECT_EQ(ReadAll(*request), "secure");
    }
  }
  EXPECT_EQ(plainRequests, 0);
}

TEST(InternetSessionProxy, GoesThroughAProxyWithBasicAuthentication) {
  TTestHttpServer server;
  server.Serve("/p.txt", "proxied");
  server.Start();
  test::TTestProxyServer proxy("puser", "ppass");
  TInternetSession good({.Proxy = proxy.Address(), .ProxyUser = "puser", .ProxyPassword = "ppass"});
  auto request = good.OpenUrl(server.Url("/p.txt"), "", {});
  ASSERT_TRUE(request);
  EXPECT_EQ(request->StatusCode(), 200);
  EXPECT_EQ(ReadAll(*request), "proxied");
  TInternetSession bad({.Proxy = proxy.Address(), .ProxyUser = "puser", .ProxyPassword = "no"});
  auto refused = bad.OpenUrl(server.Url("/p.txt"), "", {});
  ASSERT_TRUE(refused);
  EXPECT_GE(refused->StatusCode(), 400);  // this proxy says 401 where others say 407
  EXPECT_NE(ReadAll(*refused), "proxied");
}

class InternetSessionFtp : public ::testing::Test {
protected:
  void SetUp() override {
    FRoot = test::TestRoot() + "/ftp";
    fs::create_directories(FRoot + "/pub/deep");
    test::WriteFileText(FRoot + "/top.txt", "top level");
    test::WriteFileText(FRoot + "/pub/deep/data.bin", Pattern(70000));
    test::WriteFileText(FRoot + "/pub/empty.txt", "");
  }
  std::string FRoot;
};

TEST_F(InternetSessionFtp, AnonymousPassiveAndActiveWithDirectoriesAndSizes) {
  test::TTestFtpServer server(FRoot);
  for (bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    TInternetSession root({});
    auto ftp = root.ConnectFtp({.Host = "127.0.0.1", .Port = server.Port(), .Passive = passive});
    ASSERT_TRUE(ftp);
    auto top = ftp->FtpOpenFile("top.txt");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->ContentLength(), 9);
    EXPECT_EQ(ReadAll(*top), "top level");
    top.reset();
    EXPECT_FALSE(ftp->FtpSetCurrentDirectory("nowhere"));
    EXPECT_TRUE(ftp->FtpSetCurrentDirectory("pub"));
    EXPECT_TRUE(ftp->FtpSetCurrentDirectory("deep"));
    auto request = ftp->FtpOpenFile("data.bin");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->ContentLength(), 70000);
    EXPECT_EQ(ReadAll(*request), Pattern(70000));
    request.reset();
    EXPECT_FALSE(ftp->FtpOpenFile("absent.bin"));
    EXPECT_TRUE(ftp->LastError().FileNotFound);
    EXPECT_TRUE(ftp->FtpSetCurrentDirectory("/pub"));
    auto empty = ftp->FtpOpenFile("empty.txt");
    ASSERT_TRUE(empty);
    EXPECT_EQ(ReadAll(*empty), "");
  }
}

TEST_F(InternetSessionFtp, NamedUserLogsOnAndAWrongPasswordIsRefused) {
  test::TTestFtpServer server(FRoot, "fuser", "fpass");
  TInternetSession root({});
  EXPECT_FALSE(root.ConnectFtp(
      {.Host = "127.0.0.1", .Port = server.Port(), .User = "fuser", .Password = "bad"}));
  EXPECT_NE(root.LastError().Code, 0);
  auto ftp = root.ConnectFtp(
      {.Host = "127.0.0.1", .Port = server.Port(), .User = "fuser", .Password = "fpass"});
  ASSERT_TRUE(ftp);
  auto request = ftp->FtpOpenFile("top.txt");
  ASSERT_TRUE(request);
  EXPECT_EQ(ReadAll(*request), "top level");
}

}  // namespace
}  // namespace vyn

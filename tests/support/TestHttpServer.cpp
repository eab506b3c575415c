#include "TestHttpServer.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "TestEnvironment.h"

namespace vyn::test {

namespace {
std::string EncodeBase64(const std::string& text) {
  static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < text.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(text[i]) << 16) |
                       (static_cast<unsigned char>(text[i + 1]) << 8) |
                       static_cast<unsigned char>(text[i + 2]);
    for (int s = 18; s >= 0; s -= 6) out += alphabet[(v >> s) & 63];
  }
  if (i < text.size()) {
    unsigned v = static_cast<unsigned char>(text[i]) << 16;
    if (i + 1 < text.size()) v |= static_cast<unsigned char>(text[i + 1]) << 8;
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += i + 1 < text.size() ? alphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}
}  // namespace

bool MakeSelfSignedCertificate(const std::string& folder, std::string& certificate,
                               std::string& key) {
  certificate = folder + "/test-cert.pem";
  key = folder + "/test-key.pem";
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
      " -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout '" + key + "' -out '" +
      certificate + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TTestHttpServer::TTestHttpServer(bool https) : FHttps(https) {
  if (https) {
    if (!MakeSelfSignedCertificate(TestRoot(), FCertificate, FKey))
      throw std::runtime_error("openssl could not make a test certificate");
    FServer = std::make_unique<httplib::SSLServer>(FCertificate.c_str(), FKey.c_str());
  } else {
    FServer = std::make_unique<httplib::Server>();
  }
  // A client that keeps its connection open would otherwise hold up Stop for five seconds.
  FServer->set_keep_alive_timeout(1);
  FServer->set_tcp_nodelay(true);
}

TTestHttpServer::~TTestHttpServer() { Stop(); }

void TTestHttpServer::Serve(const std::string& path, const std::string& body) {
  FServer->Get(path, [body](const httplib::Request&, httplib::Response& res) {
    res.set_content(body, "application/octet-stream");
  });
}

void TTestHttpServer::ServeWithBasicAuth(const std::string& path, const std::string& body,
                                         const std::string& user, const std::string& password) {
  const std::string expected = "Basic " + EncodeBase64(user + ":" + password);
  FServer->Get(path, [body, expected](const httplib::Request& req, httplib::Response& res) {
    if (req.get_header_value("Authorization") == expected) {
      res.set_content(body, "application/octet-stream");
    } else {
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"test\"");
      res.set_content("denied", "text/plain");
    }
  });
}

void TTestHttpServer::Start() {
  FPort = FServer->bind_to_any_port("127.0.0.1");
  if (FPort <= 0) throw std::runtime_error("the test server could not bind");
  FThread = std::thread([this] { FServer->listen_after_bind(); });
  for (int i = 0; i < 500 && !FServer->is_running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void TTestHttpServer::Stop() {
  if (FThread.joinable()) {
    FServer->stop();
    FThread.join();
  }
}

std::string TTestHttpServer::Url(const std::string& path) const {
  return std::string(FHttps ? "https" : "http") + "://127.0.0.1:" + std::to_string(FPort) + path;
}

}  // namespace vyn::test

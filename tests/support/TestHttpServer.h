#pragma once
// An in-process HTTP or HTTPS server on 127.0.0.1 and a port the system picks, for tests.
//
//   vyn::test::TTestHttpServer server;               // or TTestHttpServer(true) for HTTPS
//   server.Serve("/a.txt", "content");               // or server.Server().Get(...) for anything
//   server.Start();
//   engine.URLGetFile(..., server.Url("/a.txt"), ...);
//
// Handlers are added before Start. An HTTPS server makes its own self-signed certificate for
// 127.0.0.1 and localhost; trust it with CertificateFile() (for example through VYN_CA_FILE).

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace vyn::test {

class TTestHttpServer {
public:
  explicit TTestHttpServer(bool https = false);
  ~TTestHttpServer();
  TTestHttpServer(const TTestHttpServer&) = delete;
  TTestHttpServer& operator=(const TTestHttpServer&) = delete;

  httplib::Server& Server() { return *FServer; }
  // GET `path` answers 200 with `body` and its length.
  void Serve(const std::string& path, const std::string& body);
  // GET `path` answers 200 only with "Authorization: Basic" for user:password, else 401.
  void ServeWithBasicAuth(const std::string& path, const std::string& body,
                          const std::string& user, const std::string& password);

  void Start();
  void Stop();
  int Port() const { return FPort; }
  // "http://127.0.0.1:PORT" + path (https for an HTTPS server).
  std::string Url(const std::string& path) const;
  const std::string& CertificateFile() const { return FCertificate; }

private:
  bool FHttps;
  std::string FCertificate;
  std::string FKey;
  std::unique_ptr<httplib::Server> FServer;
  std::thread FThread;
  int FPort = 0;
};

// Writes a self-signed certificate and its key for 127.0.0.1 and localhost into `folder`;
// returns false when openssl failed.
bool MakeSelfSignedCertificate(const std::string& folder, std::string& certificate,
                               std::string& key);

}  // namespace vyn::test

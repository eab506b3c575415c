#pragma once
// An HTTP or HTTPS server on 127.0.0.1 running in its own thread, on a port the OS picks.
// The HTTPS server uses a self-signed certificate made for this run; a test page accepts it
// with TrustCertificate.

#include <QByteArray>
#include <QString>

#include <httplib.h>

#include <memory>
#include <thread>

class QWebEnginePage;

namespace vyn::test {

class TLoopbackServer {
public:
  explicit TLoopbackServer(bool secure = false);
  ~TLoopbackServer();
  TLoopbackServer(const TLoopbackServer&) = delete;
  TLoopbackServer& operator=(const TLoopbackServer&) = delete;

  // Add routes before Start().
  httplib::Server& Routes() { return *FServer; }
  void Start();

  int Port() const { return FPort; }
  // "http://127.0.0.1:port" + path (or https).
  QString Url(const QString& path) const;
  // The DER bytes of the HTTPS certificate (empty for HTTP).
  const QByteArray& CertificateDer() const { return FCertificateDer; }

private:
  std::unique_ptr<httplib::Server> FServer;
  std::thread FThread;
  int FPort = -1;
  bool FSecure;
  QByteArray FCertificateDer;
};

// Accepts on `page` the certificate errors of exactly this certificate; others stay rejected.
void TrustCertificate(QWebEnginePage* page, const QByteArray& certificateDer);

// Serves `html` as text/html at `path`.
void ServeHtml(httplib::Server& server, const std::string& path, const std::string& html);

}  // namespace vyn::test

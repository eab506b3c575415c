#pragma once
// The shared test server seen from the window tests: Qt addresses, the certificate in the form
// the web engine reports it, and enough workers for the engine's idle connections. A test page
// accepts the certificate with TrustCertificate.

#include "TestHttpServer.h"

#include <QByteArray>
#include <QString>

class QWebEnginePage;

namespace vyn::test {

class TLoopbackServer {
public:
  explicit TLoopbackServer(bool secure = false);

  // Add routes before Start().
  httplib::Server& Routes() { return FServer.Server(); }
  void Start();

  int Port() const { return FServer.Port(); }
  // "http://127.0.0.1:port" + path (or https).
  QString Url(const QString& path) const;
  // The DER bytes of the HTTPS certificate (empty for HTTP).
  const QByteArray& CertificateDer() const { return FCertificateDer; }

private:
  TTestHttpServer FServer;
  QByteArray FCertificateDer;
};

// Accepts on `page` the certificate errors of exactly this certificate; others stay rejected.
void TrustCertificate(QWebEnginePage* page, const QByteArray& certificateDer);

// Serves `html` as text/html at `path`.
void ServeHtml(httplib::Server& server, const std::string& path, const std::string& html);

}  // namespace vyn::test

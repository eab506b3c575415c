#include "LoopbackServer.h"

#include <QObject>
#include <QSslCertificate>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>

namespace vyn::test {

TLoopbackServer::TLoopbackServer(bool secure) : FServer(secure) {
  if (secure) {
    const auto certificates = QSslCertificate::fromPath(QString::fromStdString(FServer.CertificateFile()));
    if (!certificates.isEmpty()) FCertificateDer = certificates.first().toDer();
  }
}

void TLoopbackServer::Start() {
  // The web engine keeps several idle connections open: give it enough workers that a new
  // request never waits for one of them to time out.
  FServer.Server().new_task_queue = [] { return new httplib::ThreadPool(32); };
  FServer.Start();
}

QString TLoopbackServer::Url(const QString& path) const {
  return QString::fromStdString(FServer.Url(path.toStdString()));
}

void TrustCertificate(QWebEnginePage* page, const QByteArray& certificateDer) {
  QObject::connect(page, &QWebEnginePage::certificateError, page,
                   [certificateDer](QWebEngineCertificateError error) {
                     const auto chain = error.certificateChain();
                     if (!chain.isEmpty() && chain.first().toDer() == certificateDer)
                       error.acceptCertificate();
                   });
}

void ServeHtml(httplib::Server& server, const std::string& path, const std::string& html) {
  server.Get(path, [html](const httplib::Request&, httplib::Response& response) {
    response.set_content(html, "text/html; charset=utf-8");
  });
}

}  // namespace vyn::test

#include "LoopbackServer.h"

#include <QObject>
#include <QSslCertificate>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>

#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <stdexcept>

namespace vyn::test {

namespace {

struct TCertificate {
  X509* Cert = nullptr;
  EVP_PKEY* Key = nullptr;
};

// A self-signed certificate for 127.0.0.1 and localhost, valid for a day.
TCertificate MakeLoopbackCertificate() {
  TCertificate result;
  result.Key = EVP_RSA_gen(2048);
  if (!result.Key) throw std::runtime_error("cannot make the test key");
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert),
                   static_cast<long>(std::chrono::steady_clock::now().time_since_epoch().count() & 0x7fffffff));
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
  X509_set_pubkey(cert, result.Key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert, name);
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* san =
      X509V3_EXT_conf_nid(nullptr, &ctx, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  X509_add_ext(cert, san, -1);
  X509_EXTENSION_free(san);
  if (!X509_sign(cert, result.Key, EVP_sha256())) throw std::runtime_error("cannot sign the test certificate");
  result.Cert = cert;
  return result;
}

}  // namespace

TLoopbackServer::TLoopbackServer(bool secure) : FSecure(secure) {
  if (!secure) {
    FServer = std::make_unique<httplib::Server>();
    return;
  }
  TCertificate certificate = MakeLoopbackCertificate();
  unsigned char* der = nullptr;
  int length = i2d_X509(certificate.Cert, &der);
  FCertificateDer = QByteArray(reinterpret_cast<const char*>(der), length);
  OPENSSL_free(der);
  FServer = std::make_unique<httplib::SSLServer>(certificate.Cert, certificate.Key);
  X509_free(certificate.Cert);
  EVP_PKEY_free(certificate.Key);
}

TLoopbackServer::~TLoopbackServer() {
  FServer->stop();
  if (FThread.joinable()) FThread.join();
}

void TLoopbackServer::Start() {
  // The web engine keeps several idle connections open: give it enough workers that a new
  // request never waits for one of them to time out.
  FServer->new_task_queue = [] { return new httplib::ThreadPool(32); };
  FPort = FServer->bind_to_any_port("127.0.0.1");
  if (FPort <= 0) throw std::runtime_error("cannot bind the loopback server");
  FThread = std::thread([this] { FServer->listen_after_bind(); });
  while (!FServer->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

QString TLoopbackServer::Url(const QString& path) const {
  return QStringLiteral("%1://127.0.0.1:%2%3")
      .arg(FSecure ? QStringLiteral("https") : QStringLiteral("http"))
      .arg(FPort)
      .arg(path);
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

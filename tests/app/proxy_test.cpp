// The proxy of the internet options reaches the web engine at start-up: pages go through the
// proxy server, except the hosts of the exception list. The proxy must be known before the
// engine starts, so this test has a main of its own.

#include "AppTestSupport.h"
#include "LoopbackServer.h"

#include "app/Startup.h"
#include "app/WebBrowser.h"
#include "app/WebDocument.h"
#include "app/config/InternetSettings.h"
#include "app/config/Settings.h"
#include "app/uMain.h"
#include "platform/Folders.h"

#include <QSet>
#include <QSignalSpy>

#include <memory>
#include <mutex>

using namespace vyn;

namespace {

std::mutex gHostsMutex;
QStringList gProxiedHosts;

QStringList ProxiedHosts() {
  std::lock_guard<std::mutex> lock(gHostsMutex);
  return gProxiedHosts;
}

}  // namespace

class TProxyTest : public QObject {
  Q_OBJECT

private slots:
  void pagesGoThroughTheProxyExceptTheExceptions() {
    tyConfig config;
    config.HomePage = QStringLiteral("http://par-le-proxy.vynsoft.example/page");
    SaveConfig(BuildRegPath(QString::fromStdString(ExePath())), config);
    TfrmMain form;
    QSignalSpy completed(form.WebBrowser, &TWebBrowser::DocumentComplete);
    form.show();
    QVERIFY(test::WaitFor([&] { return completed.count() >= 1; }));
    const QStringList hosts = ProxiedHosts();
    QVERIFY(!hosts.isEmpty());
    QCOMPARE(QSet<QString>(hosts.begin(), hosts.end()), QSet<QString>{QStringLiteral("par-le-proxy.vynsoft.example")});
    QCOMPARE(form.WebBrowser->Document()->Title(), QStringLiteral("Servie par le proxy"));

    form.WebBrowser->Navigate2(QStringLiteral("http://en-direct.vynsoft.example/page"));
    QVERIFY(test::WaitFor([&] { return completed.count() >= 2; }));
    QVERIFY(!ProxiedHosts().contains(QStringLiteral("en-direct.vynsoft.example")));
  }
};

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  vyn::test::PrepareWindowTestProcess();
  vyn::test::TLoopbackServer proxy;
  proxy.Routes().Get(".*", [](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(gHostsMutex);
      gProxiedHosts << QString::fromStdString(request.get_header_value("Host"));
    }
    response.set_content("<html><head><title>Servie par le proxy</title></head></html>", "text/html");
  });
  proxy.Start();
  TProxySettings settings;
  settings.Enabled = true;
  settings.Server = QStringLiteral("127.0.0.1:%1").arg(proxy.Port());
  settings.Override = QStringLiteral("en-direct.vynsoft.example;<local>");
  SaveProxySettings(settings);
  vyn::PrepareWebEngineEnvironment();

  vyn::TApplication app(argc, argv);
  vyn::TApplication::setApplicationName(QStringLiteral("vynWebBrowser"));
  TProxyTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "proxy_test.moc"

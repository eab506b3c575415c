// The news viewer against a real HTTP server: the "descr" text of the control file's [update]
// section shown with its line breaks and its length limit, nothing shown when there is no news
// or no file, and the download's refusal of links and of failed or oversized answers.

#include "AppTestSupport.h"
#include "TestHttpServer.h"
#include "WhenModal.h"

#include "app/about/DownloadFile.h"
#include "app/about/uNews.h"
#include "app/config/InternetSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <mutex>
#include <optional>

using namespace vyn;
using vyn::test::TTestHttpServer;
using vyn::test::WhenModal;

namespace {

// What ShowNews put in its viewer, or nothing when it showed none.
std::optional<QString> NewsShownFor(const QString& url) {
  std::optional<QString> shown;
  WhenModal<TfrmShowNews>([&](TfrmShowNews* form) {
    shown = form->memNews->toPlainText();
    form->bbtClose->click();
  });
  ShowNews(url);
  qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("WhenModal")));
  return shown;
}

QString Url(const TTestHttpServer& server, const std::string& path) {
  return QString::fromStdString(server.Url(path));
}

QString TempPath(const QString& name) { return QDir::tempPath() + QLatin1Char('/') + name; }

}  // namespace

class TNewsViewerTest : public QObject {
  Q_OBJECT
  std::optional<test::TIsolatedEnvironment> FEnvironment;

private slots:
  void init() { FEnvironment.emplace(); }
  void cleanup() { FEnvironment.reset(); }

  void NewsShowsItsLines_data() {
    QTest::addColumn<QString>("descr");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two lines") << QStringLiteral("Version 2\\nCorrections") << QStringLiteral("Version 2\nCorrections");
    QTest::newRow("capital N") << QStringLiteral("Un\\NDeux\\nTrois") << QStringLiteral("Un\nDeux\nTrois");
    QTest::newRow("one line") << QString::fromUtf8("Nouveautés de la version 3") << QString::fromUtf8("Nouveautés de la version 3");
    // Counted in characters, not bytes: the reader's buffer holds 2047 of them.
    QTest::newRow("cut at 2047") << QString(2047, QChar(0xE9)) + QStringLiteral("tronqué")
                                 << QString(2047, QChar(0xE9));
  }
  void NewsShowsItsLines() {
    QFETCH(QString, descr);
    QFETCH(QString, shown);
    TTestHttpServer server;
    server.Serve("/files/app.INF", "[update]\r\ndescr=" + descr.toStdString() + "\r\n[files]\r\ncount=0\r\n");
    server.Start();
    QCOMPARE(NewsShownFor(Url(server, "/files/app.INF")), std::optional<QString>(shown));
  }

  void NoNewsShowsNothing_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("no section update") << QStringLiteral("/no-section.INF");
    QTest::newRow("no key descr") << QStringLiteral("/no-key.INF");
    QTest::newRow("empty descr") << QStringLiteral("/empty.INF");
    QTest::newRow("not found") << QStringLiteral("/missing.INF");
    QTest::newRow("server error") << QStringLiteral("/error.INF");
  }
  void NoNewsShowsNothing() {
    QFETCH(QString, path);
    TTestHttpServer server;
    server.Serve("/no-section.INF", "[application]\r\ndescr=Ailleurs\r\n");
    server.Serve("/no-key.INF", "[update]\r\ndate=01/02/2024\r\n");
    server.Serve("/empty.INF", "[update]\r\ndescr=\r\n");
    // A server's error page that reads like a control file is still no news.
    server.Server().Get("/error.INF", [](const httplib::Request&, httplib::Response& response) {
      response.status = 500;
      response.set_content("[update]\r\ndescr=Page d'erreur\r\n", "text/plain");
    });
    server.Server().Get("/missing.INF", [](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_content("[update]\r\ndescr=Page d'erreur\r\n", "text/plain");
    });
    server.Start();
    QCOMPARE(NewsShownFor(Url(server, path.toStdString())), std::nullopt);
  }

  void NoServerShowsNothing() {
    int port;
    {
      TTestHttpServer server;
      server.Start();
      port = server.Port();
    }
    QCOMPARE(NewsShownFor(QStringLiteral("http://127.0.0.1:%1/files/app.INF").arg(port)), std::nullopt);
    QCOMPARE(NewsShownFor(QString()), std::nullopt);
  }

  void ViewerLayout() {
    TfrmShowNews form;
    form.ShowText(QStringLiteral("Une ligne assez longue pour passer à la suivante dans la fenêtre "
                                 "des nouveautés, et encore une, et encore une autre.\\n") .repeated(40));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QString::fromUtf8("Nouveautés !"));
    QCOMPARE(form.size(), QSize(474, 360));
    QCOMPARE(form.font().pixelSize(), 11);
    QCOMPARE(form.Image1->geometry(), QRect(0, 0, 101, 360));
    QCOMPARE(form.Image1->pixmap().size(), QSize(101, 360));
    QCOMPARE(form.Panel1->geometry(), QRect(101, 0, 373, 360));
    QCOMPARE(form.Panel2->geometry(), QRect(0, 327, 373, 33));
    QCOMPARE(form.bbtClose->geometry(), QRect(373 - 4 - 75, 4, 75, 25));
    QCOMPARE(form.bbtClose->text(), QStringLiteral("&Fermer"));
    QCOMPARE(form.Panel4->geometry(), QRect(0, 0, 373, 327));
    QCOMPARE(form.memNews->geometry(), QRect(4, 4, 365, 319));
    QVERIFY(form.memNews->isReadOnly());
    QCOMPARE(form.memNews->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    // Far more text than fits, and still no scroll bar.
    QVERIFY(form.memNews->verticalScrollBar()->maximum() > 0);
    QVERIFY(!form.memNews->verticalScrollBar()->isVisible());
    QVERIFY(!form.memNews->horizontalScrollBar()->isVisible());
    form.bbtClose->click();
    QVERIFY(!form.isVisible());
  }

  void DownloadReplacesAFileWithTheWholeBody() {
    TTestHttpServer server;
    const std::string body(200000, 'x');
    server.Serve("/big.INF", body);
    server.Start();
    const QString target = TempPath(QStringLiteral("news.INF"));
    test::WriteFileText(target.toStdString(), "ancien contenu");
    QVERIFY(DownloadFile(Url(server, "/big.INF"), target));
    QCOMPARE(test::ReadFileText(target.toStdString()), body);
    QCOMPARE(QDir::temp().entryList(QDir::Files), QStringList{QStringLiteral("news.INF")});
  }

  // A failed answer leaves no file behind, neither the target nor a half-written temporary one.
  void FailedDownloadLeavesNoFile_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("not found") << QStringLiteral("/missing.INF");
    QTest::newRow("cut short") << QStringLiteral("/short.INF");
    QTest::newRow("too large") << QStringLiteral("/huge.INF");
    QTest::newRow("too large, length unknown") << QStringLiteral("/endless.INF");
  }
  void FailedDownloadLeavesNoFile() {
    QFETCH(QString, path);
    TTestHttpServer server;
    server.Server().Get("/short.INF", [](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(10000, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset > 0) return false;  // the connection drops halfway
        const std::string half(5000, 'h');
        return sink.write(half.data(), half.size());
      });
    });
    const auto largest = static_cast<size_t>(LargestDownload);
    server.Server().Get("/huge.INF", [largest](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string(largest + 1, 'g'), "text/plain");
    });
    server.Server().Get("/endless.INF", [largest](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("text/plain", [largest](size_t offset, httplib::DataSink& sink) {
        if (offset > largest) {
          sink.done();
          return true;
        }
        const std::string block(64 * 1024, 'e');
        return sink.write(block.data(), block.size());
      });
    });
    server.Start();
    const QString target = TempPath(QStringLiteral("news.INF"));
    QVERIFY(!DownloadFile(Url(server, path.toStdString()), target));
    QCOMPARE(QDir::temp().entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList());
  }

  // A name that someone made a link (to a file of ours, say) is refused, not written through.
  void DownloadNeverFollowsALink() {
    TTestHttpServer server;
    server.Serve("/app.INF", "[update]\r\ndescr=Nouvelles\r\n");
    server.Start();
    const QString victim = QDir::homePath() + QStringLiteral("/.profile");
    test::WriteFileText(victim.toStdString(), "le fichier de l'utilisateur");
    for (const QString& pointee : {victim, TempPath(QStringLiteral("absent"))}) {
      const QString link = TempPath(QStringLiteral("vyn1234.tmp"));
      QFile::remove(link);
      QVERIFY(QFile::link(pointee, link));
      QVERIFY(!DownloadFile(Url(server, "/app.INF"), link));
      QVERIFY(QFileInfo(link).isSymLink());
      QCOMPARE(QFileInfo(link).symLinkTarget(), pointee);
      QVERIFY(!QFile::exists(TempPath(QStringLiteral("absent"))));
    }
    QCOMPARE(test::ReadFileText(victim.toStdString()), std::string("le fichier de l'utilisateur"));
  }

  // The news comes through the proxy of the internet options, as the browser's pages do.
  void NewsComesThroughTheProxyOfTheInternetOptions() {
    TTestHttpServer proxy;
    std::mutex mutex;
    QStringList hosts;
    proxy.Server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        hosts << QString::fromStdString(request.get_header_value("Host"));
      }
      response.set_content("[update]\r\ndescr=Par le proxy\r\n", "text/plain");
    });
    proxy.Start();
    TProxySettings settings;
    settings.Enabled = true;
    settings.Server = QStringLiteral("127.0.0.1:%1").arg(proxy.Port());
    SaveProxySettings(settings);
    QCOMPARE(NewsShownFor(QStringLiteral("http://nouvelles.vynsoft.example/files/app.INF")),
             std::optional<QString>(QStringLiteral("Par le proxy")));
    proxy.Stop();
    QCOMPARE(hosts, QStringList{QStringLiteral("nouvelles.vynsoft.example")});
  }
};

VYN_WINDOW_TEST_MAIN(TNewsViewerTest)

#include "news_viewer_test.moc"

// The feature-control switches the browser control applies at start-up, each shown by its
// effect on a page served from 127.0.0.1 or read from a file.

#include "AppTestSupport.h"
#include "LoopbackServer.h"

#include "app/BrowserProfile.h"
#include "app/FeatureSwitches.h"
#include "app/PopupWindow.h"
#include "app/WebBrowser.h"
#include "app/WebDocument.h"
#include "app/config/Settings.h"
#include "app/features/FeatureDefinitions.h"
#include "app/uMain.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QWebEngineProfile>

#include <atomic>
#include <memory>

using namespace vyn;
using vyn::test::TLoopbackServer;

namespace {

const int kLoadTimeout = 30000;
const int kNotSet = -1;

void WriteSwitch(const char* feature, int value) {
  if (value == kNotSet) return;
  TRegistry registry;
  QVERIFY(registry.OpenKey(std::string(FeatureKeyPrefix) + feature, true));
  registry.WriteInteger(ExeFileName(), value);
}

// A main window whose home page is `url`, shown, after its first document.
std::unique_ptr<TfrmMain> OpenWindowOn(const QString& url) {
  tyConfig config;
  config.HomePage = url;
  SaveConfig(BuildRegPath(QString::fromStdString(ExePath())), config);
  auto form = std::make_unique<TfrmMain>();
  QSignalSpy completed(form->WebBrowser, &TWebBrowser::DocumentComplete);
  form->show();
  if (!test::WaitFor([&] { return !completed.isEmpty(); }, kLoadTimeout)) return nullptr;
  return form;
}

QString PageTitle(TfrmMain& form) { return form.WebBrowser->Document()->Title(); }

int PopupCount() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (qobject_cast<TPopupWindow*>(widget) && widget->isVisible()) ++count;
  return count;
}

}  // namespace

class TEngineSwitchesTest : public QObject {
  Q_OBJECT

  TLoopbackServer FHttp{false};
  std::atomic<int> FSecretHits{0};

private slots:
  void initTestCase() {
    test::ServeHtml(FHttp.Routes(), "/first", "<html><head><title>Premiere page</title></head><body>un</body></html>");
    test::ServeHtml(FHttp.Routes(), "/popup",
                    "<html><head><title>Popup</title></head><body>"
                    "<script>window.open('/first', '_blank', 'width=300,height=200');</script></body></html>");
    test::ServeHtml(FHttp.Routes(), "/storage",
                    "<html><head><title>static</title></head><body><script>"
                    "try { localStorage.setItem('k', 'v'); document.title = 'storage ok'; }"
                    "catch (e) { document.title = 'storage blocked'; }</script></body></html>");
    test::ServeHtml(FHttp.Routes(), "/script",
                    "<html><head><title>static</title></head><body>"
                    "<script>document.title = 'script ran';</script></body></html>");
    FHttp.Routes().Get("/secret", [this](const httplib::Request&, httplib::Response& response) {
      ++FSecretHits;
      response.set_content("<html><head><title>secret</title></head></html>", "text/html");
    });
    FHttp.Start();
  }

  void init() {
    test::ClearRegistry();
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (qobject_cast<TPopupWindow*>(widget)) widget->close();
  }

  void popupManagement_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("popups");
    QTest::newRow("not set") << kNotSet << 1;
    QTest::newRow("off") << 0 << 1;
    QTest::newRow("on") << 1 << 0;
  }

  void popupManagement() {
    QFETCH(int, value);
    QFETCH(int, popups);
    WriteSwitch("FEATURE_WEBOC_POPUPMANAGEMENT", value);
    auto form = OpenWindowOn(FHttp.Url("/popup"));
    QVERIFY(form);
    test::WaitFor([&] { return PopupCount() == popups; }, popups ? 10000 : 500);
    QCOMPARE(PopupCount(), popups);
    if (popups == 0) return;
    // A popup never keeps the program running: it goes with the main window.
    QPointer<TPopupWindow> popup;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<TPopupWindow*>(widget)) popup = window;
    QVERIFY(!popup->testAttribute(Qt::WA_QuitOnClose));
    form.reset();
    QVERIFY(popup.isNull());
  }

  void domStorage_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("title");
    QTest::newRow("not set") << kNotSet << "storage ok";
    QTest::newRow("on") << 1 << "storage ok";
    QTest::newRow("off") << 0 << "storage blocked";
  }

  void domStorage() {
    QFETCH(int, value);
    QFETCH(QString, title);
    WriteSwitch("FEATURE_DOMSTORAGE", value);
    auto form = OpenWindowOn(FHttp.Url("/storage"));
    QVERIFY(form);
    test::WaitFor([&] { return PageTitle(*form) == title; }, 5000);
    QCOMPARE(PageTitle(*form), title);
  }

  void localScriptBlocking_data() {
    QTest::addColumn<QString>("feature");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("title");
    QTest::newRow("nothing set") << "FEATURE_LOCALMACHINE_LOCKDOWN" << kNotSet << "script ran";
    QTest::newRow("lockdown off") << "FEATURE_LOCALMACHINE_LOCKDOWN" << 0 << "script ran";
    QTest::newRow("lockdown on") << "FEATURE_LOCALMACHINE_LOCKDOWN" << 1 << "static";
    QTest::newRow("local script blocking on") << "FEATURE_BLOCK_LMZ_SCRIPT" << 1 << "static";
  }

  void localScriptBlocking() {
    QFETCH(QString, feature);
    QFETCH(int, value);
    QFETCH(QString, title);
    WriteSwitch(feature.toLatin1().constData(), value);
    const QString file = QDir(QString::fromStdString(test::TestRoot())).filePath(QStringLiteral("script.html"));
    test::WriteFileText(file.toStdString(),
                        "<html><head><title>static</title></head><body>"
                        "<script>document.title = 'script ran';</script></body></html>");
    auto form = OpenWindowOn(QUrl::fromLocalFile(file).toString());
    QVERIFY(form);
    test::WaitFor([] { return false; }, 300);
    QCOMPARE(PageTitle(*form), title);

    // Pages from the network keep their scripts.
    QSignalSpy completed(form->WebBrowser, &TWebBrowser::DocumentComplete);
    form->WebBrowser->Navigate2(FHttp.Url("/script"));
    QVERIFY(test::WaitFor([&] { return !completed.isEmpty(); }, kLoadTimeout));
    QVERIFY(test::WaitFor([&] { return PageTitle(*form) == QLatin1String("script ran"); }, 5000));
  }

  void userNamesAndPasswordsInAddresses_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("hits");
    QTest::newRow("not set") << kNotSet << 1;
    QTest::newRow("on") << 1 << 0;
  }

  void userNamesAndPasswordsInAddresses() {
    QFETCH(int, value);
    QFETCH(int, hits);
    WriteSwitch("FEATURE_HTTP_USERNAME_PASSWORD_DISABLE", value);
    auto form = OpenWindowOn(FHttp.Url("/first"));
    QVERIFY(form);
    FSecretHits = 0;
    QUrl secret(FHttp.Url("/secret"));
    secret.setUserName(QStringLiteral("jean"));
    secret.setPassword(QStringLiteral("motdepasse"));
    form->WebBrowser->Navigate2(secret.toString());
    test::WaitFor([&] { return FSecretHits.load() == hits; }, hits ? 10000 : 500);
    QCOMPARE(FSecretHits.load(), hits);
    if (!hits) QCOMPARE(form->lblURL->text(), FHttp.Url("/first"));
  }

  void spellChecking_data() {
    QTest::addColumn<int>("value");
    QTest::newRow("on") << 1;
    QTest::newRow("off") << 0;
  }

  void spellChecking() {
    QFETCH(int, value);
    WriteSwitch("FEATURE_SPELLCHECKING", value);
    TfrmMain form;
    QCOMPARE(BrowserProfile()->isSpellCheckEnabled(), value == 1);
  }

  void gpuRendering_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("disabled");
    QTest::newRow("not set") << kNotSet << false;
    QTest::newRow("on") << 1 << false;
    QTest::newRow("off") << 0 << true;
  }

  void gpuRendering() {
    QFETCH(int, value);
    QFETCH(bool, disabled);
    WriteSwitch("FEATURE_GPU_RENDERING", value);
    const QByteArray saved = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--lang=fr");
    ApplyEngineStartSwitches(ReadFeatureSwitches(QString::fromStdString(ExeFileName())));
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", saved);
    QCOMPARE(flags.split(' ').contains("--disable-gpu"), disabled);
    QVERIFY(flags.contains("--lang=fr"));
  }

  void switchOfAnotherTypeIsNotSet() {
    TRegistry registry;
    QVERIFY(registry.OpenKey(std::string(FeatureKeyPrefix) + "FEATURE_DOMSTORAGE", true));
    registry.WriteString(ExeFileName(), "0");
    test::TErrorRecorder errors;
    auto form = OpenWindowOn(FHttp.Url("/storage"));
    QVERIFY(form);
    QVERIFY(test::WaitFor([&] { return PageTitle(*form) == QLatin1String("storage ok"); }, 5000));
    QVERIFY(errors.Errors.isEmpty());
  }
};

VYN_WINDOW_TEST_MAIN(TEngineSwitchesTest)
#include "engineswitches_test.moc"

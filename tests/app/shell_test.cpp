// The main window against real HTTP and HTTPS servers on 127.0.0.1: captions, history buttons,
// padlock, zones, settings at start-up, keyboard routing and the configuration menu.

#include "AppTestSupport.h"
#include "LoopbackServer.h"
#include "WhenModal.h"

#include "app/FindDialog.h"
#include "app/GlyphButton.h"
#include "app/PageProperties.h"
#include "app/WebBrowser.h"
#include "app/WebDocument.h"
#include "app/config/InternetOptions.h"
#include "app/config/Settings.h"
#include "app/config/uConfig.h"
#include "app/features/uInternetFeatureControls.h"
#include "app/uMain.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMap>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QToolTip>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QSignalSpy>
#include <QWebEngineView>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

using namespace vyn;
using vyn::test::TLoopbackServer;

namespace {

const int kLoadTimeout = 30000;

QString RegPath() { return BuildRegPath(QString::fromStdString(ExePath())); }

// Stores the home page (and every button) so the window opens on `url`.
void StoreHomePage(const QString& url) {
  tyConfig config;
  config.HomePage = url;
  for (bool tyConfig::*flag : ConfigFlags) config.*flag = true;
  SaveConfig(RegPath(), config);
}

// A shown window and a spy on its document-complete event, created before the first load.
struct TWindow {
  std::unique_ptr<TfrmMain> Form = std::make_unique<TfrmMain>();
  QSignalSpy Completed{Form->WebBrowser, &TWebBrowser::DocumentComplete};

  bool WaitForDocuments(int count) {
    return test::WaitFor([&] { return Completed.count() >= count; }, kLoadTimeout);
  }
  bool Navigate(const QString& url) {
    const int before = Completed.count();
    Form->WebBrowser->Navigate2(url);
    return WaitForDocuments(before + 1);
  }
};

// Shows the window, waits for its first document and puts the keyboard focus in the page;
// returns the widget that receives the page's keys, or nullptr.
QWidget* FocusedPage(TWindow& window) {
  TfrmMain& form = *window.Form;
  form.show();
  form.activateWindow();
  if (!QTest::qWaitForWindowActive(&form) || !window.WaitForDocuments(1)) return nullptr;
  QWidget* page = form.WebBrowser->View()->focusProxy();
  if (!page) return nullptr;
  page->setFocus();
  return test::WaitFor([&] { return page->hasFocus(); }, 5000) ? page : nullptr;
}

}  // namespace

class TShellTest : public QObject {
  Q_OBJECT

  TLoopbackServer FHttp{false};
  TLoopbackServer FHttps{true};
  std::atomic<bool> FReleaseEndless{false};

private slots:
  void initTestCase() {
    for (TLoopbackServer* server : {&FHttp, &FHttps}) {
      test::ServeHtml(server->Routes(), "/first", "<html><head><title>Premiere page</title></head><body>un</body></html>");
      test::ServeHtml(server->Routes(), "/second", "<html><head><title>Deuxieme page</title></head><body>deux</body></html>");
      test::ServeHtml(server->Routes(), "/untitled", "<html><body>sans titre</body></html>");
      test::ServeHtml(server->Routes(), "/text",
                      "<html><head><title>Texte</title></head><body><p id='p'>Du texte a choisir</p></body></html>");
    }
    // A field to edit, and the keys the page itself receives.
    test::ServeHtml(FHttp.Routes(), "/edit",
                    "<html><head><title>Saisie</title></head><body><input id='e' value='bonjour'><script>"
                    "var keys = []; addEventListener('keydown', function (e) { keys.push(e.key); });"
                    "</script></body></html>");
    // A page whose body never ends until the test releases it.
    FHttp.Routes().Get("/endless", [this](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("text/html", [this](size_t, httplib::DataSink& sink) {
        const std::string head = "<html><head><title>Sans fin</title></head><body>debut";
        sink.write(head.data(), head.size());
        for (int i = 0; i < 3000 && !FReleaseEndless; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sink.done();
        return true;
      });
    });
    for (TLoopbackServer* server : {&FHttp, &FHttps}) server->Start();
  }

  void cleanupTestCase() { FReleaseEndless = true; }

  void init() { test::ClearRegistry(); }

  void captionFollowsTheLoad() {
    const QString url = FHttp.Url("/first");
    StoreHomePage(url);
    TWindow window;
    QStringList captions;
    connect(window.Form.get(), &QWidget::windowTitleChanged, this,
            [&](const QString& caption) { captions << caption; });
    window.Form->show();
    QVERIFY(window.WaitForDocuments(1));
    QVERIFY(!captions.isEmpty());
    QCOMPARE(captions.first(), QStringLiteral("Loading ") + url);
    QVERIFY(captions.contains(url));
    QCOMPARE(captions.last(), QStringLiteral("Premiere page"));
    const qsizetype atUrl = captions.indexOf(url);
    QVERIFY(atUrl > 0 && atUrl < captions.size() - 1);
    for (const QString& caption : captions.mid(1, atUrl - 1))
      QVERIFY2(caption.endsWith(QStringLiteral("%...")), qPrintable(caption));
  }

  void windowComposition() {
    TfrmMain form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(781, 480));
    QCOMPARE(form.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(form.font().pixelSize(), 11);
    QCOMPARE(form.pnlBoutons->geometry(), QRect(0, 0, 781, 41));
    QCOMPARE(form.Panel20->geometry(), QRect(0, 480 - 24, 781, 24));
    QCOMPARE(form.Panel2->geometry(), QRect(0, 41, 781, 480 - 41 - 24));
    QCOMPARE(form.WebBrowser->geometry(), form.Panel2->rect().adjusted(4, 4, -4, -4));

    // Toolbar order, 8 pixels between buttons, the configuration button at the right; only
    // the first six carry a hint, and no hint is ever shown.
    const QList<QPair<TGlyphButton*, QString>> buttons = {
        {form.bbtGoHome, "Home"},   {form.bbtGoBack, "Go Back"}, {form.bbtGoForward, "Go Forward"},
        {form.bbtStop, "Stop"},     {form.bbtRefresh, "Refresh"}, {form.bbtGoSearch, "Go Search"},
        {form.bbtUndo, ""},         {form.bbtRedo, ""},           {form.bbtPaste, ""},
        {form.bbtSelectAll, ""},    {form.bbtFind, ""},           {form.bbtPrintPreview, ""},
        {form.bbtPrint, ""},        {form.bbtProperties, ""}};
    auto checkRow = [&](const QList<TGlyphButton*>& shown) {
      int x = 4;
      for (TGlyphButton* button : shown) {
        QCOMPARE(button->geometry(), QRect(x, 4, 33, 33));
        x += 33 + 8;
      }
      QCOMPARE(form.bbtConfig->geometry(), QRect(781 - 4 - 33, 4, 33, 33));
    };
    QList<TGlyphButton*> all;
    for (const auto& [button, hint] : buttons) {
      all << button;
      QCOMPARE(button->toolTip(), hint);
    }
    checkRow(all);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), form.bbtGoHome->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(form.bbtGoHome, &help);
    QVERIFY(!QToolTip::isVisible());

    // Hidden buttons take no room: the others close up from the left.
    form.FConfig.PagePrecedente = false;
    form.FConfig.Coller = false;
    form.ApplyButtonVisibility();
    form.pnlBoutons->layout()->activate();
    all.removeOne(form.bbtGoBack);
    all.removeOne(form.bbtPaste);
    checkRow(all);

    // Status line, left to right: padlock, zone icon, zone name, address.
    QCOMPARE(form.imgSecure->geometry(), QRect(4, 4, 16, 16));
    QCOMPARE(form.imgZoneIcon->geometry(), QRect(28, 4, 16, 16));
    QCOMPARE(form.lblZoneIcon->x(), 44);
    QCOMPARE(form.lblURL->x(), form.lblZoneIcon->geometry().right() + 1 + 8);
    QVERIFY(form.imgLock->isHidden());
    QVERIFY(!form.imgLock->pixmap().isNull());
  }

  void longAddressKeepsTheWindowSize() {
    const QString url = FHttp.Url("/first?q=") + QString(3000, QLatin1Char('a'));
    StoreHomePage(url);
    TWindow window;
    TfrmMain& form = *window.Form;
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    QCOMPARE(form.lblURL->text(), url);
    QTest::qWait(50);
    QCOMPARE(form.size(), QSize(781, 480));
    QVERIFY(form.Panel20->geometry().right() < 781);
  }

  void untitledPageGivesAnEmptyCaption() {
    StoreHomePage(FHttp.Url("/untitled"));
    TWindow window;
    window.Form->show();
    QVERIFY(window.WaitForDocuments(1));
    QCOMPARE(window.Form->windowTitle(), QString());
  }

  void progressCaption_data() {
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("progressMax");
    QTest::addColumn<QString>("caption");
    QTest::newRow("quarter") << 50 << 200 << "25%...";
    QTest::newRow("truncated") << 2 << 3 << "66%...";
    QTest::newRow("large values") << 30000000 << 60000000 << "50%...";
    QTest::newRow("no maximum") << 0 << 0 << "";
    QTest::newRow("beyond maximum") << 300 << 200 << "";
    QTest::newRow("finished") << -1 << 100 << "";
  }

  void progressCaption() {
    QFETCH(int, progress);
    QFETCH(int, progressMax);
    QFETCH(QString, caption);
    TfrmMain form;  // never shown: no document, so the title is empty
    form.WebBrowserProgressChange(progress, progressMax);
    QCOMPARE(form.windowTitle(), caption);
  }

  void backAndForwardFollowTheHistory() {
    StoreHomePage(FHttp.Url("/first"));
    TWindow window;
    TfrmMain& form = *window.Form;
    window.Form->show();
    QVERIFY(window.WaitForDocuments(1));
    QVERIFY(!form.bbtGoBack->isEnabled());
    QVERIFY(window.Navigate(FHttp.Url("/second")));
    QTRY_VERIFY(form.bbtGoBack->isEnabled());
    QVERIFY(!form.bbtGoForward->isEnabled());

    form.bbtGoBack->click();
    QVERIFY(window.WaitForDocuments(3));
    QTRY_VERIFY(!form.bbtGoBack->isEnabled());
    QVERIFY(form.bbtGoForward->isEnabled());
    QCOMPARE(form.lblURL->text(), FHttp.Url("/first"));

    form.bbtGoBack->click();  // nothing to go back to: swallowed
    QVERIFY(window.Navigate(FHttp.Url("/text")));
    QTRY_VERIFY(!form.bbtGoForward->isEnabled());
    QVERIFY(form.bbtGoBack->isEnabled());
  }

  void padlockOnlyForSecurePages() {
    StoreHomePage(FHttps.Url("/first"));
    TWindow window;
    TfrmMain& form = *window.Form;
    test::TrustCertificate(form.WebBrowser->View()->page(), FHttps.CertificateDer());
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    QCOMPARE(form.lblURL->text(), FHttps.Url("/first"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Premiere page"));
    QVERIFY(!form.imgSecure->pixmap().isNull());

    QVERIFY(window.Navigate(FHttp.Url("/second")));
    QVERIFY(form.imgSecure->pixmap().isNull());

    // A secure address that fails (a plain server answering) ends on the error page: no padlock.
    QVERIFY(window.Navigate(QStringLiteral("https://127.0.0.1:%1/first").arg(FHttp.Port())));
    QCOMPARE(form.lblURL->text(), QStringLiteral("https://127.0.0.1:%1/first").arg(FHttp.Port()));
    QVERIFY(form.imgSecure->pixmap().isNull());
  }

  void zoneOfTheAddress() {
    const QString file = QDir(QString::fromStdString(test::TestRoot())).filePath(QStringLiteral("page.html"));
    test::WriteFileText(file.toStdString(), "<html><head><title>Local</title></head><body>ici</body></html>");
    StoreHomePage(FHttp.Url("/first"));
    TWindow window;
    TfrmMain& form = *window.Form;
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    QCOMPARE(form.lblZoneIcon->text(), QStringLiteral("  Intranet local"));
    QVERIFY(!form.imgZoneIcon->pixmap().isNull());

    QVERIFY(window.Navigate(QUrl::fromLocalFile(file).toString()));
    QCOMPARE(form.lblZoneIcon->text(), QStringLiteral("  Poste de travail"));

    // A site list entry puts the loopback address among the trusted sites; a zone whose icon
    // path has no '#' shows no icon.
    TRegistry registry;
    QVERIFY(registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\127.0.0.1", true));
    registry.WriteInteger("http", 2);
    registry.CloseKey();
    QVERIFY(registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2", true));
    registry.WriteString("DisplayName", "Amis");
    registry.WriteString("Icon", "vynzones.dll");
    QVERIFY(window.Navigate(FHttp.Url("/second")));
    QCOMPARE(form.lblZoneIcon->text(), QStringLiteral("  Amis"));
    QVERIFY(form.imgZoneIcon->pixmap().isNull());

    // A zone value that is not text is passed over; a store that cannot be read gives no
    // zone at all. Neither stops the page nor shows an error.
    test::TErrorRecorder errors;
    registry.WriteInteger("DisplayName", 5);
    registry.WriteString("Icon", "vynzones.dll#2");
    registry.CloseKey();
    QVERIFY(window.Navigate(FHttp.Url("/first")));
    QCOMPARE(form.lblZoneIcon->text(), QStringLiteral("  Sites de confiance"));
    QVERIFY(!form.imgZoneIcon->pixmap().isNull());
    test::WriteFileText(HiveFilePath(THiveRoot::HKEY_CURRENT_USER), "ceci n'est pas un registre");
    QVERIFY(window.Navigate(FHttp.Url("/second")));
    QCOMPARE(form.lblZoneIcon->text(), QStringLiteral("  "));
    QVERIFY(form.imgZoneIcon->pixmap().isNull());
    QCOMPARE(form.lblURL->text(), FHttp.Url("/second"));
    QVERIFY2(errors.Errors.isEmpty(), qPrintable(errors.Errors.join('\n')));
  }

  void firstStartWritesEveryValue() {
    TWindow window;
    TfrmMain& form = *window.Form;
    QSignalSpy requested(form.WebBrowser, &TWebBrowser::BeforeNavigate2);
    form.show();
    QVERIFY(test::WaitFor([&] { return !requested.isEmpty(); }));
    QCOMPARE(requested.first().first().toString(), QStringLiteral("https://www.vynsoft.example/"));

    TRegistry registry;
    QVERIFY(registry.OpenKeyReadOnly(RegPath().toStdString()));
    QCOMPARE(registry.GetValueNames().size(), size_t(15));
    QCOMPARE(registry.ReadString("HomePage"), std::string("https://www.vynsoft.example/"));
    for (const char* name : ConfigFlagNames) QCOMPARE(registry.ReadInteger(name), 1);
    for (QAbstractButton* button : form.pnlBoutons->findChildren<QAbstractButton*>())
      QVERIFY2(!button->isHidden(), qPrintable(button->objectName()));
  }

  void keyWithoutValuesHidesEveryButton() {
    TRegistry registry;
    QVERIFY(registry.CreateKey(RegPath().toStdString()));
    TWindow window;
    TfrmMain& form = *window.Form;
    QSignalSpy requested(form.WebBrowser, &TWebBrowser::BeforeNavigate2);
    form.show();
    for (QAbstractButton* button : form.pnlBoutons->findChildren<QAbstractButton*>())
      QCOMPARE(button->isHidden(), button != form.bbtConfig);
    for (const char* spacer : {"pnlGoHome", "pnlFind", "pnlPrint"})
      QVERIFY(form.findChild<QWidget*>(QLatin1String(spacer))->isHidden());
    // Home falls back to the control's own home page.
    QVERIFY(window.WaitForDocuments(1));
    QCOMPARE(requested.first().first().toString(), QStringLiteral("qrc:/vyn/pages/home.html"));
    QVERIFY(registry.OpenKeyReadOnly(RegPath().toStdString()));
    QVERIFY(registry.GetValueNames().empty());
  }

  void storedFlagOfTwoIsWrittenBackAsOne() {
    TRegistry registry;
    QVERIFY(registry.OpenKey(RegPath().toStdString(), true));
    registry.WriteInteger("Coller", 2);
    TfrmMain form;
    QVERIFY(form.FConfig.Coller);
    QVERIFY(!form.FConfig.Imprimer);
    form.SaveConfig();
    QCOMPARE(registry.ReadInteger("Coller"), 1);
    QCOMPARE(registry.ReadInteger("Imprimer"), 0);
  }

  void wrongValueTypeIsReportedAndTheWindowOpens() {
    TRegistry registry;
    QVERIFY(registry.OpenKey(RegPath().toStdString(), true));
    registry.WriteString("HomePage", FHttp.Url("/first").toStdString());
    registry.WriteInteger("PageAccueil", 0);
    registry.WriteString("PagePrecedente", "1");
    test::TErrorRecorder errors;
    TWindow window;
    TfrmMain& form = *window.Form;
    QCOMPARE(errors.Errors, QStringList{QStringLiteral("Type de données incorrect pour 'PagePrecedente'")});
    // Fields read before the error keep their values; the rest of the creation is skipped.
    QCOMPARE(form.FConfig.HomePage, FHttp.Url("/first"));
    QVERIFY(!form.bbtGoHome->isHidden());
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    QCOMPARE(form.windowTitle(), QStringLiteral("Premiere page"));
    // Nothing was written over the stored values.
    QCOMPARE(registry.GetDataType("PagePrecedente"), uint32_t(REG_SZ));
  }

  void showButtonsCommand() {
    TfrmMain form;
    QAction* showButtons = nullptr;
    for (QAction* action : form.SystemMenu()->actions())
      if (action->data().toInt() == TfrmMain::ShowButtonsCommand) showButtons = action;
    QVERIFY(showButtons);
    QCOMPARE(showButtons->text(), QStringLiteral("Show buttons"));
    form.pnlBoutons->hide();
    showButtons->trigger();
    QVERIFY(!form.pnlBoutons->isHidden());
  }

  void pageKeysNeverReachWindowAccelerators() {
    StoreHomePage(FHttp.Url("/text"));
    TWindow window;
    TfrmMain& form = *window.Form;
    int fired = 0;
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down}) {
      auto* shortcut = new QShortcut(QKeySequence(key), &form);
      connect(shortcut, &QShortcut::activated, this, [&] { ++fired; });
    }
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(window.WaitForDocuments(1));
    QWidget* page = form.WebBrowser->View()->focusProxy();
    QVERIFY(page);
    page->setFocus();
    QTRY_VERIFY(page->hasFocus());
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
      QTest::keyClick(page, key);
    QCOMPARE(fired, 0);
    // The same keys outside the page do reach them.
    form.bbtConfig->setFocus();
    QTest::keyClick(form.bbtConfig, Qt::Key_Backspace);
    QCOMPARE(fired, 1);
  }

  // Keys typed in the page: the control's own accelerators act on the control.
  void pageAcceleratorsMoveThroughTheHistory() {
    StoreHomePage(FHttp.Url("/first"));
    TWindow window;
    TfrmMain& form = *window.Form;
    QWidget* page = FocusedPage(window);
    QVERIFY(page);
    QVERIFY(window.Navigate(FHttp.Url("/second")));
    page->setFocus();
    QTRY_VERIFY(page->hasFocus());

    // Backspace and the bare arrows are the page's: no history move.
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Right})
      QTest::keyClick(page, key);
    test::WaitFor([] { return false; }, 300);
    QCOMPARE(form.WebBrowser->LocationURL(), FHttp.Url("/second"));

    QTest::keyClick(page, Qt::Key_Left, Qt::AltModifier);
    QVERIFY(window.WaitForDocuments(3));
    QCOMPARE(form.WebBrowser->LocationURL(), FHttp.Url("/first"));
    QTest::keyClick(page, Qt::Key_Left, Qt::AltModifier);  // nothing before the first page
    QTest::keyClick(page, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(window.WaitForDocuments(4));
    QCOMPARE(form.WebBrowser->LocationURL(), FHttp.Url("/second"));

    QSignalSpy started(form.WebBrowser->View()->page(), &QWebEnginePage::loadStarted);
    QTest::keyClick(page, Qt::Key_F5);
    QVERIFY(window.WaitForDocuments(5));
    QCOMPARE(started.count(), 1);
    QCOMPARE(form.WebBrowser->LocationURL(), FHttp.Url("/second"));

    // Outside the page the keys are not the control's.
    form.bbtConfig->setFocus();
    QTest::keyClick(form.bbtConfig, Qt::Key_F5);
    QTest::keyClick(form.bbtConfig, Qt::Key_Left, Qt::AltModifier);
    test::WaitFor([] { return false; }, 300);
    QCOMPARE(started.count(), 1);
    QCOMPARE(form.WebBrowser->LocationURL(), FHttp.Url("/second"));
  }

  void escapeStopsALoadInTheControlAndIsThePagesOtherwise() {
    StoreHomePage(FHttp.Url("/edit"));
    TWindow window;
    TfrmMain& form = *window.Form;
    QWidget* page = FocusedPage(window);
    QVERIFY(page);
    QTest::keyClick(page, Qt::Key_Escape);
    QTRY_COMPARE(test::RunJavaScript(form.WebBrowser->View()->page(), QStringLiteral("keys.join()")).toString(),
                 QStringLiteral("Escape"));

    form.WebBrowser->Navigate2(FHttp.Url("/endless"));
    QVERIFY(test::WaitFor([&] { return form.WebBrowser->Busy() && form.windowTitle().endsWith(QStringLiteral("%...")); }, 10000));
    QTest::keyClick(page, Qt::Key_Escape);
    QVERIFY(test::WaitFor([&] { return window.Completed.count() >= 2; }, 5000));  // the page alone takes 30 s
    QVERIFY(!form.WebBrowser->Busy());
  }

  void pageAcceleratorsOpenFindAndPrint() {
    StoreHomePage(FHttp.Url("/text"));
    TWindow window;
    TfrmMain& form = *window.Form;
    QWidget* page = FocusedPage(window);
    QVERIFY(page);
    QTest::keyClick(page, Qt::Key_F, Qt::ControlModifier);
    auto* find = form.findChild<TFindDialog*>();
    QVERIFY(find && find->isVisible());
    find->close();

    page->setFocus();
    bool printing = false;
    test::WhenModal<QPrintDialog>([&](QPrintDialog* dialog) {
      printing = true;
      dialog->reject();
    });
    QTest::keyClick(page, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(printing);
  }

  // The editing keys are the page's own: the engine edits with them, and pages see them first.
  void editingKeysEditThePage() {
    StoreHomePage(FHttp.Url("/edit"));
    TWindow window;
    QWidget* page = FocusedPage(window);
    QVERIFY(page);
    QWebEnginePage* web = window.Form->WebBrowser->View()->page();
    auto field = [&] {
      return test::RunJavaScript(web, QStringLiteral("var e = document.getElementById('e');"
                                                     "e.value + '|' + e.selectionStart + '-' + e.selectionEnd"))
          .toString();
    };
    test::RunJavaScript(web, QStringLiteral("document.getElementById('e').focus()"));
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();

    QTest::keyClick(page, Qt::Key_A, Qt::ControlModifier);
    QTRY_COMPARE(field(), QStringLiteral("bonjour|0-7"));
    QTest::keyClick(page, Qt::Key_C, Qt::ControlModifier);
    QTRY_COMPARE(clipboard->text(), QStringLiteral("bonjour"));
    clipboard->clear();
    QTest::keyClick(page, Qt::Key_X, Qt::ControlModifier);
    QTRY_COMPARE(field(), QStringLiteral("|0-0"));
    QCOMPARE(clipboard->text(), QStringLiteral("bonjour"));
    QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(field().section(QLatin1Char('|'), 0, 0), QStringLiteral("bonjour"));
    QTest::keyClick(page, Qt::Key_Y, Qt::ControlModifier);
    QTRY_COMPARE(field(), QStringLiteral("|0-0"));
    clipboard->setText(QStringLiteral("au revoir"));
    QTest::keyClick(page, Qt::Key_V, Qt::ControlModifier);
    QTRY_COMPARE(field(), QStringLiteral("au revoir|9-9"));
  }

  void textSelectionMovesTheFocusIntoThePage() {
    StoreHomePage(FHttp.Url("/text"));
    TWindow window;
    TfrmMain& form = *window.Form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(window.WaitForDocuments(1));
    QWebEnginePage* page = form.WebBrowser->View()->page();
    form.WebBrowser->View()->focusProxy()->setFocus();
    QSignalSpy updates(form.WebBrowser, &TWebBrowser::CommandStateChange);
    auto select = [&](const char* script) {
      updates.clear();
      test::RunJavaScript(page, QString::fromLatin1(script));
      QVERIFY(test::WaitFor([&] {
        for (const QList<QVariant>& update : updates)
          if (update.first().toInt() == CSC_UPDATECOMMANDS) return true;
        return false;
      }, 10000));
    };

    select("var r = document.createRange(); r.selectNodeContents(document.getElementById('p'));"
           "getSelection().removeAllRanges(); getSelection().addRange(r);");
    QCOMPARE(form.WebBrowser->Document()->SelectionType(), QStringLiteral("Text"));
    form.bbtConfig->setFocus();
    form.WebBrowserCommandStateChange(CSC_UPDATECOMMANDS, true);
    QVERIFY(test::WaitFor([&] { return form.WebBrowser->isAncestorOf(QApplication::focusWidget()); }, 5000));

    // A caret is no text selection: the focus stays where the user put it.
    select("getSelection().collapse(document.getElementById('p').firstChild, 2)");
    QCOMPARE(form.WebBrowser->Document()->SelectionType(), QStringLiteral("None"));
    form.bbtConfig->setFocus();
    form.WebBrowserCommandStateChange(CSC_UPDATECOMMANDS, true);
    QVERIFY(form.bbtConfig->hasFocus());
  }

  void configurationMenuOpensBelowItsButton() {
    TfrmMain form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.move(form.pos() + QPoint(37, 23));
    QTest::qWait(50);
    form.bbtConfigClick();
    QTRY_VERIFY(form.pmConfiguration->isVisible());
    QCOMPARE(form.pmConfiguration->pos(), form.bbtConfig->mapToGlobal(QPoint(0, form.bbtConfig->height())));
    QStringList captions;
    for (QAction* action : form.pmConfiguration->actions())
      captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(captions, (QStringList{"Options ...", "Options Internet ...", "Internet Feature Controls ...",
                                    "-", "A propos de..."}));
    form.pmConfiguration->close();
  }

  // Each entry of the configuration menu, chosen with the mouse, opens its dialog modally over
  // the main window; the dialog is gone once closed.
  void configurationMenuEntriesOpenTheirDialogs() {
    TfrmMain form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.move(40, 30);  // away from the screen's centre, where the window first shows
    auto choose = [&](QAction* entry) {
      form.bbtConfig->click();
      QTRY_VERIFY(form.pmConfiguration->isVisible());
      QTest::mouseClick(form.pmConfiguration, Qt::LeftButton, {}, form.pmConfiguration->actionGeometry(entry).center());
    };
    auto check = [&](QDialog* dialog) {
      QVERIFY(dialog->isModal());
      QCOMPARE(dialog->parentWidget(), &form);
    };

    QString shown;
    test::WhenModal<TfrmConfiguration>([&](TfrmConfiguration* dialog) {
      check(dialog);
      QCOMPARE(dialog->lbledtHomePage->text(), form.FConfig.HomePage);
      shown = dialog->windowTitle();
    });
    choose(form.mnuOptions);
    QCOMPARE(shown, QStringLiteral("Configuration"));

    test::WhenModal<TfrmInternetOptions>([&](TfrmInternetOptions* dialog) {
      check(dialog);
      shown = dialog->windowTitle();
    });
    choose(form.InternetExploreroptions1);
    QVERIFY(!shown.isEmpty() && shown != QLatin1String("Configuration"));

    shown.clear();
    test::WhenModal<TfrmInternetFeatureControls>([&](TfrmInternetFeatureControls* dialog) {
      check(dialog);
      QCOMPARE(dialog->PageControl->currentIndex(), 0);
      // Qt allows for a window manager's frame of 10 x 40 it cannot see.
      const QPoint offset = dialog->frameGeometry().center() - form.frameGeometry().center();
      QVERIFY2(qAbs(offset.x()) <= 10 && qAbs(offset.y()) <= 40, qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
      shown = dialog->windowTitle();
    });
    choose(form.mnuInternetFeatureControls);
    QCOMPARE(shown, QStringLiteral("Internet Feature Controls"));

    QVERIFY(form.findChildren<QDialog*>().isEmpty());
  }

  void commandsWithoutDocumentDoNothing() {
    TfrmMain form;  // never shown: nothing loaded
    test::TErrorRecorder errors;
    form.bbtFindClick();
    form.bbtPropertiesClick();
    form.bbtGoBackClick();
    form.bbtPasteClick();
    QVERIFY(errors.Errors.isEmpty());
    QVERIFY(form.findChildren<QDialog*>().isEmpty());
  }

  void errorsLeavingHandlersAreReported() {
    TfrmMain form;
    test::TErrorRecorder errors;
    QTimer::singleShot(0, &form, [] { throw std::runtime_error("Echec du gestionnaire"); });
    QVERIFY(test::WaitFor([&] { return !errors.Errors.isEmpty(); }, 5000));
    QCOMPARE(errors.Errors, QStringList{QStringLiteral("Echec du gestionnaire")});
    // The loop goes on.
    bool later = false;
    QTimer::singleShot(0, &form, [&] { later = true; });
    QVERIFY(test::WaitFor([&] { return later; }, 5000));
  }

  void pageThatNeverEndsCanBeStopped() {
    StoreHomePage(FHttp.Url("/first"));
    TWindow window;
    TfrmMain& form = *window.Form;
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    form.WebBrowser->Navigate2(FHttp.Url("/endless"));
    QVERIFY(test::WaitFor([&] { return form.WebBrowser->Busy() && form.windowTitle().endsWith(QStringLiteral("%...")); }, 10000));
    QCOMPARE(window.Completed.count(), 1);
    form.bbtStop->click();
    QVERIFY(window.WaitForDocuments(2));
    QVERIFY(!form.WebBrowser->Busy());
    QVERIFY(!form.windowTitle().endsWith(QStringLiteral("%...")));
    FReleaseEndless = true;
  }

  void findDialogSearchesThePage() {
    StoreHomePage(FHttp.Url("/text"));
    TWindow window;
    TfrmMain& form = *window.Form;
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    form.bbtFindClick();
    auto* dialog = form.findChild<TFindDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    dialog->findChild<QLineEdit*>(QStringLiteral("edtFind"))->setText(QStringLiteral("texte"));
    dialog->FindNext(false);
    auto* status = dialog->findChild<QLabel*>(QStringLiteral("lblStatus"));
    QVERIFY(test::WaitFor([&] { return !status->text().isEmpty(); }, 10000));
    QCOMPARE(status->text(), QStringLiteral("1 sur 1"));
    dialog->findChild<QLineEdit*>(QStringLiteral("edtFind"))->setText(QStringLiteral("absent"));
    dialog->FindNext(false);
    QVERIFY(test::WaitFor([&] { return status->text() == QLatin1String("Texte introuvable"); }, 10000));
    form.bbtFindClick();  // the same dialog comes back
    QCOMPARE(form.findChildren<TFindDialog*>().size(), 1);
    dialog->close();
  }

  void pagePropertiesDialogDescribesThePage() {
    StoreHomePage(FHttps.Url("/first"));
    TWindow window;
    TfrmMain& form = *window.Form;
    test::TrustCertificate(form.WebBrowser->View()->page(), FHttps.CertificateDer());
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    QMap<QString, QString> shown;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<TPagePropertiesDialog*>(QApplication::activeModalWidget());
      if (!dialog || dialog->findChild<QLabel*>(QStringLiteral("lblType"))->text().isEmpty()) return;
      for (QLabel* label : dialog->findChildren<QLabel*>())
        if (!label->objectName().isEmpty()) shown[label->objectName()] = label->text();
      dialog->accept();
    });
    poll.start(20);
    QTimer::singleShot(15000, this, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    form.bbtPropertiesClick();
    QCOMPARE(shown.value("lblTitle"), QStringLiteral("Premiere page"));
    QCOMPARE(shown.value("lblAddress"), FHttps.Url("/first"));
    QCOMPARE(shown.value("lblType"), QStringLiteral("text/html"));
    QCOMPARE(shown.value("lblZone"), QStringLiteral("Intranet local"));
    QCOMPARE(shown.value("lblConnection"), QStringLiteral("Chiffrée"));
    QVERIFY(shown.value("lblSize").endsWith(QStringLiteral(" octets")));
  }

  void printPreviewRendersThePage() {
    StoreHomePage(FHttp.Url("/text"));
    TWindow window;
    TfrmMain& form = *window.Form;
    form.show();
    QVERIFY(window.WaitForDocuments(1));
    test::TErrorRecorder errors;
    int pages = -1;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      if (!preview) return;
      auto* widget = preview->findChild<QPrintPreviewWidget*>();
      if (!widget || widget->pageCount() == 0) return;
      pages = widget->pageCount();
      preview->reject();
    });
    poll.start(20);
    QTimer::singleShot(20000, this, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    form.bbtPrintPreviewClick();
    QCOMPARE(pages, 1);
    QVERIFY(errors.Errors.isEmpty());
  }

  void settingsKeyFollowsTheExecutableName_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("key");
    QTest::newRow("installed") << "/opt/vyn/vynWebBrowser" << "Software\\www.vynsoft.example\\WebBrowservynWebBrowser";
    QTest::newRow("renamed copy") << "/home/jean/copie.bin" << "Software\\www.vynsoft.example\\WebBrowsercopie.bin";
  }

  void settingsKeyFollowsTheExecutableName() {
    QFETCH(QString, executable);
    QFETCH(QString, key);
    QCOMPARE(BuildRegPath(executable), key);
  }

  void invalidHomePageIsSwallowed() {
    StoreHomePage(QStringLiteral("http://[::1"));
    test::TErrorRecorder errors;
    TfrmMain form;
    QSignalSpy requested(form.WebBrowser, &TWebBrowser::BeforeNavigate2);
    form.show();
    test::WaitFor([] { return false; }, 300);
    QVERIFY(errors.Errors.isEmpty());
    QVERIFY(requested.isEmpty());
  }
};

VYN_WINDOW_TEST_MAIN(TShellTest)
#include "shell_test.moc"

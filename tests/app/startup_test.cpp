// Start-up over a registry store file that does not parse: the program says so once, runs on
// its defaults and never writes over the file. The store is damaged before the web engine's
// environment is prepared, as the program entry prepares it, so this test has a main of its own.

#include "AppTestSupport.h"
#include "WhenModal.h"

#include "app/ErrorReporting.h"
#include "app/Startup.h"
#include "app/WebBrowser.h"
#include "app/GlyphButton.h"
#include "app/config/uConfig.h"
#include "app/uMain.h"
#include "platform/Registry.h"

#include <QAbstractButton>
#include <QFrame>
#include <QPushButton>
#include <QSignalSpy>

using namespace vyn;

namespace {

// A hive cut short in the middle of a key name.
const char kDamagedHive[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\www.vynsoft.example\\WebBrowse";

QStringList gStartErrors;

}  // namespace

class TStartupTest : public QObject {
  Q_OBJECT

private slots:
  void damagedStoreIsReportedOnceAndTheShippedPagesLoad() {
    const std::string hive = HiveFilePath(THiveRoot::HKEY_CURRENT_USER);
    test::TErrorRecorder errors;
    TfrmMain form;
    QSignalSpy completed(form.WebBrowser, &TWebBrowser::DocumentComplete);
    form.show();
    QVERIFY(test::WaitFor([&] { return completed.count() >= 1; }));
    QCOMPARE(form.WebBrowser->LocationURL(), QStringLiteral("qrc:/vyn/pages/home.html"));
    const QStringList reported = gStartErrors + errors.Errors;
    QCOMPARE(reported.size(), 1);
    QVERIFY2(reported.first().contains(QString::fromStdString(hive)), qPrintable(reported.first()));

    // The window goes on as with a readable store: every button, the window menu.
    for (QAbstractButton* button : form.pnlBoutons->findChildren<QAbstractButton*>())
      QVERIFY2(!button->isHidden(), qPrintable(button->objectName()));
    QVERIFY(form.SystemMenu());

    form.bbtGoSearch->click();
    QVERIFY(test::WaitFor([&] { return completed.count() >= 2; }));
    QCOMPARE(form.WebBrowser->LocationURL(), QStringLiteral("qrc:/vyn/pages/search.html"));
    form.bbtGoHome->click();
    QVERIFY(test::WaitFor([&] { return completed.count() >= 3; }));
    QCOMPARE(form.WebBrowser->LocationURL(), QStringLiteral("qrc:/vyn/pages/home.html"));
    QCOMPARE(errors.Errors.size() + gStartErrors.size(), 1);

    // Accepted options cannot be saved: that is said, and the file stays as it was.
    test::WhenModal<TfrmConfiguration>([](TfrmConfiguration* dialog) { dialog->bbtOk->click(); });
    form.mnuOptions->trigger();
    QCOMPARE(errors.Errors.size() + gStartErrors.size(), 2);
    QCOMPARE(test::ReadFileText(hive), std::string(kDamagedHive));
  }
};

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  vyn::test::WriteFileText(HiveFilePath(THiveRoot::HKEY_CURRENT_USER), kDamagedHive);
  vyn::test::PrepareWindowTestProcess();
  try {
    vyn::PrepareWebEngineEnvironment();
  } catch (...) {
    gStartErrors << vyn::CurrentExceptionText();
  }
  vyn::TApplication app(argc, argv);
  vyn::TApplication::setApplicationName(QStringLiteral("vynWebBrowser"));
  app.setAttribute(Qt::AA_Use96Dpi, true);
  vyn::RegisterFonts();
  TStartupTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "startup_test.moc"

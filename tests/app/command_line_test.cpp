// The command line: which arguments become the start address, and the window loading it in
// place of the home page.

#include "AppTestSupport.h"

#include "app/CommandLine.h"
#include "app/WebBrowser.h"
#include "app/uMain.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

using namespace vyn;

class TCommandLineTest : public QObject {
  Q_OBJECT

private slots:
  void startAddress_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const QString program = QStringLiteral("vynWebBrowser");
    QTest::newRow("none") << QStringList{program} << QString();
    QTest::newRow("http") << QStringList{program, QStringLiteral("http://www.vynsoft.example/a")}
                          << QStringLiteral("http://www.vynsoft.example/a");
    QTest::newRow("https after an option")
        << QStringList{program, QStringLiteral("--disable-gpu"), QStringLiteral("https://h.example/")}
        << QStringLiteral("https://h.example/");
    QTest::newRow("relative path")
        << QStringList{program, QStringLiteral("page d'essai.html")}
        << QStringLiteral("file:///srv/pages/page%20d'essai.html");
    QTest::newRow("first address only")
        << QStringList{program, QStringLiteral("http://a.example/"), QStringLiteral("http://b.example/")}
        << QStringLiteral("http://a.example/");
    QTest::newRow("javascript refused")
        << QStringList{program, QStringLiteral("javascript:alert(1)")} << QString();
    QTest::newRow("data refused")
        << QStringList{program, QStringLiteral("data:text/html,<b>x</b>")} << QString();
    QTest::newRow("other scheme refused")
        << QStringList{program, QStringLiteral("ftp://h.example/f")} << QString();
  }

  void startAddress() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QCOMPARE(StartAddress(arguments, QStringLiteral("/srv/pages")), expected);
  }

  void startAddressReplacesTheHomePage() {
    QTemporaryDir folder;
    const QString page = folder.filePath(QStringLiteral("start.html"));
    test::WriteFileText(page.toStdString(), "<html><title>Depart</title><body>x</body></html>");
    TfrmMain form;
    form.StartAddress = StartAddress({QStringLiteral("vynWebBrowser"), page}, QDir::currentPath());
    QSignalSpy completed(form.WebBrowser, &TWebBrowser::DocumentComplete);
    form.show();
    QVERIFY(test::WaitFor([&] { return completed.count() >= 1; }));
    QCOMPARE(form.WebBrowser->LocationURL(), QUrl::fromLocalFile(page).toString());
  }
};

VYN_WINDOW_TEST_MAIN(TCommandLineTest)

#include "command_line_test.moc"

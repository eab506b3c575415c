// The about box: its layout and texts, the program's version and the machine facts, the update
// and news buttons that an update address brings, the wizard and the news viewer they open,
// the web site, and the main window's menu item with the address it passes.

#include "AppTestSupport.h"
#include "TestHttpServer.h"
#include "WhenModal.h"

#include "app/about/FileVersionString.h"
#include "app/about/LinkLabel.h"
#include "app/about/OSError.h"
#include "app/about/uAboutWithUpdate.h"
#include "app/about/uNews.h"
#include "app/uMain.h"
#include "platform/FileVersion.h"
#include "platform/Folders.h"
#include "platform/MachineInfo.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <optional>

// This program's version note, as the build stamps one into the browser (see
// platform/FileVersion.h), with four distinct parts so that their order shows: 3.14.15.92.
asm(R"(
    .pushsection .note.vyn.version,"a",@note
    .balign 4
    .long 4
    .long 52
    .long 1
    .asciz "VYN"
    .balign 4
    .long 0xFEEF04BD
    .long 0x00010000
    .long 0x0003000E
    .long 0x000F005C
    .long 0x0003000E
    .long 0x000F005C
    .long 0x3F
    .long 0
    .long 0x4
    .long 0x1
    .long 0
    .long 0
    .long 0
    .popsection
)");

using namespace vyn;
using vyn::test::WhenModal;

namespace {

const QString TestUpdateURL = QStringLiteral("http://127.0.0.1:9/files/vynWebBrowser.INF");

// Sets an environment variable for the life of the object.
class TScopedVariable {
public:
  TScopedVariable(const char* name, const QByteArray& value)
      : FName(name), FHad(qEnvironmentVariableIsSet(name)), FPrevious(qgetenv(name)) {
    if (value.isNull()) qunsetenv(name);
    else qputenv(name, value);
  }
  ~TScopedVariable() {
    if (FHad) qputenv(FName, FPrevious);
    else qunsetenv(FName);
  }

private:
  const char* FName;
  bool FHad;
  QByteArray FPrevious;
};

// Runs `check` on the about box that ShowAbout(url) shows, then closes it with its button.
template <class TCheck>
void InAboutBox(const QString& url, TCheck check) {
  bool shown = false;
  WhenModal<TfrmAbout>([&](TfrmAbout* form) {
    shown = true;
    check(form);
    form->bbtClose->click();
  });
  ShowAbout(url);
  QVERIFY(shown);
}

// The label draws its '&' rather than taking it for an accelerator mark.
bool ShowsAmpersand(const QLabel* label) {
  const QFontMetrics metrics(label->font());
  const int hidden = metrics.size(Qt::TextShowMnemonic, label->text()).width();
  return label->sizeHint().width() >= hidden + metrics.horizontalAdvance(QLatin1Char('&')) - 1;
}

}  // namespace

class TAboutBoxTest : public QObject {
  Q_OBJECT
  std::optional<test::TIsolatedEnvironment> FEnvironment;

private slots:
  void init() { FEnvironment.emplace(); }
  void cleanup() {
    qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("WhenModal")));
    FEnvironment.reset();
  }

  void UpdateButtonsFollowTheAddress_data() {
    QTest::addColumn<QString>("url");
    QTest::newRow("no address") << QString();
    QTest::newRow("an address") << TestUpdateURL;
  }
  void UpdateButtonsFollowTheAddress() {
    QFETCH(QString, url);
    InAboutBox(url, [&](TfrmAbout* form) {
      QCOMPARE(form->FUpdateURL, url);
      QCOMPARE(form->bbtUpdate->isVisible(), !url.isEmpty());
      QCOMPARE(form->bbtNews->isVisible(), !url.isEmpty());
      QVERIFY(form->bbtClose->isVisible());
      // Without an address the engine keeps the URL it was made with.
      QCOMPARE(QString::fromStdString(form->VudIvazoz.URL), url);
    });
    QVERIFY(qApp->findChildren<TfrmAbout*>().isEmpty());
  }

  void Layout() {
    InAboutBox(TestUpdateURL, [](TfrmAbout* form) {
      QCOMPARE(form->windowTitle(), QStringLiteral("A propos de..."));
      QVERIFY(form->isModal());
      QCOMPARE(form->size(), QSize(474, 360));
      QCOMPARE(form->minimumSize(), form->maximumSize());
      QCOMPARE(QFontInfo(form->font()).family(), QStringLiteral("Tahoma"));
      QCOMPARE(form->font().pixelSize(), 11);
      QCOMPARE(form->focusWidget(), form->bbtClose);

      QCOMPARE(form->Image1->geometry(), QRect(0, 0, 101, 360));
      const QImage picture = form->Image1->pixmap().toImage();
      QCOMPARE(picture.size(), QSize(101, 360));
      QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);  // drawn transparent
      QCOMPARE(form->Panel1->geometry(), QRect(101, 0, 373, 360));

      QCOMPARE(form->lblApplication->pos(), QPoint(16, 16));
      QCOMPARE(form->lblApplication->font().pixelSize(), 16);
      QCOMPARE(form->lblVersion->pos(), QPoint(16, 38));
      QCOMPARE(form->lblCompilerVersion->pos(), QPoint(16, 54));
      QVERIFY(form->lblCompilerVersion->font().italic());

      const struct {
        QLabel* Caption;
        const char* Text;
        QLabel* Value;
      } rows[] = {{form->Label1, "Système d'exploitation", form->lblOSName},
                  {form->Label2, "Résolution de l'écran", form->lblScreenResolution},
                  {form->Label3, "Terminal", form->lblTerminal},
                  {form->Label4, "Utilisateur", form->lblUser},
                  {form->Label5, "Domaine", form->lblDomain},
                  {form->Label6, "Groupe de travail", form->lblWorkGroup}};
      int top = 80;
      for (const auto& row : rows) {
        QCOMPARE(row.Caption->text(), QString::fromUtf8(row.Text));
        QCOMPARE(row.Caption->geometry().topLeft(), QPoint(16, top));
        QCOMPARE(row.Caption->width(), 135);
        QVERIFY(row.Caption->alignment() & Qt::AlignRight);
        QVERIFY(row.Caption->font().bold());
        QCOMPARE(row.Value->pos(), QPoint(160, top));
        QVERIFY(!row.Value->font().bold());
        top += 16;
      }
      QVERIFY(form->lblWarning->text().startsWith(QStringLiteral("Avertissement")));
      QVERIFY(form->lblWarning->geometry().bottom() < form->lblWebSite->y());

      QCOMPARE(form->lblWebSite->text(), QStringLiteral("www.vynsoft.example"));
      QCOMPARE(form->lblWebSite->geometry(), QRect(16, 300, 341, form->lblWebSite->height()));
      QVERIFY(form->lblWebSite->alignment() & Qt::AlignHCenter);
      QVERIFY(form->lblWebSite->font().underline());
      QCOMPARE(form->lblWebSite->cursor().shape(), Qt::PointingHandCursor);

      const struct {
        QPushButton* Button;
        const char* Caption;
        QRect Geometry;
        bool Glyph;
      } buttons[] = {{form->bbtUpdate, "Mise à jour du programme", QRect(16, 328, 158, 25), false},
                     {form->bbtNews, "Nouveautés", QRect(180, 328, 96, 25), true},
                     {form->bbtClose, "&Fermer", QRect(282, 328, 75, 25), true}};
      for (const auto& button : buttons) {
        QCOMPARE(button.Button->text(), QString::fromUtf8(button.Caption));
        QCOMPARE(button.Button->geometry(), button.Geometry);
        QCOMPARE(!button.Button->icon().isNull(), button.Glyph);
      }
    });
  }

  void VersionAndLibraryLines_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("library");
    QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << QStringLiteral("Compiler & RTL: 25,00  ");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << QStringLiteral("Compiler & RTL: 25.00  ");
  }
  void VersionAndLibraryLines() {
    QFETCH(QLocale, locale);
    QFETCH(QString, library);
    const QLocale previous;
    QLocale::setDefault(locale);
    InAboutBox(QString(), [&](TfrmAbout* form) {
      QCOMPARE(form->lblVersion->text(), QStringLiteral("3.14.15.92"));
      QCOMPARE(form->lblVersion->text(), QString::fromStdString(FormatFileVersion(*ReadFixedFileInfo(ExePath()))));
      QCOMPARE(form->lblCompilerVersion->text(), library);
      QVERIFY(ShowsAmpersand(form->lblCompilerVersion));
    });
    QLocale::setDefault(previous);
  }

  void UnreadableVersionIsTheSystemError_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("missing file") << QStringLiteral("absent") << ENOENT;
    QTest::newRow("no version note") << QStringLiteral("texte.txt") << ENODATA;
  }
  void UnreadableVersionIsTheSystemError() {
    QFETCH(QString, name);
    QFETCH(int, code);
    const std::string fileName = test::TestRoot() + "/" + name.toStdString();
    test::WriteFileText(test::TestRoot() + "/texte.txt", "pas un programme");
    try {
      FileVersionString(fileName);
      QFAIL("no error raised");
    } catch (const EOSError& error) {
      QCOMPARE(error.ErrorCode(), code);
      QCOMPARE(QString::fromUtf8(error.what()),
               QStringLiteral("Erreur système.  Code : %1.\n%2").arg(code).arg(QString::fromUtf8(std::strerror(code))));
    }
  }

  void TitleShowsItsAmpersand() {
    TApplication::setApplicationName(QStringLiteral("Vyn & Co"));
    InAboutBox(QString(), [](TfrmAbout* form) {
      QCOMPARE(form->lblApplication->text(), QStringLiteral("Vyn & Co"));
      QVERIFY(ShowsAmpersand(form->lblApplication));
    });
    TApplication::setApplicationName(QStringLiteral("vynWebBrowser"));
  }

  void MachineFactsRows() {
    InAboutBox(QString(), [](TfrmAbout* form) {
      const QScreen* screen = QGuiApplication::primaryScreen();
      const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
      QCOMPARE(form->lblOSName->text(), QString::fromStdString(OSProductName()));
      QVERIFY(!form->lblOSName->text().isEmpty());
      QCOMPARE(form->lblScreenResolution->text(), QStringLiteral("%1 x %2").arg(pixels.width()).arg(pixels.height()));
      QCOMPARE(form->lblTerminal->text(),
               QString::fromStdString(ComputerName() + "  (" + FirstIPv4Address() + ")"));
      QCOMPARE(form->lblUser->text(), QString::fromStdString(UserName()));
      QCOMPARE(form->lblDomain->text(), QString::fromStdString(DomainName()));
      QCOMPARE(form->lblWorkGroup->text(), QString::fromStdString(WorkGroup()));
    });
  }

  void TerminalShowsTheAddressInBrackets_data() {
    QTest::addColumn<QString>("computer");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown");
    QTest::newRow("with address") << QStringLiteral("poste7") << QStringLiteral("192.168.1.20") << QStringLiteral("poste7  (192.168.1.20)");
    QTest::newRow("no address") << QStringLiteral("poste7") << QString() << QStringLiteral("poste7  ()");
    QTest::newRow("nothing known") << QString() << QString() << QStringLiteral("  ()");
  }
  void TerminalShowsTheAddressInBrackets() {
    QFETCH(QString, computer);
    QFETCH(QString, address);
    QFETCH(QString, shown);
    TfrmAbout form;
    TMachineFacts facts;
    facts.ComputerName = computer;
    facts.Address = address;
    form.ShowMachineFacts(facts);
    QCOMPARE(form.lblTerminal->text(), shown);
  }

  void UpdateComponentsCarryTheirDesignValues() {
    TfrmAbout form;
    const TVudIvazoz& engine = form.VudIvazoz;
    QCOMPARE(engine.Agent, std::string("TVudIvazoz"));
    QCOMPARE(engine.DateFormat, std::string("dd/mm/yyyy"));
    QCOMPARE(engine.DateSeparator, '/');
    QVERIFY(engine.ExtractCAB);
    QVERIFY(engine.ForceUpdate);
    QVERIFY(engine.Logging);
    QCOMPARE(engine.LogFileName(), std::string("WUPDATE.LOG"));
    QVERIFY(!engine.PostUpdateInfo.Enabled);
    QVERIFY(engine.ShowDownloadProgress);
    QCOMPARE(engine.Signature, std::string("VudIvazoz"));
    QCOMPARE(engine.TempDirectory, std::string("."));
    QCOMPARE(engine.TimeFormat, std::string("hh:nn"));
    QCOMPARE(engine.TimeSeparator, ':');
    QVERIFY(engine.UseCRC32);
    QCOMPARE(&engine.UserInterface(), static_cast<IVudUserInterface*>(&form.FUserInterface));

    const TVudIvazozWizard& wizard = form.VudIvazozWizard;
    QCOMPARE(wizard.VudIvazoz, &form.VudIvazoz);
    QCOMPARE(wizard.Language.data(), static_cast<TVudIvazozWizardLanguage*>(&form.VudIvazozWizardFrench));
    QCOMPARE(wizard.Caption, QString::fromUtf8("Mise à jour de l'application"));
    QCOMPARE(wizard.Font.pixelSize(), 12);
    QVERIFY(wizard.Font.bold());
    QCOMPARE(wizard.BillBoard().size(), QSize(164, 314));

    const TVudIvazozWizardFrench& french = form.VudIvazozWizardFrench;
    QCOMPARE(french.FailedDownload, QString::fromUtf8("Erreur de téléchargement de la mise à jour"));
    QCOMPARE(french.WhatsNewPopup, QStringLiteral("Voir dans le bloc notes"));
    QCOMPARE(french.LicensePopup, QStringLiteral("Voir dans le bloc notes"));
    QCOMPARE(french.Welcome, TVudIvazozWizardFrench().Welcome);
  }

  // The desktop is given a full address: a bare host name would be taken for a file.
  void WebSiteOpensItsAddress() {
    const QString bin = QDir::tempPath() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    const QString record = QDir::tempPath() + QStringLiteral("/opened.txt");
    QFile opener(bin + QStringLiteral("/xdg-open"));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(record).toUtf8());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const TScopedVariable path("PATH", bin.toUtf8() + ":" + qgetenv("PATH"));
    TfrmAbout form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.lblWebSite, Qt::LeftButton);
    QTRY_COMPARE(QString::fromStdString(test::ReadFileText(record.toStdString())), QStringLiteral("http://www.vynsoft.example"));
  }

  void NewsButtonShowsTheServersNews() {
    test::TTestHttpServer server;
    server.Serve("/files/vynWebBrowser.INF", "[update]\r\ndescr=Version 2\\nCorrections\r\n");
    server.Start();
    std::optional<QString> news;
    InAboutBox(QString::fromStdString(server.Url("/files/vynWebBrowser.INF")), [&](TfrmAbout* form) {
      WhenModal<TfrmShowNews>([&](TfrmShowNews* viewer) {
        news = viewer->memNews->toPlainText();
        viewer->bbtClose->click();
      });
      form->bbtNews->click();
    });
    QCOMPARE(news, std::optional<QString>(QStringLiteral("Version 2\nCorrections")));
  }

  void UpdateButtonRunsTheWizardFromTheProgramsFolder() {
    test::TErrorRecorder errors;
    QString caption;
    InAboutBox(TestUpdateURL, [&](TfrmAbout* form) {
      WhenModal<QDialog>([&](QDialog* wizard) {
        if (wizard != form) caption = wizard->windowTitle();
        QCOMPARE(QDir::currentPath(), QString::fromStdString(ExeDir()));
        wizard->reject();
      });
      QDir::setCurrent(QDir::tempPath());
      form->bbtUpdate->click();
    });
    QCOMPARE(caption, QString::fromUtf8("Mise à jour de l'application"));
    QCOMPARE(errors.Errors, QStringList());
  }

  void MenuItemOpensTheAboutBoxOverTheUpdateFile_data() {
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("url");
    QTest::newRow("the maker's file") << QByteArray() << QStringLiteral("http://www.vynsoft.example/files/vynWebBrowser.INF");
    QTest::newRow("empty variable") << QByteArray("") << QStringLiteral("http://www.vynsoft.example/files/vynWebBrowser.INF");
    QTest::newRow("a server of one's own") << QByteArray("http://127.0.0.1:8080/mine.INF") << QStringLiteral("http://127.0.0.1:8080/mine.INF");
  }
  void MenuItemOpensTheAboutBoxOverTheUpdateFile() {
    QFETCH(QByteArray, variable);
    QFETCH(QString, url);
    const TScopedVariable updateUrl("VYN_UPDATE_URL", variable);
    TfrmMain main;
    QVERIFY(main.mnuAproposDe->isEnabled());
    std::optional<QString> given;
    WhenModal<TfrmAbout>([&](TfrmAbout* form) {
      given = form->FUpdateURL;
      QCOMPARE(form->parentWidget(), &main);
      QVERIFY(form->bbtUpdate->isVisible());
      form->bbtClose->click();
    });
    main.mnuAproposDe->trigger();
    QCOMPARE(given, std::optional<QString>(url));
  }
};

VYN_WINDOW_TEST_MAIN(TAboutBoxTest)

#include "about_box_test.moc"

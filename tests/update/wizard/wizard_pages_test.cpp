// The wizard's way through its pages up to the components, driven against a real server:
// connection and control-file failures, the version texts, what's new, the licence, the
// component lists, and "View in Notepad".

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>
#include <ctime>

#include "WizardHarness.h"
#include "platform/Folders.h"
#include "update/wizard/WizardLanguage.h"

namespace vyn {

namespace {

using test::ReadFileText;
using test::TestRoot;
using test::TWizardCase;
using test::WriteFileText;

constexpr char KRich[] = "{\\rtf1\\ansi Nouveau {\\b gras}\\par}";

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The entries of the component list: text, tick, attached record index, whether it can change.
struct TEntry {
  QString Text;
  bool Ticked;
  int Record;
  bool Enabled;
  bool operator==(const TEntry&) const = default;
};
std::vector<TEntry> Entries(const QListWidget& list) {
  std::vector<TEntry> entries;
  for (int k = 0; k < list.count(); ++k) {
    const QListWidgetItem* item = list.item(k);
    entries.push_back({item->text(), item->checkState() == Qt::Checked,
                       item->data(Qt::UserRole).toInt(), bool(item->flags() & Qt::ItemIsEnabled)});
  }
  return entries;
}

// Sets the file's last-write time to a local date and time.
void SetFileTime(const std::string& path, int year, int month, int day, int hour) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_isdst = -1;
  const utimbuf times{std::mktime(&local), std::mktime(&local)};
  QVERIFY(utime(path.c_str(), &times) == 0);
}

// A PATH with an "xdg-open" that only notes what it was asked to open.
class TFakeDesktop {
public:
  TFakeDesktop() : FPath(qgetenv("PATH")) {
    const std::string bin = TestRoot() + "/bin";
    ForceDirectories(bin);
    Opened = TestRoot() + "/opened.txt";
    WriteFileText(bin + "/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + Opened + "'\n");
    chmod((bin + "/xdg-open").c_str(), 0755);
    qputenv("PATH", QByteArray::fromStdString(bin) + ":" + FPath);
  }
  ~TFakeDesktop() { qputenv("PATH", FPath); }
  std::string Opened;

private:
  QByteArray FPath;
};

}  // namespace

class TWizardPagesTest : public QObject {
  Q_OBJECT
private slots:
  void NoConnectionClosesWithoutAMessage() {
    TWizardCase c;
    c.Engine.RefuseConnection = true;
    c.Control("[update]\nunconditional=1\n");
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Engine.StartCount, 1);
    QVERIFY(c.Engine.StopCount >= 1);
    QVERIFY(c.Messages.isEmpty());
    QVERIFY(!c.Engine.HasMessage(925) && !c.Engine.HasMessage(926));  // no control file asked
  }

  void MissingControlFileOffersOnlyExit_data() {
    QTest::addColumn<bool>("automatic");
    QTest::newRow("by hand") << false;
    QTest::newRow("AutoStart and AutoRun") << true;
  }
  void MissingControlFileOffersOnlyExit() {
    QFETCH(bool, automatic);
    TWizardCase c;  // the server has no control file
    c.Wizard.AutoRun = automatic;
    c.Wizard.AutoStart = automatic;
    if (!automatic)
      c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"),
                    [&] { c.Click("StartButton"); });
    QString text;
    int width = 0;
    bool startEnabled = true;
    c.Script.Then(
        "cannot-connect text",
        [&] {
          return c.OnPage("TabSheet2", "ControlButton")() &&
                 c.Form()->ControlButton->text() == QStringLiteral("Exit");
        },
        [&] {
          text = c.Form()->VersionInfoLabel->text();
          width = c.Form()->VersionInfoLabel->width();
          startEnabled = c.Form()->StartButton->isEnabled();
          if (!automatic) c.Click("ControlButton");
        });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(text, QStringLiteral("Could not connect to update server or\nNo update found on server ..."));
    QCOMPARE(width, 300);
    QVERIFY(!startEnabled);
    QVERIFY(c.Engine.HasMessage(925));
    QCOMPARE(c.Engine.StartCount, 1);  // activations after the first start nothing
  }

  void NothingNewerOffersExit() {
    TWizardCase c;
    c.Control("[update]\n[action]\nmsg=Never shown\n");
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    QString text, button;
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"), [&] {
      text = c.Form()->VersionInfoLabel->text();
      button = c.Form()->ControlButton->text();
      c.Click("ControlButton");
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(text, QStringLiteral("No new version available."));
    QCOMPARE(button, QStringLiteral("Exit"));
    QVERIFY(c.Messages.isEmpty());  // Exit runs no control-file action
    QVERIFY(!c.Engine.HasMessage(934));
  }

  void VersionTexts_data() {
    QTest::addColumn<QString>("update");  // %FILE%: a file dated 4 March 2020; %EXE%: this program
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("exitButton");
    QTest::newRow("date with time, none recorded")
        << "date=01/02/2030\ntime=13:45\ndescr=Faster\\nSafer"
        << "New version found :\n\nNew version : 01/02/2030 13:45:00\n\nFaster\nSafer" << false;
    QTest::newRow("date at midnight over an installed file's date")
        << "date=01/02/2030\nlocalversion=%FILE%"
        << "New version found :\nCurrent version : 04/03/2020\nNew version : 01/02/2030\n\n"
        << false;
    QTest::newRow("file version")
        << "newversion=2.0.0.0\nlocalversion=%EXE%\ndescr=Major"
        << "New version found :\nCurrent version : 1.0.0.0\nNew version : 2.0.0.0\n\nMajor"
        << false;
    QTest::newRow("unconditional") << "unconditional=1" << "New version available." << false;
    QTest::newRow("size") << "newsize=3\nlocalversion=%FILE%" << "New version available." << false;
    QTest::newRow("date not newer") << "date=01/02/2019\nlocalversion=%FILE%"
                                    << "No new version available." << true;
  }
  void VersionTexts() {
    QFETCH(QString, update);
    QFETCH(QString, expected);
    QFETCH(bool, exitButton);
    TWizardCase c;
    const std::string installed = TestRoot() + "/installed.exe";
    WriteFileText(installed, "installed");
    SetFileTime(installed, 2020, 3, 4, 10);
    update.replace("%FILE%", Text(installed)).replace("%EXE%", Text(ExePath()));
    c.Control("[update]\n" + update.toStdString() + "\n");
    // A long caption widens the button to the left.
    TVudIvazozWizardLanguage texts;
    texts.GetUpdateButton = QStringLiteral("Fetch the new release now, please");
    c.Wizard.Language = &texts;
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    QString text;
    QRect button;
    QString caption;
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"), [&] {
      text = c.Form()->VersionInfoLabel->text();
      button = c.Form()->ControlButton->geometry();
      caption = c.Form()->ControlButton->text();
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(text, expected);
    QCOMPARE(caption, exitButton ? QStringLiteral("Exit") : texts.GetUpdateButton);
    QCOMPARE(button.right(), 224 + 91 - 1);
    if (exitButton)
      QCOMPARE(button.width(), 91);
    else
      QVERIFY(button.width() > 91);
  }

  void RefusedActionCloses() {
    TWizardCase c;
    c.Control("[update]\nunconditional=1\n[action]\nquery=Go on?\n[files]\ncount=1\n" +
              c.FileSection(1, "a.bin"));
    c.Serve("a.bin", "A");
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    c.ThenAnswerMessage("query", false);
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Messages, QStringList{"Go on?"});
    QVERIFY(!c.Engine.HasMessage(943));
    QVERIFY(!FileExists(c.Target + "a.bin"));
  }

  // An exception in a step is reported; the dialog stays on its page and can go on.
  void ExceptionInAStepKeepsTheDialogOpen() {
    TWizardCase c;
    c.Control("[update]\nunconditional=1\n");
    c.Engine.FileDetailsError = "The file list cannot be read";
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    c.ThenAnswerMessage("error");
    QString page;
    bool normalCursor = false;
    c.Script.Then("still open", c.OnPage("TabSheet2"), [&] {
      page = c.Page();
      normalCursor = QApplication::overrideCursor() == nullptr;
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Messages, QStringList{"The file list cannot be read"});
    QCOMPARE(page, QStringLiteral("TabSheet2"));
    QVERIFY(normalCursor);
  }

  // A button pressed while a step still runs (its events pumped by the engine) does not start
  // a second step inside the first.
  void NoStepInsideARunningStep() {
    TWizardCase c;
    c.Serve("a.bin", "A");
    c.Control("[update]\nunconditional=1\n[files]\ncount=1\n" +
              c.FileSection(1, "a.bin", "descr=Core\n"));
    bool pressed = false;
    c.Engine.OnCustomValidate = [&](TVudIvazoz&, const std::string&, const std::string&, bool&) {
      // The version check runs with the button already enabled.
      pressed = c.Form()->ControlButton->isEnabled();
      c.Click("ControlButton");
    };
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    bool fileListRead = true;
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"), [&] {
      fileListRead = c.Engine.HasMessage(943);
      c.Click("ControlButton");
    });
    c.Script.Then("components", c.OnPage("TabSheet5", "FilesButton"),
                  [&] { c.Wizard.CloseWizard(); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QVERIFY(pressed);
    QVERIFY(!fileListRead);
  }

  // An engine that goes away while the dialog is open is no longer driven.
  void EngineRemovedWhileOpen() {
    TWizardCase c;
    c.Control("[update]\nunconditional=1\n");
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"), [&] {
      c.Wizard.Notification(&c.Engine);
      c.Click("ControlButton");
    });
    c.ThenAnswerMessage("error");
    c.Script.Then("still open", c.OnPage("TabSheet2"), [&] { c.Wizard.CloseWizard(); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Messages, QStringList{"No VudIvazoz component assigned"});
    QVERIFY(!c.Wizard.VudIvazoz);
    QVERIFY(!c.Engine.HasMessage(934) && !c.Engine.HasMessage(943));
    QCOMPARE(c.Engine.StopCount, 0);  // not even the close touches it
  }

  void WhatsNewPage_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");  // what the event handler sets Res to
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("rich");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("raised");
    QTest::newRow("plain, through the event")
        << "line one\r\nline two\r\n" << 1 << "TabSheet3" << false
        << "line one\nline two\nadded by the handler" << 1;
    QTest::newRow("rich, without the event") << KRich << 0 << "TabSheet3" << true
                                             << "Nouveau gras" << 0;
    QTest::newRow("plain, skipped by the handler")
        << "line one\r\n" << 2 << "TabSheet5" << false << "" << 1;
  }
  void WhatsNewPage() {
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(QString, page);
    QFETCH(bool, rich);
    QFETCH(QString, shown);
    QFETCH(int, raised);
    TWizardCase c;
    c.Serve("news.txt", text.toStdString());
    c.Serve("a.bin", "A");
    c.Control("[update]\nunconditional=1\n[whatsnew]\nfile=" + c.Server.Url("/news.txt") +
              "\n[files]\ncount=1\n" + c.FileSection(1, "a.bin", "descr=Tools\n"));
    int events = 0;
    c.Engine.OnDownloadedWhatsNew = [&](TVudIvazoz&, std::vector<std::string>& lines, int& res) {
      ++events;
      QCOMPARE(res, 1);
      lines.push_back("added by the handler");
      res = answer;
    };
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    bool memoShown = false, richShown = false, nextFocused = false;
    QString memoText, richText;
    c.Script.Then("what's new or skipped", c.OnPage(page), [&] {
      TWUWIZ& form = *c.Form();
      memoShown = form.WhatsNewMemo->isVisibleTo(&form);
      richShown = form.WhatsNewRichEdit->isVisibleTo(&form);
      memoText = form.WhatsNewMemo->toPlainText();
      richText = form.WhatsNewRichEdit->toPlainText().trimmed();
      nextFocused = form.NewButton->isEnabled() && form.NewButton->hasFocus();
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(events, raised);
    if (page != QStringLiteral("TabSheet3")) return;
    QCOMPARE(richShown, rich);
    QCOMPARE(memoShown, !rich);
    QCOMPARE(rich ? richText : memoText, shown);
    QVERIFY(nextFocused);
  }

  void LicenceRefused() {
    TWizardCase c;
    c.Serve("eula.txt", "You may use it.\r\n");
    c.Serve("a.bin", "A");
    c.Control("[update]\nunconditional=1\n[eula]\nfile=" + c.Server.Url("/eula.txt") +
              "\n[files]\ncount=1\n" + c.FileSection(1, "a.bin"));
    std::vector<int> given;
    c.Engine.OnDownloadedEULA = [&](TVudIvazoz&, std::vector<std::string>& lines, int& res) {
      given.push_back(res);
      lines.push_back("Signed.");
      res = 1;  // not used
    };
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    QString memo;
    bool buttonEnabled = true;
    c.Script.Then("licence", c.OnPage("TabSheet4"), [&] {
      memo = c.Form()->EULAMemo->toPlainText();
      buttonEnabled = c.Form()->EULAButton->isEnabled();
      c.Click("RNoAccept");
    });
    QString caption;
    c.Script.Then("refused", c.OnPage("TabSheet4", "EULAButton"), [&] {
      caption = c.Form()->EULAButton->text();
      c.Click("EULAButton");
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(given, std::vector<int>{4});
    QCOMPARE(memo, QStringLiteral("You may use it.\nSigned."));
    QVERIFY(!buttonEnabled);
    QCOMPARE(caption, QStringLiteral("Exit"));
    QVERIFY(!c.Engine.HasMessage(943));
    QVERIFY(!FileExists(c.Target + "a.bin"));
  }

  void LicenceAfterWhatsNewAccepted() {
    TWizardCase c;
    c.Serve("news.txt", "News\r\n");
    c.Serve("eula.txt", "Terms\r\n");
    c.Serve("a.bin", "A");
    c.Control("[update]\nunconditional=1\n[whatsnew]\nfile=" + c.Server.Url("/news.txt") +
              "\n[eula]\nfile=" + c.Server.Url("/eula.txt") + "\n[files]\ncount=1\n" +
              c.FileSection(1, "a.bin", "descr=Core\npreselect=0\n"));
    int eulaEvents = 0;
    c.Engine.OnDownloadedEULA = [&](TVudIvazoz&, std::vector<std::string>&, int&) { ++eulaEvents; };
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    c.Script.Then("what's new", c.OnPage("TabSheet3", "NewButton"), [&] { c.Click("NewButton"); });
    QString memo;
    c.Script.Then("licence", c.OnPage("TabSheet4"), [&] {
      memo = c.Form()->EULAMemo->toPlainText();
      c.Click("RAccept");
    });
    QString caption;
    c.Script.Then("accepted", c.OnPage("TabSheet4", "EULAButton"), [&] {
      caption = c.Form()->EULAButton->text();
      c.Click("EULAButton");
    });
    std::vector<TEntry> entries;
    c.Script.Then("components", c.OnPage("TabSheet5", "FilesButton"), [&] {
      entries = Entries(*c.Form()->CheckListBox1);
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(eulaEvents, 0);
    QCOMPARE(memo, QStringLiteral("Terms"));
    QCOMPARE(caption, QStringLiteral("Next"));
    QVERIFY(entries == (std::vector<TEntry>{{"Core", false, 0, true}}));
  }

  void RichLicence() {
    TWizardCase c;
    c.Serve("eula.rtf", KRich);
    c.Control("[update]\nunconditional=1\n[eula]\nfile=" + c.Server.Url("/eula.rtf") + "\n");
    int eulaEvents = 0;
    c.Engine.OnDownloadedEULA = [&](TVudIvazoz&, std::vector<std::string>&, int&) { ++eulaEvents; };
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    bool memoShown = true, richShown = false;
    QString text;
    c.Script.Then("licence", c.OnPage("TabSheet4"), [&] {
      TWUWIZ& form = *c.Form();
      memoShown = form.EULAMemo->isVisibleTo(&form);
      richShown = form.EULARichEdit->isVisibleTo(&form);
      text = form.EULARichEdit->toPlainText().trimmed();
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QVERIFY(!memoShown && richShown);
    QCOMPARE(text, QStringLiteral("Nouveau gras"));
    QCOMPARE(eulaEvents, 0);
  }

  // Four records: a hidden one first, a mandatory one without description or preselection,
  // one not preselected and a plain one. Next keeps what is ticked, and every hidden file.
  void ComponentLists_data() {
    QTest::addColumn<QString>("texts");  // "", "news", "eula" or "news+eula"
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<bool>>("ticks");
    QTest::addColumn<QStringList>("fetched");
    const QStringList all{"h.bin", "m.bin", "t.bin", "d.bin"};
    QTest::newRow("from the version page")
        << "" << QStringList{"Application", "Tools", "Docs"} << QList<bool>{true, true, true}
        << all;
    QTest::newRow("from the what's-new page")
        << "news" << QStringList{"", "Tools", "Docs"} << QList<bool>{true, true, true} << all;
    QTest::newRow("from the licence page")
        << "eula" << QStringList{"", "Tools", "Docs"} << QList<bool>{false, false, true}
        << QStringList{"h.bin", "d.bin"};
  }
  void ComponentLists() {
    QFETCH(QString, texts);
    QFETCH(QStringList, shown);
    QFETCH(QList<bool>, ticks);
    QFETCH(QStringList, fetched);
    TWizardCase c;
    for (const char* name : {"h.bin", "m.bin", "t.bin", "d.bin"}) c.Serve(name, name);
    c.Serve("news.txt", "News\r\n");
    c.Serve("eula.txt", "Terms\r\n");
    std::string control = "[update]\nunconditional=1\n";
    if (texts.contains("news"))
      control += "[whatsnew]\nfile=" + c.Server.Url("/news.txt") + "\n";
    if (texts.contains("eula")) control += "[eula]\nfile=" + c.Server.Url("/eula.txt") + "\n";
    control += "[files]\ncount=4\n" + c.FileSection(1, "h.bin", "descr=Hidden\nhidden=1\n") +
               c.FileSection(2, "m.bin", "mandatory=1\npreselect=0\n") +
               c.FileSection(3, "t.bin", "descr=Tools\npreselect=0\n") +
               c.FileSection(4, "d.bin", "descr=Docs\n");
    c.Control(control);
    int successes = 0;
    c.Engine.OnSuccess = [&](TVudIvazoz&) { ++successes; };

    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    if (texts.contains("news"))
      c.Script.Then("what's new", c.OnPage("TabSheet3", "NewButton"), [&] { c.Click("NewButton"); });
    if (texts.contains("eula")) {
      c.Script.Then("licence", c.OnPage("TabSheet4"), [&] { c.Click("RAccept"); });
      c.Script.Then("accepted", c.OnPage("TabSheet4", "EULAButton"), [&] { c.Click("EULAButton"); });
    }
    std::vector<TEntry> entries;
    c.Script.Then("components", c.OnPage("TabSheet5", "FilesButton"), [&] {
      entries = Entries(*c.Form()->CheckListBox1);
      c.Click("FilesButton");
    });
    QString finish, hint;
    c.Script.Then("finish", c.OnPage("TabSheet7", "RestartButton"), [&] {
      finish = c.Form()->RestartButton->text();
      hint = c.Form()->Label8->text();
      c.Click("RestartButton");
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(int(entries.size()), shown.size());
    for (int k = 0; k < shown.size(); ++k) {
      QCOMPARE(entries[k].Text, shown[k]);
      QCOMPARE(entries[k].Ticked, ticks[k]);
      QCOMPARE(entries[k].Record, k + 1);  // the hidden record before them is skipped
      QCOMPARE(entries[k].Enabled, k != 0);
    }
    for (const char* name : {"h.bin", "m.bin", "t.bin", "d.bin"})
      QCOMPARE(FileExists(c.Target + name), fetched.contains(QLatin1String(name)));
    QCOMPARE(ReadFileText(c.Target + "d.bin"), std::string("d.bin"));
    QCOMPARE(finish, QStringLiteral("Exit"));
    QVERIFY(hint.isEmpty());
    QCOMPARE(successes, 1);
  }

  // What the list holds and what the user leaves ticked decide between the components page,
  // the download at once and the "no files" message.
  void FileListEdges_data() {
    QTest::addColumn<QString>("files");  // "h" hidden, "v" visible
    QTest::addColumn<bool>("untickAll");
    QTest::addColumn<bool>("componentsPage");
    QTest::addColumn<bool>("noFilesMessage");
    QTest::addColumn<QStringList>("fetched");
    QTest::newRow("no file at all") << "" << false << false << true << QStringList{};
    QTest::newRow("only hidden files") << "hh" << false << false << false
                                       << QStringList{"f1.bin", "f2.bin"};
    QTest::newRow("all unticked, a hidden one stays")
        << "hv" << true << true << false << QStringList{"f1.bin"};
    QTest::newRow("all unticked, nothing stays") << "vv" << true << true << true << QStringList{};
  }
  void FileListEdges() {
    QFETCH(QString, files);
    QFETCH(bool, untickAll);
    QFETCH(bool, componentsPage);
    QFETCH(bool, noFilesMessage);
    QFETCH(QStringList, fetched);
    TWizardCase c;
    std::string sections = "[files]\ncount=" + std::to_string(files.size()) + "\n";
    for (int k = 0; k < files.size(); ++k) {
      const std::string name = "f" + std::to_string(k + 1) + ".bin";
      c.Serve(name, name);
      sections += c.FileSection(k + 1, name, files[k] == 'h' ? "hidden=1\n" : "descr=Visible\n");
    }
    c.Control("[update]\nunconditional=1\n" + sections);
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    if (componentsPage)
      c.Script.Then("components", c.OnPage("TabSheet5", "FilesButton"), [&] {
        QListWidget& list = *c.Form()->CheckListBox1;
        for (int k = 0; untickAll && k < list.count(); ++k) list.item(k)->setCheckState(Qt::Unchecked);
        c.Click("FilesButton");
      });
    if (noFilesMessage)
      c.ThenAnswerMessage("no files");
    else
      c.Script.Then("finish", c.OnPage("TabSheet7", "RestartButton"),
                    [&] { c.Click("RestartButton"); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Messages, noFilesMessage ? QStringList{"No files found for update"} : QStringList{});
    for (int k = 0; k < files.size(); ++k) {
      const std::string name = "f" + std::to_string(k + 1) + ".bin";
      QCOMPARE(FileExists(c.Target + name), fetched.contains(Text(name)));
    }
  }

  // "View in Notepad" saves the memo into the staging folder and has the desktop open it; it
  // never writes through a link planted there.
  void ViewInNotepad() {
    TWizardCase c;
    TFakeDesktop desktop;
    c.Serve("news.txt", "line one\r\nline two\r\n");
    c.Serve("eula.txt", "Terms\r\n");
    c.Control("[update]\nunconditional=1\n[whatsnew]\nfile=" + c.Server.Url("/news.txt") +
              "\n[eula]\nfile=" + c.Server.Url("/eula.txt") + "\n");
    const std::string staging = c.Engine.WinTempDir();
    const std::string victim = TestRoot() + "/victim.txt";
    WriteFileText(victim, "keep");
    TVudIvazozWizardFrench french;
    french.WhatsNewPopup = QStringLiteral("Voir dans le bloc notes");
    c.Wizard.Language = &french;

    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    QString popups;
    c.Script.Then("what's new", c.OnPage("TabSheet3", "NewButton"), [&] {
      popups = c.Form()->ViewinNotepad1->text() + "|" + c.Form()->ViewinNotepad2->text();
      c.Form()->ViewinNotepad1->trigger();
    });
    c.Script.Then("opened", [&] { return FileExists(desktop.Opened); },
                  [&] { c.Click("NewButton"); });
    bool planted = false;
    c.Script.Then("licence", c.OnPage("TabSheet4"), [&] {
      // Planted once the licence text, fetched into the same folder, has gone again.
      planted = symlink(victim.c_str(), (staging + "eula.txt").c_str()) == 0;
      c.Form()->ViewinNotepad2->trigger();
    });
    c.ThenAnswerMessage("cannot write through the link");
    QString pageAfterError;
    c.Script.Then("still open", c.OnPage("TabSheet4"), [&] {
      pageAfterError = c.Page();
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QVERIFY(planted);
    QCOMPARE(popups, QStringLiteral("Voir dans le bloc notes|View in Notepad"));
    QCOMPARE(ReadFileText(staging + "whatsnew.txt"), std::string("line one\r\nline two\r\n"));
    QCOMPARE(ReadFileText(desktop.Opened), staging + "whatsnew.txt");
    QCOMPARE(c.Messages.size(), 1);
    QVERIFY(c.Messages[0].contains(Text(staging + "eula.txt")));
    QCOMPARE(ReadFileText(victim), std::string("keep"));
    QCOMPARE(pageAfterError, QStringLiteral("TabSheet4"));
  }

  void ViewInNotepadOfRichTextSavesTheEmptyView() {
    TWizardCase c;
    TFakeDesktop desktop;
    c.Serve("news.rtf", KRich);
    c.Control("[update]\nunconditional=1\n[whatsnew]\nfile=" + c.Server.Url("/news.rtf") + "\n");
    const std::string saved = c.Engine.WinTempDir() + "whatsnew.txt";
    WriteFileText(saved, "an older text");
    c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
    c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                  [&] { c.Click("ControlButton"); });
    c.Script.Then("what's new", c.OnPage("TabSheet3", "NewButton"),
                  [&] { c.Form()->ViewinNotepad1->trigger(); });
    c.Script.Then("opened", [&] { return FileExists(desktop.Opened); },
                  [&] { c.Wizard.CloseWizard(); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(ReadFileText(saved), std::string());
  }
};

}  // namespace vyn

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  QApplication app(argc, argv);
  vyn::TWizardPagesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "wizard_pages_test.moc"

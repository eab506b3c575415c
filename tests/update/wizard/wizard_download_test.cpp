// The wizard's download page and what follows it, against a real server: a failed download,
// Cancel and a close request while a slow answer arrives, the restart paths, AutoRun, and a
// program folder this user cannot write.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "WizardHarness.h"
#include "platform/Folders.h"
#include "update/wizard/FolderRightsTexts.h"
#include "update/wizard/WizardLanguage.h"

namespace vyn {

namespace {

using test::ReadFileText;
using test::TestRoot;
using test::TWizardCase;

// Holds a server's answer back until the test lets it go on.
class TGate {
public:
  void Wait() {
    std::unique_lock<std::mutex> lock(FMutex);
    // Bounded, so that a failing test never leaves the server thread waiting.
    FOpened.wait_for(lock, std::chrono::seconds(60), [this] { return FOpen; });
  }
  void Open() {
    {
      const std::lock_guard<std::mutex> lock(FMutex);
      FOpen = true;
    }
    FOpened.notify_all();
  }

private:
  std::mutex FMutex;
  std::condition_variable FOpened;
  bool FOpen = false;
};

constexpr size_t KSlowSize = 64 * 1024;
constexpr size_t KFirstPart = 16 * 1024;

// /slow.bin: the first part at once, the rest once the gate opens.
void ServeSlowly(TWizardCase& c, TGate& gate) {
  c.Handle("/slow.bin", [&gate](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(
        KSlowSize, "application/octet-stream",
        [&gate](size_t offset, size_t length, httplib::DataSink& sink) {
          if (offset >= KFirstPart) gate.Wait();
          const size_t end = offset < KFirstPart ? KFirstPart : KSlowSize;
          const std::string chunk(std::min(length, end - offset), 'x');
          sink.write(chunk.data(), chunk.size());
          return true;
        });
  });
}

// The download page shows a transfer under way.
std::function<bool()> Downloading(const TWizardCase& c) {
  return [&c] {
    return c.OnPage("TabSheet6")() && c.Form()->FileProgress->value() > 0 &&
           c.Form()->FileLabel->text() == QStringLiteral("slow.bin");
  };
}

void StartAndGetUpdate(TWizardCase& c) {
  c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&c] { c.Click("StartButton"); });
  c.Script.Then("version page", c.OnPage("TabSheet2", "ControlButton"),
                [&c] { c.Click("ControlButton"); });
}

}  // namespace

class TWizardDownloadTest : public QObject {
  Q_OBJECT
private slots:
  void FailedDownloadShowsTheMessageAndCloses_data() {
    QTest::addColumn<QString>("stored");  // the about box's value, or none
    QTest::addColumn<QString>("message");
    QTest::newRow("French set from code") << QString() << "Failed to download updates";
    QTest::newRow("French set with the about box's text")
        << "Erreur de téléchargement de la mise à jour"
        << "Erreur de téléchargement de la mise à jour";
  }
  void FailedDownloadShowsTheMessageAndCloses() {
    QFETCH(QString, stored);
    QFETCH(QString, message);
    TWizardCase c;  // missing.bin is not on the server
    c.Control("[update]\nunconditional=1\n[files]\ncount=1\n" +
              c.FileSection(1, "missing.bin", "hidden=1\n"));
    TVudIvazozWizardFrench french;
    if (!stored.isEmpty()) french.FailedDownload = stored;
    c.Wizard.Language = &french;
    int successes = 0;
    c.Engine.OnSuccess = [&](TVudIvazoz&) { ++successes; };
    StartAndGetUpdate(c);
    c.ThenAnswerMessage("failed download");
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Messages, QStringList{message});
    QCOMPARE(successes, 0);
    QVERIFY(c.Engine.Cancelled());
  }

  void CancelStopsTheTransfer() {
    TGate gate;
    TWizardCase c;
    struct TOpenAtEnd {
      TGate& Gate;
      ~TOpenAtEnd() { Gate.Open(); }
    } openAtEnd{gate};
    ServeSlowly(c, gate);
    c.Control("[update]\nunconditional=1\n[files]\ncount=1\n" +
              c.FileSection(1, "slow.bin", "descr=Big\nfilesize=65536\n"));
    int successes = 0;
    c.Engine.OnSuccess = [&](TVudIvazoz&) { ++successes; };
    StartAndGetUpdate(c);
    c.Script.Then("components", c.OnPage("TabSheet5", "FilesButton"), [&] { c.Click("FilesButton"); });
    int total = 0;
    c.Script.Then("downloading", Downloading(c), [&] {
      total = c.Form()->TotalProgress->value();
      c.Click("CancelButton");
      gate.Open();
    });
    c.ThenAnswerMessage("failed download");
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QVERIFY(total > 0);
    QCOMPARE(c.Messages, QStringList{"Failed to download updates"});
    QVERIFY(c.Engine.HasMessage(964));
    QVERIFY(!FileExists(c.Target + "slow.bin"));
    QCOMPARE(successes, 0);
  }

  // A close asked for while the download runs waits for the download to end.
  void CloseDuringTheDownloadWaitsForIt() {
    TGate gate;
    TWizardCase c;
    struct TOpenAtEnd {
      TGate& Gate;
      ~TOpenAtEnd() { Gate.Open(); }
    } openAtEnd{gate};
    ServeSlowly(c, gate);
    c.Control("[update]\nunconditional=1\n[files]\ncount=1\n" +
              c.FileSection(1, "slow.bin", "hidden=1\n"));
    int successes = 0;
    bool openAfterTheRequest = false;
    c.Engine.OnSuccess = [&](TVudIvazoz&) {
      ++successes;
      openAfterTheRequest = c.Form() && c.Form()->isVisible();
    };
    StartAndGetUpdate(c);
    c.Script.Then("downloading", Downloading(c), [&] {
      c.Form()->close();  // the close box
      gate.Open();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(successes, 1);
    QVERIFY(openAfterTheRequest);
    QCOMPARE(ReadFileText(c.Target + "slow.bin"), std::string(KSlowSize, 'x'));
    QVERIFY(c.Messages.isEmpty());
    QVERIFY(c.Engine.StopCount >= 2);  // after the download, and again in the close query
  }

  void Restart_data() {
    QTest::addColumn<bool>("silent");
    QTest::newRow("silent: at once from the download page") << true;
    QTest::newRow("on the finish page") << false;
  }
  void Restart() {
    QFETCH(bool, silent);
    TWizardCase c;
    c.Serve("app.bin", "new program");
    c.Control("[update]\nunconditional=1\n[application]\nappupdate=1\nappname=" + TestRoot() +
              "/app\nappcomps=app.bin\nsilentrestart=" + (silent ? "1" : "0") +
              "\n[files]\ncount=1\n" + c.FileSection(1, "app.bin", "hidden=1\n"));
    StartAndGetUpdate(c);
    QString caption, hint;
    if (!silent)
      c.Script.Then("finish", c.OnPage("TabSheet7", "RestartButton"), [&] {
        caption = c.Form()->RestartButton->text();
        hint = c.Form()->Label8->text();
        c.Click("RestartButton");
      });
    c.Script.Then("restart asked for", [&] { return !c.Restarts.empty(); },
                  [&] { c.Wizard.CloseWizard(); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Restarts, std::vector<std::string>{silent ? "TabSheet6" : "TabSheet7"});
    if (!silent) {
      QCOMPARE(caption, QStringLiteral("Restart"));
      QCOMPARE(hint, QStringLiteral("Press restart to start the updated application."));
    }
    // An application component waits in the staging folder for the updater.
    QVERIFY(c.Engine.HasMessage(962));
    QVERIFY(!FileExists(c.Target + "app.bin"));
  }

  // AutoRun presses every button itself but the licence choice, and disables Cancel.
  void AutoRunWaitsOnlyForTheLicence() {
    TWizardCase c;
    c.Serve("news.txt", "News\r\n");
    c.Serve("eula.txt", "Terms\r\n");
    c.Serve("a.bin", "A");
    c.Control("[update]\nunconditional=1\n[whatsnew]\nfile=" + c.Server.Url("/news.txt") +
              "\n[eula]\nfile=" + c.Server.Url("/eula.txt") + "\n[files]\ncount=1\n" +
              c.FileSection(1, "a.bin", "descr=Core\n"));
    c.Wizard.AutoRun = true;
    c.Wizard.AutoStart = true;
    QString downloadPage;
    bool cancelEnabled = true;
    c.Engine.OnFileDownloaded = [&](TVudIvazoz&, const std::string&) {
      downloadPage = c.Page();
      cancelEnabled = c.Form()->CancelButton->isEnabled();
    };
    QString caption;
    bool chosen = true;
    c.Script.Then("licence", c.OnPage("TabSheet4", "EULAButton"), [&] {
      caption = c.Form()->EULAButton->text();
      chosen = c.Form()->RAccept->isChecked() || c.Form()->RNoAccept->isChecked();
      // Pressing the button without a choice does nothing.
      c.Click("EULAButton");
    });
    c.Script.Then("still waiting", c.OnPage("TabSheet4", "EULAButton"), [&] {
      c.Click("RAccept");
      c.Click("EULAButton");
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(caption, QStringLiteral("Next"));
    QVERIFY(!chosen);
    QCOMPARE(downloadPage, QStringLiteral("TabSheet6"));
    QVERIFY(!cancelEnabled);
    QCOMPARE(ReadFileText(c.Target + "a.bin"), std::string("A"));
    QCOMPARE(c.Engine.StartCount, 1);
    QVERIFY(c.Restarts.empty());
  }

  void AFolderThisUserCannotWriteIsExplainedBeforeAnyDownload_data() {
    QTest::addColumn<QString>("elevator");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("requests");  // of the file
    QTest::newRow("no elevator: the package manager's way, and the wizard closes")
        << QString() << true << PackagedUpdateNote() << 0;
    QTest::newRow("elevator, declined") << "/usr/bin/pkexec" << false << ElevatedUpdateQuestion()
                                        << 0;
    QTest::newRow("elevator, accepted: the download and the restart follow")
        << "/usr/bin/pkexec" << true << ElevatedUpdateQuestion() << 1;
  }
  void AFolderThisUserCannotWriteIsExplainedBeforeAnyDownload() {
    QFETCH(QString, elevator);
    QFETCH(bool, yes);
    QFETCH(QString, message);
    QFETCH(int, requests);
    TWizardCase c;
    c.Engine.FolderRights = TAppFolderRights{false, elevator.toStdString()};
    std::atomic<int> served{0};
    c.Handle("/app.bin", [&served](const httplib::Request&, httplib::Response& res) {
      ++served;
      res.set_content("new program", "application/octet-stream");
    });
    c.Control("[update]\nunconditional=1\n[application]\nappupdate=1\nappname=" + TestRoot() +
              "/app\nappcomps=app.bin\nsilentrestart=1\n[files]\ncount=1\n" +
              c.FileSection(1, "app.bin", "hidden=1\n"));
    StartAndGetUpdate(c);
    QStringList buttons;
    c.Script.Then("folder message", c.MessageShown(), [&] {
      for (QAbstractButton* button :
           qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->buttons())
        buttons << button->text();
      c.AnswerMessage(yes);
    });
    if (requests > 0)
      c.Script.Then("restart asked for", [&] { return !c.Restarts.empty(); },
                    [&] { c.Wizard.CloseWizard(); });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(c.Messages, QStringList{message});
    if (!elevator.isEmpty()) {
      buttons.sort();
      QCOMPARE(buttons, (QStringList{"Non", "Oui"}));
    }
    QCOMPARE(served.load(), requests);
    QCOMPARE(c.Restarts.size(), size_t(requests));
  }
};

}  // namespace vyn

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  QApplication app(argc, argv);
  vyn::TWizardDownloadTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "wizard_download_test.moc"

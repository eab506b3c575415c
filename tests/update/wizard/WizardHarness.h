#pragma once
// Drives the real update wizard in a test: an engine on a real HTTP server, and a script of
// steps played against the modal dialog while Execute runs.
//
//   TWizardCase c;
//   c.Control("[update]\nunconditional=1\n");
//   c.Script.Then("welcome", c.OnPage("TabSheet1", "StartButton"), [&] { c.Click("StartButton"); });
//   c.Run();  // Execute(false); then c.Script.Done() tells whether every step was reached

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "update/VudIvazoz.h"
#include "update/ui/QtUserInterface.h"
#include "update/wizard/VudIvazozWizard.h"
#include "update/wizard/WuWizForm.h"

class QAbstractButton;

namespace vyn::test {

// The engine the wizard drives: it can refuse to connect, fail reading the file list, and
// counts the connection calls.
class TWizardEngine : public TVudIvazoz {
public:
  bool RefuseConnection = false;
  std::string FileDetailsError;  // not empty: GetFileDetails throws it
  int StartCount = 0;
  int StopCount = 0;
  std::vector<int> MessageIds;
  // Stands in for the check of the application folder when set: the test runs as root, for
  // whom every folder is writable.
  std::optional<TAppFolderRights> FolderRights;

  TWizardEngine();
  TAppFolderRights AppFolderRights() const override;
  int StartConnection() override;
  int StopConnection() override;
  int GetFileDetails() override;
  bool HasMessage(int id) const;
};

// Steps played against the dialog: each waits until its condition holds, then acts. The action
// is queued, so the polling goes on while the handler it starts runs (a download, say).
class TWizardScript : public QObject {
public:
  using TCondition = std::function<bool()>;
  using TAction = std::function<void()>;

  void Then(const std::string& name, TCondition condition, TAction action);
  void Start();
  void Stop();
  bool Done() const { return FNext >= FSteps.size() && !FQueued; }
  // The name of the first step not reached.
  QString Pending() const;
  // Called once when no further step has been reached for a long while.
  std::function<void()> OnStuck;

private:
  struct TStep {
    std::string Name;
    TCondition Condition;
    TAction Action;
  };
  void Poll();

  std::vector<TStep> FSteps;
  size_t FNext = 0;
  bool FQueued = false;
  QTimer FTimer;
  QElapsedTimer FStuck;
};

// One wizard run in its own folder, with its own server (started at once), engine and wizard.
class TWizardCase {
public:
  TWizardCase();
  ~TWizardCase();

  TIsolatedEnvironment Environment;
  TTestHttpServer Server;
  TQtUserInterface Ui;
  TWizardEngine Engine;
  TVudIvazozWizard Wizard;
  TWizardScript Script;
  std::string Target;                 // the files' target folder, with a trailing '/'
  QStringList Messages;               // texts of the message boxes the script answered
  std::vector<std::string> Restarts;  // the page shown each time the engine was asked to restart

  // The control file the server gives at /control.inf; none (404) until set.
  void Control(const std::string& text);
  // A [fileN] section for a file served at /<name>, stored in Target.
  std::string FileSection(int number, const std::string& name, const std::string& extra = "");
  // Serves `body` at /<name>, or answers `path` with `handler`; anything else is 404.
  void Serve(const std::string& name, const std::string& body);
  void Handle(const std::string& path, httplib::Server::Handler handler);

  // Runs Execute(false) and returns when the dialog has closed.
  void Run();

  TWUWIZ* Form() const { return Wizard.Wizard(); }
  template <typename T>
  T* Find(const char* name) const {
    return Form() ? Form()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  }
  QString Page() const;
  // The dialog shows `page` and `button` (on it) is enabled.
  TWizardScript::TCondition OnPage(const QString& page, const char* button = nullptr) const;
  // A message box is showing.
  TWizardScript::TCondition MessageShown() const;
  void Click(const char* button) const;
  // Records the showing message box's text and presses Yes (or No), else its OK button.
  void AnswerMessage(bool yes = true);
  // Answers the message box, then the dialog must close by itself.
  void ThenAnswerMessage(const std::string& name, bool yes = true);

private:
  std::mutex FMutex;
  std::map<std::string, httplib::Server::Handler> FHandlers;
};

}  // namespace vyn::test

#include "WizardHarness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <algorithm>
#include <stdexcept>

#include "platform/Folders.h"

namespace vyn::test {

namespace {
constexpr int KPollMs = 20;
// A script that reaches no further step for this long has failed: the dialog is closed so that
// the test reports the step instead of hanging.
constexpr qint64 KStuckMs = 30000;
}  // namespace

// ---- TWizardEngine ----

TWizardEngine::TWizardEngine() {
  OnNumberedStatus = [this](TVudIvazoz&, int id, const std::string&, int, int) {
    MessageIds.push_back(id);
  };
}

int TWizardEngine::StartConnection() {
  ++StartCount;
  if (RefuseConnection) return wrNotConnected;
  return TVudIvazoz::StartConnection();
}

int TWizardEngine::StopConnection() {
  ++StopCount;
  return TVudIvazoz::StopConnection();
}

int TWizardEngine::GetFileDetails() {
  if (!FileDetailsError.empty()) throw std::runtime_error(FileDetailsError);
  return TVudIvazoz::GetFileDetails();
}

TAppFolderRights TWizardEngine::AppFolderRights() const {
  return FolderRights ? *FolderRights : TVudIvazoz::AppFolderRights();
}

bool TWizardEngine::HasMessage(int id) const {
  return std::find(MessageIds.begin(), MessageIds.end(), id) != MessageIds.end();
}

// ---- TWizardScript ----

void TWizardScript::Then(const std::string& name, TCondition condition, TAction action) {
  FSteps.push_back({name, std::move(condition), std::move(action)});
}

void TWizardScript::Start() {
  FTimer.setInterval(KPollMs);
  connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
  FStuck.start();
  FTimer.start();
}

void TWizardScript::Stop() { FTimer.stop(); }

QString TWizardScript::Pending() const {
  if (FNext >= FSteps.size()) return QStringLiteral("every step was reached");
  return QStringLiteral("step not reached: ") + QString::fromStdString(FSteps[FNext].Name);
}

void TWizardScript::Poll() {
  if (FQueued || FNext >= FSteps.size()) return;
  if (FStuck.elapsed() > KStuckMs) {
    FTimer.stop();
    if (OnStuck) OnStuck();
    return;
  }
  if (!FSteps[FNext].Condition()) return;
  FQueued = true;
  const size_t step = FNext;
  QTimer::singleShot(0, this, [this, step] {
    ++FNext;
    FQueued = false;
    FStuck.restart();
    FSteps[step].Action();
  });
}

// ---- TWizardCase ----

TWizardCase::TWizardCase() {
  Target = TestRoot() + "/target/";
  ForceDirectories(Target);
  // One route for every address, so that the files can be set up once the port is known.
  Server.Server().Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
    httplib::Server::Handler handler;
    {
      const std::lock_guard<std::mutex> lock(FMutex);
      const auto found = FHandlers.find(req.path);
      if (found != FHandlers.end()) handler = found->second;
    }
    if (handler)
      handler(req, res);
    else
      res.status = 404;
  });
  Server.Start();
  Engine.URL = Server.Url("/control.inf");
  Engine.SetUserInterface(&Ui);
  // Nothing real is started: a restart is only recorded.
  Engine.OnAppRestart = [this](TVudIvazoz&, bool& Allow) {
    Restarts.push_back(Page().toStdString());
    Allow = false;
  };
  Engine.OnAppDoClose = [](TVudIvazoz&) {};
  Wizard.VudIvazoz = &Engine;
  Script.OnStuck = [this] {
    while (QWidget* modal = QApplication::activeModalWidget()) {
      if (modal == Form()) break;
      modal->close();
    }
    Wizard.CloseWizard();
  };
}

TWizardCase::~TWizardCase() { Server.Stop(); }

void TWizardCase::Control(const std::string& text) { Serve("control.inf", text); }

void TWizardCase::Serve(const std::string& name, const std::string& body) {
  Handle("/" + name, [body](const httplib::Request&, httplib::Response& res) {
    res.set_content(body, "application/octet-stream");
  });
}

void TWizardCase::Handle(const std::string& path, httplib::Server::Handler handler) {
  const std::lock_guard<std::mutex> lock(FMutex);
  FHandlers[path] = std::move(handler);
}

std::string TWizardCase::FileSection(int number, const std::string& name,
                                     const std::string& extra) {
  return "[file" + std::to_string(number) + "]\nurl=" + Server.Url("/" + name) +
         "\ntargetdir=" + Target + "\n" + extra;
}

void TWizardCase::Run() {
  Script.Start();
  Wizard.Execute(false);
  Script.Stop();
}

QString TWizardCase::Page() const {
  if (!Form()) return QString();
  return Form()->PageControl1->currentWidget()->objectName();
}

TWizardScript::TCondition TWizardCase::OnPage(const QString& page, const char* button) const {
  return [this, page, button] {
    if (!Form() || !Form()->isVisible() || Page() != page) return false;
    if (QApplication::activeModalWidget() != Form()) return false;
    if (!button) return true;
    const auto* control = Find<QAbstractButton>(button);
    return control && control->isEnabled();
  };
}

TWizardScript::TCondition TWizardCase::MessageShown() const {
  return [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; };
}

void TWizardCase::Click(const char* button) const {
  if (auto* control = Find<QAbstractButton>(button)) control->click();
}

void TWizardCase::AnswerMessage(bool yes) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return;
  Messages << box->text();
  QAbstractButton* answer = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
  if (!answer) answer = box->button(QMessageBox::Ok);
  if (answer)
    answer->click();
  else
    box->close();
}

void TWizardCase::ThenAnswerMessage(const std::string& name, bool yes) {
  Script.Then(name, MessageShown(), [this, yes] { AnswerMessage(yes); });
}

}  // namespace vyn::test

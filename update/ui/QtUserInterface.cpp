#include "update/ui/QtUserInterface.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "update/ui/EULADialog.h"
#include "update/ui/LoginForm.h"
#include "update/ui/ProgressForm.h"
#include "update/ui/StatusWindow.h"
#include "update/ui/WhatsNewDialog.h"

namespace vyn {

namespace {
QMessageBox::StandardButtons ToButtons(TMessageButtons buttons) {
  switch (buttons) {
    case TMessageButtons::mbOK: return QMessageBox::Ok;
    case TMessageButtons::mbOKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TMessageButtons::mbYesNo: return QMessageBox::Yes | QMessageBox::No;
    case TMessageButtons::mbYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(TMessageKind kind) {
  switch (kind) {
    case TMessageKind::mkInformation: return QMessageBox::Information;
    case TMessageKind::mkWarning: return QMessageBox::Warning;
    case TMessageKind::mkError: return QMessageBox::Critical;
    case TMessageKind::mkQuestion: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

TMessageResult ToResult(int button) {
  switch (button) {
    case QMessageBox::Ok: return TMessageResult::mrOK;
    case QMessageBox::Cancel: return TMessageResult::mrCancel;
    case QMessageBox::Yes: return TMessageResult::mrYes;
    case QMessageBox::No: return TMessageResult::mrNo;
    default: return TMessageResult::mrNone;
  }
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The control file's line breaks are carriage returns; a label breaks lines at line feeds.
std::string LineFeeds(std::string text) {
  size_t at = 0;
  while ((at = text.find('\r', at)) != std::string::npos) {
    if (at + 1 < text.size() && text[at + 1] == '\n')
      text.erase(at, 1);
    else
      text[at++] = '\n';
  }
  return text;
}
}  // namespace

TQtUserInterface::TQtUserInterface(QWidget* owner) : FOwner(owner) {}

TQtUserInterface::~TQtUserInterface() = default;

void TQtUserInterface::RunOnUiThread(const std::function<void()>& work) {
  if (QThread::currentThread() == thread()) {
    work();
    return;
  }
  QMetaObject::invokeMethod(this, [&work] { work(); }, Qt::BlockingQueuedConnection);
}

void TQtUserInterface::PostToUiThread(std::function<void()> work) {
  // Without an application there is no event loop that would ever run it.
  if (!QCoreApplication::instance()) {
    work();
    return;
  }
  QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void TQtUserInterface::TerminateApplication() {
  // Queued, so the loops end after the event being handled, from any thread. exit() rather
  // than quit(): quit() first asks every window to close, and a modal dialog still open (the
  // about box under the wizard) would cancel it, leaving the updater waiting.
  if (QCoreApplication* application = QCoreApplication::instance())
    QMetaObject::invokeMethod(application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

TMessageResult TQtUserInterface::MessageBox(const std::string& text, const std::string& caption,
                                            TMessageKind kind, TMessageButtons buttons) {
  TMessageResult result = TMessageResult::mrNone;
  RunOnUiThread([&] {
    QMessageBox box(ToIcon(kind), Q(caption), Q(LineFeeds(text)), ToButtons(buttons), FOwner);
    result = ToResult(box.exec());
  });
  return result;
}

bool TQtUserInterface::ShowWhatsNewDialog(const std::string& caption, const std::string& text,
                                          bool richText, const std::string& okCaption,
                                          const std::string& cancelCaption) {
  bool accepted = false;
  RunOnUiThread([&] {
    TWhatsNewDialog dialog(Q(caption), text, richText, Q(okCaption), Q(cancelCaption), FOwner);
    accepted = dialog.exec() == QDialog::Accepted;
  });
  return accepted;
}

bool TQtUserInterface::ShowEULADialog(const std::string& caption, const std::string& text,
                                      bool richText, const std::string& okCaption,
                                      const std::string& acceptCaption,
                                      const std::string& refuseCaption) {
  bool accepted = false;
  RunOnUiThread([&] {
    TEULADialog dialog(Q(caption), text, richText, Q(okCaption), Q(acceptCaption),
                       Q(refuseCaption), FOwner);
    dialog.exec();
    accepted = dialog.Accepted();
  });
  return accepted;
}

bool TQtUserInterface::ShowLoginDialog(const std::string& caption, std::string& userName,
                                       std::string& password) {
  bool ok = false;
  RunOnUiThread([&] { ok = vyn::ShowLoginDialog(caption, userName, password); });
  return ok;
}

TProgressForm* TQtUserInterface::ProgressForm() const { return FProgressForm.get(); }

TProgressForm& TQtUserInterface::EnsureProgressForm() {
  if (!FProgressForm) FProgressForm = std::make_unique<TProgressForm>(FOwner);
  return *FProgressForm;
}

void TQtUserInterface::ProgressShow() {
  RunOnUiThread([this] { EnsureProgressForm().show(); });
}

void TQtUserInterface::ProgressUpdate(const std::string& fileLabel, long long pos,
                                      long long size) {
  RunOnUiThread([&] { EnsureProgressForm().SetProgress(Q(fileLabel), pos, size); });
}

void TQtUserInterface::ProgressHide() {
  RunOnUiThread([this] {
    if (FProgressForm) FProgressForm->hide();
  });
}

void TQtUserInterface::ShowHTMLDialog(const std::string& address) {
  RunOnUiThread([&] {
    QDialog dialog(FOwner);
    dialog.resize(640, 480);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QWebEngineView(&dialog);
    QObject::connect(view, &QWebEngineView::titleChanged, &dialog, &QDialog::setWindowTitle);
    view->load(QUrl::fromUserInput(Q(address)));
    layout->addWidget(view);
    dialog.exec();
  });
}

TStatusWindow* TQtUserInterface::StatusWindow() const { return FStatusWindow.get(); }

void TQtUserInterface::StatusWindowShow(const std::string& caption, const std::string& message) {
  RunOnUiThread([&] {
    if (!FStatusWindow) FStatusWindow = std::make_unique<TStatusWindow>(FOwner);
    FStatusWindow->SetTexts(Q(caption), Q(message));
    FStatusWindow->show();
  });
}

void TQtUserInterface::StatusWindowHide() {
  RunOnUiThread([this] {
    if (FStatusWindow) FStatusWindow->hide();
  });
}

void TQtUserInterface::ProcessPendingEvents() {
  // A worker has nothing to pump: the user-interface thread runs its own event loop.
  if (QThread::currentThread() == thread()) QCoreApplication::processEvents();
}

}  // namespace vyn

#pragma once
// The engine's user interface in Qt. The engine may call from its worker thread; Qt allows
// widgets only on the user-interface thread, so every call is carried out there and the
// caller waits for the answer.

#include <QObject>
#include <QPointer>
#include <memory>

#include "update/UserInterface.h"

class QWidget;

namespace vyn {

class TProgressForm;
class TStatusWindow;

class TQtUserInterface : public QObject, public IVudUserInterface {
  Q_OBJECT
public:
  // Must be made on the user-interface thread; dialogs are centred over `owner` when given.
  explicit TQtUserInterface(QWidget* owner = nullptr);
  ~TQtUserInterface() override;

  TMessageResult MessageBox(const std::string& text, const std::string& caption,
                            TMessageKind kind, TMessageButtons buttons) override;
  bool ShowWhatsNewDialog(const std::string& caption, const std::string& text, bool richText,
                          const std::string& okCaption, const std::string& cancelCaption) override;
  bool ShowEULADialog(const std::string& caption, const std::string& text, bool richText,
                      const std::string& okCaption, const std::string& acceptCaption,
                      const std::string& refuseCaption) override;
  bool ShowLoginDialog(const std::string& caption, std::string& userName,
                       std::string& password) override;
  void ProgressShow() override;
  void ProgressUpdate(const std::string& fileLabel, long long pos, long long size) override;
  void ProgressHide() override;
  void ShowHTMLDialog(const std::string& address) override;
  void StatusWindowShow(const std::string& caption, const std::string& message) override;
  void StatusWindowHide() override;
  void ProcessPendingEvents() override;
  void RunOnUiThread(const std::function<void()>& work) override;
  void PostToUiThread(std::function<void()> work) override;
  void TerminateApplication() override;

  // The progress and status windows, made on first use; none before.
  TProgressForm* ProgressForm() const;
  TStatusWindow* StatusWindow() const;

private:
  TProgressForm& EnsureProgressForm();

  QPointer<QWidget> FOwner;
  std::unique_ptr<TProgressForm> FProgressForm;
  std::unique_ptr<TStatusWindow> FStatusWindow;
};

}  // namespace vyn

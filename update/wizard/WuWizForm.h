#pragma once
// TWUWIZ: the update wizard's dialog. Seven pages switched only by code; the button handlers
// drive the engine through its public steps on the user-interface thread.

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTextEdit;

namespace vyn {

class TVudIvazoz;
class TWizardShape;

class TWUWIZ : public QDialog {
  Q_OBJECT
public:
  explicit TWUWIZ(QWidget* parent = nullptr);
  ~TWUWIZ() override;

  // ---- Controls, named as their objectName ----
  TWizardShape* Shape1;
  QLabel* Billboard;
  QStackedWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QWidget* TabSheet6;
  QWidget* TabSheet4;
  QWidget* TabSheet5;
  QWidget* TabSheet7;
  QLabel* WelcomeLabel;
  QPushButton* StartButton;
  QLabel* VersionInfoLabel;
  QPushButton* ControlButton;
  QLabel* Label1;
  QPlainTextEdit* WhatsNewMemo;
  QTextEdit* WhatsNewRichEdit;
  QPushButton* NewButton;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* FileLabel;
  QProgressBar* FileProgress;
  QLabel* Label6;
  QProgressBar* TotalProgress;
  QPushButton* CancelButton;
  QLabel* Label2;
  QPlainTextEdit* EULAMemo;
  QTextEdit* EULARichEdit;
  QRadioButton* RAccept;
  QRadioButton* RNoAccept;
  QPushButton* EULAButton;
  QLabel* Label3;
  QListWidget* CheckListBox1;  // items carry their record's index in the engine's file list
  QPushButton* FilesButton;
  QLabel* Label7;
  QLabel* Label8;
  QPushButton* RestartButton;
  QMenu* PopupMenu1;
  QAction* ViewinNotepad1;
  QMenu* PopupMenu2;
  QAction* ViewinNotepad2;

  // ---- Properties ----
  TVudIvazoz* VudIvazoz() const { return FVudIvazoz; }
  // Takes over the engine's file-progress and cancel events and clears Cancelled.
  void SetVudIvazoz(TVudIvazoz* engine);
  bool Cancelled = false;
  bool AutoRun = false;
  bool AutoStart = false;

  // The billboard picture, its stretching and its centring.
  void SetBillboardPicture(const QPixmap& picture);
  void SetBillboardStretch(bool stretch);
  void SetBillboardCenter(bool center);

  QString StrNewFound;
  QString StrNewVersion;
  QString StrCurVersion;
  QString StrNoNewVersion;
  QString StrUCNewVersion;
  QString StrGetUpdate;
  QString StrExit;
  QString StrNoNewFiles;
  QString StrCannotConnect;
  QString StrNoUpdate;
  QString StrNext;
  QString StrFailedDownload;
  QString StrWhatsNewPopup;
  QString StrLicensePopup;

  // Shows the text of an exception that left a handler; a message box over the dialog when
  // not assigned. The dialog stays open either way.
  std::function<void(const std::string& message)> OnHandlerError;

  // ---- Handlers ----
  void FormCreate();
  void FormActivate();
  // Always allows the close; stops the connection.
  bool FormCloseQuery();
  void StartButtonClick();
  void ControlButtonClick();
  void NewButtonClick();
  void RAcceptClick();
  void EULAButtonClick();
  void FilesButtonClick();
  void CancelButtonClick();
  void RestartButtonClick();
  void ViewinNotepad1Click();
  void ViewinNotepad2Click();
  void VudIvazozFileProgress(TVudIvazoz& Sender, const std::string& filename, int64_t pos,
                             int64_t size);
  void VudIvazozCancel(TVudIvazoz& Sender, bool& Cancel);
  void UpdateDone();
  bool CheckFileCount();

  // Closes the dialog; while a handler runs, only marks it for closing once that has ended.
  void Close();
  void reject() override;

protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

private:
  enum TFillVariant { fvVersionPage, fvWhatsNewPage, fvLicencePage };

  void CreateControls();
  void ConnectHandlers();
  // The engine; throws when none is set.
  TVudIvazoz& Engine() const;
  // Runs a handler started by the user or the window system: an exception is reported, and a
  // close asked for meanwhile happens once the outermost handler has ended.
  void RunHandler(const std::function<void()>& handler);
  // The same for a handler that drives the engine; ignored while another such one runs.
  void RunStep(const std::function<void()>& handler);
  void ReportError(const std::string& message);
  void CloseNow();

  void FitButtonWidth(QPushButton* Button);
  void DownloadFiles();
  // Before anything is downloaded: a program folder this user cannot write is explained, and
  // the download goes on only when the updater can be raised and the user agrees.
  bool FolderAllowsUpdate();
  void AutoRunPause();
  void FillComponentList(TFillVariant variant);
  void ShowPage(QWidget* page);
  void SetBusyCursor(bool busy);
  void SetVersionText(const QString& text);
  // Loads the licence text; `raiseEvent` passes a plain one through OnDownloadedEULA first.
  void LoadEULA(std::string& stream, bool raiseEvent);
  void ShowEULAPage();
  void AfterComponentList();
  void SaveAndOpen(const QString& text, const char* fileName);

  TVudIvazoz* FVudIvazoz = nullptr;
  bool FActivated = false;
  int FHandlerDepth = 0;
  bool FCloseRequested = false;
  bool FClosing = false;
  bool FStepRunning = false;
  bool FBusyCursor = false;
};

}  // namespace vyn

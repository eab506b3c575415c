#include "update/wizard/WuWizForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/Process.h"
#include "update/VudIvazoz.h"
#include "update/actions/RichText.h"
#include "update/actions/StringList.h"
#include "update/control/DateTime.h"
#include "update/ui/RtfReader.h"
#include "update/wizard/FolderRightsTexts.h"
#include "update/wizard/WizardBillboard.h"
#include "update/wizard/WizardShape.h"
#include "update/wizard/WizardText.h"

namespace vyn {

namespace {

constexpr QChar KCR = u'\r';
constexpr int KAutoRunPauseMs = 350;

QString Q(const std::string& text) { return QString::fromStdString(text); }

template <typename T>
T* Make(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* control = new T(parent);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(left, top, width, height);
  return control;
}

// An auto-sized label: it takes the size of its text.
QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* button = Make<QPushButton>(parent, name, 224, 224, 91, 25);
  button->setText(text);
  return button;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name) {
  auto* memo = Make<QPlainTextEdit>(parent, name, 0, 24, 313, 193);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setContextMenuPolicy(Qt::CustomContextMenu);
  return memo;
}

QTextEdit* MakeRichEdit(QWidget* parent, const char* name, bool readOnly) {
  auto* edit = Make<QTextEdit>(parent, name, 0, 24, 313, 194);
  edit->setReadOnly(readOnly);
  edit->setAcceptRichText(false);
  edit->setContextMenuPolicy(Qt::NoContextMenu);
  edit->hide();
  return edit;
}

// A progress bar holds ints: large files are shown in proportion.
void SetProgress(QProgressBar* bar, int64_t position, int64_t maximum) {
  maximum = std::max<int64_t>(maximum, 0);
  position = std::clamp<int64_t>(position, 0, maximum);
  int shift = 0;
  while ((maximum >> shift) > INT_MAX) ++shift;
  bar->setRange(0, std::max(static_cast<int>(maximum >> shift), 1));
  bar->setValue(static_cast<int>(position >> shift));
}

QString FileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return Q(slash == std::string::npos ? path : path.substr(slash + 1));
}

bool HasTimeOfDay(TDateTime dt) {
  const TDateParts parts = DecodeDateTime(dt);
  return parts.Hour != 0 || parts.Minute != 0 || parts.Second != 0;
}

}  // namespace

TWUWIZ::TWUWIZ(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("WUWIZ"));
  setFixedSize(474, 284);
  QFont font(QStringLiteral("Verdana"));
  font.setPixelSize(12);
  setFont(font);
  CreateControls();
  ConnectHandlers();
  FormCreate();
}

TWUWIZ::~TWUWIZ() {
  SetBusyCursor(false);
  if (FVudIvazoz) {
    FVudIvazoz->OnFileProgress = nullptr;
    FVudIvazoz->OnProgressCancel = nullptr;
  }
}

void TWUWIZ::CreateControls() {
  Shape1 = Make<TWizardShape>(this, "Shape1", 2, 1, 471, 281);

  Billboard = Make<QLabel>(this, "Billboard", 9, 27, 116, 201);
  Billboard->setPixmap(DrawWizardBillboard(QSize(116, 201)));
  Billboard->setScaledContents(true);
  Billboard->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  PageControl1 = Make<QStackedWidget>(this, "PageControl1", 136, 8, 329, 265);
  auto page = [this](const char* name) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QString::fromLatin1(name));
    PageControl1->addWidget(sheet);
    return sheet;
  };
  TabSheet1 = page("TabSheet1");
  TabSheet2 = page("TabSheet2");
  TabSheet3 = page("TabSheet3");
  TabSheet6 = page("TabSheet6");
  TabSheet4 = page("TabSheet4");
  TabSheet5 = page("TabSheet5");
  TabSheet7 = page("TabSheet7");

  WelcomeLabel = Make<QLabel>(TabSheet1, "WelcomeLabel", 0, 24, 263, 28);
  WelcomeLabel->setTextFormat(Qt::PlainText);
  WelcomeLabel->setWordWrap(true);
  WelcomeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  WelcomeLabel->setText(
      QStringLiteral("Press start to start checking for available application updates ..."));
  StartButton = MakeButton(TabSheet1, "StartButton", QStringLiteral("Start"));
  StartButton->setDefault(true);

  VersionInfoLabel = Make<QLabel>(TabSheet2, "VersionInfoLabel", 0, 16, 305, 85);
  VersionInfoLabel->setTextFormat(Qt::PlainText);
  VersionInfoLabel->setWordWrap(true);
  VersionInfoLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ControlButton = MakeButton(TabSheet2, "ControlButton", QStringLiteral("Get update"));
  ControlButton->setEnabled(false);

  Label1 = MakeLabel(TabSheet3, "Label1", 0, 8, QStringLiteral("What's new :"));
  WhatsNewMemo = MakeMemo(TabSheet3, "WhatsNewMemo");
  WhatsNewRichEdit = MakeRichEdit(TabSheet3, "WhatsNewRichEdit", false);
  NewButton = MakeButton(TabSheet3, "NewButton", QStringLiteral("Next"));

  Label4 = MakeLabel(TabSheet6, "Label4", 0, 8, QStringLiteral("Downloading files :"));
  Label5 = MakeLabel(TabSheet6, "Label5", 0, 56, QStringLiteral("Current file progress :"));
  FileLabel = MakeLabel(TabSheet6, "FileLabel", 152, 56, QString());
  FileProgress = Make<QProgressBar>(TabSheet6, "FileProgress", 0, 80, 313, 17);
  FileProgress->setTextVisible(false);
  FileProgress->setValue(0);
  Label6 = MakeLabel(TabSheet6, "Label6", 0, 136, QStringLiteral("Total progress :"));
  TotalProgress = Make<QProgressBar>(TabSheet6, "TotalProgress", 0, 160, 313, 17);
  TotalProgress->setTextVisible(false);
  TotalProgress->setValue(0);
  CancelButton = MakeButton(TabSheet6, "CancelButton", QStringLiteral("Cancel"));

  Label2 = MakeLabel(TabSheet4, "Label2", 0, 8, QStringLiteral("License agreement :"));
  EULAMemo = MakeMemo(TabSheet4, "EULAMemo");
  EULARichEdit = MakeRichEdit(TabSheet4, "EULARichEdit", true);
  RAccept = Make<QRadioButton>(TabSheet4, "RAccept", 1, 220, 224, 17);
  RAccept->setText(QStringLiteral("I Accept"));
  RNoAccept = Make<QRadioButton>(TabSheet4, "RNoAccept", 1, 238, 224, 17);
  RNoAccept->setText(QStringLiteral("I do not accept"));
  EULAButton = MakeButton(TabSheet4, "EULAButton", QStringLiteral("Next"));
  EULAButton->setEnabled(false);

  Label3 = MakeLabel(TabSheet5, "Label3", 0, 8,
                     QStringLiteral("Available application components :"));
  CheckListBox1 = Make<QListWidget>(TabSheet5, "CheckListBox1", 0, 24, 313, 193);
  CheckListBox1->setUniformItemSizes(true);
  FilesButton = MakeButton(TabSheet5, "FilesButton", QStringLiteral("Next"));

  Label7 = MakeLabel(TabSheet7, "Label7", 0, 8, QStringLiteral("Update completed ..."));
  Label8 = Make<QLabel>(TabSheet7, "Label8", 0, 96, 313, 28);
  Label8->setTextFormat(Qt::PlainText);
  Label8->setWordWrap(true);
  Label8->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label8->setText(QStringLiteral("Press restart to start the updated application."));
  RestartButton = MakeButton(TabSheet7, "RestartButton", QStringLiteral("Restart"));

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  ViewinNotepad1 = PopupMenu1->addAction(QStringLiteral("View in Notepad"));
  ViewinNotepad1->setObjectName(QStringLiteral("ViewinNotepad1"));
  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
  ViewinNotepad2 = PopupMenu2->addAction(QStringLiteral("View in Notepad"));
  ViewinNotepad2->setObjectName(QStringLiteral("ViewinNotepad2"));
}

void TWUWIZ::ConnectHandlers() {
  auto step = [this](void (TWUWIZ::*handler)()) {
    return [this, handler] { RunStep([this, handler] { (this->*handler)(); }); };
  };
  auto plain = [this](void (TWUWIZ::*handler)()) {
    return [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); };
  };
  connect(StartButton, &QPushButton::clicked, this, step(&TWUWIZ::StartButtonClick));
  connect(ControlButton, &QPushButton::clicked, this, step(&TWUWIZ::ControlButtonClick));
  connect(NewButton, &QPushButton::clicked, this, step(&TWUWIZ::NewButtonClick));
  connect(EULAButton, &QPushButton::clicked, this, step(&TWUWIZ::EULAButtonClick));
  connect(FilesButton, &QPushButton::clicked, this, step(&TWUWIZ::FilesButtonClick));
  connect(RestartButton, &QPushButton::clicked, this, step(&TWUWIZ::RestartButtonClick));
  connect(CancelButton, &QPushButton::clicked, this, plain(&TWUWIZ::CancelButtonClick));
  connect(RAccept, &QRadioButton::clicked, this, plain(&TWUWIZ::RAcceptClick));
  connect(RNoAccept, &QRadioButton::clicked, this, plain(&TWUWIZ::RAcceptClick));
  connect(ViewinNotepad1, &QAction::triggered, this, plain(&TWUWIZ::ViewinNotepad1Click));
  connect(ViewinNotepad2, &QAction::triggered, this, plain(&TWUWIZ::ViewinNotepad2Click));
  connect(WhatsNewMemo, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenu1->popup(WhatsNewMemo->viewport()->mapToGlobal(at));
  });
  connect(EULAMemo, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenu2->popup(EULAMemo->viewport()->mapToGlobal(at));
  });
}

// ---- Properties ----

void TWUWIZ::SetVudIvazoz(TVudIvazoz* engine) {
  FVudIvazoz = engine;
  if (engine) {
    engine->OnFileProgress = [this](TVudIvazoz& Sender, const std::string& FileName,
                                    int64_t Pos, int64_t Size) {
      VudIvazozFileProgress(Sender, FileName, Pos, Size);
    };
    engine->OnProgressCancel = [this](TVudIvazoz& Sender, bool& Cancel) {
      VudIvazozCancel(Sender, Cancel);
    };
  }
  Cancelled = false;
}

void TWUWIZ::SetBillboardPicture(const QPixmap& picture) { Billboard->setPixmap(picture); }

void TWUWIZ::SetBillboardStretch(bool stretch) { Billboard->setScaledContents(stretch); }

void TWUWIZ::SetBillboardCenter(bool center) {
  Billboard->setAlignment(center ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
}

TVudIvazoz& TWUWIZ::Engine() const {
  if (!FVudIvazoz) throw std::runtime_error("No VudIvazoz component assigned");
  return *FVudIvazoz;
}

// ---- Running handlers and closing ----

void TWUWIZ::RunHandler(const std::function<void()>& handler) {
  ++FHandlerDepth;
  try {
    handler();
  } catch (const std::exception& error) {
    SetBusyCursor(false);
    ReportError(error.what());
  }
  --FHandlerDepth;
  if (FHandlerDepth == 0 && FCloseRequested) CloseNow();
}

// The engine's transfers pump events: a second step started meanwhile would drive the engine
// from inside the first one.
void TWUWIZ::RunStep(const std::function<void()>& handler) {
  if (FStepRunning) return;
  FStepRunning = true;
  RunHandler(handler);
  FStepRunning = false;
}

void TWUWIZ::ReportError(const std::string& message) {
  if (OnHandlerError) {
    OnHandlerError(message);
    return;
  }
  QMessageBox box(QMessageBox::Critical, windowTitle(), Q(message), QMessageBox::Ok, this);
  box.exec();
}

void TWUWIZ::Close() {
  if (FHandlerDepth > 0) {
    FCloseRequested = true;
    return;
  }
  CloseNow();
}

void TWUWIZ::CloseNow() {
  if (FClosing) return;
  FClosing = true;
  // The close always happens: a failure to stop the connection is only reported.
  try {
    FormCloseQuery();
  } catch (const std::exception& error) {
    ReportError(error.what());
  }
  done(QDialog::Rejected);
}

void TWUWIZ::reject() { Close(); }

void TWUWIZ::closeEvent(QCloseEvent* e) {
  e->ignore();
  Close();
}

bool TWUWIZ::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) RunStep([this] { FormActivate(); });
  return QDialog::event(e);
}

// ---- Common routines ----

void TWUWIZ::FitButtonWidth(QPushButton* Button) {
  const int text = QFontMetrics(Button->font()).horizontalAdvance(Button->text());
  const QRect old = Button->geometry();
  const int width = std::max(old.width(), text + 16);
  Button->setGeometry(old.left() + old.width() - width, old.top(), width, old.height());
}

void TWUWIZ::AutoRunPause() {
  QEventLoop loop;
  QTimer::singleShot(KAutoRunPauseMs, &loop, &QEventLoop::quit);
  loop.exec();
}

void TWUWIZ::ShowPage(QWidget* page) { PageControl1->setCurrentWidget(page); }

void TWUWIZ::SetBusyCursor(bool busy) {
  if (busy == FBusyCursor) return;
  FBusyCursor = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

// The version texts break lines with carriage returns.
void TWUWIZ::SetVersionText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(KCR, u'\n');
  VersionInfoLabel->setText(shown);
}

void TWUWIZ::UpdateDone() {
  if (FVudIvazoz) FVudIvazoz->StopConnection();
  Close();
}

bool TWUWIZ::CheckFileCount() {
  if (Engine().FileList().Count() > 0) return true;
  QMessageBox box(QMessageBox::NoIcon, windowTitle(), StrNoNewFiles, QMessageBox::Ok, this);
  box.exec();
  UpdateDone();
  return false;
}

void TWUWIZ::FillComponentList(TFillVariant variant) {
  const TFileList& files = Engine().FileList();
  CheckListBox1->clear();
  for (int i = 0; i < files.Count(); ++i) {
    const TFileDescription& file = files.Items(i);
    if (file.Hidden) continue;
    QString text = Q(file.Description);
    if (variant == fvVersionPage && text.isEmpty()) text = QStringLiteral("Application");
    auto* item = new QListWidgetItem(text, CheckListBox1);
    item->setSizeHint(QSize(0, 14));
    const bool ticked = variant != fvLicencePage || file.Preselect;
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, i);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (file.Mandatory) flags = Qt::ItemIsSelectable;
    item->setFlags(flags);
  }
}

// After the component list is filled: download at once when it shows nothing, else the
// components page.
void TWUWIZ::AfterComponentList() {
  if (CheckListBox1->count() == 0) {
    DownloadFiles();
    return;
  }
  ShowPage(TabSheet5);
  FilesButton->setEnabled(true);
  FilesButton->setFocus();
  if (AutoRun) {
    AutoRunPause();
    FilesButtonClick();
  }
}

void TWUWIZ::LoadEULA(std::string& stream, bool raiseEvent) {
  if (IsRichText(stream)) {
    EULAMemo->hide();
    EULARichEdit->show();
    ReadRtf(stream, *EULARichEdit->document());
    return;
  }
  if (raiseEvent) {
    std::vector<std::string> text = LoadStringList(stream);
    TVudIvazoz& engine = Engine();
    if (engine.OnDownloadedEULA) {
      int res = 4;
      engine.OnDownloadedEULA(engine, text, res);
    }
    stream = SaveStringList(text);
  }
  EULAMemo->setPlainText(LinesText(LoadStringList(stream)));
}

void TWUWIZ::ShowEULAPage() {
  ShowPage(TabSheet4);
  if (!AutoRun) return;
  EULAButton->setEnabled(true);
  EULAButton->setText(StrNext);
  FitButtonWidth(EULAButton);
  AutoRunPause();
  EULAButtonClick();
}

// ---- Handlers ----

void TWUWIZ::FormCreate() {
  ShowPage(TabSheet1);
  SetVudIvazoz(nullptr);
}

void TWUWIZ::FormActivate() {
  if (PageControl1->currentWidget() == TabSheet1 && StartButton->isEnabled())
    StartButton->setFocus();
  if (FActivated) return;
  FActivated = true;
  if (!AutoStart) return;
  ShowPage(TabSheet2);
  AutoRunPause();
  StartButtonClick();
}

bool TWUWIZ::FormCloseQuery() {
  UpdateDone();
  return true;
}

void TWUWIZ::StartButtonClick() {
  TVudIvazoz& engine = Engine();
  SetBusyCursor(true);
  StartButton->setEnabled(false);
  ControlButton->setEnabled(false);
  ViewinNotepad1->setText(StrWhatsNewPopup);
  ViewinNotepad2->setText(StrLicensePopup);
  if (engine.StartConnection() != 0) {
    SetBusyCursor(false);
    UpdateDone();
    StartButton->setEnabled(true);
    return;
  }
  SetBusyCursor(false);
  if (engine.UpdateType == ftpUpdate) engine.FTPConnect();
  // No per-file questions and no system-error boxes during the wizard's steps.
  engine.UpdateUpdate = wuuSilent;

  if (engine.GetControlFile() != 0) {
    ShowPage(TabSheet2);
    SetVersionText(StrCannotConnect + KCR + StrNoUpdate);
    VersionInfoLabel->resize(300, VersionInfoLabel->height());
    ControlButton->setText(StrExit);
    FitButtonWidth(ControlButton);
    ControlButton->setEnabled(true);
    ControlButton->setFocus();
    if (AutoRun) {
      AutoRunPause();
      ControlButtonClick();
    }
    return;
  }

  StartButton->setEnabled(true);
  ShowPage(TabSheet2);
  ControlButton->setEnabled(true);
  const int code = engine.DoVersionCheck();
  switch (code) {
    case wrNewByDate: {
      QString current;
      if (engine.CurVersionDate() != KFallbackDate)
        current = StrCurVersion + QStringLiteral(" : ") + Q(FormatShortDate(engine.CurVersionDate()));
      QString newer = Q(FormatShortDate(engine.NewVersionDate()));
      if (HasTimeOfDay(engine.NewVersionDate()))
        newer += QStringLiteral(" ") + Q(FormatLongTime(engine.NewVersionDate()));
      SetVersionText(StrNewFound + QStringLiteral(" :") + KCR + current + KCR + StrNewVersion +
                     QStringLiteral(" : ") + newer + KCR + KCR + Q(engine.UpdateDescription()));
      break;
    }
    case wrNoNewVersion:
      SetVersionText(StrNoNewVersion);
      break;
    case wrNewByVersion:
      SetVersionText(StrNewFound + QStringLiteral(" :") + KCR + StrCurVersion +
                     QStringLiteral(" : ") + Q(engine.CurVersionInfo()) + KCR + StrNewVersion +
                     QStringLiteral(" : ") + Q(engine.NewVersionInfo()) + KCR + KCR +
                     Q(engine.UpdateDescription()));
      break;
    case wrUnconditional:
    case wrNewBySize:
    case wrNewByChecksum:
    case wrCustomValidated:
      SetVersionText(StrUCNewVersion);
      break;
    default:
      break;
  }
  VersionInfoLabel->resize(300, VersionInfoLabel->height());
  ControlButton->setText(code == wrNoNewVersion ? StrExit : StrGetUpdate);
  FitButtonWidth(ControlButton);
  ControlButton->setEnabled(true);
  ControlButton->setFocus();
  if (AutoRun) {
    AutoRunPause();
    ControlButtonClick();
  }
}

void TWUWIZ::ControlButtonClick() {
  TVudIvazoz& engine = Engine();
  ControlButton->setEnabled(false);
  if (ControlButton->text() == StrExit) {
    UpdateDone();
    return;
  }
  if (engine.HandleActions() != 0) {
    UpdateDone();
    return;
  }

  std::optional<std::string> whatsNew = engine.GetWhatsNewStream();
  if (whatsNew && !whatsNew->empty()) {
    int res = 1;
    const bool rich = IsRichText(*whatsNew);
    if (!rich) {
      std::vector<std::string> text = LoadStringList(*whatsNew);
      if (engine.OnDownloadedWhatsNew) engine.OnDownloadedWhatsNew(engine, text, res);
      *whatsNew = SaveStringList(text);
    }
    if (res == 1) {
      WhatsNewRichEdit->setVisible(rich);
      WhatsNewMemo->setVisible(!rich);
      if (rich)
        ReadRtf(*whatsNew, *WhatsNewRichEdit->document());
      else
        WhatsNewMemo->setPlainText(LinesText(LoadStringList(*whatsNew)));
      ShowPage(TabSheet3);
      NewButton->setEnabled(true);
      NewButton->setFocus();
      if (AutoRun) {
        AutoRunPause();
        NewButtonClick();
      }
      return;
    }
  }

  std::optional<std::string> eula = engine.GetEULAStream();
  if (eula && !eula->empty()) {
    LoadEULA(*eula, true);
    ShowEULAPage();
    return;
  }

  engine.GetFileDetails();
  engine.ProcessFileDetails();
  FillComponentList(fvVersionPage);
  if (!CheckFileCount()) {
    // The dialog is already closing; the finish page only shows the way out meanwhile.
    ShowPage(TabSheet7);
    RestartButton->setText(StrExit);
    FitButtonWidth(RestartButton);
    Label8->clear();
    RestartButton->setFocus();
    return;
  }
  AfterComponentList();
}

void TWUWIZ::NewButtonClick() {
  TVudIvazoz& engine = Engine();
  std::optional<std::string> eula = engine.GetEULAStream();
  if (eula && !eula->empty()) {
    LoadEULA(*eula, false);
    ShowEULAPage();
    return;
  }
  engine.GetFileDetails();
  engine.ProcessFileDetails();
  FillComponentList(fvWhatsNewPage);
  if (!CheckFileCount()) return;
  AfterComponentList();
}

void TWUWIZ::RAcceptClick() {
  if (RAccept->isChecked()) {
    EULAButton->setEnabled(true);
    EULAButton->setText(StrNext);
  } else if (RNoAccept->isChecked()) {
    EULAButton->setEnabled(true);
    EULAButton->setText(StrExit);
  }
  FitButtonWidth(EULAButton);
}

void TWUWIZ::EULAButtonClick() {
  TVudIvazoz& engine = Engine();
  if (RAccept->isChecked()) {
    // No file-count check here: an empty list goes straight to the download page.
    engine.GetFileDetails();
    engine.ProcessFileDetails();
    FillComponentList(fvLicencePage);
    AfterComponentList();
  } else if (RNoAccept->isChecked()) {
    UpdateDone();
  }
}

void TWUWIZ::FilesButtonClick() {
  TFileList& files = Engine().FileList();
  for (int i = 0; i < files.Count(); ++i) files.Items(i).Selected = true;
  for (int k = 0; k < CheckListBox1->count(); ++k) {
    const QListWidgetItem* item = CheckListBox1->item(k);
    const int index = item->data(Qt::UserRole).toInt();
    if (item->checkState() != Qt::Checked && index >= 0 && index < files.Count())
      files.Items(index).Selected = false;
  }
  for (int i = files.Count() - 1; i >= 0; --i)
    if (!files.Items(i).Selected) files.Delete(i);
  if (CheckFileCount()) DownloadFiles();
}

bool TWUWIZ::FolderAllowsUpdate() {
  const TAppFolderRights rights = Engine().AppFolderRights();
  if (rights.Writable) return true;
  if (rights.Elevator.empty()) {
    QMessageBox box(QMessageBox::Information, windowTitle(), PackagedUpdateNote(),
                    QMessageBox::Ok, this);
    box.exec();
    return false;
  }
  QMessageBox box(QMessageBox::Question, windowTitle(), ElevatedUpdateQuestion(),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.button(QMessageBox::Yes)->setText(YesText());
  box.button(QMessageBox::No)->setText(NoText());
  return box.exec() == QMessageBox::Yes;
}

void TWUWIZ::DownloadFiles() {
  TVudIvazoz& engine = Engine();
  if (!FolderAllowsUpdate()) {
    UpdateDone();
    return;
  }
  FileLabel->clear();
  FileLabel->adjustSize();
  FileProgress->setValue(0);
  TotalProgress->setValue(0);
  ShowPage(TabSheet6);
  CancelButton->setEnabled(true);
  CancelButton->setFocus();
  if (AutoRun) CancelButton->setEnabled(false);

  SetBusyCursor(true);
  const int result = engine.GetFileUpdates();
  if (result == -1) {
    SetBusyCursor(false);
    engine.Cancel();
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), StrFailedDownload, QMessageBox::Ok,
                    this);
    box.exec();
  }
  engine.UpdateActions();
  SetBusyCursor(false);
  if (engine.Cancelled()) {
    UpdateDone();
    return;
  }

  engine.StopConnection();
  if (engine.OnSuccess) engine.OnSuccess(engine);
  if (engine.AppNeedsRestart()) {
    if (!engine.AppSilentRestart()) {
      ShowPage(TabSheet7);
      RestartButton->setEnabled(true);
      RestartButton->setFocus();
    }
  } else {
    ShowPage(TabSheet7);
    RestartButton->setText(StrExit);
    FitButtonWidth(RestartButton);
    Label8->clear();
    RestartButton->setEnabled(true);
    RestartButton->setFocus();
  }
  // A silent restart happens at once, without the finish page.
  if (AutoRun || (engine.AppSilentRestart() && engine.AppNeedsRestart())) {
    if (!engine.AppSilentRestart()) AutoRunPause();
    RestartButtonClick();
  }
}

void TWUWIZ::RestartButtonClick() {
  TVudIvazoz& engine = Engine();
  if (engine.AppNeedsRestart())
    engine.DoRestart();
  else
    Close();
}

void TWUWIZ::CancelButtonClick() { Cancelled = true; }

void TWUWIZ::VudIvazozCancel(TVudIvazoz&, bool& Cancel) { Cancel = Cancelled; }

void TWUWIZ::VudIvazozFileProgress(TVudIvazoz& Sender, const std::string& filename, int64_t pos,
                                   int64_t size) {
  FileLabel->setText(FileNamePart(filename));
  FileLabel->adjustSize();
  SetProgress(FileProgress, pos, size);
  const TFileList& files = Sender.FileList();
  SetProgress(TotalProgress, pos + files.CompletedSize(), files.TotalSize());
  QCoreApplication::processEvents();
}

void TWUWIZ::ViewinNotepad1Click() {
  SaveAndOpen(WhatsNewMemo->toPlainText(), "whatsnew.txt");
}

void TWUWIZ::ViewinNotepad2Click() { SaveAndOpen(EULAMemo->toPlainText(), "eula.txt"); }

void TWUWIZ::SaveAndOpen(const QString& text, const char* fileName) {
  const std::string path = Engine().WinTempDir() + fileName;
  SaveLines(path, text);
  OpenWithDesktop(path);
}

}  // namespace vyn

#include "update/wizard/VudIvazozWizard.h"

#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/Folders.h"
#include "update/VudIvazoz.h"
#include "update/wizard/WizardShape.h"
#include "update/wizard/WuWizForm.h"

namespace vyn {

namespace {

void ApplyBorderStyle(QDialog& form, TFormBorderStyle style) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint;
  switch (style) {
    case bsNone:
      flags = Qt::Dialog | Qt::FramelessWindowHint;
      break;
    case bsToolWindow:
    case bsSizeToolWin:
      flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
      break;
    case bsSingle:
    case bsSizeable:
    case bsDialog:
      break;
  }
  form.setWindowFlags(flags);
  if (style == bsSizeable || style == bsSizeToolWin) {
    form.setMinimumSize(0, 0);
    form.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

void ApplyPosition(QDialog& form, TPosition position) {
  QWidget* over = nullptr;
  if (position == poOwnerFormCenter) over = form.parentWidget();
  if (position == poMainFormCenter) over = QApplication::activeWindow();
  if (over) {
    form.move(over->mapToGlobal(over->rect().center()) - form.rect().center());
    return;
  }
  if (position != poScreenCenter && position != poOwnerFormCenter &&
      position != poMainFormCenter)
    return;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    form.move(screen->geometry().center() - form.rect().center());
}

void SetAutoSizedLabel(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

}  // namespace

TVudIvazozWizard::TVudIvazozWizard(QObject* AOwner) : QObject(AOwner) {
  Font = QFont(QStringLiteral("Verdana"));
  Font.setBold(true);
  Font.setPointSize(9);
}

TVudIvazozWizard::~TVudIvazozWizard() = default;

void TVudIvazozWizard::Notification(const TVudIvazoz* removed) {
  if (!removed || removed != VudIvazoz) return;
  VudIvazoz = nullptr;
  // The open dialog must not drive the engine that went away either.
  if (FWuWiz) FWuWiz->SetVudIvazoz(nullptr);
}

void TVudIvazozWizard::Execute(bool InitPath) {
  if (!VudIvazoz) throw std::runtime_error("No VudIvazoz component assigned");
  if (InitPath && chdir(ExeDir().c_str()) != 0)
    throw std::runtime_error("Cannot change to the folder " + ExeDir());
  TVudIvazoz* engine = VudIvazoz;
  const auto fileProgress = engine->OnFileProgress;
  const auto progressCancel = engine->OnProgressCancel;

  std::unique_ptr<TWUWIZ> dialog;
  // Whatever ends the dialog, an exception too, the engine gets its own handlers back.
  struct TOnExit {
    std::function<void()> Run;
    ~TOnExit() { Run(); }
  } onExit{[&] {
    dialog.reset();
    FWuWiz = nullptr;
    if (VudIvazoz != engine) return;  // the engine went away meanwhile
    engine->OnFileProgress = fileProgress;
    engine->OnProgressCancel = progressCancel;
  }};
  dialog = std::make_unique<TWUWIZ>(qobject_cast<QWidget*>(parent()));
  TWUWIZ& form = *dialog;
  FWuWiz = &form;

  ApplyBorderStyle(form, BorderStyle);
  if (!FBillBoard.isNull()) form.SetBillboardPicture(FBillBoard.copy());
  form.Billboard->setGeometry(BillBoardLeft, BillBoardTop, BillBoardWidth, BillBoardHeight);
  form.SetBillboardStretch(BillBoardStretch);
  form.SetBillboardCenter(BillBoardCenter);
  form.setFont(Font);

  InitLanguage(&form, Language);

  if (BorderStyle == bsNone) {
    form.setFixedSize(form.Shape1->width() + 2, form.Shape1->height() + 2);
  } else {
    form.Shape1->PenColor = form.palette().color(QPalette::Button);
    form.Shape1->PenWidth = 0;
    form.Shape1->update();
  }
  form.AutoRun = AutoRun;
  form.AutoStart = AutoStart;
  form.SetVudIvazoz(engine);

  form.setWindowTitle(Caption);
  ApplyPosition(form, Position);
  form.exec();
}

void TVudIvazozWizard::CloseWizard() {
  if (FWuWiz) FWuWiz->Close();
}

void TVudIvazozWizard::InitLanguage(TWUWIZ* AWizard, TVudIvazozWizardLanguage* ALanguage) {
  if (!AWizard) return;
  std::unique_ptr<TVudIvazozWizardLanguage> english;
  if (!ALanguage) {
    english = std::make_unique<TVudIvazozWizardLanguage>(this);
    ALanguage = english.get();
  }
  const TVudIvazozWizardLanguage& texts = *ALanguage;
  TWUWIZ& form = *AWizard;

  form.WelcomeLabel->setText(texts.Welcome);
  form.StartButton->setText(texts.StartButton);
  form.ControlButton->setText(texts.GetUpdateButton);
  SetAutoSizedLabel(form.Label1, texts.WhatsNew);
  form.NewButton->setText(texts.NextButton);
  SetAutoSizedLabel(form.Label2, texts.License);
  form.RAccept->setText(texts.AcceptLicense);
  form.RNoAccept->setText(texts.NotAcceptLicense);
  form.EULAButton->setText(texts.NextButton);
  SetAutoSizedLabel(form.Label3, texts.ComponentsAvail);
  form.FilesButton->setText(texts.NextButton);
  SetAutoSizedLabel(form.Label4, texts.DownloadingFiles);
  SetAutoSizedLabel(form.Label5, texts.CurrentProgress);
  SetAutoSizedLabel(form.Label6, texts.TotalProgress);
  form.CancelButton->setText(texts.CancelButton);
  SetAutoSizedLabel(form.Label7, texts.UpdateComplete);
  form.Label8->setText(texts.RestartInfo);
  form.RestartButton->setText(texts.RestartButton);

  form.StrNewFound = texts.NewVersionFound;
  form.StrNewVersion = texts.NewVersion;
  form.StrCurVersion = texts.CurrentVersion;
  form.StrNoNewVersion = texts.NoNewVersionAvail;
  form.StrUCNewVersion = texts.NewVersionAvail;
  form.StrGetUpdate = texts.GetUpdateButton;
  form.StrExit = texts.ExitButton;
  form.StrNoNewFiles = texts.NoFilesFound;
  form.StrCannotConnect = texts.CannotConnect;
  form.StrNoUpdate = texts.NoUpdateOnServer;
  form.StrNext = texts.NextButton;
  form.StrFailedDownload = texts.FailedDownload;
  form.StrWhatsNewPopup = texts.WhatsNewPopup;
  form.StrLicensePopup = texts.LicensePopup;
}

}  // namespace vyn

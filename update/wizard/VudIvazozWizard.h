#pragma once
// TVudIvazozWizard: the settings of the update wizard. Execute shows the seven-page dialog
// (TWUWIZ) modally over an engine and returns when it has closed.

#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include "update/wizard/WizardLanguage.h"

namespace vyn {

class TVudIvazoz;
class TWUWIZ;

enum TPosition { poDesigned, poDefault, poScreenCenter, poOwnerFormCenter, poMainFormCenter };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

class TVudIvazozWizard : public QObject {
  Q_OBJECT
public:
  explicit TVudIvazozWizard(QObject* AOwner = nullptr);
  ~TVudIvazozWizard() override;

  // ---- Published properties ----
  TVudIvazoz* VudIvazoz = nullptr;  // not owned; required by Execute
  // Not owned; cleared when the text set goes away. None means the English texts.
  QPointer<TVudIvazozWizardLanguage> Language;
  QString Caption;
  QFont Font;
  const QPixmap& BillBoard() const { return FBillBoard; }
  void SetBillBoard(const QPixmap& picture) { FBillBoard = picture.copy(); }
  int BillBoardTop = 27;
  int BillBoardLeft = 9;
  int BillBoardHeight = 201;
  int BillBoardWidth = 116;
  bool BillBoardStretch = false;
  bool BillBoardCenter = false;
  TPosition Position = poScreenCenter;
  TFormBorderStyle BorderStyle = bsDialog;
  bool AutoRun = false;
  bool AutoStart = false;

  // Shows the dialog modally; InitPath makes the executable's folder the current folder first.
  // Throws "No VudIvazoz component assigned" without an engine.
  void Execute(bool InitPath);
  // Closes the dialog when one is showing.
  void CloseWizard();
  // Copies a text set (English when none) into the dialog.
  void InitLanguage(TWUWIZ* AWizard, TVudIvazozWizardLanguage* ALanguage);

  // Clears VudIvazoz when that engine goes away.
  void Notification(const TVudIvazoz* removed);

  // The dialog while Execute runs, none otherwise.
  TWUWIZ* Wizard() const { return FWuWiz; }

private:
  QPixmap FBillBoard;
  TWUWIZ* FWuWiz = nullptr;
};

}  // namespace vyn

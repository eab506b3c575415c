#pragma once
// The options dialog: the home page and which toolbar command buttons are shown.

#include "app/config/Config.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace vyn {

class TfrmConfiguration : public QDialog {
  Q_OBJECT
public:
  explicit TfrmConfiguration(QWidget* parent = nullptr);

  QWidget* Panel3;
  QLabel* lbledtHomePageLabel;
  QLineEdit* lbledtHomePage;
  QLabel* Label1;
  QListWidget* chklbxVisibleButtons;  // entry i edits ConfigFlags[i]
  QWidget* Panel1;
  QPushButton* bbtOk;
  QWidget* Panel2;
  QPushButton* bbtCancel;
};

// Shows the dialog modally over the active or main window; on OK copies the edits into Config
// and returns true, otherwise leaves Config untouched and returns false.
bool EditConfiguration(tyConfig& Config);

}  // namespace vyn

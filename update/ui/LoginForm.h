#pragma once
// The login prompt: user name and password for a server that asks for them.

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vyn {

class TKorvLoginForm : public QDialog {
  Q_OBJECT
public:
  explicit TKorvLoginForm(QWidget* parent = nullptr);

  QLabel* Banner;
  QLabel* LabelUserName;
  QLineEdit* Edit1;  // user name
  QLabel* LabelPassword;
  QLineEdit* Edit2;  // password, shown as '*'
  QPushButton* ButtonOK;
  QPushButton* ButtonCancel;
};

// Shows the prompt modally with `caption`; on OK fills both values and returns true. The edits
// start empty; on Cancel or close the values are left as they were.
bool ShowLoginDialog(const std::string& caption, std::string& userName, std::string& password);

}  // namespace vyn

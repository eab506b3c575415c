#pragma once
// The control's find dialog: searches the page for a text, forwards or backwards, and
// highlights the matches until it closes.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWebEnginePage;

namespace vyn {

class TFindDialog : public QDialog {
  Q_OBJECT
public:
  TFindDialog(QWebEnginePage* page, QWidget* parent);

  void FindNext(bool backward);

protected:
  void done(int result) override;

private:
  QWebEnginePage* FPage;
  QLineEdit* FText;
  QCheckBox* FMatchCase;
  QLabel* FStatus;
};

}  // namespace vyn

#pragma once
// The control's find dialog: searches the page for a text, forwards or backwards, and
// highlights the matches until it closes.

#include <QDialog>
#include <QPointer>
#include <QWebEnginePage>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vyn {

class TFindDialog : public QDialog {
  Q_OBJECT
public:
  TFindDialog(QWebEnginePage* page, QWidget* parent);

  void FindNext(bool backward);

protected:
  void done(int result) override;

private:
  QPointer<QWebEnginePage> FPage;  // may go before the dialog when the window closes
  QLineEdit* FText;
  QCheckBox* FMatchCase;
  QLabel* FStatus;
};

}  // namespace vyn

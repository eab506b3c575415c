#pragma once
// The news viewer: what the current release on the update server brings, read from the
// "descr" value of the control file's [update] section.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vyn {

class TfrmShowNews : public QDialog {
  Q_OBJECT
public:
  explicit TfrmShowNews(QWidget* parent = nullptr);

  QLabel* Image1;
  QWidget* Panel1;
  QWidget* Panel2;
  QPushButton* bbtClose;
  QWidget* Panel4;
  QPlainTextEdit* memNews;

  // The news text, where each "\n" (in either case) starts a new line.
  void ShowText(const QString& text);

  void bbtCloseClick();
};

// Fetches the control file at URL and shows its news text modally; shows nothing when the
// file cannot be fetched or has no news.
void ShowNews(const QString& URL);

}  // namespace vyn

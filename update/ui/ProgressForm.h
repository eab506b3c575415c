#pragma once
// The download progress window: the file being fetched and a bar. Created hidden; the engine's
// run shows it before each file and hides it after.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace vyn {

class TProgressForm : public QDialog {
  Q_OBJECT
public:
  explicit TProgressForm(QWidget* parent = nullptr);

  QProgressBar* ProgressBar() const { return FProgressBar; }
  QLabel* FileLabel() const { return FLabel; }

  // The bar takes 0..size and pos (scaled when they do not fit the bar's range); the label
  // takes `label`.
  void SetProgress(const QString& label, long long pos, long long size);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  QProgressBar* FProgressBar;
  QLabel* FLabel;
};

}  // namespace vyn

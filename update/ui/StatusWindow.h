#pragma once
// The window shown while a started program runs: a caption, an animation and a message.

#include <QDialog>

class QLabel;

namespace vyn {

class TFileCopyAnimation;

class TStatusWindow : public QDialog {
  Q_OBJECT
public:
  explicit TStatusWindow(QWidget* parent = nullptr);

  void SetTexts(const QString& caption, const QString& message);

  TFileCopyAnimation* Animation() const { return FAnimation; }
  QLabel* MessageLabel() const { return FMessage; }

private:
  TFileCopyAnimation* FAnimation;
  QLabel* FMessage;
};

}  // namespace vyn

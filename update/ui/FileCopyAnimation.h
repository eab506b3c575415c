#pragma once
// A small animation of a sheet of paper flying from one folder to another, drawn in code;
// it runs while the widget is shown.

#include <QTimer>
#include <QWidget>

namespace vyn {

class TFileCopyAnimation : public QWidget {
  Q_OBJECT
public:
  explicit TFileCopyAnimation(QWidget* parent = nullptr);

  QSize sizeHint() const override { return {KWidth, KHeight}; }
  bool Running() const { return FTimer.isActive(); }
  int Frame() const { return FFrame; }

  static constexpr int KWidth = 272;
  static constexpr int KHeight = 60;
  static constexpr int KFrames = 24;

protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  QTimer FTimer;
  int FFrame = 0;
};

}  // namespace vyn

#pragma once
// A filled rectangle with an outline, the frame around the wizard's pages. A pen width of 0
// still draws a one-pixel outline.

#include <QColor>
#include <QFrame>

namespace vyn {

class TWizardShape : public QFrame {
public:
  explicit TWizardShape(QWidget* parent = nullptr);

  QColor BrushColor;
  QColor PenColor;
  int PenWidth = 1;

protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vyn

#include "update/wizard/WizardShape.h"

#include <QPainter>
#include <algorithm>

namespace vyn {

TWizardShape::TWizardShape(QWidget* parent) : QFrame(parent) {
  BrushColor = palette().color(QPalette::Button);
  PenColor = BrushColor;
}

void TWizardShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int pen = std::max(PenWidth, 1);
  painter.fillRect(rect(), PenColor);
  painter.fillRect(rect().adjusted(pen, pen, -pen, -pen), BrushColor);
}

}  // namespace vyn

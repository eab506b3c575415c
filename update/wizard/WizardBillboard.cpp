#include "update/wizard/WizardBillboard.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace vyn {

namespace {

// The drawing is laid out on this grid and scaled to the size asked; the gradient fills the
// whole picture, the drawing keeps its proportions and stays centred.
constexpr qreal KGridWidth = 116;
constexpr qreal KGridHeight = 201;

void DrawBackground(QPainter& painter, QSizeF size) {
  QLinearGradient sky(0, 0, size.width() * 0.3, size.height());
  sky.setColorAt(0.0, QColor(0x1f, 0x4e, 0xa8));
  sky.setColorAt(0.55, QColor(0x2f, 0x7b, 0xd6));
  sky.setColorAt(1.0, QColor(0x0c, 0x2a, 0x66));
  painter.fillRect(QRectF(QPointF(0, 0), size), sky);

  QRadialGradient glow(QPointF(size.width() * 0.5, size.height() * 0.38), size.width() * 0.8);
  glow.setColorAt(0.0, QColor(255, 255, 255, 70));
  glow.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.fillRect(QRectF(QPointF(0, 0), size), glow);
}

void DrawMonitor(QPainter& painter) {
  // Stand and foot.
  QPainterPath stand;
  stand.moveTo(50, 122);
  stand.lineTo(66, 122);
  stand.lineTo(70, 138);
  stand.lineTo(46, 138);
  stand.closeSubpath();
  painter.setPen(QPen(QColor(0x30, 0x34, 0x3c), 1));
  painter.setBrush(QColor(0xb8, 0xbe, 0xc8));
  painter.drawPath(stand);
  painter.drawRoundedRect(QRectF(32, 137, 52, 7), 3, 3);

  // Case.
  QLinearGradient frame(0, 58, 0, 124);
  frame.setColorAt(0.0, QColor(0xee, 0xf0, 0xf4));
  frame.setColorAt(1.0, QColor(0xa4, 0xaa, 0xb4));
  painter.setBrush(frame);
  painter.drawRoundedRect(QRectF(14, 58, 88, 66), 5, 5);

  // Screen.
  QLinearGradient screen(0, 64, 0, 116);
  screen.setColorAt(0.0, QColor(0x0e, 0x1c, 0x38));
  screen.setColorAt(1.0, QColor(0x1c, 0x3c, 0x70));
  painter.setBrush(screen);
  painter.setPen(QPen(QColor(0x50, 0x56, 0x60), 1));
  painter.drawRect(QRectF(20, 64, 76, 52));

  // Progress bar on the screen.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x3a, 0x4c, 0x6a));
  painter.drawRect(QRectF(26, 106, 64, 5));
  painter.setBrush(QColor(0x5c, 0xd6, 0x5c));
  painter.drawRect(QRectF(26, 106, 40, 5));

  // Power light.
  painter.setBrush(QColor(0x46, 0xc8, 0x46));
  painter.drawEllipse(QPointF(94, 120), 1.5, 1.5);
}

void DrawArrow(QPainter& painter) {
  // A downward arrow reaching into the screen.
  QPainterPath arrow;
  arrow.moveTo(49, 14);
  arrow.lineTo(67, 14);
  arrow.lineTo(67, 58);
  arrow.lineTo(80, 58);
  arrow.lineTo(58, 96);
  arrow.lineTo(36, 58);
  arrow.lineTo(49, 58);
  arrow.closeSubpath();

  QLinearGradient green(34, 0, 82, 0);
  green.setColorAt(0.0, QColor(0x2e, 0xa8, 0x3a));
  green.setColorAt(0.5, QColor(0x6e, 0xe0, 0x6a));
  green.setColorAt(1.0, QColor(0x1f, 0x86, 0x2c));
  painter.setPen(QPen(QColor(0x0e, 0x52, 0x18), 1.5, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
  painter.setBrush(green);
  painter.drawPath(arrow);
}

void DrawTrail(QPainter& painter) {
  // Light dots under the monitor, like a path of data.
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 5; ++i) {
    painter.setBrush(QColor(255, 255, 255, 150 - i * 25));
    painter.drawEllipse(QPointF(58, 160 + i * 8), 2.6 - i * 0.3, 2.6 - i * 0.3);
  }
}

}  // namespace

QPixmap DrawWizardBillboard(QSize size) {
  if (size.isEmpty()) return QPixmap();
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawBackground(painter, QSizeF(size));

  const qreal scale = std::min(size.width() / KGridWidth, size.height() / KGridHeight);
  painter.translate((size.width() - KGridWidth * scale) / 2,
                    (size.height() - KGridHeight * scale) / 2);
  painter.scale(scale, scale);
  DrawMonitor(painter);
  DrawArrow(painter);
  DrawTrail(painter);
  return picture;
}

}  // namespace vyn

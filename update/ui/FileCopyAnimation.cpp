#include "update/ui/FileCopyAnimation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vyn {

namespace {
constexpr int KFrameMs = 60;

void DrawFolder(QPainter& painter, const QRectF& box) {
  QPainterPath tab;
  tab.addRoundedRect(QRectF(box.left(), box.top(), box.width() * 0.45, box.height() * 0.3), 2, 2);
  painter.setPen(QPen(QColor(150, 110, 20), 1));
  painter.setBrush(QColor(230, 180, 60));
  painter.drawPath(tab);
  painter.setBrush(QColor(250, 205, 90));
  painter.drawRoundedRect(
      QRectF(box.left(), box.top() + box.height() * 0.2, box.width(), box.height() * 0.8), 2, 2);
}

void DrawSheet(QPainter& painter, const QPointF& centre, qreal tilt) {
  painter.save();
  painter.translate(centre);
  painter.rotate(tilt);
  const QRectF sheet(-8, -10, 16, 20);
  painter.setPen(QPen(QColor(90, 90, 90), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(sheet);
  painter.setPen(QPen(QColor(120, 140, 200), 1));
  for (int line = 0; line < 4; ++line)
    painter.drawLine(QPointF(-5, -6 + 4 * line), QPointF(5, -6 + 4 * line));
  painter.restore();
}
}  // namespace

TFileCopyAnimation::TFileCopyAnimation(QWidget* parent) : QWidget(parent) {
  resize(KWidth, KHeight);
  FTimer.setInterval(KFrameMs);
  connect(&FTimer, &QTimer::timeout, this, [this] {
    FFrame = (FFrame + 1) % KFrames;
    update();
  });
}

void TFileCopyAnimation::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF source(8, height() - 38, 44, 32);
  const QRectF target(width() - 52, height() - 38, 44, 32);
  DrawFolder(painter, source);
  DrawFolder(painter, target);
  // The sheet leaves the first folder, arcs over and drops into the second.
  const qreal t = static_cast<qreal>(FFrame) / (KFrames - 1);
  const QPointF from(source.center().x(), source.top() + 6);
  const QPointF to(target.center().x(), target.top() + 6);
  const qreal x = from.x() + (to.x() - from.x()) * t;
  const qreal y = from.y() - std::sin(t * M_PI) * (from.y() - 12);
  DrawSheet(painter, QPointF(x, y), -20 + 40 * t);
}

void TFileCopyAnimation::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FTimer.start();
}

void TFileCopyAnimation::hideEvent(QHideEvent* event) {
  FTimer.stop();
  QWidget::hideEvent(event);
}

}  // namespace vyn

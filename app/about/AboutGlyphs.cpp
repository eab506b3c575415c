#include "app/about/AboutGlyphs.h"
#include "app/FourStateIcon.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace vyn {

// An open door with an arrow leaving through it.
QIcon CloseGlyph() {
  return FourStateIcon(QColor(0, 96, 128), [](QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({QPointF(2.5, 1.5), QPointF(7, 3.5), QPointF(7, 15.5), QPointF(2.5, 14.5)}));
    p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(9, 8), QPointF(14.5, 8));
    p.drawPolyline(QPolygonF({QPointF(12, 5.5), QPointF(14.5, 8), QPointF(12, 10.5)}));
  });
}

// A printed sheet with a golden star in its corner.
QIcon NewsGlyph() {
  return FourStateIcon(QColor(64, 64, 72), [](QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 11, 12));
    p.setPen(QPen(c, 1));
    for (qreal y : {6.5, 9.0, 11.5}) p.drawLine(QPointF(3.5, y), QPointF(10.5, y));
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
      const qreal radius = i % 2 == 0 ? 4.0 : 1.8;
      const qreal angle = -M_PI / 2 + i * M_PI / 5;
      const QPointF point(12 + radius * std::cos(angle), 4.5 + radius * std::sin(angle));
      if (i == 0) star.moveTo(point);
      else star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 20), 0.8));
    p.setBrush(QColor(230, 185, 40));
    p.drawPath(star);
  });
}

}  // namespace vyn

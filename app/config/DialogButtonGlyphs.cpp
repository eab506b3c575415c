#include "app/config/DialogButtonGlyphs.h"
#include "app/FourStateIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace vyn {

QIcon OkGlyph() {
  return FourStateIcon(QColor(0, 128, 0), [](QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6, 12.5), QPointF(13.5, 3.5)}));
  });
}

QIcon CancelGlyph() {
  return FourStateIcon(QColor(200, 0, 0), [](QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  });
}

QIcon HelpGlyph() {
  return FourStateIcon(QColor(0, 64, 192), [](QPainter& p, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
  });
}

QIcon ResetGlyph() {
  return FourStateIcon(QColor(0, 112, 160), [](QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
    QPainterPath head;
    head.moveTo(8, 0.5);
    head.lineTo(12, 3);
    head.lineTo(8, 5.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(head);
  });
}

}  // namespace vyn

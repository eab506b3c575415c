#include "app/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace vyn {

namespace {

const QColor kOutline(40, 40, 40);
const QColor kGreen(46, 160, 67);
const QColor kRed(210, 45, 45);
const QColor kBlue(40, 110, 200);
const QColor kPaper(252, 252, 252);
const QColor kGrey(120, 120, 120);

void Disc(QPainter& p, const QColor& colour) {
  QRadialGradient shade(QPointF(9, 8), 14);
  shade.setColorAt(0, colour.lighter(140));
  shade.setColorAt(1, colour.darker(115));
  p.setPen(QPen(colour.darker(160), 1));
  p.setBrush(shade);
  p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
}

void StraightArrow(QPainter& p, bool right) {
  QPolygonF arrow{{6, 12}, {12, 6}, {12, 9.5}, {18, 9.5}, {18, 14.5}, {12, 14.5}, {12, 18}};
  if (right) {
    for (QPointF& point : arrow) point.setX(24 - point.x());
  }
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPolygon(arrow);
}

// A white arc with an arrow head; `clockwise` chooses the direction of travel.
void TurningArrow(QPainter& p, bool clockwise) {
  p.save();
  if (!clockwise) {
    p.translate(24, 0);
    p.scale(-1, 1);
  }
  p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6.5, 7, 11, 11), 200 * 16, -250 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF{{14, 14.5}, {20.5, 14.5}, {17.3, 19.5}});
  p.restore();
}

void Page(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kGrey, 1));
  p.setBrush(kPaper);
  const qreal fold = 4;
  p.drawPolygon(QPolygonF{r.topLeft(), {r.right() - fold, r.top()}, {r.right(), r.top() + fold},
                          r.bottomRight(), r.bottomLeft()});
  p.setPen(QPen(QColor(170, 185, 210), 1));
  for (qreal y = r.top() + 5; y < r.bottom() - 2; y += 3) p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
}

void Lens(QPainter& p, const QPointF& centre, qreal radius) {
  p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
  const qreal d = radius * 0.72;
  p.drawLine(centre + QPointF(d, d), centre + QPointF(d + radius * 0.9, d + radius * 0.9));
  p.setPen(QPen(kOutline, 1.5));
  p.setBrush(QColor(190, 225, 255, 200));
  p.drawEllipse(centre, radius, radius);
}

void DrawHome(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(245, 230, 190));
  p.drawRect(QRectF(5.5, 11.5, 13, 10));
  p.setBrush(QColor(200, 60, 40));
  p.drawPolygon(QPolygonF{{2.5, 12.5}, {12, 3}, {21.5, 12.5}});
  p.setBrush(QColor(120, 75, 40));
  p.drawRect(QRectF(10.5, 15.5, 4, 6));
  p.setBrush(QColor(160, 200, 240));
  p.drawRect(QRectF(6.5, 13.5, 3, 3));
}

void DrawRefresh(QPainter& p) {
  Page(p, QRectF(3.5, 2.5, 14, 18));
  p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  const QRectF ring(9, 9, 12, 12);
  p.drawArc(ring, 100 * 16, 140 * 16);
  p.drawArc(ring, 280 * 16, 140 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawPolygon(QPolygonF{{13, 6.5}, {16.5, 9}, {13, 11.5}});
  p.drawPolygon(QPolygonF{{17, 18.5}, {13.5, 21}, {17, 23.5}});
}

void DrawSearch(QPainter& p) { Lens(p, QPointF(10, 10), 6.5); }

void DrawPaste(QPainter& p) {
  p.setPen(QPen(QColor(110, 70, 30), 1));
  p.setBrush(QColor(190, 140, 80));
  p.drawRoundedRect(QRectF(3.5, 3.5, 14, 18), 1.5, 1.5);
  p.setBrush(QColor(170, 170, 180));
  p.drawRect(QRectF(7.5, 1.5, 6, 4));
  Page(p, QRectF(10.5, 8.5, 11, 14));
}

void DrawSelectAll(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(135, 195, 240));
  p.drawRect(QRectF(6, 6, 12, 12));
  p.setBrush(QColor(80, 160, 70));
  p.drawPolygon(QPolygonF{{6, 18}, {10, 12}, {13, 15.5}, {15, 13.5}, {18, 18}});
  p.setBrush(QColor(250, 210, 60));
  p.drawEllipse(QPointF(14.5, 9.5), 1.8, 1.8);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kOutline, 1, Qt::DashLine));
  p.drawRect(QRectF(2.5, 2.5, 19, 19));
}

void DrawFind(QPainter& p) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(60, 60, 70));
  p.drawRoundedRect(QRectF(3.5, 5.5, 6, 8), 1, 1);
  p.drawRoundedRect(QRectF(14.5, 5.5, 6, 8), 1, 1);
  p.drawRect(QRectF(9.5, 8.5, 5, 4));
  p.setBrush(QColor(100, 170, 230));
  p.drawEllipse(QRectF(1.5, 12.5, 9, 9));
  p.drawEllipse(QRectF(13.5, 12.5, 9, 9));
}

void DrawPrintPreview(QPainter& p) {
  Page(p, QRectF(2.5, 1.5, 15, 20));
  Lens(p, QPointF(13, 13), 4.5);
}

void DrawPrint(QPainter& p) {
  Page(p, QRectF(6.5, 2.5, 11, 9));
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(200, 200, 205));
  p.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 1.5, 1.5);
  p.setBrush(QColor(150, 150, 160));
  p.drawRect(QRectF(5.5, 16.5, 13, 5));
  p.setBrush(kPaper);
  p.drawRect(QRectF(6.5, 17.5, 11, 4));
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(18.5, 12.5), 1, 1);
}

void DrawProperties(QPainter& p) {
  Page(p, QRectF(2.5, 1.5, 15, 20));
  // An open hand holding the page.
  p.setPen(QPen(QColor(150, 90, 50), 1));
  p.setBrush(QColor(240, 200, 160));
  QPainterPath hand;
  hand.moveTo(10, 23);
  hand.lineTo(10, 16);
  hand.quadTo(10, 13, 12.5, 14);
  hand.lineTo(13, 11);
  hand.quadTo(14.5, 10, 15.5, 11);
  hand.lineTo(16, 10);
  hand.quadTo(17.5, 9, 18.5, 10.5);
  hand.lineTo(19, 11);
  hand.quadTo(20.5, 10.5, 21.5, 12);
  hand.lineTo(21.5, 18);
  hand.quadTo(21, 22, 18, 23);
  hand.closeSubpath();
  p.drawPath(hand);
}

void DrawConfig(QPainter& p) {
  // A cylinder (the store) behind a gear.
  p.setPen(QPen(QColor(70, 90, 130), 1));
  p.setBrush(QColor(150, 175, 220));
  p.drawRect(QRectF(11.5, 4.5, 10, 14));
  p.drawEllipse(QRectF(11.5, 16, 10, 5));
  p.setBrush(QColor(190, 210, 240));
  p.drawEllipse(QRectF(11.5, 2, 10, 5));
  QPainterPath gear;
  const QPointF c(9, 14);
  for (int i = 0; i < 16; ++i) {
    const qreal angle = i * M_PI / 8;
    const qreal r = (i % 2 == 0) ? 8 : 6;
    const QPointF point = c + QPointF(r * std::cos(angle), r * std::sin(angle));
    if (i == 0) gear.moveTo(point);
    else gear.lineTo(point);
  }
  gear.closeSubpath();
  gear.setFillRule(Qt::OddEvenFill);
  gear.addEllipse(c, 2.5, 2.5);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(160, 160, 165));
  p.drawPath(gear);
}

QImage DrawNormal(TGlyph glyph) {
  QImage image(GlyphSize, GlyphSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case glHome: DrawHome(p); break;
    case glBack: Disc(p, kGreen); StraightArrow(p, false); break;
    case glForward: Disc(p, kGreen); StraightArrow(p, true); break;
    case glStop:
      Disc(p, kRed);
      p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 8), QPointF(16, 16));
      p.drawLine(QPointF(16, 8), QPointF(8, 16));
      break;
    case glRefresh: DrawRefresh(p); break;
    case glSearch: DrawSearch(p); break;
    case glUndo: Disc(p, kBlue); TurningArrow(p, false); break;
    case glRedo: Disc(p, kBlue); TurningArrow(p, true); break;
    case glPaste: DrawPaste(p); break;
    case glSelectAll: DrawSelectAll(p); break;
    case glFind: DrawFind(p); break;
    case glPrintPreview: DrawPrintPreview(p); break;
    case glPrint: DrawPrint(p); break;
    case glProperties: DrawProperties(p); break;
    case glConfig: DrawConfig(p); break;
  }
  return image;
}

QImage Shifted(const QImage& source, int dx, int dy) {
  QImage image(source.size(), source.format());
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.drawImage(dx, dy, source);
  return image;
}

QImage Greyed(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 128 + qGray(line[x]) / 2;
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 5);
    }
  }
  return image;
}

QImage Darkened(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      line[x] = qRgba(qRed(line[x]) * 4 / 5, qGreen(line[x]) * 4 / 5, qBlue(line[x]) * 4 / 5, qAlpha(line[x]));
  }
  return image;
}

}  // namespace

QImage DrawGlyph(TGlyph glyph, TGlyphState state) {
  const QImage normal = DrawNormal(glyph);
  switch (state) {
    case gsNormal: return normal;
    case gsDisabled: return Greyed(normal);
    case gsPressed: return Shifted(normal, 1, 1);
    case gsDown: return Shifted(Darkened(normal), 1, 1);
  }
  return normal;
}

QPixmap PadlockPicture() {
  QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(120, 120, 120), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4, 1.5, 8, 10), 0, 180 * 16);
  p.drawLine(QPointF(4, 6.5), QPointF(4, 8));
  p.drawLine(QPointF(12, 6.5), QPointF(12, 8));
  p.setPen(QPen(QColor(150, 110, 0), 1));
  p.setBrush(QColor(250, 205, 30));
  p.drawRoundedRect(QRectF(2.5, 7.5, 11, 8), 1, 1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 80, 0));
  p.drawEllipse(QPointF(8, 11), 1.2, 1.2);
  return QPixmap::fromImage(image);
}

}  // namespace vyn

#include "app/about/AboutPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vyn {

namespace {

const QColor Gold(212, 175, 55);
const QColor DeepGold(150, 110, 20);
const QColor LightGrey(214, 214, 218);
const QColor DarkGrey(96, 98, 104);

// The grey column the other shapes stand on, darkening towards the bottom.
void DrawColumn(QPainter& p) {
  QLinearGradient shade(0, 0, 0, AboutPictureHeight);
  shade.setColorAt(0, LightGrey);
  shade.setColorAt(1, DarkGrey);
  p.setPen(Qt::NoPen);
  p.setBrush(shade);
  p.drawRoundedRect(QRectF(14, 6, 73, AboutPictureHeight - 12), 10, 10);
}

// Tilted grey squares, lighter the higher they stand.
void DrawSquares(QPainter& p) {
  struct TSquare {
    qreal X, Y, Side, Angle;
    int Grey;
  };
  const TSquare squares[] = {{30, 40, 34, 18, 170}, {66, 118, 26, -12, 140},
                             {24, 214, 40, 32, 120}, {70, 300, 30, -24, 90}};
  for (const TSquare& s : squares) {
    p.save();
    p.translate(s.X, s.Y);
    p.rotate(s.Angle);
    p.setPen(QPen(QColor(60, 60, 66, 160), 1));
    p.setBrush(QColor(s.Grey, s.Grey, s.Grey + 6, 200));
    p.drawRect(QRectF(-s.Side / 2, -s.Side / 2, s.Side, s.Side));
    p.restore();
  }
}

// Gold discs lit from their upper left.
void DrawDiscs(QPainter& p) {
  struct TDisc {
    qreal X, Y, Radius;
  };
  const TDisc discs[] = {{62, 58, 22}, {34, 128, 15}, {58, 190, 27}, {36, 270, 12}, {52, 330, 18}};
  for (const TDisc& d : discs) {
    QRadialGradient light(QPointF(d.X - d.Radius / 3, d.Y - d.Radius / 3), d.Radius * 1.4);
    light.setColorAt(0, Gold.lighter(140));
    light.setColorAt(0.6, Gold);
    light.setColorAt(1, DeepGold);
    p.setPen(QPen(DeepGold.darker(130), 1));
    p.setBrush(light);
    p.drawEllipse(QPointF(d.X, d.Y), d.Radius, d.Radius);
  }
}

// Thin gold waves running down the whole picture, over everything else.
void DrawWaves(QPainter& p) {
  for (int wave = 0; wave < 3; ++wave) {
    QPainterPath path;
    const qreal x = 20 + wave * 28;
    path.moveTo(x, 0);
    for (int y = 0; y < AboutPictureHeight; y += 60)
      path.cubicTo(x + 18, y + 15, x - 18, y + 45, x, y + 60);
    p.setPen(QPen(QColor(Gold.red(), Gold.green(), Gold.blue(), 150 - wave * 30), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
}

}  // namespace

QPixmap AboutPicture() {
  QPixmap picture(AboutPictureWidth, AboutPictureHeight);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  DrawColumn(p);
  DrawSquares(p);
  DrawDiscs(p);
  DrawWaves(p);
  return picture;
}

}  // namespace vyn

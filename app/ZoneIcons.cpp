#include "app/ZoneIcons.h"

#include "platform/Folders.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace vyn {

namespace {

constexpr int kIconSize = 16;

QPixmap DrawBuiltInZoneIcon(int number) {
  QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(50, 50, 50), 1));
  switch (number) {
    case 0:  // a computer
      p.setBrush(QColor(200, 200, 205));
      p.drawRect(QRectF(1.5, 2.5, 13, 9));
      p.setBrush(QColor(70, 130, 200));
      p.drawRect(QRectF(3.5, 4.5, 9, 5));
      p.setBrush(QColor(160, 160, 165));
      p.drawRect(QRectF(4.5, 12.5, 7, 2));
      break;
    case 1:  // a building
      p.setBrush(QColor(215, 190, 140));
      p.drawRect(QRectF(3.5, 2.5, 9, 12));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(80, 120, 180));
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col) p.drawRect(QRectF(5 + col * 4, 4 + row * 3, 2, 2));
      break;
    case 2:  // a green tick
      p.setBrush(QColor(60, 170, 80));
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(Qt::white, 2));
      p.drawPolyline(QPolygonF{{4.5, 8}, {7, 10.5}, {11.5, 5.5}});
      break;
    case 3: {  // a globe
      p.setBrush(QColor(90, 150, 220));
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(QColor(230, 240, 255), 1));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(5, 1.5, 6, 13));
      p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
      break;
    }
    case 4:  // a no-entry sign
      p.setBrush(QColor(210, 50, 50));
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4, 7, 8, 2.5));
      break;
    default:
      return QPixmap();
  }
  return QPixmap::fromImage(image);
}

QPixmap IconFromFile(const QString& module, int number) {
  QString path = module;
  if (QDir::isRelativePath(path)) path = QString::fromStdString(ExeDir()) + QLatin1Char('/') + path;
  QImageReader reader(path);
  if (!reader.canRead() || (number > 0 && !reader.jumpToImage(number))) return QPixmap();
  const QImage image = reader.read();
  if (image.isNull()) return QPixmap();
  return QPixmap::fromImage(
      image.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

QPixmap LoadZoneIcon(const QString& iconPath) {
  const qsizetype hash = iconPath.indexOf(QLatin1Char('#'));
  if (hash < 0) return QPixmap();
  const QString module = iconPath.left(hash);
  bool isNumber = false;
  const int number = iconPath.mid(hash + 1).toInt(&isNumber);
  if (module.isEmpty() || !isNumber || number < 0) return QPixmap();
  if (module.compare(QLatin1String(BuiltInZoneIconModule), Qt::CaseInsensitive) == 0)
    return DrawBuiltInZoneIcon(number);
  return IconFromFile(module, number);
}

}  // namespace vyn

#include "app/FourStateIcon.h"

#include <QPainter>
#include <QPixmap>

namespace vyn {

namespace {

constexpr int GlyphSize = 16;

QPixmap DrawState(const TGlyphPainter& paint, const QColor& colour, QPoint offset) {
  QPixmap pixmap(GlyphSize, GlyphSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(offset);
  paint(painter, colour);
  return pixmap;
}

}  // namespace

QIcon FourStateIcon(const QColor& colour, const TGlyphPainter& paint) {
  QIcon icon;
  icon.addPixmap(DrawState(paint, colour, {0, 0}), QIcon::Normal, QIcon::Off);
  icon.addPixmap(DrawState(paint, QColor(160, 160, 160), {0, 0}), QIcon::Disabled, QIcon::Off);
  icon.addPixmap(DrawState(paint, colour.darker(120), {1, 1}), QIcon::Active, QIcon::Off);
  icon.addPixmap(DrawState(paint, colour.darker(140), {1, 1}), QIcon::Normal, QIcon::On);
  return icon;
}

}  // namespace vyn

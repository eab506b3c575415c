#pragma once
// A 33 x 33 toolbar button showing one of the four pictures of its glyph: normal, disabled,
// pressed (while the mouse holds it) and held down (checked). Its hint (the tool tip text) is
// kept for accessibility but never shown as a tool tip.

#include "app/Glyphs.h"

#include <QToolButton>

#include <array>

namespace vyn {

class TGlyphButton : public QToolButton {
  Q_OBJECT
public:
  TGlyphButton(TGlyph glyph, QWidget* parent);

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  std::array<QPixmap, 4> FPictures;
};

}  // namespace vyn

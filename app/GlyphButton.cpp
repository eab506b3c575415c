#include "app/GlyphButton.h"

#include <QEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace vyn {

TGlyphButton::TGlyphButton(TGlyph glyph, QWidget* parent) : QToolButton(parent) {
  for (TGlyphState state : {gsNormal, gsDisabled, gsPressed, gsDown})
    FPictures[state] = QPixmap::fromImage(DrawGlyph(glyph, state));
  setFixedSize(33, 33);
  setIconSize(QSize(GlyphSize, GlyphSize));
  setFocusPolicy(Qt::TabFocus);
}

bool TGlyphButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    event->ignore();
    return true;
  }
  return QToolButton::event(event);
}

void TGlyphButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  option.icon = QIcon();
  option.text.clear();
  painter.drawComplexControl(QStyle::CC_ToolButton, option);
  TGlyphState state = gsNormal;
  if (!isEnabled()) state = gsDisabled;
  else if (isChecked()) state = gsDown;
  else if (isDown()) state = gsPressed;
  const QPixmap& picture = FPictures[state];
  painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2, picture);
}

}  // namespace vyn

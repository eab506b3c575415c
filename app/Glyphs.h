#pragma once
// The toolbar glyphs and the padlock, drawn in code: each glyph is a 24 x 24 picture in four
// states (normal, disabled, pressed, held down).

#include <QImage>
#include <QPixmap>

namespace vyn {

enum TGlyph {
  glHome, glBack, glForward, glStop, glRefresh, glSearch, glUndo, glRedo, glPaste, glSelectAll,
  glFind, glPrintPreview, glPrint, glProperties, glConfig
};

enum TGlyphState { gsNormal, gsDisabled, gsPressed, gsDown };

inline constexpr int GlyphSize = 24;

QImage DrawGlyph(TGlyph glyph, TGlyphState state);

// The yellow padlock of secure pages, 16 x 16 on a transparent background.
QPixmap PadlockPicture();

}  // namespace vyn

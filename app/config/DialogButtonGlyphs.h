#pragma once
// Glyphs of the dialogs' push buttons (OK, Annuler, Aide, Reset), drawn in code. Each icon
// carries four states: normal, disabled, pressed (active) and held down (on).

#include <QIcon>

namespace vyn {

QIcon OkGlyph();
QIcon CancelGlyph();
QIcon HelpGlyph();
QIcon ResetGlyph();

}  // namespace vyn

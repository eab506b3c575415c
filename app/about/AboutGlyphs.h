#pragma once
// Glyphs of the about box's and the news viewer's buttons (Fermer, Nouveautés), drawn in code
// in four states: normal, disabled, pressed (active) and held down (on).

#include <QIcon>

namespace vyn {

QIcon CloseGlyph();
QIcon NewsGlyph();

}  // namespace vyn

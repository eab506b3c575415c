#pragma once
// A button glyph drawn in code, in the four states a glyph button shows: normal in its colour,
// disabled in grey, pressed and held down darker and shifted by one pixel, as a sunken button
// draws its face.

#include <QColor>
#include <QIcon>

#include <functional>

class QPainter;

namespace vyn {

// Draws the glyph on a 16×16 transparent square in the colour given.
using TGlyphPainter = std::function<void(QPainter&, const QColor&)>;

QIcon FourStateIcon(const QColor& colour, const TGlyphPainter& paint);

}  // namespace vyn

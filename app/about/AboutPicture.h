#pragma once
// The side picture of the about box and the news viewer: abstract gold and grey artwork on a
// transparent background, drawn in code.

#include <QPixmap>

namespace vyn {

inline constexpr int AboutPictureWidth = 101;
inline constexpr int AboutPictureHeight = 360;

QPixmap AboutPicture();

}  // namespace vyn

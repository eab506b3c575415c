#pragma once
// Zone icons named by "module#number": the module "vynzones.dll" holds the program's own
// icons; any other module is an icon or image file whose number picks the image inside it.

#include <QPixmap>
#include <QString>

namespace vyn {

inline constexpr char BuiltInZoneIconModule[] = "vynzones.dll";

// The 16 x 16 icon the path names; an empty picture when the path has no "#", the module
// cannot be read or the number names no image.
QPixmap LoadZoneIcon(const QString& iconPath);

}  // namespace vyn

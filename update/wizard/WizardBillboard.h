#pragma once
// The wizard's own billboard picture: a monitor taking an update (a green arrow) on a blue
// gradient, drawn in code at any size.

#include <QPixmap>
#include <QSize>

namespace vyn {

// The picture drawn for `size` (the wizard's is 116 by 201); an empty size gives an empty one.
QPixmap DrawWizardBillboard(QSize size);

}  // namespace vyn

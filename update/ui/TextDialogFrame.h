#pragma once
// What the what's-new and licence windows share: the window itself and the text control.

#include <QString>
#include <string>

class QAbstractScrollArea;
class QDialog;

namespace vyn {

// A window of 400 by 400 centred on the screen, a dialog frame whose only border icon is the
// system menu, with `caption`.
void SetUpTextDialog(QDialog& dialog, const QString& caption);

// The read-only, word-wrapping text control with a vertical scroll bar at (10, 10), sized to
// the client area less 20 by less 60: formatted from the RTF bytes when `richText`, else
// holding the UTF-8 text as plain text.
QAbstractScrollArea* MakeTextControl(QDialog& dialog, const std::string& text, bool richText);

// Standard sizes of the buttons and option buttons of these windows.
constexpr int KButtonWidth = 75;
constexpr int KButtonHeight = 25;
constexpr int KOptionWidth = 113;
constexpr int KOptionHeight = 17;

}  // namespace vyn

#pragma once
// The program's main window, over which its dialogs open.

class QWidget;

namespace vyn {

// Makes `form` the main window unless one is already there; it stays so while it lives.
void SetMainForm(QWidget* form);

// The window a dialog opens over: the active window, else the main window (a menu that has
// just closed may leave no window active). Null when there is neither.
QWidget* DialogOwner();

}  // namespace vyn

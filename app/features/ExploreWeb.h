#pragma once
// Opening an address with the desktop, reporting failures in French.

#include <QString>

class QWidget;

namespace vyn {

// Asks the desktop to open `address`. The result follows the shell's convention: above 32 on
// success, else 0 (out of memory), 2 (file not found), 3 (folder not found), 11 (invalid
// file) or another code.
int ShellOpen(const QString& address);

// The message shown for a failed ShellOpen result.
QString ExploreWebErrorText(int shellResult);

// Opens `address`; on failure shows "Erreur ExploreWeb" with the error text, owned by Window.
void ExploreWeb(QWidget* Window, const QString& Address);

}  // namespace vyn

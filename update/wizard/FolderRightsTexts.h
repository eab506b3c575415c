#pragma once
// The wizard's own texts for a program folder this user cannot write (an installed copy). They
// stand outside the text sets, which hold a fixed list, and are in French like the program.

#include <QString>

namespace vyn {

// The administrator's password will be asked for at the restart; a question, Oui or Non.
QString ElevatedUpdateQuestion();
// No way to ask for it: the update comes from the system's package manager or an administrator.
QString PackagedUpdateNote();
QString YesText();
QString NoText();

}  // namespace vyn

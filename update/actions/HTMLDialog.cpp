#include "update/VudIvazoz.h"

namespace vyn {

void TVudIvazoz::ShowHTMLDialog(const std::string& s) { UserInterface().ShowHTMLDialog(s); }

}  // namespace vyn

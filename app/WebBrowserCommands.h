#pragma once
// Command numbers of the browser control's ExecWB / QueryStatusWB and CommandStateChange,
// numbered as the shell and the stored settings know them.

#include <stdexcept>

namespace vyn {

enum : int {
  OLECMDID_PRINT = 6,
  OLECMDID_PRINTPREVIEW = 7,
  OLECMDID_PROPERTIES = 10,
  OLECMDID_PASTE = 13,
  OLECMDID_UNDO = 15,
  OLECMDID_REDO = 16,
  OLECMDID_SELECTALL = 17,
};

enum : int {
  OLECMDEXECOPT_DODEFAULT = 0,
  OLECMDEXECOPT_PROMPTUSER = 1,
  OLECMDEXECOPT_DONTPROMPTUSER = 2,
  OLECMDEXECOPT_SHOWHELP = 3,
};

enum : int { OLECMDF_SUPPORTED = 1, OLECMDF_ENABLED = 2 };

enum : int { CSC_UPDATECOMMANDS = -1, CSC_NAVIGATEFORWARD = 1, CSC_NAVIGATEBACK = 2 };

// A control operation that cannot be carried out.
class EWebBrowserError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

}  // namespace vyn

#pragma once
// WUPDATE.INI, left in the documents folder by the engine for the updater.

#include <string>

namespace vyn {

struct THandoff {
  std::string LogFileName = "WUPDATE.LOG";  // CONFIG/LOGFILENAME
  int StartCheck = 0;  // CONFIG/STARTCHECK: seconds to watch the restarted program; 0 = not
};

// What it says (the defaults when it is missing); the file stays.
THandoff ReadHandoff();
// The same, and the file is deleted once read.
THandoff TakeHandoff();

}  // namespace vyn

#pragma once
// WUPDATE.INI, left in the documents folder by the engine for the updater.

#include <string>

namespace vyn {

// The log file name it names (CONFIG/LOGFILENAME, "WUPDATE.LOG" when missing); the file is
// deleted once read.
std::string TakeHandoffLogFileName();

}  // namespace vyn

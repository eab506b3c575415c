#pragma once
// The command line the updater is started with.

#include <string>
#include <sys/types.h>

namespace vyn {

struct TUpdaterHandoff {
  pid_t ProcessId = 0;
  bool Logging = false;
  std::string AppName;   // as the control file names it, placeholders expanded
  std::string AppParam;  // quoted in place when it holds a blank
  std::string CurrentDir;
  bool AutoRestart = true;
  std::string Staging;   // the staging text, unquoted
  std::string AppComps;  // the component names, separated by blanks
};

// "PID L|X APP PARAM "STAGING" COMPS": the program to restart as a full path (double-quoted when
// it holds a blank, "null" without AutoRestart), then its parameters. Quotes `AppParam` in
// place when it holds a blank. Double quotes inside the program, parameters and staging text
// are dropped, so that each stays one word.
std::string UpdaterCommandLine(TUpdaterHandoff& handoff);

}  // namespace vyn

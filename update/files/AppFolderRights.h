#pragma once
// Whether this user can replace the application's files, and what can start the updater with
// administrator rights when it cannot.

#include <string>

namespace vyn {

inline constexpr const char* KPkexecProgram = "/usr/bin/pkexec";

struct TAppFolderRights {
  bool Writable = false;  // the current folder, for this process's effective ids
  std::string Elevator;   // the program that raises the updater's rights; "" when there is none
};

// The current folder's rights; `elevator` counts only when it is an executable file.
TAppFolderRights CheckAppFolderRights(const std::string& elevator = KPkexecProgram);

}  // namespace vyn

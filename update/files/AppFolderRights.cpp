#include "update/files/AppFolderRights.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyn {

TAppFolderRights CheckAppFolderRights(const std::string& elevator) {
  TAppFolderRights rights;
  // The files are written with the effective ids, so those are the ones asked about.
  rights.Writable = faccessat(AT_FDCWD, ".", W_OK, AT_EACCESS) == 0;
  struct stat info {};
  if (stat(elevator.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      faccessat(AT_FDCWD, elevator.c_str(), X_OK, AT_EACCESS) == 0)
    rights.Elevator = elevator;
  return rights;
}

}  // namespace vyn

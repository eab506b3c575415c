#include "archive/FileMode.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/FileCreationMode.h"

namespace vyn::archive {

unsigned OutputFileMode(int folder, const std::string& name, std::string_view head) {
  struct stat st {};
  if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
    return st.st_mode & 0777;
  // When the mask cannot be read, the narrowest one.
  return NewFileMode(head, CurrentUmask(077));
}

}  // namespace vyn::archive

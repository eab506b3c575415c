#pragma once
// The permissions of a file that an archive puts in place.

#include <string>
#include <string_view>

namespace vyn::archive {

// The mode for a file about to take the name `name` in the folder `folder` (a descriptor): the
// permission bits of the plain file that is there now (never a link's target, never its
// set-id bits), else 0666 less the umask, plus the executable bits less the umask when `head`,
// the file's first bytes, shows an ELF file or a script.
unsigned OutputFileMode(int folder, const std::string& name, std::string_view head);

}  // namespace vyn::archive

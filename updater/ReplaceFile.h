#pragma once
// The new file that is to replace another: it takes the replaced file's permissions (an
// executable stays executable), or the usual mode of a new file when there is none.

#include <string>

namespace vyn {

// The file of `folder` that `name` replaces: an existing entry of that name without regard to
// case, else folder + name. `folder` "" is the current folder.
std::string ReplacedFile(const std::string& folder, const std::string& name);

// Copies the plain file `from` (never through a link) to the new file `incoming`, which is to
// replace `replaced`.
bool WriteCopy(const std::string& from, const std::string& incoming, const std::string& replaced);

// Moves the plain file `from` to the new file `incoming`, which is to replace `replaced`; on
// another file system it is copied with its last-write time, then removed.
bool WriteMoved(const std::string& from, const std::string& incoming, const std::string& replaced);

}  // namespace vyn

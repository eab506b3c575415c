#pragma once
// Moving a downloaded file to another folder, also across file systems.

#include <string>

namespace vyn {

// Moves the plain file `from` to `to`, replacing `to` in one step, with the mode `to` had (a new
// file's usual mode when there was none). On failure nothing is lost: `from` stays where it
// was and `to` as it was; false.
bool MoveDownload(const std::string& from, const std::string& to);

}  // namespace vyn

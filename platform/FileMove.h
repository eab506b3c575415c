#pragma once
// Moving a finished file into place, also across file systems.

#include <string>

namespace vyn {

// Renames `from` to `to`, replacing `to` in one step. On another file system the file is copied
// (never through a link) beside `to` with `mode` and that copy is renamed, so `to` appears
// whole or not at all; `from` then goes. On failure `from` stays, `to` is as it was, and
// errno tells why; false.
bool MoveFileReplacing(const std::string& from, const std::string& to, unsigned mode);

}  // namespace vyn

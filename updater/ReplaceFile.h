#pragma once
// Putting a file in place of another: the new file takes the replaced file's permissions (an
// executable stays executable) and appears whole or not at all, so a running program's file can
// be replaced.

#include <string>

namespace vyn {

// The file of `folder` that `name` replaces: an existing entry of that name without regard to
// case, else folder + name. `folder` "" is the current folder.
std::string ReplacedFile(const std::string& folder, const std::string& name);

// Copies the plain file `from` (never through a link) over `to`. False, with `to` as it was,
// when it cannot.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Moves the plain file `from` over `to`, also across file systems. False, with both as they
// were, when it cannot.
bool MoveFileKeepingMode(const std::string& from, const std::string& to);

}  // namespace vyn

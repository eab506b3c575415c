#pragma once
// Putting a finished temporary file in place of its target, shared by the downloads and the
// local copy: the old target is deleted (made writable and deleted again when that fails), the
// temporary file is moved there, and the result gets the target's permissions.

#include <string>

namespace vyn {

class TVudIvazoz;

// The mode a file takes at `target`: the old target's when there is one, else 0666 less the
// umask, plus the executable bits (less the umask) when the file's first bytes `head` make it
// an ELF file or a script.
unsigned TargetFileMode(const std::string& target, const std::string& head);

// Deletes `target` when it exists, making it and its folder writable for a second try. On
// failure writes message 972 and the raw log line; false.
bool DeleteOldTarget(TVudIvazoz& engine, const std::string& target);

// Moves `temporary` to `target` (also across file systems) with the mode given. On failure
// writes message 973 and the raw log line, removes the temporary file; false.
bool MoveToTarget(TVudIvazoz& engine, const std::string& temporary, const std::string& target,
                  unsigned mode);

// Removes a temporary file that is no longer wanted; a failure goes to the log as a raw line.
void DiscardTemporary(TVudIvazoz& engine, const std::string& temporary);

}  // namespace vyn

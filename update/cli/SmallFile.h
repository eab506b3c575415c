#pragma once
// Reading a key or signature file named on the command line.

#include <cstddef>
#include <string>

namespace vyn::cli {

// At most `limit` bytes of the regular file at `path` into `text`. Opened without blocking, so
// a FIFO given by mistake is refused instead of waited on. False with `error` set when the
// file cannot be read or is not a regular file.
bool ReadSmallFile(const std::string& path, size_t limit, std::string& text, std::string& error);

}  // namespace vyn::cli

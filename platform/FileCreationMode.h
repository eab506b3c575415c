#pragma once
// The mode a file gets when this process creates it.

#include <string_view>

namespace vyn {

// The process's file-creation mask, read without changing it (umask() itself is process-wide
// and racy between threads); `fallback` when it cannot be read.
unsigned CurrentUmask(unsigned fallback);

// The mode of a new file: 0666 less `mask`, plus the executable bits less `mask` when its
// first bytes `head` show an ELF file or a script.
unsigned NewFileMode(std::string_view head, unsigned mask);

}  // namespace vyn

#pragma once
// The last-write time of a file taken from a cabinet.

#include <mspack.h>

#include <ctime>

namespace vyn::archive {

// The file's DOS date and time read as local time. A file without a date (both zero) gets the
// present moment, and so does one whose date and time form no valid moment.
std::time_t CabinetFileTime(const mscabd_file& file);

}  // namespace vyn::archive

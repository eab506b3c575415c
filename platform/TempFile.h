#pragma once
#include <string>

namespace vyn {

// A new unique file in `folder` named after the first three characters of `prefix` (fewer when
// it is shorter), four uppercase hexadecimal digits and ".tmp", created empty (exclusive create,
// mode 0600). The number starts at an unpredictable value and moves on while the name is taken,
// so concurrent callers in any process get distinct files. Returns the full path, or "" when no
// file could be made (all 65535 names taken, an unwritable or missing folder, an empty folder
// name, or a prefix holding '/'). With keep false the file is removed again and only the name
// is returned.
std::string GetTempFileName(const std::string& folder, const std::string& prefix, bool keep = true);

// The same in the system temporary folder.
std::string GetTempFile(const std::string& prefix, bool keep);

}  // namespace vyn

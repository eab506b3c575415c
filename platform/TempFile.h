#pragma once
#include <string>

namespace vyn {

// A new unique file in `folder` named after the first three letters of `prefix`, hexadecimal
// digits and ".tmp", created empty (exclusive create, mode 0600). Returns its full path, or ""
// when none could be made. With keep false the file is removed again and only the name is
// returned.
std::string GetTempFileName(const std::string& folder, const std::string& prefix, bool keep = true);

// The same in the system temporary folder.
std::string GetTempFile(const std::string& prefix, bool keep);

}  // namespace vyn

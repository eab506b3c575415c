#pragma once
// Writing an embedded resource out as a file.

#include <string>
#include <string_view>

namespace vyn {

// Writes `bytes` to `folder` + `name` with `mode`: beside its place and renamed there, so a
// reader never sees half a file and a link planted under the name is replaced, not followed.
// Throws std::runtime_error naming `what` and the file when it cannot be written.
void WriteResourceFile(std::string_view bytes, const std::string& folder, const std::string& name,
                       unsigned mode, const std::string& what);

}  // namespace vyn

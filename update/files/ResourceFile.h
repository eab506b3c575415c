#pragma once
// Writing out a program that this one carries packed.

#include <string>
#include <string_view>

namespace vyn {

// Writes the SZDD bytes `packed` as `folder` + `name` with its last character replaced by '_',
// and expands that into `folder` + `name`. The packed file is written beside its place and
// renamed there, so a reader never sees half a file and a link planted under the name is
// replaced, not followed. Throws std::runtime_error naming `what` and the folder when the file
// cannot be written or expanded.
void UnpackResource(std::string_view packed, const std::string& folder, const std::string& name,
                    const std::string& what);

}  // namespace vyn

#pragma once
// Expansion of an SZDD-compressed file.

#include <string>

namespace vyn {

// Expands `name` into the file named by its header, in the same folder: the name with its last
// character replaced by the header's character (an existing file of that name without regard
// to case takes its place). The data is written beside it and renamed there only when its
// length is the header's, then `name` is deleted; the expanded path is returned. Otherwise
// `name` is returned and nothing is changed: for a file that is not SZDD, a damaged or short
// one, a header without a character or whose character would make a name that is not a
// sibling of `name` ('\0', '/', '\', ".", "..", or `name` itself), or a write that fails.
std::string ExpandLZFile(const std::string& name);

}  // namespace vyn

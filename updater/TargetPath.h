#pragma once
// Target folders of a component list: {WIN}, {APP}, {SYS}, {TMP} and {PF}.

#include <string>

namespace vyn {

// The folder a placeholder name stands for (compared upper-cased); "" when unknown or unset.
std::string PlaceholderFolder(const std::string& name);

// Replaces every known placeholder with a folder by that folder, NormalizeDirectory'd; unknown
// ones and those without a folder stay as written. '\' in the text is read as '/'. A result
// that is not empty ends with '/'.
std::string ExpandTargetPath(const std::string& text);

}  // namespace vyn

#pragma once
// Placeholder expansion over a folder lookup, shared by the engine and the fuzz target.

#include <functional>
#include <string>

namespace vyn {

// Replaces each "{NAME}" in `path` by `folderOf(NAME)` (NAME upper-cased, without braces) when
// that is not empty; a folder that holds a placeholder itself is expanded again, up to a bound
// that keeps a folder naming itself from growing the text for ever.
std::string ExpandPlaceholderText(const std::string& path,
                                  const std::function<std::string(const std::string&)>& folderOf);

}  // namespace vyn

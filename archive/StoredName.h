#pragma once
// The name of a file as a cabinet stores it, read as a path below the extraction folder.

#include <optional>
#include <string>
#include <vector>

namespace vyn::archive {

// The folders and the file name that `stored` names, '\' and '/' both separating; empty and
// "." steps are dropped. Nothing for a name that is empty, absolute, names a folder (ends with a
// separator) or holds a ".." step: such a name could reach outside the extraction folder.
std::optional<std::vector<std::string>> StoredNameSteps(const std::string& stored);

}  // namespace vyn::archive

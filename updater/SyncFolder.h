#pragma once
// Making renames, links and removals in a folder durable.

#include <string>

namespace vyn {

// The folder of `path` ("." for a bare name).
std::string FolderOf(const std::string& path);

// Flushes the folder's entries to disk; false when it cannot be opened or flushed.
bool SyncFolder(const std::string& folder);

}  // namespace vyn

#pragma once
// The files a release publishes: every regular file under a folder, its subfolders included.

#include <string>
#include <vector>

namespace vyn::cli {

struct TReleaseFile {
  std::string Path;    // under the folder, '/'-separated: "data/fr.dat"
  std::string Folder;  // its subfolder, "" at the top: "data"
  std::string Name;    // "fr.dat"
};

// Sorted by Path (bytes), so a release of the same folder is the same text. `excluded` are
// absolute paths left out (the control file being written and its signature). Throws
// std::runtime_error naming the entry for a symbolic link, anything that is neither a regular
// file nor a folder, a folder that cannot be read, and two files of one name (letter case
// ignored) in different subfolders: the engine stages every download under its name in one
// folder.
std::vector<TReleaseFile> ListReleaseFiles(const std::string& folder,
                                           const std::vector<std::string>& excluded);

}  // namespace vyn::cli

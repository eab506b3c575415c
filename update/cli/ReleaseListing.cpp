#include "update/cli/ReleaseListing.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <system_error>

#include "platform/TextCase.h"

namespace vyn::cli {

namespace fs = std::filesystem;

namespace {

void Walk(const fs::path& root, const std::string& folder, const std::vector<std::string>& excluded,
          std::vector<TReleaseFile>& files) {
  const fs::path here = folder.empty() ? root : root / folder;
  std::error_code ec;
  fs::directory_iterator it(here, ec);
  if (ec) throw std::runtime_error("cannot read the folder " + here.string() + ": " + ec.message());
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path entry = it->path();
    if (std::find(excluded.begin(), excluded.end(), entry.string()) != excluded.end()) continue;
    const std::string name = entry.filename().string();
    const std::string path = folder.empty() ? name : folder + "/" + name;
    const fs::file_status status = it->symlink_status(ec);
    if (ec) throw std::runtime_error("cannot read " + entry.string() + ": " + ec.message());
    if (fs::is_symlink(status))
      throw std::runtime_error(entry.string() +
                               " is a symbolic link: a release lists regular files only");
    if (fs::is_directory(status))
      Walk(root, path, excluded, files);
    else if (fs::is_regular_file(status))
      files.push_back({path, folder, name});
    else
      throw std::runtime_error(entry.string() + " is not a regular file");
  }
  if (ec) throw std::runtime_error("cannot read the folder " + here.string() + ": " + ec.message());
}

}  // namespace

std::vector<TReleaseFile> ListReleaseFiles(const std::string& folder,
                                           const std::vector<std::string>& excluded) {
  std::error_code ec;
  const fs::path root = fs::canonical(folder, ec);
  if (ec) throw std::runtime_error("cannot read the folder " + folder + ": " + ec.message());
  if (!fs::is_directory(root, ec)) throw std::runtime_error(folder + " is not a folder");
  std::vector<TReleaseFile> files;
  Walk(root, "", excluded, files);
  std::sort(files.begin(), files.end(),
            [](const TReleaseFile& a, const TReleaseFile& b) { return a.Path < b.Path; });
  std::map<std::string, std::string> byName;
  for (const TReleaseFile& file : files) {
    const auto [at, added] = byName.emplace(UpperAscii(file.Name), file.Path);
    if (!added)
      throw std::runtime_error(at->second + " and " + file.Path +
                               " have one name: the engine stages every download under its "
                               "name in one folder");
  }
  return files;
}

}  // namespace vyn::cli

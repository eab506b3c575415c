#include "update/cli/ReleaseCommand.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "update/cli/Commands.h"
#include "update/cli/ReleaseAddress.h"
#include "update/cli/ReleaseComponents.h"
#include "update/cli/ReleaseControlFile.h"
#include "update/cli/ReleaseDate.h"
#include "update/cli/ReplacingFile.h"

namespace vyn::cli {

namespace {

// The control file and its signature, should they lie under DIR, as the listing meets them.
std::vector<std::string> OwnFiles(const std::string& output) {
  namespace fs = std::filesystem;
  const fs::path path = fs::absolute(output);
  const std::string own = (fs::weakly_canonical(path.parent_path()) / path.filename()).string();
  return {own, own + ".minisig"};
}

const TReleaseFile* FindPath(const TRelease& release, const std::string& path) {
  for (const TReleaseFile& file : release.Files)
    if (file.Path == path) return &file;
  return nullptr;
}

TRelease MakeRelease(const TCommandOptions& options) {
  TRelease release;
  release.Date = options.ReleaseDate.empty() ? TodayReleaseDate() : options.ReleaseDate;
  release.Files = ListReleaseFiles(options.ReleaseDir, OwnFiles(options.Output));
  if (release.Files.empty()) throw std::runtime_error(options.ReleaseDir + " holds no file");
  for (const TReleaseFile& file : release.Files)
    release.Addresses.push_back(ReleaseFileAddress(options.BaseUrl, file));
  const TReleaseFile* app = nullptr;
  if (!options.AppName.empty()) {
    app = FindPath(release, options.AppName);
    if (!app) throw std::runtime_error("--app " + options.AppName + " is no file of the release");
  }
  CheckComponents(release, options.ReleaseDir, options.AppComps);
  for (const TReleaseFile& file : release.Files) {
    release.Facts.push_back(
        ReadReleaseFacts(options.ReleaseDir + "/" + file.Path, options.ChecksumCrc32));
    if (&file == app) release.NewVersion = release.Facts.back().Version;
  }
  if (app && release.NewVersion.empty())
    std::fprintf(stderr, "vynupdate: %s carries no version: [update] gets no newversion\n",
                 options.AppName.c_str());
  return release;
}

}  // namespace

int ReleaseCommand(const TCommandOptions& options) {
  try {
    const TRelease release = MakeRelease(options);
    TReplacingFile out(options.Output);
    out.Write(ReleaseControlText(options, release));
    out.Commit();
    for (size_t i = 0; i < release.Files.size(); ++i) {
      const TReleaseFacts& facts = release.Facts[i];
      std::printf("%s  %d bytes%s%s\n", release.Files[i].Path.c_str(), facts.Size,
                  facts.Version.empty() ? "" : "  ", facts.Version.c_str());
    }
    std::printf("%s: %zu files, date %s%s%s\n", options.Output.c_str(), release.Files.size(),
                release.Date.c_str(), release.NewVersion.empty() ? "" : ", newversion ",
                release.NewVersion.c_str());
    return KExitDone;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vynupdate: %s\n", e.what());
    return KExitError;
  }
}

}  // namespace vyn::cli

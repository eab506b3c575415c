#include "update/cli/ReleaseControlFile.h"

#include "update/cli/ReleaseComponents.h"

namespace vyn::cli {

namespace {

void Key(std::string& text, const std::string& key, const std::string& value) {
  text += key + "=" + value + "\n";
}

}  // namespace

std::string ReleaseControlText(const TCommandOptions& options, const TRelease& release) {
  std::string text = "[update]\n";
  Key(text, "date", release.Date);
  if (!release.NewVersion.empty()) Key(text, "newversion", release.NewVersion);
  if (!options.AppComps.empty()) {
    text += "\n[application]\n";
    Key(text, "appupdate", "1");
    Key(text, "appname", options.Target + "/" + RestartedProgram(options.AppName));
    Key(text, "appcomps", options.AppComps);
  }
  text += "\n[files]\n";
  Key(text, "count", std::to_string(release.Files.size()));
  for (size_t i = 0; i < release.Files.size(); ++i) {
    const TReleaseFile& file = release.Files[i];
    const TReleaseFacts& facts = release.Facts[i];
    text += "\n[file" + std::to_string(i + 1) + "]\n";
    Key(text, "url", release.Addresses[i]);
    Key(text, "newsize", std::to_string(facts.Size));
    Key(text, "newchecksum", std::to_string(facts.Checksum));
    Key(text, "filesize", std::to_string(facts.Size));
    if (!facts.Version.empty()) Key(text, "newversion", facts.Version);
    Key(text, "sha256", facts.Sha256);
    Key(text, "targetdir", file.Folder.empty() ? options.Target : options.Target + "/" + file.Folder);
  }
  return text;
}

}  // namespace vyn::cli

#include "update/cli/ReleaseComponents.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/TextCase.h"

namespace vyn::cli {

namespace {

bool EndsWithNew(const std::string& name) {
  return name.size() > 4 && UpperAscii(name.substr(name.size() - 4)) == "_NEW";
}

bool IsSzdd(const std::string& path) {
  static const std::string magic("SZDD\x88\xF0\x27\x33", 8);
  std::string head(magic.size(), '\0');
  std::ifstream in(path, std::ios::binary);
  return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == magic;
}

bool UpdaterActsOn(const std::string& name, const std::string& path) {
  if (EndsWithNew(name)) return true;
  const size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : UpperAscii(name.substr(dot));
  for (const char* kind : {".INF", ".PAT", ".CAB", ".EXE"})
    if (extension == kind) return true;
  return IsSzdd(path);
}

}  // namespace

void CheckComponents(const TRelease& release, const std::string& folder,
                     const std::string& components) {
  std::istringstream words(components);
  for (std::string word; words >> word;) {
    const auto file = std::find_if(release.Files.begin(), release.Files.end(), [&](const auto& f) {
      return f.Folder.empty() && UpperAscii(f.Name) == UpperAscii(word);
    });
    if (file == release.Files.end())
      throw std::runtime_error("--appcomps names " + word +
                               ", which is no file at the top of the release folder");
    if (!UpdaterActsOn(file->Name, folder + "/" + file->Path))
      throw std::runtime_error("--appcomps names " + word +
                               ", which the updater would leave in the staging folder: publish "
                               "it as " + word + "_NEW to replace " + word);
  }
}

std::string RestartedProgram(const std::string& app) {
  return EndsWithNew(app) ? app.substr(0, app.size() - 4) : app;
}

}  // namespace vyn::cli

#include <cstdio>
#include <filesystem>
#include <optional>

#include "archive/CabinetExtract.h"
#include "archive/LZExpand.h"
#include "platform/Folders.h"
#include "platform/TextCase.h"
#include "update/files/MoveDownload.h"
#include "update/VudIvazoz.h"

namespace fs = std::filesystem;

namespace vyn {

namespace {
// A name of a file in its folder, nothing that reaches another folder.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool InCurrentFolder(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  std::error_code error;
  return parent.empty() || fs::equivalent(parent, ".", error);
}

// `text` as one word of a command line: quoted when it holds a separator. A double quote
// cannot be carried through the split at all, so such a text gives none.
std::optional<std::string> CommandWord(const std::string& text) {
  if (text.find('"') != std::string::npos) return std::nullopt;
  for (char c : text)
    if (static_cast<unsigned char>(c) <= ' ') return "\"" + text + "\"";
  return text;
}
}  // namespace

void TVudIvazoz::PostProcessDownload(const std::string& F, const std::string& D,
                                     const std::string& TargetDir, bool Compressed,
                                     const std::string& LocalVersion) {
  if (!IsPlainName(F)) return;
  const std::string extension = UpperExtension(F);
  const bool cabinet = extension == ".CAB";
  const bool patch = extension == ".PAT";
  std::string location = D + F;
  bool relocated = false;

  if (!cabinet && !patch && UseWinTempDir && !TargetDir.empty()) {
    const std::string folder = IncludeTrailingSlash(TargetDir);
    // The installed file is the one replaced, whatever the case of its name.
    std::string destination = FindFileNoCase(folder, F);
    if (destination.empty()) destination = folder + F;
    if (destination != location && MoveDownload(location, destination)) {
      location = destination;
      relocated = true;
    }
  }

  if (!cabinet && ExtractCAB && Compressed) {
    if (InCurrentFolder(location)) {
      ExpandLZFile(location);
    } else if (!relocated && FindFileNoCase("", F).empty() && MoveDownload(location, F)) {
      // Expanded only when it came here: another file of that name is never touched, and a
      // file relocated elsewhere stays as it is.
      ExpandLZFile(F);
    }
  }

  if (cabinet && ExtractCAB && Compressed) {
    const std::string path = IncludeTrailingSlash(D) + F;
    if (ExtractCabinet(path, TargetDir) != 0)
      LogStatus(947, path, 8, 0);
    else if (!KeepIntermediateFiles)
      std::remove(path.c_str());
  }

  if (patch && ApplyPatch && !LocalVersion.empty()) {
    if (Utility && FindFileNoCase("", "patcher.exe").empty()) ExtractPatcher();
    bool showWindow = true;
    bool animation = false;
    std::string caption;
    std::string message;
    if (Utility) {
      showWindow = Utility->ShowWindow;
      animation = Utility->ShowAnimation;
      caption = Utility->StatusCaption;
      message = Utility->StatusMessage;
    }
    // The patch file is named where it lies, so the tool finds it in the staging folder too.
    const std::string patchFile = D + F;
    const auto patchWord = CommandWord(patchFile);
    const auto installedWord = CommandWord(LocalVersion);
    if (patchWord && installedWord) {
      const std::string command =
          Logging ? "patcher.exe -v " + *patchWord + " " + *installedWord + " >> WUPDATE.LOG"
                  : "patcher.exe " + *patchWord + " " + *installedWord;
      ExecAndWait(command, showWindow, animation, caption, message);
    } else {
      AddToLog("Patch not applied, a double quote in its names: " + patchFile + " " +
               LocalVersion);
    }
    if (!KeepIntermediateFiles) std::remove(patchFile.c_str());
  }
}

}  // namespace vyn

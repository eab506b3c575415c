#include "update/files/UpdaterCommandLine.h"

#include <algorithm>

namespace vyn {

namespace {
// One word of the updater's command line whatever the text holds: the splitter drops double
// quotes and ends a word at any character up to the space, so a quote or a tab in a name from
// the control file would otherwise start words of its own (another staging folder, say), and
// it cannot see an empty word, which therefore goes as a blank, the engine's "none".
std::string Word(std::string text, bool alwaysQuoted = false) {
  std::erase(text, '"');
  if (text.empty()) text = " ";
  const bool blank = std::any_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  return alwaysQuoted || blank ? "\"" + text + "\"" : text;
}
}  // namespace

std::string UpdaterCommandLine(TUpdaterHandoff& h) {
  // A path is complete when it starts at the root; a Windows drive letter also says so.
  const bool complete = h.AppName.rfind('/', 0) == 0 || h.AppName.find(':') != std::string::npos;
  std::string folder = h.CurrentDir;
  if (folder.empty() || folder.back() != '/') folder += '/';
  std::string app = Word(complete ? h.AppName : folder + h.AppName);
  if (!h.AutoRestart) app = "null";
  h.AppParam = Word(h.AppParam);
  return std::to_string(h.ProcessId) + (h.Logging ? " L " : " X ") + app + " " + h.AppParam +
         " " + Word(h.Staging, true) + " " + h.AppComps;
}

}  // namespace vyn

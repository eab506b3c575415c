#include "update/files/UpdaterCommandLine.h"

namespace vyn {

namespace {
std::string QuotedWhenBlank(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}
}  // namespace

std::string UpdaterCommandLine(TUpdaterHandoff& h) {
  // A path is complete when it starts at the root; a Windows drive letter also says so.
  const bool complete = h.AppName.rfind('/', 0) == 0 || h.AppName.find(':') != std::string::npos;
  std::string folder = h.CurrentDir;
  if (folder.empty() || folder.back() != '/') folder += '/';
  std::string app = QuotedWhenBlank(complete ? h.AppName : folder + h.AppName);
  if (!h.AutoRestart) app = "null";
  h.AppParam = QuotedWhenBlank(h.AppParam);
  return std::to_string(h.ProcessId) + (h.Logging ? " L " : " X ") + app + " " + h.AppParam +
         " \"" + h.Staging + "\" " + h.AppComps;
}

}  // namespace vyn

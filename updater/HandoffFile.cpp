#include "updater/HandoffFile.h"

#include <unistd.h>

#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace vyn {

std::string TakeHandoffLogFileName() {
  const std::string documents = DocumentsDir();
  const std::string path =
      documents.empty() ? "WUPDATE.INI" : IncludeTrailingSlash(documents) + "WUPDATE.INI";
  const std::string name = TIniFile(path).ReadString("CONFIG", "LOGFILENAME", "WUPDATE.LOG");
  unlink(path.c_str());
  return name;
}

}  // namespace vyn

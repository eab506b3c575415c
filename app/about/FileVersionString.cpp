#include "app/about/FileVersionString.h"

#include "app/about/OSError.h"
#include "platform/FileVersion.h"
#include "platform/Folders.h"

#include <cerrno>

#include <unistd.h>

namespace vyn {

QString FileVersionString(const std::string& fileName) {
  const std::optional<TFixedFileInfo> info = ReadFixedFileInfo(fileName);
  if (!info) RaiseOSError(access(fileName.c_str(), R_OK) == 0 ? ENODATA : errno);
  return QString::fromStdString(FormatFileVersion(*info));
}

QString GetFileVersionString() { return FileVersionString(ExePath()); }

}  // namespace vyn

#pragma once
// The file a patch applies to: a plain file, never reached through a link at its own name, held
// open together with its folder so the result replaces exactly the file that was read.

#include <sys/stat.h>

#include <string>

#include "platform/FileDescriptor.h"

namespace vyn::patcher {

class TTargetFile {
public:
  // Opens `path` for reading; throws TPatchError for a missing file, a link, a folder or any
  // other file that is not a plain one.
  explicit TTargetFile(const std::string& path);

  int Folder() const { return FFolder.Get(); }
  const std::string& Name() const { return FName; }
  int Fd() const { return FFile.Get(); }
  const struct stat& Status() const { return FStatus; }

  // Throws when the folder no longer holds the file that was opened under its name.
  void CheckUnchanged() const;

private:
  std::string FPath;
  std::string FName;
  TFileDescriptor FFolder;
  TFileDescriptor FFile;
  struct stat FStatus {};
};

}  // namespace vyn::patcher

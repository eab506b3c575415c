#pragma once
// The new file, written under a fresh name in the target's folder and renamed over the target
// once complete; removed again when it is not.

#include <sys/stat.h>

#include <cstddef>
#include <string>

#include "platform/FileDescriptor.h"

namespace vyn::patcher {

class TTempBeside {
public:
  // Creates an empty file only this process can open, in the folder `folder` (a descriptor).
  explicit TTempBeside(int folder);
  ~TTempBeside();
  TTempBeside(const TTempBeside&) = delete;
  TTempBeside& operator=(const TTempBeside&) = delete;

  void Write(const void* data, size_t size);
  // Gives the file the owner and mode of `like`, flushes it to disk and renames it to `name`.
  void Replace(const std::string& name, const struct stat& like);

private:
  int FFolder;
  std::string FName;
  TFileDescriptor FFile;
  bool FDone = false;
};

}  // namespace vyn::patcher

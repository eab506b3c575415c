#pragma once
// A file written whole or not at all: the data goes into a temporary file beside the target,
// which replaces the target only on Commit. A reader never sees half a file, and a failure or
// an exception leaves the old file as it was.

#include <string>

#include "platform/FileDescriptor.h"

namespace vyn::cli {

class TReplacingFile {
public:
  // Creates the temporary file in the target's folder; throws std::runtime_error when it cannot.
  explicit TReplacingFile(std::string target);
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  void Write(const char* data, size_t size);
  void Write(const std::string& text) { Write(text.data(), text.size()); }
  // Gives the file the usual mode of a new file, flushes it and renames it over the target.
  void Commit();

private:
  std::string FTarget;
  std::string FTemporary;
  TFileDescriptor FFile;
};

}  // namespace vyn::cli

#pragma once
// A file written under a temporary name in its folder and renamed to its real name only when
// whole: a damaged archive never replaces a good file, and a link at the real name is replaced
// itself, never followed.

#include <ctime>
#include <cstdint>
#include <optional>
#include <string>

#include "archive/OutputFolder.h"

namespace vyn::archive {

class TOutputFile {
public:
  // Creates the temporary file (mode 0600) in `folder`; check IsOpen().
  explicit TOutputFile(const TOutputFolder& folder);
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;
  // Removes the temporary file unless Commit put it in place.
  ~TOutputFile();

  bool IsOpen() const { return FHandle >= 0; }
  int Handle() const { return FHandle; }
  std::uint64_t Size() const;

  // Gives the file its mode (see OutputFileMode) and, when given, its last-write time, writes
  // it to disk when it replaces something, and renames it to `name` in the folder.
  bool Commit(const std::string& name, std::optional<std::time_t> lastWrite);

private:
  int FFolder = -1;
  int FHandle = -1;
  std::string FName;
};

}  // namespace vyn::archive

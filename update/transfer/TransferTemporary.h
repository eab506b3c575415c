#pragma once
// The temporary file a transfer writes before it replaces its target. Creating or writing it
// throws std::runtime_error; one that is neither kept nor released is removed on destruction,
// so no failed or interrupted transfer leaves it behind.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "update/trust/Sha256.h"

namespace vyn {

class TVudIvazoz;

class TTemporaryFile {
public:
  // A new file "WUP<hex>.tmp" in `folder`, opened for writing. `hashed`: the SHA-256 of what
  // is written is taken on the way.
  explicit TTemporaryFile(const std::string& folder, bool hashed = false);
  ~TTemporaryFile();
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;

  const std::string& Path() const { return FPath; }
  // The first bytes written (up to 4): enough to tell an executable.
  const std::string& Head() const { return FHead; }
  void Write(const char* data, size_t size);
  // The lower-case hex SHA-256 of everything written; only for a hashed file, and only once.
  std::string Sha256();
  // Flushes and closes the file.
  void Close();
  // The caller takes over the file (to move it, or to remove it itself).
  void Release() { FReleased = true; }

private:
  std::string FPath;
  std::string FHead;
  std::optional<TSha256> FHash;
  std::vector<char> FBuffer;  // declared before FFile: outlives the stream that uses it
  FILE* FFile = nullptr;
  bool FReleased = false;
};

}  // namespace vyn

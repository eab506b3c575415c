#pragma once
// The file access libmspack's decompressors go through: buffered descriptor I/O in place of
// stdio, reading any file but writing only into the one output handed over for each file, and
// never beyond the length its archive declares.

#include <mspack.h>

#include <cstdint>

namespace vyn::archive {

// The name to pass to a decompressor's extract(): it stands for the output set by SetOutput.
inline constexpr const char* kOutputName = "<output>";

class TMspackSystem : public mspack_system {
public:
  TMspackSystem();
  TMspackSystem(const TMspackSystem&) = delete;
  TMspackSystem& operator=(const TMspackSystem&) = delete;

  // The next file opened for writing is `handle` (left open); a write past `limit` bytes fails.
  void SetOutput(int handle, std::uint64_t limit);
  // True when the last output took every byte it was given and no write failed.
  bool OutputWhole() const { return !FWriteFailed; }

  // For the open and close callbacks: the output handle when `name` stands for it (once per
  // SetOutput), else -1; and a failure found when the output was closed.
  int TakeOutput(const char* name);
  void OutputFailed() { FWriteFailed = true; }

private:
  friend struct TMspackFile;
  int FOutput = -1;
  std::uint64_t FLimit = 0;
  std::uint64_t FWritten = 0;
  bool FWriteFailed = false;
};

}  // namespace vyn::archive

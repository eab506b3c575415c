#pragma once
// A whole file mapped read-only: the patch's reference must be addressable at once.

#include <cstddef>

namespace vyn::patcher {

class TMappedFile {
public:
  // Maps `size` bytes of the open file `fd`; an empty file maps nothing.
  TMappedFile(int fd, size_t size);
  ~TMappedFile();
  TMappedFile(const TMappedFile&) = delete;
  TMappedFile& operator=(const TMappedFile&) = delete;

  const void* Data() const { return FData; }
  size_t Size() const { return FSize; }

private:
  void* FData = nullptr;
  size_t FSize = 0;
};

}  // namespace vyn::patcher

#include "patcher/MappedFile.h"

#include <sys/mman.h>

#include "patcher/PatchError.h"

namespace vyn::patcher {

TMappedFile::TMappedFile(int fd, size_t size) : FSize(size) {
  if (size == 0) return;
  FData = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (FData == MAP_FAILED) {
    FData = nullptr;
    ThrowSystemError("cannot map the file to patch");
  }
}

TMappedFile::~TMappedFile() {
  if (FData) munmap(FData, FSize);
}

}  // namespace vyn::patcher

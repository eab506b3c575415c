#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <string>

namespace vyn {

// Feeds the file to `Consume(const unsigned char*, size_t)` in blocks; false when it cannot be
// read to its end.
template <typename TConsume>
bool ReadFileBlocks(const std::string& Path, TConsume Consume) {
  const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::array<unsigned char, 1 << 16> buffer{};
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    Consume(buffer.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok;
}

}  // namespace vyn

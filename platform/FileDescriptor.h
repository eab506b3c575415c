#pragma once
// An open file descriptor closed when it goes out of scope.

#include <unistd.h>

namespace vyn {

class TFileDescriptor {
public:
  explicit TFileDescriptor(int fd = -1) : FFd(fd) {}
  ~TFileDescriptor() {
    if (FFd >= 0) close(FFd);
  }
  TFileDescriptor(TFileDescriptor&& other) noexcept : FFd(other.FFd) { other.FFd = -1; }
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept {
    if (this != &other) {
      if (FFd >= 0) close(FFd);
      FFd = other.FFd;
      other.FFd = -1;
    }
    return *this;
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return FFd; }
  // Closes now, reporting the result (a deferred write error shows here).
  int Close() {
    const int result = close(FFd);
    FFd = -1;
    return result;
  }

private:
  int FFd;
};

}  // namespace vyn

#include "update/cli/PublicKeyOption.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileDescriptor.h"
#include "update/trust/MinisignKey.h"

namespace vyn::cli {

namespace {

// A .pub file is two short lines; anything much larger is not one.
constexpr size_t KMaxKeyFileSize = 4096;

bool ReadKeyFile(const std::string& path, std::string& text, std::string& error) {
  // Non-blocking, so a FIFO given by mistake is refused instead of waited on.
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) return error = std::strerror(errno), false;
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0) return error = std::strerror(errno), false;
  if (!S_ISREG(st.st_mode)) return error = "not a regular file", false;
  char buffer[KMaxKeyFileSize + 1];
  size_t filled = 0;
  while (filled < sizeof buffer) {
    const ssize_t n = read(fd.Get(), buffer + filled, sizeof buffer - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return error = std::strerror(errno), false;
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  if (filled > KMaxKeyFileSize) return error = "too large for a public key file", false;
  text.assign(buffer, filled);
  return true;
}

}  // namespace

bool ReadPublicKeyOption(const std::string& value, std::string& key, std::string& error) {
  if (ParseMinisignPublicKey(value)) {
    key = value;
    return true;
  }
  std::string text;
  std::string why;
  if (!ReadKeyFile(value, text, why)) {
    error = "--public-key " + value + " is not a minisign public key, nor a readable key file (" +
            why + ")";
    return false;
  }
  if (!ParseMinisignPublicKey(text)) {
    error = "--public-key " + value + " holds no minisign public key";
    return false;
  }
  key = text;
  return true;
}

}  // namespace vyn::cli

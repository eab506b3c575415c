#include "update/cli/ReleaseFacts.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "platform/FileVersion.h"
#include "update/VudIvazoz.h"
#include "update/trust/Sha256.h"

namespace vyn::cli {

namespace {

struct stat Status(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0)
    throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw std::runtime_error(path + " is not a regular file");
  return st;
}

bool Same(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

TReleaseFacts ReadReleaseFacts(const std::string& path, bool crc32) {
  const struct stat before = Status(path);
  if (before.st_size > std::numeric_limits<int32_t>::max())
    throw std::runtime_error(path + " is 2 GiB or larger: a control file cannot describe it");
  TReleaseFacts facts;
  facts.Size = static_cast<int32_t>(before.st_size);
  const auto sha256 = Sha256OfFile(path);
  if (!sha256) throw std::runtime_error("cannot read " + path);
  facts.Sha256 = *sha256;
  // The engine's own sums, so its file checks agree with what is written here.
  facts.Checksum = crc32 ? TVudIvazoz::FileCRC32(path) : TVudIvazoz::FileByteSum(path);
  if (const auto info = ReadFixedFileInfo(path); info && info->Signature == 0xFEEF04BDu)
    facts.Version = FormatFileVersion(*info);
  if (!Same(before, Status(path))) throw std::runtime_error(path + " changed while it was read");
  return facts;
}

}  // namespace vyn::cli

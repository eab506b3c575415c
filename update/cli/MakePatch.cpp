#include "update/cli/MakePatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/FileDescriptor.h"
#include "update/cli/ReplacingFile.h"

namespace vyn::cli {

namespace {
constexpr int KLevel = 19;
// The patch tool refuses larger windows; a patch it would refuse is not made.
constexpr uint64_t KMaxWindowSize = uint64_t{1} << 31;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

struct TCCtxFree {
  void operator()(ZSTD_CCtx* context) const { ZSTD_freeCCtx(context); }
};

TFileDescriptor OpenInput(const std::string& path, uint64_t& size) {
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) Fail("cannot open " + path);
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0) Fail("cannot read " + path);
  if (!S_ISREG(status.st_mode)) throw std::runtime_error(path + " is not a plain file");
  size = static_cast<uint64_t>(status.st_size);
  if (size > KMaxWindowSize)
    throw std::runtime_error(path + " is larger than a patch can cover (2 GiB)");
  return fd;
}

size_t ReadSome(int fd, char* buffer, size_t size, const std::string& path) {
  size_t filled = 0;
  while (filled < size) {
    const ssize_t n = read(fd, buffer + filled, size - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read " + path);
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  return filled;
}

void Check(size_t result) {
  if (ZSTD_isError(result))
    throw std::runtime_error(std::string("cannot make the patch: ") + ZSTD_getErrorName(result));
}

int WindowLog(uint64_t size) {
  int log = 0;
  while ((uint64_t{1} << log) < size) ++log;
  const ZSTD_bounds bounds = ZSTD_cParam_getBounds(ZSTD_c_windowLog);
  return std::clamp(log, bounds.lowerBound, bounds.upperBound);
}

}  // namespace

TMadePatch MakePatch(const std::string& oldPath, const std::string& newPath,
                     const std::string& patchPath) {
  TMadePatch made;
  TFileDescriptor oldFile = OpenInput(oldPath, made.Old);
  TFileDescriptor newFile = OpenInput(newPath, made.New);
  // The reference must be whole in memory; the new file is streamed.
  std::vector<char> reference(static_cast<size_t>(made.Old));
  if (ReadSome(oldFile.Get(), reference.data(), reference.size(), oldPath) != reference.size())
    throw std::runtime_error(oldPath + " changed while it was read");

  std::unique_ptr<ZSTD_CCtx, TCCtxFree> context(ZSTD_createCCtx());
  if (!context) throw std::runtime_error("out of memory");
  ZSTD_CCtx* c = context.get();
  Check(ZSTD_CCtx_setParameter(c, ZSTD_c_compressionLevel, KLevel));
  Check(ZSTD_CCtx_setParameter(c, ZSTD_c_checksumFlag, 1));
  Check(ZSTD_CCtx_setParameter(c, ZSTD_c_enableLongDistanceMatching, 1));
  Check(ZSTD_CCtx_setParameter(c, ZSTD_c_windowLog, WindowLog(std::max(made.Old, made.New))));
  Check(ZSTD_CCtx_setPledgedSrcSize(c, made.New));
  Check(ZSTD_CCtx_refPrefix(c, reference.data(), reference.size()));

  TReplacingFile out(patchPath);

  std::vector<char> input(ZSTD_CStreamInSize());
  std::vector<char> output(ZSTD_CStreamOutSize());
  uint64_t fed = 0;
  for (bool last = false; !last;) {
    const size_t n = ReadSome(newFile.Get(), input.data(), input.size(), newPath);
    fed += n;
    last = n < input.size();
    ZSTD_inBuffer in{input.data(), n, 0};
    for (bool flushed = false; !flushed;) {
      ZSTD_outBuffer o{output.data(), output.size(), 0};
      const size_t remaining = ZSTD_compressStream2(c, &o, &in, last ? ZSTD_e_end : ZSTD_e_continue);
      Check(remaining);
      out.Write(output.data(), o.pos);
      made.Patch += o.pos;
      flushed = last ? remaining == 0 : in.pos == in.size;
    }
  }
  if (fed != made.New) throw std::runtime_error(newPath + " changed while it was read");

  out.Commit();
  return made;
}

}  // namespace vyn::cli

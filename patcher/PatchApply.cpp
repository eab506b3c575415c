#include "patcher/PatchApply.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>
#include <zstd_errors.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/FileDescriptor.h"
#include "patcher/FrameLimits.h"
#include "patcher/MappedFile.h"
#include "patcher/PatchError.h"
#include "patcher/TargetFile.h"
#include "patcher/TempBeside.h"

namespace vyn::patcher {

void ThrowSystemError(const std::string& what) {
  throw TPatchError(what + ": " + std::strerror(errno));
}

namespace {
struct TDCtxFree {
  void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};

TFileDescriptor OpenPatch(const std::string& path, uint64_t& size) {
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) ThrowSystemError("cannot open the patch " + path);
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0) ThrowSystemError("cannot read the patch " + path);
  if (!S_ISREG(status.st_mode)) throw TPatchError("the patch " + path + " is not a plain file");
  size = static_cast<uint64_t>(status.st_size);
  return fd;
}

// Fills `buffer` as far as the file goes; the count read.
size_t ReadSome(int fd, std::vector<char>& buffer) {
  size_t filled = 0;
  while (filled < buffer.size()) {
    const ssize_t n = read(fd, buffer.data() + filled, buffer.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowSystemError("cannot read the patch");
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  return filled;
}

void Check(size_t result) {
  if (!ZSTD_isError(result)) return;
  if (ZSTD_getErrorCode(result) == ZSTD_error_checksum_wrong)
    throw TPatchError("the result's checksum does not match: the file is not the one the patch "
                      "was made for, or the patch is damaged");
  throw TPatchError(std::string("the patch cannot be applied to this file: ") +
                    ZSTD_getErrorName(result));
}
}  // namespace

TPatchSizes ApplyPatch(const std::string& patchPath, const std::string& targetPath) {
  TPatchSizes sizes;
  TFileDescriptor patch = OpenPatch(patchPath, sizes.Patch);
  TTargetFile target(targetPath);
  sizes.Reference = static_cast<uint64_t>(target.Status().st_size);
  const TMappedFile reference(target.Fd(), static_cast<size_t>(sizes.Reference));

  std::vector<char> input(ZSTD_DStreamInSize());
  std::vector<char> output(ZSTD_DStreamOutSize());
  ZSTD_inBuffer in{input.data(), ReadSome(patch.Get(), input), 0};
  const int windowLog = CheckFrameHeader(input.data(), in.size);

  std::unique_ptr<ZSTD_DCtx, TDCtxFree> context(ZSTD_createDCtx());
  if (!context) throw TPatchError("out of memory");
  Check(ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, windowLog));
  if (reference.Size() > 0)
    Check(ZSTD_DCtx_refPrefix(context.get(), reference.Data(), reference.Size()));

  TTempBeside result(target.Folder());
  bool frameDone = false;
  auto step = [&] {
    ZSTD_outBuffer out{output.data(), output.size(), 0};
    const size_t remaining = ZSTD_decompressStream(context.get(), &out, &in);
    Check(remaining);
    result.Write(output.data(), out.pos);
    sizes.Result += out.pos;
    frameDone = remaining == 0;
    return out.pos;
  };
  for (;;) {
    if (in.pos == in.size) {
      in = {input.data(), ReadSome(patch.Get(), input), 0};
      if (in.size == 0) break;
    }
    // One frame, one reference: anything after it would be decoded without the reference.
    if (frameDone) throw TPatchError("the patch has data after its end");
    step();
  }
  // Output the decoder still holds once the input is all read.
  while (!frameDone && step() > 0) {
  }
  if (!frameDone) throw TPatchError("the patch is truncated");

  target.CheckUnchanged();
  result.Replace(target.Name(), target.Status());
  return sizes;
}

}  // namespace vyn::patcher

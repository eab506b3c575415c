#include "update/transfer/CopyLocalFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "update/transfer/TransferTarget.h"
#include "update/transfer/TransferTemporary.h"
#include "update/trust/Sha256.h"
#include "update/VudIvazoz.h"

namespace vyn {

namespace {
constexpr size_t KCopyBlockSize = 32768;

struct TFileDescriptor {
  int Fd;
  ~TFileDescriptor() {
    if (Fd >= 0) close(Fd);
  }
};
}  // namespace

bool CopyLocalFile(TVudIvazoz& engine, const std::string& source, const std::string& target,
                   const TTransferCheck& check) {
  if (source == target) {
    engine.LogStatus(912, source, 10, 3);
    return false;
  }
  // Opened without waiting, so a named pipe or a device cannot hold the copy; only a plain
  // file is copied.
  TFileDescriptor in{open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
  struct stat st {};
  if (in.Fd < 0 || fstat(in.Fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      fcntl(in.Fd, F_SETFL, fcntl(in.Fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    engine.LogStatus(913, source, 2, 1);
    return false;
  }
  const off_t size = lseek(in.Fd, 0, SEEK_END);
  if (size < 0 || lseek(in.Fd, 0, SEEK_SET) != 0) {
    engine.LogStatus(914, source, 10, 2);
    return false;
  }
  if (check.MaxSize > 0 && size > check.MaxSize) {
    engine.LogStatus(908, source, 20, 10);
    return false;
  }

  // A copy that cannot make or write its temporary file fails quietly; the temporary file
  // goes with the object.
  std::optional<TTemporaryFile> temporary;
  try {
    temporary.emplace(engine.WinTempDir(), !check.Sha256.empty());
  } catch (const std::runtime_error&) {
    return false;
  }
  std::vector<char> block(KCopyBlockSize);
  bool cancel = false;
  bool failed = false;
  int64_t total = 0;
  try {
    for (;;) {
      const ssize_t n = read(in.Fd, block.data(), block.size());
      if (n < 0) {
        failed = true;
        break;
      }
      total += n;
      // A file that grows while it is copied is held to its limit all the same.
      if (check.MaxSize > 0 && total > check.MaxSize) {
        failed = true;
        break;
      }
      temporary->Write(block.data(), static_cast<size_t>(n));
      engine.DoFileProgress(source, total, size);
      engine.DoProgressCancel(cancel);
      engine.UserInterface().ProcessPendingEvents();
      if (n == 0 || cancel) break;
    }
    temporary->Close();
  } catch (const std::runtime_error&) {
    failed = true;
  }
  if (cancel) engine.Cancel();
  if (cancel || failed) return false;
  if (!check.Sha256.empty() && !Sha256Matches(check.Sha256, temporary->Sha256())) return false;

  const unsigned mode = TargetFileMode(target, temporary->Head());
  if (!DeleteOldTarget(engine, target)) return false;
  temporary->Release();
  return MoveToTarget(engine, temporary->Path(), target, mode);
}

}  // namespace vyn

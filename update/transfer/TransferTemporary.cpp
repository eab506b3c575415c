#include "update/transfer/TransferTemporary.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/TempFile.h"

namespace vyn {

namespace {
constexpr size_t KWriteBufferSize = 256 * 1024;
}

TTemporaryFile::TTemporaryFile(const std::string& folder, bool hashed) {
  if (hashed) FHash.emplace();
  FPath = GetTempFileName(folder, "WUPD");
  if (FPath.empty()) throw std::runtime_error("Cannot create a temporary file in " + folder);
  FFile = std::fopen(FPath.c_str(), "wb");
  if (!FFile) {
    const std::string reason = std::strerror(errno);
    std::remove(FPath.c_str());
    throw std::runtime_error("Cannot open " + FPath + ": " + reason);
  }
  // The engine writes blocks of 4096 bytes; the disk gets them in large writes.
  FBuffer.resize(KWriteBufferSize);
  std::setvbuf(FFile, FBuffer.data(), _IOFBF, FBuffer.size());
}

TTemporaryFile::~TTemporaryFile() {
  if (FFile) std::fclose(FFile);
  if (!FReleased) std::remove(FPath.c_str());
}

void TTemporaryFile::Write(const char* data, size_t size) {
  if (FHead.size() < 4) FHead.append(data, std::min<size_t>(size, 4 - FHead.size()));
  if (size > 0 && std::fwrite(data, 1, size, FFile) != size)
    throw std::runtime_error("Cannot write " + FPath + ": " + std::strerror(errno));
  if (FHash) FHash->Update(data, size);
}

std::string TTemporaryFile::Sha256() {
  if (!FHash) throw std::logic_error("The temporary file " + FPath + " is not hashed");
  std::string digest = FHash->HexDigest();
  FHash.reset();
  return digest;
}

void TTemporaryFile::Close() {
  if (!FFile) return;
  FILE* file = FFile;
  FFile = nullptr;
  if (std::fclose(file) != 0)
    throw std::runtime_error("Cannot write " + FPath + ": " + std::strerror(errno));
}

}  // namespace vyn

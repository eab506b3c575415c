// vyn-szdd-pack INPUT OUTPUT: packs INPUT to SZDD in OUTPUT; the header keeps INPUT's last
// name character. OUTPUT appears whole or not at all.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/szdd/SzddPack.h"

namespace {

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// The whole input, mapped read-only.
class TMappedInput {
public:
  explicit TMappedInput(const std::string& path) {
    FDescriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (FDescriptor < 0) throw SystemError("cannot open " + path);
    struct stat facts {};
    if (fstat(FDescriptor, &facts) != 0) throw SystemError("cannot read " + path);
    if (!S_ISREG(facts.st_mode)) throw std::runtime_error(path + " is not a regular file");
    FSize = static_cast<std::size_t>(facts.st_size);
    if (static_cast<std::uint64_t>(facts.st_size) > vyn::kSzddMaxSize)
      throw std::runtime_error(path + " has " + std::to_string(facts.st_size) +
                               " bytes; SZDD holds at most " + std::to_string(vyn::kSzddMaxSize));
    if (FSize == 0) return;
    FAddress = mmap(nullptr, FSize, PROT_READ, MAP_PRIVATE, FDescriptor, 0);
    if (FAddress == MAP_FAILED) {
      FAddress = nullptr;
      throw SystemError("cannot map " + path);
    }
    madvise(FAddress, FSize, MADV_SEQUENTIAL);
  }
  ~TMappedInput() {
    if (FAddress) munmap(FAddress, FSize);
    if (FDescriptor >= 0) close(FDescriptor);
  }
  TMappedInput(const TMappedInput&) = delete;
  TMappedInput& operator=(const TMappedInput&) = delete;

  std::string_view Bytes() const { return {static_cast<const char*>(FAddress), FAddress ? FSize : 0}; }

private:
  int FDescriptor = -1;
  void* FAddress = nullptr;
  std::size_t FSize = 0;
};

// Writes beside the target and renames it into place on Commit; removed otherwise.
class TOutputFile {
public:
  explicit TOutputFile(std::string path) : FPath(std::move(path)), FTemporary(FPath + ".partial") {
    FFile = std::fopen(FTemporary.c_str(), "wb");
    if (!FFile) throw SystemError("cannot create " + FTemporary);
  }
  ~TOutputFile() {
    if (FFile) std::fclose(FFile);
    if (!FCommitted) std::remove(FTemporary.c_str());
  }
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  void Write(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), FFile) != bytes.size()) throw SystemError("cannot write " + FTemporary);
  }
  void Commit() {
    const int result = std::fclose(FFile);
    FFile = nullptr;
    if (result != 0) throw SystemError("cannot write " + FTemporary);
    if (std::rename(FTemporary.c_str(), FPath.c_str()) != 0) throw SystemError("cannot create " + FPath);
    FCommitted = true;
  }

private:
  std::string FPath;
  std::string FTemporary;
  std::FILE* FFile = nullptr;
  bool FCommitted = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: vyn-szdd-pack INPUT OUTPUT\n");
    return 2;
  }
  try {
    const std::string input = argv[1];
    const TMappedInput data(input);
    TOutputFile output(argv[2]);
    vyn::PackSzdd(data.Bytes(), input.back(), [&](std::string_view piece) { output.Write(piece); });
    output.Commit();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vyn-szdd-pack: %s\n", error.what());
    return 1;
  }
  return 0;
}

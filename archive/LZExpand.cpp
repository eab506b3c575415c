#include "archive/LZExpand.h"

#include <unistd.h>

#include <memory>
#include <optional>

#include "archive/MspackSystem.h"
#include "archive/OutputFile.h"
#include "archive/OutputFolder.h"

namespace vyn {

namespace {

struct TDecompressorDeleter {
  void operator()(msszdd_decompressor* d) const { mspack_destroy_szdd_decompressor(d); }
};
using TDecompressor = std::unique_ptr<msszdd_decompressor, TDecompressorDeleter>;

// The file name the header gives the expanded data, when it gives a usable one.
std::optional<std::string> ExpandedName(const std::string& compressed, const msszddd_header& header) {
  const char last = header.missing_char;
  if (header.format != MSSZDD_FMT_NORMAL || compressed.empty() || last == '\0' || last == '/' ||
      last == '\\')
    return std::nullopt;
  std::string expanded = compressed;
  expanded.back() = last;
  if (expanded == compressed || expanded == "." || expanded == "..") return std::nullopt;
  return expanded;
}

}  // namespace

std::string ExpandLZFile(const std::string& name) {
  int selfTest = MSPACK_ERR_OK;
  MSPACK_SYS_SELFTEST(selfTest);
  if (selfTest != MSPACK_ERR_OK) return name;
  archive::TMspackSystem system;
  const TDecompressor decompressor(mspack_create_szdd_decompressor(&system));
  if (!decompressor) return name;
  msszddd_header* header = decompressor->open(decompressor.get(), name.c_str());
  if (!header) return name;  // missing, unreadable or not SZDD
  const auto closeHeader = [&](msszddd_header* h) { decompressor->close(decompressor.get(), h); };
  const std::unique_ptr<msszddd_header, decltype(closeHeader)> closer(header, closeHeader);

  const std::size_t slash = name.rfind('/');
  const std::string prefix = slash == std::string::npos ? "" : name.substr(0, slash + 1);
  const std::string compressed = name.substr(prefix.size());
  const std::optional<std::string> expanded = ExpandedName(compressed, *header);
  if (!expanded) return name;
  const std::optional<archive::TOutputFolder> folder = archive::TOutputFolder::Open(prefix, false);
  if (!folder) return name;
  // The compressed file itself may be the one that matches without regard to case.
  const std::string target = folder->Resolve(*expanded);
  if (target == compressed) return name;

  archive::TOutputFile output(*folder);
  if (!output.IsOpen()) return name;
  const auto length = static_cast<std::uint64_t>(header->length);
  system.SetOutput(output.Handle(), length);
  if (decompressor->extract(decompressor.get(), header, archive::kOutputName) != MSPACK_ERR_OK ||
      !system.OutputWhole() || output.Size() != length || !output.Commit(target, std::nullopt))
    return name;
  // Only now that the expanded file is in place is the compressed one no longer needed.
  unlink(name.c_str());
  return prefix + target;
}

}  // namespace vyn

#include "archive/CabinetExtract.h"

#include <memory>
#include <mutex>
#include <vector>

#include "archive/CabinetFileTime.h"
#include "archive/MspackSystem.h"
#include "archive/OutputFile.h"
#include "archive/OutputFolder.h"
#include "archive/StoredName.h"

namespace vyn {

namespace {

using archive::TMspackSystem;
using archive::TOutputFolder;

struct TDecompressorDeleter {
  void operator()(mscab_decompressor* d) const { mspack_destroy_cab_decompressor(d); }
};
using TDecompressor = std::unique_ptr<mscab_decompressor, TDecompressorDeleter>;

bool ExtractFile(TMspackSystem& system, mscab_decompressor& decompressor, mscabd_file& file,
                 const TOutputFolder& target, const std::vector<std::string>& steps) {
  std::optional<TOutputFolder> below;
  const TOutputFolder* folder = &target;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    std::optional<TOutputFolder> next = folder->Enter(steps[i]);
    if (!next) return false;
    below = std::move(next);
    folder = &*below;
  }
  archive::TOutputFile output(*folder);
  if (!output.IsOpen()) return false;
  system.SetOutput(output.Handle(), file.length);
  if (decompressor.extract(&decompressor, &file, archive::kOutputName) != MSPACK_ERR_OK ||
      !system.OutputWhole() || output.Size() != file.length)
    return false;
  return output.Commit(folder->Resolve(steps.back()), archive::CabinetFileTime(file));
}

}  // namespace

int ExtractCabinet(const std::string& cabinet, const std::string& target) {
  // One at a time, as callers expect of the platform's cabinet routines.
  static std::mutex running;
  const std::lock_guard<std::mutex> lock(running);

  int selfTest = MSPACK_ERR_OK;
  MSPACK_SYS_SELFTEST(selfTest);
  if (selfTest != MSPACK_ERR_OK) return -1;
  TMspackSystem system;
  const TDecompressor decompressor(mspack_create_cab_decompressor(&system));
  if (!decompressor) return -1;
  mscabd_cabinet* contents = decompressor->open(decompressor.get(), cabinet.c_str());
  if (!contents) return -1;  // missing, unreadable or not a cabinet
  const auto closeContents = [&](mscabd_cabinet* c) { decompressor->close(decompressor.get(), c); };
  const std::unique_ptr<mscabd_cabinet, decltype(closeContents)> closer(contents, closeContents);

  // Every name is checked before anything is written.
  std::vector<std::pair<mscabd_file*, std::vector<std::string>>> files;
  for (mscabd_file* file = contents->files; file; file = file->next) {
    std::optional<std::vector<std::string>> steps = archive::StoredNameSteps(file->filename);
    if (!steps) return -1;
    files.emplace_back(file, std::move(*steps));
  }
  const std::optional<TOutputFolder> folder = TOutputFolder::Open(target, true);
  if (!folder) return -1;
  for (auto& [file, steps] : files)
    if (!ExtractFile(system, *decompressor, *file, *folder, steps)) return -1;
  return 0;
}

}  // namespace vyn

#include "update/transfer/UnpackDownload.h"

#include <cstdio>
#include <filesystem>

#include "archive/CabinetExtract.h"
#include "archive/CabinetName.h"
#include "archive/LZExpand.h"
#include "update/VudIvazoz.h"

namespace vyn {

void UnpackDownload(TVudIvazoz& engine, const std::string& file, bool announce) {
  if (!HasCabinetExtension(file)) {
    ExpandLZFile(file);
    return;
  }
  if (announce) engine.LogStatus(965, file, 3, 0);
  // A file without a folder part lies in the current folder, which an empty target means.
  if (ExtractCabinet(file, std::filesystem::path(file).parent_path().string()) != 0) {
    engine.LogStatus(947, file, 8, 0);
    return;
  }
  if (!engine.KeepIntermediateFiles) std::remove(file.c_str());
}

}  // namespace vyn

#pragma once
#include <string>

#include "update/transfer/TransferCheck.h"

namespace vyn {

class TVudIvazoz;

// Copies a local or network file to `target` in blocks of 32768 bytes through a temporary file
// in the engine's staging folder, reporting progress and polling for cancel after every block,
// then replaces the target. False, with the engine's message, when nothing was replaced. A
// copy that breaks `check` (longer than its limit, another SHA-256) replaces nothing either.
bool CopyLocalFile(TVudIvazoz& engine, const std::string& source, const std::string& target,
                   const TTransferCheck& check = {});

}  // namespace vyn

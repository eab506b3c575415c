#pragma once
// The engine as vynupdate runs it: {APP} may name the application folder given on the command
// line instead of vynupdate's own.

#include <string>

#include "update/VudIvazoz.h"

namespace vyn::cli {

class TCliEngine : public TVudIvazoz {
public:
  // "" keeps the folder of vynupdate.
  std::string AppDir;

  std::string ConvertPrefix(const std::string& prefix) override;
};

}  // namespace vyn::cli

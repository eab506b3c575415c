#include "updater/Restart.h"

#include <vector>

#include "platform/Process.h"

namespace vyn {

void RestartApplication(const std::string& program, const std::string& parameters) {
  if (program.empty()) return;
  std::vector<std::string> argv{program.find('/') == std::string::npos ? "./" + program : program};
  if (parameters != " ") argv.push_back(parameters);
  StartProcess(argv, false);
}

}  // namespace vyn

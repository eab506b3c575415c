#include "updater/Restart.h"

#include <vector>

#include "platform/Process.h"

namespace vyn {

namespace {

std::vector<std::string> RestartArguments(const std::string& program,
                                          const std::string& parameters) {
  std::vector<std::string> argv{program.find('/') == std::string::npos ? "./" + program : program};
  if (parameters != " ") argv.push_back(parameters);
  return argv;
}

}  // namespace

void RestartApplication(const std::string& program, const std::string& parameters) {
  if (program.empty()) return;
  StartProcess(RestartArguments(program, parameters), false);
}

bool RestartApplicationWatched(const std::string& program, const std::string& parameters,
                               int seconds, int& status) {
  status = -1;
  if (program.empty()) return false;
  const TProcessResult started = SpawnChild(RestartArguments(program, parameters));
  if (!started.Started) return false;
  return !CollectChild(started.Pid, seconds * 1000, status) || status == 0;
}

}  // namespace vyn

#include "update/actions/StartProgram.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/Process.h"

namespace vyn {

namespace {
bool IsDocument(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  return !S_ISREG(st.st_mode) || access(path.c_str(), X_OK) != 0;
}
}  // namespace

void StartProgram(const std::string& program, const std::string& params) {
  if (program.empty()) return;
  if (IsDocument(program)) {
    // A relative name starting with '-' would be read as an option by the opener.
    OpenWithDesktop(program.front() == '-' ? "./" + program : program);
    return;
  }
  std::vector<std::string> argv{program};
  for (std::string& argument : SplitCommandLine(params)) argv.push_back(std::move(argument));
  StartProcess(argv, false);
}

}  // namespace vyn

#include "MinisignTool.h"

#include "TestEnvironment.h"
#include "platform/Process.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace vyn::test {
namespace {

// Runs minisign with its chatter on standard output sent to /dev/null.
void Run(const std::vector<std::string>& argv) {
  const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  const TProcessResult result = SpawnChild(argv, quiet);
  if (quiet >= 0) ::close(quiet);
  int exitCode = -1;
  if (!result.Started || !CollectChild(result.Pid, 30000, exitCode) || exitCode != 0)
    throw std::runtime_error("minisign failed: " + argv[1] + " " + argv.back());
}

}  // namespace

TMinisignKeyPair MakeMinisignKeyPair(const std::string& folder) {
  std::filesystem::create_directories(folder);
  TMinisignKeyPair keys{folder + "/release.pub", folder + "/release.key", ""};
  std::filesystem::remove(keys.PublicKeyFile);
  std::filesystem::remove(keys.SecretKeyFile);
  Run({"minisign", "-G", "-W", "-p", keys.PublicKeyFile, "-s", keys.SecretKeyFile});
  const std::string text = ReadFileText(keys.PublicKeyFile);
  const std::size_t start = text.find('\n') + 1;
  keys.PublicKeyLine = text.substr(start, text.find('\n', start) - start);
  return keys;
}

void MinisignSign(const TMinisignKeyPair& keys, const std::string& file,
                  const std::string& trustedComment, bool legacy) {
  std::vector<std::string> argv{"minisign", "-S", "-s", keys.SecretKeyFile};
  if (legacy) argv.push_back("-l");
  if (!trustedComment.empty()) {
    argv.push_back("-t");
    argv.push_back(trustedComment);
  }
  argv.push_back("-m");
  argv.push_back(file);
  Run(argv);
}

}  // namespace vyn::test

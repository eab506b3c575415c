#include "TestFtpServer.h"

#include <stdexcept>

namespace vyn::test {

TTestFtpServer::TTestFtpServer(const std::string& root, const std::string& user,
                               const std::string& password) {
  std::vector<std::string> argv = {"/usr/bin/python3", "-m", "pyftpdlib", "-i", "127.0.0.1",
                                   "-p", "0", "-d", root};
  if (!user.empty()) argv.insert(argv.end(), {"-u", user, "-P", password});
  FProcess = std::make_unique<TTestChildServer>(argv);
  // ">>> starting FTP server on 127.0.0.1:PORT, pid=N <<<"
  const std::string rest = FProcess->WaitForOutput("starting FTP server on 127.0.0.1:");
  FPort = std::stoi(rest);
  if (!WaitForLoopbackPort(FPort)) throw std::runtime_error("FTP server not reachable");
}

}  // namespace vyn::test

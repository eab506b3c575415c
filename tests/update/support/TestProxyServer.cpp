#include "TestProxyServer.h"

#include <stdexcept>

#include "TestEnvironment.h"

namespace vyn::test {

TTestProxyServer::TTestProxyServer(const std::string& user, const std::string& password) {
  FPort = FreeLoopbackPort();
  const std::string config = TestRoot() + "/tinyproxy-" + std::to_string(FPort) + ".conf";
  std::string text = "Port " + std::to_string(FPort) +
                     "\nListen 127.0.0.1\nTimeout 30\nMaxClients 20\nAllow 127.0.0.1\n"
                     "LogLevel Info\n";
  if (!user.empty()) text += "BasicAuth " + user + " " + password + "\n";
  WriteFileText(config, text);
  FProcess = std::make_unique<TTestChildServer>(
      std::vector<std::string>{"tinyproxy", "-d", "-c", config});
  if (!WaitForLoopbackPort(FPort))
    throw std::runtime_error("tinyproxy did not start: " + FProcess->Output());
}

}  // namespace vyn::test

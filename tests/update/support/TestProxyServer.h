#pragma once
// A real HTTP proxy (tinyproxy) on 127.0.0.1 and a free port, asking for basic authentication
// when a user name is given.
//
//   vyn::test::TTestProxyServer proxy("puser", "ppass");
//   engine.Proxy = proxy.Address();   // "127.0.0.1:PORT"

#include <exception>
#include <memory>
#include <string>

#include "TestChildServer.h"

namespace vyn::test {

class TTestProxyServer {
public:
  explicit TTestProxyServer(const std::string& user = "", const std::string& password = "");
  int Port() const { return FPort; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }
  // What the proxy wrote so far (its log, with the requests it saw).
  std::string Log() { return FProcess->Output(); }
  // Whether the log comes to hold `text`: the proxy writes it a moment after it answers.
  bool Saw(const std::string& text, int timeoutMs = 5000) {
    try {
      FProcess->WaitForOutput(text, timeoutMs);
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }

private:
  std::unique_ptr<TTestChildServer> FProcess;
  int FPort = 0;
};

}  // namespace vyn::test

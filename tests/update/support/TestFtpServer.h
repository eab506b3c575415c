#pragma once
// A real FTP server (pyftpdlib) on 127.0.0.1 and a port it picks, serving `root`. With a user
// name only that user may log on; without one, anonymous log-on (read-only).
//
//   vyn::test::TTestFtpServer ftp(folder);          // or TTestFtpServer(folder, "u", "p")
//   engine.Host = "127.0.0.1"; engine.Port = ftp.Port();

#include <memory>
#include <string>

#include "TestChildServer.h"

namespace vyn::test {

class TTestFtpServer {
public:
  explicit TTestFtpServer(const std::string& root, const std::string& user = "",
                          const std::string& password = "");
  int Port() const { return FPort; }
  // What the server logged so far: a "logged in" line per log-on, the commands.
  std::string Log() { return FProcess->Output(); }

private:
  std::unique_ptr<TTestChildServer> FProcess;
  int FPort = 0;
};

}  // namespace vyn::test

#pragma once
// A server program that a test starts in the background (pyftpdlib, tinyproxy): its standard
// output and error are read on a thread so it never blocks, and it is ended with the object.
// With VYN_TEST_SERVER_LOG set, what it wrote goes to standard error when it ends.

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vyn::test {

class TTestChildServer {
public:
  explicit TTestChildServer(const std::vector<std::string>& argv);
  ~TTestChildServer();
  TTestChildServer(const TTestChildServer&) = delete;
  TTestChildServer& operator=(const TTestChildServer&) = delete;

  // Waits until the output holds `marker`; returns the text after it up to the end of its line,
  // or throws after `timeoutMs`.
  std::string WaitForOutput(const std::string& marker, int timeoutMs = 10000);
  std::string Output();

private:
  pid_t FPid = -1;
  int FOutput = -1;
  std::thread FReader;
  std::mutex FMutex;
  std::condition_variable FChanged;
  std::string FText;
  bool FEnded = false;
};

// A free TCP port on 127.0.0.1 (bound and released again).
int FreeLoopbackPort();
// Waits until something accepts connections on 127.0.0.1:port.
bool WaitForLoopbackPort(int port, int timeoutMs = 10000);

}  // namespace vyn::test

#include "TestChildServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace vyn::test {

TTestChildServer::TTestChildServer(const std::vector<std::string>& argv) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const int rc = posix_spawnp(&FPid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }
  FOutput = fds[0];
  FReader = std::thread([this] {
    char buffer[4096];
    for (;;) {
      const ssize_t n = read(FOutput, buffer, sizeof buffer);
      std::lock_guard lock(FMutex);
      if (n <= 0) {
        FEnded = true;
        FChanged.notify_all();
        return;
      }
      if (FText.size() < (1 << 20)) FText.append(buffer, static_cast<size_t>(n));
      FChanged.notify_all();
    }
  });
}

TTestChildServer::~TTestChildServer() {
  if (std::getenv("VYN_TEST_SERVER_LOG")) std::fprintf(stderr, "%s", Output().c_str());
  if (FPid > 0) {
    kill(FPid, SIGTERM);
    int status = 0;
    waitpid(FPid, &status, 0);
  }
  if (FReader.joinable()) FReader.join();
  if (FOutput >= 0) close(FOutput);
}

std::string TTestChildServer::WaitForOutput(const std::string& marker, int timeoutMs) {
  std::unique_lock lock(FMutex);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const size_t at = FText.find(marker);
    if (at != std::string::npos) {
      const size_t start = at + marker.size();
      const size_t end = FText.find('\n', start);
      if (end != std::string::npos) return FText.substr(start, end - start);
    }
    if (FEnded || FChanged.wait_until(lock, deadline) == std::cv_status::timeout)
      throw std::runtime_error("server did not report \"" + marker + "\": " + FText);
  }
}

std::string TTestChildServer::Output() {
  std::lock_guard lock(FMutex);
  return FText;
}

int FreeLoopbackPort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  close(s);
  return port;
}

bool WaitForLoopbackPort(int port, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(s);
    if (ok) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

}  // namespace vyn::test

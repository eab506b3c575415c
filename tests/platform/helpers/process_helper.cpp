// A child program for the process tests: does one small thing chosen by its arguments.
//   exit N            ends with exit code N
//   signal N          kills itself with signal N
//   cwd FILE          writes its working directory to FILE
//   wait-file FILE    runs until FILE exists (at most 30 s)
//   wait-pid PID      ends with 0 once process PID has ended
//   poll-pid PID      the same through the polling fallback

#include "platform/Process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <limits.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  const std::string command = argv[1];
  const std::string value = argv[2];
  if (command == "exit") return std::atoi(value.c_str());
  if (command == "signal") {
    raise(std::atoi(value.c_str()));
    return 101;
  }
  if (command == "cwd") {
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return 102;
    std::ofstream(value) << buffer;
    return 0;
  }
  if (command == "wait-file") {
    for (int i = 0; i < 3000; ++i) {
      if (access(value.c_str(), F_OK) == 0) return 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 103;
  }
  if (command == "wait-pid") return vyn::WaitForProcessEnd(std::atoi(value.c_str())) ? 0 : 104;
  if (command == "poll-pid")
    return vyn::detail::PollForProcessEnd(std::atoi(value.c_str()), -1) ? 0 : 105;
  return 100;
}

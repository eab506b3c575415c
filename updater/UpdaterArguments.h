#pragma once
// The updater's command line as the engine builds it.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vyn {

struct TUpdaterArguments {
  pid_t ProcessId = 0;
  bool Logging = false;          // argument 2 is exactly "L"
  std::string RestartProgram;    // argument 3; "null" for none
  std::string RestartParameters; // argument 4; " " for none
  std::string Staging;           // argument 5, as given
  std::vector<std::string> Components;  // arguments 6 to last
};

// The process id must be a positive decimal integer: anything else gives no arguments at all.
std::optional<TUpdaterArguments> ParseUpdaterArguments(const std::vector<std::string>& words);

}  // namespace vyn

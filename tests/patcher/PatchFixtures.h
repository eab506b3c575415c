#pragma once
// Runs the patch tool and vynupdate as programs, and makes file pairs one patch apart.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestEnvironment.h"

namespace vyn::test {

struct TProgramRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string command = ShellQuote(program);
  for (const auto& a : args) command += " " + ShellQuote(a);
  const std::string out = TestRoot() + "/run-out.txt";
  const std::string err = TestRoot() + "/run-err.txt";
  command += " >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
  const int status = std::system(command.c_str());
  TProgramRun run;
  run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadFileText(out);
  run.Err = ReadFileText(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

inline std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator());
  return bytes;
}

// `old` as a next release might have it: bytes changed, a run inserted, a run removed.
inline std::string Edited(const std::string& old) {
  std::string edited = old;
  const size_t n = edited.size();
  for (size_t i = n / 10; i < n / 10 + 100 && i < n; ++i) edited[i] = static_cast<char>(~edited[i]);
  edited.insert(n / 3, RandomBytes(5000, 7));
  edited.erase(std::min(edited.size(), 2 * n / 3), 3000);
  return edited;
}

// The names in `folder`, sorted.
inline std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vyn::test

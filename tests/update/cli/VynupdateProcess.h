#pragma once
// vynupdate run as a process in the test's folder: its exit status and both outputs.

#include <string>
#include <vector>

namespace vyn::test {

struct TRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
  std::string LastLine() const;
};

// A word for the shell, in single quotes.
std::string Quote(const std::string& s);

// Runs vynupdate with `args` in the test root, standard input from /dev/null; `caFile` names
// a certificate to trust (VYN_CA_FILE).
TRun RunVynupdate(const std::vector<std::string>& args, const std::string& caFile = "");

}  // namespace vyn::test

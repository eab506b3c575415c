#include "VynupdateProcess.h"

#include <sys/wait.h>

#include <cstdlib>

#include "TestEnvironment.h"

namespace vyn::test {

std::string TRun::LastLine() const {
  std::string text = Out;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  const size_t nl = text.rfind('\n');
  return nl == std::string::npos ? text : text.substr(nl + 1);
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

TRun RunVynupdate(const std::vector<std::string>& args, const std::string& caFile) {
  std::string command = "cd " + Quote(TestRoot()) + " && " +
                        (caFile.empty() ? "" : "VYN_CA_FILE=" + Quote(caFile) + " ") +
                        Quote(VYN_VYNUPDATE_PATH);
  for (const auto& a : args) command += " " + Quote(a);
  const std::string out = TestRoot() + "/out.txt";
  const std::string err = TestRoot() + "/err.txt";
  command += " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null";
  const int status = std::system(command.c_str());
  TRun run;
  run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadFileText(out);
  run.Err = ReadFileText(err);
  return run;
}

}  // namespace vyn::test

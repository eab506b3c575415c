#pragma once
// Points HOME, the XDG folders, TMPDIR and VYN_REGISTRY_DIR into a fresh temporary folder for
// the life of the test process, so no test touches the real user's files or another test's.
// A test case that writes the registry store, a log or files holds one more of its own, so it
// finds none of the other cases' files when the whole binary runs in one process; destroying
// it puts the previous folder and variables back.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vyn::test {

class TIsolatedEnvironment {
public:
  TIsolatedEnvironment();
  ~TIsolatedEnvironment();
  TIsolatedEnvironment(const TIsolatedEnvironment&) = delete;
  TIsolatedEnvironment& operator=(const TIsolatedEnvironment&) = delete;

  const std::string& Root() const { return FRoot; }

private:
  std::string FRoot;
  std::string FPreviousRoot;
  std::vector<std::pair<std::string, std::optional<std::string>>> FPreviousVariables;
};

// The root of the running test's isolated folder.
const std::string& TestRoot();

// Reads and writes whole files (binary).
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& data);

}  // namespace vyn::test

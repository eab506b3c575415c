// The updater's command line: split by the updater's rule, then read as its arguments.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "platform/Process.h"
#include "updater/UpdaterArguments.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string commandLine(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  size_t letters = 0;
  for (const std::string& word : words) {
    if (word.find('"') != std::string::npos) fuzz::Fail("a quote kept in '" + word + "'");
    letters += word.size();
  }
  if (letters > commandLine.size()) fuzz::Fail("splitting made text");
  if (const auto arguments = ParseUpdaterArguments(words)) {
    if (arguments->ProcessId <= 0) fuzz::Fail("a process id that is not positive");
    if (arguments->Components.size() != (words.size() > 5 ? words.size() - 5 : 0))
      fuzz::Fail("components lost or made");
  }
  return 0;
}

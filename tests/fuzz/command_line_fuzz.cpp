// The updater's command line: any bytes split by the updater's rule and read as its arguments;
// then the same bytes, cut at NUL into the program, parameters and staging folder of a
// handoff, must come through the engine's command line and the split as one word each.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "platform/Process.h"
#include "update/files/UpdaterCommandLine.h"
#include "updater/UpdaterArguments.h"

using namespace vyn;

namespace {

std::vector<std::string> CutAtNul(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == '\0')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// What a text becomes as one word: without its quotes, and a blank for nothing.
std::string WithoutQuotes(std::string text) {
  std::erase(text, '"');
  return text.empty() ? " " : text;
}

void CheckHandoff(const std::string& input) {
  const std::vector<std::string> parts = CutAtNul(input);
  if (parts.size() < 3) return;
  TUpdaterHandoff handoff;
  handoff.ProcessId = 4242;
  handoff.AppName = "/" + parts[0];
  handoff.AppParam = parts[1].empty() ? " " : parts[1];  // the engine never hands over none
  handoff.Staging = parts[2].empty() ? "." : parts[2];
  handoff.AppComps = "a.txt_NEW";
  const std::string expectedParam = WithoutQuotes(handoff.AppParam);
  const std::string expectedStaging = WithoutQuotes(handoff.Staging);
  const std::string commandLine = UpdaterCommandLine(handoff);
  const auto arguments = ParseUpdaterArguments(SplitCommandLine(commandLine));
  if (!arguments || arguments->RestartProgram != WithoutQuotes(handoff.AppName) ||
      arguments->RestartParameters != expectedParam || arguments->Staging != expectedStaging ||
      arguments->Components != std::vector<std::string>{"a.txt_NEW"})
    fuzz::Fail("the handoff does not come through: " + commandLine);
}

}  // namespace

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
  CheckHandoff(commandLine);
  return 0;
}

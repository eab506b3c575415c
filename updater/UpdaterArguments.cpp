#include "updater/UpdaterArguments.h"

#include <charconv>

namespace vyn {

namespace {

std::optional<pid_t> PositiveDecimal(const std::string& text) {
  pid_t value = 0;
  const char* end = text.data() + text.size();
  // Digits only: no sign, no blanks, no hexadecimal; an overflow is no number either.
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || value <= 0) return std::nullopt;
  return value;
}

std::string WordAt(const std::vector<std::string>& words, size_t index) {
  return index < words.size() ? words[index] : std::string();
}

}  // namespace

std::optional<TUpdaterArguments> ParseUpdaterArguments(const std::vector<std::string>& words) {
  const std::optional<pid_t> pid = PositiveDecimal(WordAt(words, 0));
  if (!pid) return std::nullopt;
  TUpdaterArguments arguments;
  arguments.ProcessId = *pid;
  arguments.Logging = WordAt(words, 1) == "L";
  arguments.RestartProgram = WordAt(words, 2);
  arguments.RestartParameters = WordAt(words, 3);
  arguments.Staging = WordAt(words, 4);
  if (words.size() > 5) arguments.Components.assign(words.begin() + 5, words.end());
  return arguments;
}

}  // namespace vyn

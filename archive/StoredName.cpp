#include "archive/StoredName.h"

namespace vyn::archive {

std::optional<std::vector<std::string>> StoredNameSteps(const std::string& stored) {
  const auto isSeparator = [](char c) { return c == '/' || c == '\\'; };
  if (stored.empty() || isSeparator(stored.front()) || isSeparator(stored.back())) return std::nullopt;
  std::vector<std::string> steps;
  std::string step;
  for (std::size_t i = 0; i <= stored.size(); ++i) {
    if (i < stored.size() && !isSeparator(stored[i])) {
      step += stored[i];
      continue;
    }
    if (step == "..") return std::nullopt;
    if (!step.empty() && step != ".") steps.push_back(step);
    step.clear();
  }
  if (steps.empty()) return std::nullopt;
  return steps;
}

}  // namespace vyn::archive

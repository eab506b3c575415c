// patcher.exe [-v] PATCH TARGET [ignored words]: applies the delta PATCH to the file TARGET.
// Words after TARGET are ignored: the updater passes its redirection text on as arguments.

#include <cstdio>
#include <string>

#include "patcher/PatchApply.h"
#include "patcher/PatchError.h"

namespace {
constexpr int KExitFailed = 1;
constexpr int KExitUsage = 2;
}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool verbose = argc > 1 && std::string(argv[1]) == "-v";
  if (verbose) ++first;
  if (argc - first < 2) {
    std::fputs("Usage: patcher.exe [-v] PATCH TARGET\n", stderr);
    return KExitUsage;
  }
  const std::string patch = argv[first];
  const std::string target = argv[first + 1];
  try {
    const vyn::patcher::TPatchSizes sizes = vyn::patcher::ApplyPatch(patch, target);
    if (verbose)
      std::printf("patcher.exe: patched %s with %s: %llu bytes before, patch %llu bytes, %llu "
                  "bytes after\n",
                  target.c_str(), patch.c_str(),
                  static_cast<unsigned long long>(sizes.Reference),
                  static_cast<unsigned long long>(sizes.Patch),
                  static_cast<unsigned long long>(sizes.Result));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "patcher.exe: %s not patched: %s\n", target.c_str(), e.what());
    if (verbose) std::printf("patcher.exe: %s not patched: %s\n", target.c_str(), e.what());
  }
  return KExitFailed;
}

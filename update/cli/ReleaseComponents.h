#pragma once
// The files of a release that the updater applies (--appcomps), and the program it restarts.

#include <string>

#include "update/cli/ReleaseControlFile.h"

namespace vyn::cli {

// Every word of `components` must name a file at the top of the release (the updater works
// in the application folder) that the updater acts on: NAME_NEW (replaces NAME), a component
// list (.INF), a patch (.PAT), a cabinet (.CAB), a program to run (.EXE) or an LZ-compressed
// file. Anything else it would leave in the staging folder, so the release is refused instead
// of doing nothing. Throws std::runtime_error naming the word.
void CheckComponents(const TRelease& release, const std::string& folder,
                     const std::string& components);

// The program the updater starts again for the release file `app`: NAME_NEW is put in place
// as NAME.
std::string RestartedProgram(const std::string& app);

}  // namespace vyn::cli

#pragma once
// Starting the application again once its files are in place.

#include <string>

namespace vyn {

// Starts `program` with `parameters` as its one argument, or alone when `parameters` is a single
// space, without a shell and without waiting for it. A program named without a folder is taken
// from the current folder, never searched for in PATH.
void RestartApplication(const std::string& program, const std::string& parameters);

// Starts it the same way and watches it for `seconds`: false when it could not be started, or
// ended within them with a non-zero status or by a signal (`status` then holds the exit status,
// or 128 + the signal; -1 when it did not start). A program still running then is left to run.
bool RestartApplicationWatched(const std::string& program, const std::string& parameters,
                               int seconds, int& status);

}  // namespace vyn

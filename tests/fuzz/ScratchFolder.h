#pragma once
// The fuzz targets' files: one private folder per process below $TMPDIR, removed at exit,
// with HOME, the XDG folders and the registry store pointed into it, so that no input reads or
// writes the user's files and no input sees what an earlier one left.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vyn::fuzz {

// The folder for the files of one input (made when the program starts).
const std::string& ScratchFolder();
// Writes `size` bytes to `name` in the scratch folder; returns its path.
std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
// Every path below the scratch folder, relative to it, folders included.
std::vector<std::string> ScratchEntries();
// Removes everything in the scratch folder; after every input.
void EmptyScratchFolder();
// Prints the message and aborts, so that libFuzzer saves the input as a crash.
[[noreturn]] void Fail(const std::string& message);

}  // namespace vyn::fuzz

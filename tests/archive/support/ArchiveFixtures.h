#pragma once
// Real cabinets and SZDD files made at run time with gcab and mscompress, and the byte patches
// that turn them into the hostile or damaged inputs those tools will not write.

#include <sys/types.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

namespace vyn::test {

// Runs a shell command; true when it ends with status 0.
bool RunCommand(const std::string& command);
std::string Quoted(const std::string& text);

// Writes `files` (relative name, contents) below `folder`, making folders as needed; each file
// gets `mtime` as its last-write time.
void WriteTree(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files,
               std::time_t mtime);

// `gcab -c` (with -z when `mszip`) of the named files of `folder` into `cabinet`.
bool MakeCabinet(const std::string& cabinet, const std::string& folder,
                 const std::vector<std::string>& names, bool mszip);

// `mscompress` of `file`, then the result moved to `compressed` with `last` as its header's
// character (mscompress itself stores none).
bool MakeSzdd(const std::string& file, const std::string& compressed, char last);

// Replaces the one occurrence of `from` in the file by `to`, of the same length.
bool PatchBytes(const std::string& path, const std::string& from, const std::string& to);
// Overwrites bytes at `offset`.
void PatchAt(const std::string& path, std::size_t offset, const std::string& bytes);

// Sets the DOS date and time of the cabinet entry stored as `stored` to zero.
bool ZeroCabinetDate(const std::string& cabinet, const std::string& stored);

// The names in `folder`, sorted.
std::vector<std::string> Listing(const std::string& folder);

// Distinct bytes that compress: text with some noise.
std::string SampleData(std::size_t size, unsigned seed);

struct TFileFacts {
  bool Exists = false;
  bool IsLink = false;
  mode_t Mode = 0;
  std::time_t LastWrite = 0;
};
TFileFacts Facts(const std::string& path);

}  // namespace vyn::test

#include "ArchiveFixtures.h"

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "TestEnvironment.h"

namespace fs = std::filesystem;

namespace vyn::test {

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void WriteTree(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files,
               std::time_t mtime) {
  for (const auto& [name, contents] : files) {
    const fs::path path = fs::path(folder) / name;
    fs::create_directories(path.parent_path());
    WriteFileText(path.string(), contents);
    const utimbuf times{mtime, mtime};
    utime(path.c_str(), &times);
  }
}

bool MakeCabinet(const std::string& cabinet, const std::string& folder,
                 const std::vector<std::string>& names, bool mszip) {
  std::string command = "cd " + Quoted(folder) + " && gcab -c " + (mszip ? "-z " : "") + Quoted(cabinet);
  for (const std::string& name : names) command += " " + Quoted(name);
  return RunCommand(command);
}

bool MakeSzdd(const std::string& file, const std::string& compressed, char last) {
  if (!RunCommand("mscompress " + Quoted(file) + " && mv " + Quoted(file + "_") + " " + Quoted(compressed)))
    return false;
  PatchAt(compressed, 9, std::string(1, last));
  return true;
}

bool PatchBytes(const std::string& path, const std::string& from, const std::string& to) {
  std::string data = ReadFileText(path);
  const std::size_t at = data.find(from);
  if (from.size() != to.size() || at == std::string::npos || data.find(from, at + 1) != std::string::npos)
    return false;
  data.replace(at, from.size(), to);
  WriteFileText(path, data);
  return true;
}

void PatchAt(const std::string& path, std::size_t offset, const std::string& bytes) {
  std::string data = ReadFileText(path);
  data.replace(offset, bytes.size(), bytes);
  WriteFileText(path, data);
}

bool ZeroCabinetDate(const std::string& cabinet, const std::string& stored) {
  // An entry ends with date, time and attributes (2 bytes each) before its name.
  const std::string data = ReadFileText(cabinet);
  const std::size_t at = data.find(stored + '\0');
  if (at == std::string::npos || at < 6) return false;
  PatchAt(cabinet, at - 6, std::string(4, '\0'));
  return true;
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string SampleData(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  static const std::string words[] = {"update ", "cabinet ", "folder ", "vyn ", "file\n", "data "};
  std::string data;
  while (data.size() < size) {
    data += words[random() % 6];
    if (random() % 4 == 0) data += static_cast<char>(random());
  }
  data.resize(size);
  return data;
}

TFileFacts Facts(const std::string& path) {
  struct stat st {};
  TFileFacts facts;
  if (lstat(path.c_str(), &st) != 0) return facts;
  facts.Exists = true;
  facts.IsLink = S_ISLNK(st.st_mode);
  facts.Mode = st.st_mode & 07777;
  facts.LastWrite = st.st_mtime;
  return facts;
}

}  // namespace vyn::test

#include "ScratchFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vyn::fuzz {

namespace fs = std::filesystem;

namespace {

struct TProcessFolder {
  std::string Root;
  std::string Scratch;

  TProcessFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vyn-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) Fail("cannot make a scratch folder in " + pattern);
    Root = pattern;
    Scratch = Root + "/scratch";
    const std::string home = Root + "/home";
    for (const std::string& folder : {Scratch, home + "/.config", home + "/.local/share",
                                      home + "/registry"})
      fs::create_directories(folder);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("VYN_REGISTRY_DIR", (home + "/registry").c_str(), 1);
    setenv("TMPDIR", Root.c_str(), 1);
  }
  ~TProcessFolder() {
    std::error_code ignored;
    fs::remove_all(Root, ignored);
  }
};

TProcessFolder& ProcessFolder() {
  static TProcessFolder folder;
  return folder;
}

// Made before main, so that no target reaches the user's files before its first input asks
// for the folder.
const TProcessFolder& KIsolation = ProcessFolder();

}  // namespace

const std::string& ScratchFolder() { return ProcessFolder().Scratch; }

std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.flush()) Fail("cannot write " + path);
  return path;
}

std::vector<std::string> ScratchEntries() {
  std::vector<std::string> entries;
  const fs::path scratch = ScratchFolder();
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(scratch))
    entries.push_back(entry.path().lexically_relative(scratch).string());
  return entries;
}

void EmptyScratchFolder() {
  const fs::path scratch = ScratchFolder();
  for (const fs::directory_entry& entry : fs::directory_iterator(scratch))
    fs::remove_all(entry.path());
}

void Fail(const std::string& message) {
  std::fprintf(stderr, "fuzz target: %s\n", message.c_str());
  std::abort();
}

}  // namespace vyn::fuzz

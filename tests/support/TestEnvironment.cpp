#include "TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace vyn::test {

namespace {
std::string gRoot;
}

TIsolatedEnvironment::TIsolatedEnvironment() : FPreviousRoot(gRoot) {
  // A nested folder lies inside the enclosing one, whose TMPDIR is already private.
  fs::path base = fs::temp_directory_path();
  std::string pattern = (base / "vyn-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create the test folder");
  FRoot = pattern;
  gRoot = FRoot;
  const fs::path root(FRoot);
  for (const char* sub : {"home", "home/Documents", "config", "data", "cache", "tmp", "registry"})
    fs::create_directories(root / sub);
  const auto set = [this](const char* name, const std::optional<std::string>& value) {
    const char* previous = getenv(name);
    FPreviousVariables.emplace_back(name, previous ? std::optional<std::string>(previous)
                                                   : std::nullopt);
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  };
  set("HOME", (root / "home").string());
  set("XDG_CONFIG_HOME", (root / "config").string());
  set("XDG_DATA_HOME", (root / "data").string());
  set("XDG_CACHE_HOME", (root / "cache").string());
  set("TMPDIR", (root / "tmp").string());
  set("VYN_REGISTRY_DIR", (root / "registry").string());
  set("XDG_DOCUMENTS_DIR", std::nullopt);
  for (const char* proxy : {"http_proxy", "https_proxy", "ftp_proxy", "all_proxy", "HTTP_PROXY",
                            "HTTPS_PROXY", "FTP_PROXY", "ALL_PROXY"})
    set(proxy, std::nullopt);
}

TIsolatedEnvironment::~TIsolatedEnvironment() {
  for (const auto& [name, value] : FPreviousVariables) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
  gRoot = FPreviousRoot;
  if (!getenv("VYN_KEEP_TEST_DIR")) {
    std::error_code ec;
    fs::remove_all(FRoot, ec);
  }
}

const std::string& TestRoot() { return gRoot; }

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileText(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

}  // namespace vyn::test

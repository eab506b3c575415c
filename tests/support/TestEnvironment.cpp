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

TIsolatedEnvironment::TIsolatedEnvironment() {
  fs::path base = fs::temp_directory_path();
  std::string pattern = (base / "vyn-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create the test folder");
  FRoot = pattern;
  gRoot = FRoot;
  const fs::path root(FRoot);
  for (const char* sub : {"home", "home/Documents", "config", "data", "cache", "tmp", "registry"})
    fs::create_directories(root / sub);
  setenv("HOME", (root / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
  setenv("TMPDIR", (root / "tmp").c_str(), 1);
  setenv("VYN_REGISTRY_DIR", (root / "registry").c_str(), 1);
  unsetenv("XDG_DOCUMENTS_DIR");
  for (const char* proxy : {"http_proxy", "https_proxy", "ftp_proxy", "all_proxy", "HTTP_PROXY",
                            "HTTPS_PROXY", "FTP_PROXY", "ALL_PROXY"})
    unsetenv(proxy);
}

TIsolatedEnvironment::~TIsolatedEnvironment() {
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

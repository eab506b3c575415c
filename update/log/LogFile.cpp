#include "update/log/LogFile.h"

#include <cstdio>
#include <mutex>

#include "platform/Folders.h"
#include "update/VudIvazoz.h"
#include "platform/TextCase.h"

namespace vyn {
namespace {

std::mutex& NameMutex() {
  static std::mutex m;
  return m;
}

std::string& NameStorage() {
  static std::string name = "WUPDATE.LOG";
  return name;
}

std::string ReplaceAppPlaceholder(std::string path) {
  const std::string app = ExeDir() + "/";
  for (size_t pos = 0; pos + 5 <= path.size();) {
    const std::string part = UpperAscii(path.substr(pos, 5));
    if (part == "{APP}") {
      path.replace(pos, 5, app);
      pos += app.size();
    } else {
      ++pos;
    }
  }
  return path;
}

std::string CollapseSeparators(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

}  // namespace

void SetProcessLogFileName(const std::string& name) {
  std::lock_guard<std::mutex> lock(NameMutex());
  NameStorage() = name;
}

std::string ProcessLogFileName() {
  std::lock_guard<std::mutex> lock(NameMutex());
  return NameStorage();
}

std::string LogFilePath() {
  const std::string name = ProcessLogFileName();
  std::string path = name;
  if (name.find_first_of("\\/:") == std::string::npos) {
    const std::string docs = DocumentsDir();
    if (!docs.empty()) path = IncludeTrailingSlash(docs) + name;
  }
  return CollapseSeparators(ToLocalSeparators(ReplaceAppPlaceholder(path)));
}

void AppendLogLine(const std::string& line) {
  const std::string path = LogFilePath();
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string dir = path.substr(0, slash);
    if (!DirectoryExists(dir) && !ForceDirectories(dir)) return;
  }
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return;
  const std::string data = line + "\r\n";
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
}

}  // namespace vyn

#include "platform/Folders.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace vyn {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeDir() {
  std::string home = Environment("HOME");
  if (home.empty())
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) home = user->pw_dir;
  return home;
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// An XDG base folder: the variable when it holds an absolute path, else the fallback under HOME.
std::string XdgFolder(const char* variable, const char* underHome) {
  const std::string value = Environment(variable);
  if (!value.empty() && value[0] == '/') return WithoutTrailingSlash(value);
  return HomeDir() + '/' + underHome;
}

// The value of XDG_DOCUMENTS_DIR="..." in user-dirs.dirs (shell syntax: the last assignment
// wins, a backslash escapes the next character, $HOME at the start is the home folder).
std::string UserDirsDocuments() {
  std::ifstream file(XdgFolder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
  const std::string prefix = "XDG_DOCUMENTS_DIR=";
  std::string line;
  std::string result;
  while (std::getline(file, line)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) continue;
    std::size_t i = start + prefix.size();
    if (i >= line.size() || line[i] != '"') continue;
    std::string value;
    bool closed = false;
    for (++i; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        value += line[++i];
      } else if (line[i] == '"') {
        closed = true;
        break;
      } else {
        value += line[i];
      }
    }
    if (!closed) continue;
    if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
      value = HomeDir() + value.substr(5);
    if (!value.empty() && value[0] == '/') result = WithoutTrailingSlash(value);
  }
  return result;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::string ExePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return "";
    if (static_cast<std::size_t>(length) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(length));
      // An executable replaced while it runs (as an update does) is reported with this mark;
      // the path itself is where the program lives.
      const std::string deleted = " (deleted)";
      if (path.size() > deleted.size() &&
          path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0 &&
          !FileExists(path))
        path.resize(path.size() - deleted.size());
      return path;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExeDir() {
  const std::string path = ExePath();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ExeFileName() {
  const std::string path = ExePath();
  return path.substr(path.rfind('/') + 1);
}

std::string SystemTempDir() {
  const std::string value = Environment("TMPDIR");
  return value.empty() ? "/tmp" : WithoutTrailingSlash(value);
}

std::string DocumentsDir() {
  const std::string configured = UserDirsDocuments();
  return configured.empty() ? HomeDir() + "/Documents" : configured;
}

std::string LocalAppDataDir() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string CommonAppDataDir() { return "/var/lib"; }

std::string WindowsDir() { return "/usr"; }

std::string SystemDir() { return "/usr/lib"; }

std::string ProgramFilesDir() { return Environment("ProgramFiles"); }

std::string CurrentDir() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string NormalizeDirectory(const std::string& folder) {
  if (folder.empty()) return ".";
  const std::string trimmed = WithoutTrailingSlash(folder);
  return trimmed == "/" ? "/." : trimmed;
}

std::string ToLocalSeparators(const std::string& path) {
  std::string result = path;
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

std::string IncludeTrailingSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + '/';
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  const std::string folder = WithoutTrailingSlash(path);
  if (DirectoryExists(folder)) return true;
  const std::size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0 && !ForceDirectories(folder.substr(0, slash)))
    return false;
  return mkdir(folder.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(folder));
}

std::string FindFileNoCase(const std::string& folder, const std::string& name) {
  if (name.empty()) return "";
  const std::string base = IncludeTrailingSlash(folder);
  struct stat info {};
  if (lstat((base + name).c_str(), &info) == 0) return base + name;
  if (name.find('/') != std::string::npos) return "";
  DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
  if (!directory) return "";
  // Several entries may differ only in case: the first in byte order is taken, so the answer
  // does not depend on the order the file system lists them in.
  std::string best;
  while (const dirent* entry = readdir(directory)) {
    const std::string candidate = entry->d_name;
    if (SameNameIgnoringCase(candidate, name) && (best.empty() || candidate < best))
      best = candidate;
  }
  closedir(directory);
  return best.empty() ? "" : base + best;
}

}  // namespace vyn

#include "platform/RegistryStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vyn {

namespace {

class TFd {
public:
  explicit TFd(int fd = -1) : FFd(fd) {}
  ~TFd() {
    if (FFd >= 0) close(FFd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }

private:
  int FFd;
};

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string UserConfigDir() {
  const std::string xdg = EnvOrEmpty("XDG_CONFIG_HOME");
  if (!xdg.empty() && xdg[0] == '/') return xdg;
  std::string home = EnvOrEmpty("HOME");
  if (home.empty()) {
    if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
  }
  return home + "/.config";
}

std::string Stamp(const struct stat& st) {
  return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' + std::to_string(st.st_size) + ':' +
         std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec);
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " '" + path + "' : " + std::strerror(errno);
}

bool ReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    out.append(buffer, static_cast<size_t>(got));
  }
}

bool WriteAll(int fd, const std::string& data) {
  for (size_t done = 0; done < data.size();) {
    const ssize_t put = write(fd, data.data() + done, data.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

// Reads and parses the file. A file that may not be read counts as missing unless `mustRead`:
// a change must never replace a file whose contents it could not see.
registry::THiveSnapshot LoadHive(THiveRoot root, const std::string& path, bool mustRead) {
  const auto fail = [&] {
    const std::string message = SystemError("Lecture impossible du fichier de registre", path);
    if (mustRead) throw registry::EHiveWriteError(message);
    throw ERegistryException(message);
  };
  registry::THiveSnapshot snapshot;
  TFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR || (errno == EACCES && !mustRead)) {
      snapshot.Hive = std::make_shared<const THive>();
      return snapshot;
    }
    fail();
  }
  struct stat st;
  std::string bytes;
  if (fstat(fd.Get(), &st) != 0 || !ReadAll(fd.Get(), bytes)) fail();
  snapshot.Hive = std::make_shared<const THive>(ParseHive(bytes, path, root));
  snapshot.Stamp = Stamp(st);
  return snapshot;
}

// Temporary files of writers that died before their rename. Only the lock holder writes one,
// so under the lock every one that is there is stale.
void RemoveStaleTemporaries(const std::filesystem::path& hive) {
  const std::string prefix = hive.filename().string() + '.';
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(hive.parent_path(), ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
      std::filesystem::remove(entry.path(), ec);
  }
}

// Test hook: lets a test stop the writer between the flushed temporary file and the rename.
void PauseBeforeRenameForTests() {
  if (EnvOrEmpty("VYN_REGISTRY_TEST_PAUSE_BEFORE_RENAME") == "1") raise(SIGSTOP);
}

}  // namespace

std::string HiveFilePath(THiveRoot root) {
  const char* fileName =
      root == THiveRoot::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE.reg" : "HKEY_CURRENT_USER.reg";
  const std::string overridden = EnvOrEmpty("VYN_REGISTRY_DIR");
  if (!overridden.empty()) return overridden + '/' + fileName;
  if (root == THiveRoot::HKEY_LOCAL_MACHINE) return std::string("/etc/vynWebBrowser/") + fileName;
  return UserConfigDir() + "/vynWebBrowser/" + fileName;
}

namespace registry {

std::string HiveFileStamp(THiveRoot root) {
  struct stat st;
  return stat(HiveFilePath(root).c_str(), &st) == 0 ? Stamp(st) : std::string();
}

THiveSnapshot ReadHiveFile(THiveRoot root) { return LoadHive(root, HiveFilePath(root), false); }

THiveSnapshot UpdateHiveFile(THiveRoot root, const std::function<bool(THive&)>& change) {
  const std::string path = HiveFilePath(root);
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw EHiveWriteError("Création impossible du dossier '" + folder.string() + "' : " + ec.message());

  const std::string lockPath = path + ".lock";
  TFd lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.Get() < 0) throw EHiveWriteError(SystemError("Verrouillage impossible", lockPath));
  while (flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) throw EHiveWriteError(SystemError("Verrouillage impossible", lockPath));
  }

  RemoveStaleTemporaries(path);
  THiveSnapshot current = LoadHive(root, path, true);
  THive changed = *current.Hive;
  if (!change(changed)) return current;
  const std::string text = FormatRegistryExport(changed.Keys(), root);

  std::string tempPath = path + ".XXXXXX";
  TFd temp(mkostemp(tempPath.data(), O_CLOEXEC));
  if (temp.Get() < 0) throw EHiveWriteError(SystemError("Écriture impossible dans le dossier", folder.string()));
  // Machine settings are readable by every user, as on the platform they stand in for.
  const mode_t mode = root == THiveRoot::HKEY_LOCAL_MACHINE ? 0644 : 0600;
  struct stat st;
  if (!WriteAll(temp.Get(), text) || fchmod(temp.Get(), mode) != 0 || fsync(temp.Get()) != 0 ||
      fstat(temp.Get(), &st) != 0) {
    const std::string message = SystemError("Écriture impossible du fichier de registre", tempPath);
    unlink(tempPath.c_str());
    throw EHiveWriteError(message);
  }
  PauseBeforeRenameForTests();
  if (rename(tempPath.c_str(), path.c_str()) != 0) {
    const std::string message = SystemError("Remplacement impossible du fichier de registre", path);
    unlink(tempPath.c_str());
    throw EHiveWriteError(message);
  }
  TFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) fsync(dir.Get());
  return THiveSnapshot{std::make_shared<const THive>(std::move(changed)), Stamp(st)};
}

}  // namespace registry
}  // namespace vyn

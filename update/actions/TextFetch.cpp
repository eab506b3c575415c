#include "update/actions/TextFetch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "update/VudIvazoz.h"
#include "update/actions/StringList.h"

namespace vyn {

namespace {

// The whole file, read only when it is a regular file reached without a symbolic link.
std::optional<std::string> ReadRegularFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<std::string> bytes;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    bytes.emplace();
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes->append(buffer, static_cast<size_t>(n));
    if (n < 0) bytes.reset();
  }
  close(fd);
  return bytes;
}

// The address of the language's what's-new text, announced to the application, which may
// change it; "" when the control file names none.
std::string WhatsNewAddress(TVudIvazoz& engine, const std::string& controlFile,
                            const std::string& languageID) {
  std::string address = TIniFile(controlFile).ReadString("whatsnew" + languageID, "file", "");
  if (address.empty()) return address;
  const std::string description = address;
  if (engine.OnBeforeFileDownload) engine.OnBeforeFileDownload(engine, 0, description, address);
  engine.LogStatus(937, "", 12, 0);
  return address;
}

// The address of the language's licence text; "" when the control file names none.
std::string EULAAddress(TVudIvazoz& engine, const std::string& controlFile,
                        const std::string& languageID) {
  const std::string address = TIniFile(controlFile).ReadString("eula" + languageID, "file", "");
  if (!address.empty()) engine.LogStatus(939, "", 13, 0);
  return address;
}

}  // namespace

std::optional<std::string> DownloadStream(TVudIvazoz& engine, const std::string& url) {
  const std::string folder = engine.WinTempDir();
  if (!engine.URLGetFile(engine.HintConnect(), url, folder, false)) return std::nullopt;
  const std::string name = engine.URLtoFile(url);
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  const std::string path = folder + name;
  std::optional<std::string> bytes = ReadRegularFile(path);
  unlink(path.c_str());
  return bytes;
}

std::optional<std::vector<std::string>> DownloadTextFile(TVudIvazoz& engine,
                                                         const std::string& url) {
  const std::optional<std::string> bytes = DownloadStream(engine, url);
  if (!bytes) return std::nullopt;
  return LoadStringList(*bytes);
}

std::optional<std::vector<std::string>> TVudIvazoz::GetWhatsNew() {
  const std::string address = WhatsNewAddress(*this, FControlFileName, LanguageID);
  if (address.empty()) return std::nullopt;
  return DownloadTextFile(*this, address);
}

std::optional<std::string> TVudIvazoz::GetWhatsNewStream() {
  const std::string address = WhatsNewAddress(*this, FControlFileName, LanguageID);
  if (address.empty()) return std::nullopt;
  return DownloadStream(*this, address);
}

std::optional<std::vector<std::string>> TVudIvazoz::GetEULA() {
  const std::string address = EULAAddress(*this, FControlFileName, LanguageID);
  if (address.empty()) return std::nullopt;
  return DownloadTextFile(*this, address);
}

std::optional<std::string> TVudIvazoz::GetEULAStream() {
  const std::string address = EULAAddress(*this, FControlFileName, LanguageID);
  if (address.empty()) return std::nullopt;
  return DownloadStream(*this, address);
}

}  // namespace vyn

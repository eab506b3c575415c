#include "app/about/DownloadFile.h"

#include "app/config/InternetSettings.h"
#include "app/config/UserStore.h"
#include "platform/FileDescriptor.h"
#include "platform/TempFile.h"
#include "update/net/InternetSession.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyn {

namespace {

constexpr size_t BlockSize = 4096;

// The proxy of the internet options, as the browser's own pages use it. A store that cannot
// be read at all gives a direct connection, as it does for the pages.
TSessionOptions DownloadSessionOptions() {
  TSessionOptions options;
  options.Agent = QCoreApplication::applicationName().toStdString();
  if (!UserStoreReadable()) return options;
  const TProxySettings proxy = LoadProxySettings();
  const QString server = proxy.Server.simplified().remove(QLatin1Char(' '));
  if (proxy.Enabled && !server.isEmpty()) {
    options.Proxy = server.toStdString();
    options.ProxyBypass = proxy.Override.simplified().remove(QLatin1Char(' ')).toStdString();
  }
  return options;
}

std::string FolderOf(const std::string& fileName) {
  const size_t slash = fileName.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : fileName.substr(0, slash);
}

bool WriteAll(int file, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(file, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// The whole body into `file`: false when the transfer fails, stops short of the announced
// length or grows beyond LargestDownload.
bool CopyBody(TInternetRequest& request, int file) {
  std::vector<char> block(BlockSize);
  long long total = 0;
  for (;;) {
    const long count = request.Read(block.data(), block.size());
    if (count < 0) return false;
    if (count == 0) break;
    total += count;
    if (total > LargestDownload || !WriteAll(file, block.data(), static_cast<size_t>(count)))
      return false;
  }
  return request.ContentLength() < 0 || total == request.ContentLength();
}

// Nothing there, or a plain file that the download may replace.
bool MayReplace(const std::string& fileName) {
  struct stat existing {};
  if (lstat(fileName.c_str(), &existing) != 0) return errno == ENOENT;
  return S_ISREG(existing.st_mode);
}

}  // namespace

bool DownloadFile(const QString& URL, const QString& FileName) {
  const std::string target = FileName.toStdString();
  if (URL.isEmpty() || target.empty() || !MayReplace(target)) return false;

  TInternetSession session(DownloadSessionOptions());
  const std::unique_ptr<TInternetRequest> request = session.OpenUrl(URL.toStdString(), "", TRequestFlags());
  if (!request) return false;
  const long status = request->StatusCode();
  if (status != 0 && (status < 200 || status > 299)) return false;
  if (request->ContentLength() > LargestDownload) return false;

  // Made exclusively by us: a name planted by someone else is never written through.
  const std::string temporary = GetTempFileName(FolderOf(target), "vyn");
  if (temporary.empty()) return false;
  TFileDescriptor file(open(temporary.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
  const bool done = file.Get() >= 0 && CopyBody(*request, file.Get()) && file.Close() == 0 &&
                    MayReplace(target) && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!done) unlink(temporary.c_str());
  return done;
}

}  // namespace vyn

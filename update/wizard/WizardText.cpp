#include "update/wizard/WizardText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "update/actions/StringList.h"

namespace vyn {

QString LinesText(const std::vector<std::string>& lines) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) list << QString::fromStdString(line);
  return list.join(u'\n');
}

void SaveLines(const std::string& path, const QString& text) {
  std::vector<std::string> lines;
  if (!text.isEmpty())
    for (const QString& line : text.split(u'\n')) lines.push_back(line.toStdString());
  const std::string data = SaveStringList(lines);

  // The staging folder is private, but a link or a pipe planted there must still not redirect
  // or block the write.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                      0644);
  if (fd < 0) throw std::runtime_error("Cannot create file " + path + ": " + std::strerror(errno));
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ftruncate(fd, 0) != 0) {
    close(fd);
    throw std::runtime_error("Cannot write file " + path + ": not a plain file");
  }
  size_t written = 0;
  while (written < data.size()) {
    const ssize_t n = write(fd, data.data() + written, data.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = errno;
      close(fd);
      throw std::runtime_error("Cannot write file " + path + ": " + std::strerror(error));
    }
    written += static_cast<size_t>(n);
  }
  if (close(fd) != 0)
    throw std::runtime_error("Cannot write file " + path + ": " + std::strerror(errno));
}

}  // namespace vyn

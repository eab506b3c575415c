#include "updater/UpdaterLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/Folders.h"

namespace vyn {

std::string FormatLogTime(TUpdaterClock::time_point moment, bool milliseconds) {
  const std::time_t seconds = TUpdaterClock::to_time_t(moment);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[40];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", local.tm_mday,
                local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                local.tm_sec);
  std::string result = text;
  if (milliseconds) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        moment.time_since_epoch()).count() % 1000;
    std::snprintf(text, sizeof text, ":%03d", static_cast<int>(ms < 0 ? ms + 1000 : ms));
    result += text;
  }
  return result;
}

std::string PlaceLogFile(const std::string& name) {
  if (name.find_first_of("\\/:") != std::string::npos) return ToLocalSeparators(name);
  const std::string documents = DocumentsDir();
  return documents.empty() ? name : IncludeTrailingSlash(documents) + name;
}

void TUpdaterLog::Write(const std::string& message) const {
  if (FLogging) WriteAlways(message);
}

void TUpdaterLog::WriteAlways(const std::string& message) const {
  const int fd = OpenForAppend();
  if (fd < 0) return;
  const std::string line = FormatLogTime(TUpdaterClock::now(), false) + " : [000] " + message + "\r\n";
  // One write per line, so the lines of a child writing to the same file do not interleave.
  const ssize_t written = write(fd, line.data(), line.size());
  (void)written;
  close(fd);
}

int TUpdaterLog::OpenForAppend() const {
  return open(FPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
}

}  // namespace vyn

#pragma once
// The updater's own lines in the update log: "dd/mm/yyyy hh:nn:ss : [000] message".

#include <chrono>
#include <string>

namespace vyn {

using TUpdaterClock = std::chrono::system_clock;

// Local time as "dd/mm/yyyy hh:nn:ss", with ":zzz" milliseconds when asked.
std::string FormatLogTime(TUpdaterClock::time_point moment, bool milliseconds);

// Where the log lies: a bare name (none of '\', '/', ':') in the documents folder; '\' is read
// as a separator.
std::string PlaceLogFile(const std::string& name);

class TUpdaterLog {
public:
  TUpdaterLog(std::string path, bool logging) : FPath(std::move(path)), FLogging(logging) {}

  bool Logging() const { return FLogging; }
  const std::string& Path() const { return FPath; }
  // A line when logging is on.
  void Write(const std::string& message) const;
  // A line whether or not logging is on.
  void WriteAlways(const std::string& message) const;
  // The log opened for appending (created when missing, never through a link), for a child's
  // output; -1 when it cannot be opened. The caller closes it.
  int OpenForAppend() const;

private:
  std::string FPath;
  bool FLogging;
};

}  // namespace vyn

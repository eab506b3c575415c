#pragma once
// The update log file: one process-wide name, shared with the updater program, and the writer
// that appends one line at a time.

#include <string>

namespace vyn {

void SetProcessLogFileName(const std::string& name);
// Where the log is written: a bare name lies in the documents folder, "{APP}" stands for the
// executable's folder, and '\' is read as a separator.
std::string LogFilePath();
// Appends `line` and CR LF, creating the file and its folders as needed; loses the line when
// the file cannot be written.
void AppendLogLine(const std::string& line);

}  // namespace vyn

#pragma once
// The wizard's plain texts: the lines of a fetched text for a memo, and a memo's lines saved
// to a file for the desktop's editor.

#include <QString>
#include <string>
#include <vector>

namespace vyn {

// The lines one below the other, as a memo shows them.
QString LinesText(const std::vector<std::string>& lines);

// Writes each line of `text` followed by CR LF to `path`, replacing the file there. Never
// writes through a symbolic link; throws std::runtime_error naming the file when it cannot be
// written.
void SaveLines(const std::string& path, const QString& text);

}  // namespace vyn

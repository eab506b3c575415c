#pragma once
// The file version of an executable as the about box shows it.

#include <QString>

#include <string>

namespace vyn {

// "a.b.c.d" from the version note of `fileName`; raises EOSError when the file cannot be read
// (its error) or carries no version (ENODATA).
QString FileVersionString(const std::string& fileName);

// The same for the running executable.
QString GetFileVersionString();

}  // namespace vyn

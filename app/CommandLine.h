#pragma once
// What the command line asks of the program: its version line, or an address that replaces the
// home page for this start.

#include <QString>
#include <QStringList>

#include <string>

namespace vyn {

// True when the only argument is "--version".
bool AsksForVersion(int argc, char** argv);

// "vynWebBrowser a.b.c.d" from the running executable's version note; "" when it has none.
std::string VersionLine();

// The first argument that is not an option, as an http, https or file address (a path is read
// relative to currentDir); "" when there is none or it has any other scheme.
QString StartAddress(const QStringList& arguments, const QString& currentDir);

}  // namespace vyn

#include "app/CommandLine.h"

#include "platform/FileVersion.h"
#include "platform/Folders.h"

#include <QUrl>

#include <cstring>

namespace vyn {

bool AsksForVersion(int argc, char** argv) {
  return argc == 2 && std::strcmp(argv[1], "--version") == 0;
}

std::string VersionLine() {
  const std::optional<TFixedFileInfo> info = ReadFixedFileInfo(ExePath());
  return info ? "vynWebBrowser " + FormatFileVersion(*info) : std::string();
}

QString StartAddress(const QStringList& arguments, const QString& currentDir) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument.isEmpty() || argument.startsWith(QLatin1Char('-'))) continue;
    const QUrl url = QUrl::fromUserInput(argument, currentDir, QUrl::AssumeLocalFile);
    // Another scheme (javascript:, data:, a custom handler) could act before the user sees it.
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                           scheme != QLatin1String("file")))
      return {};
    return url.toString(QUrl::FullyEncoded);
  }
  return {};
}

}  // namespace vyn

// The program entry: prepares the web engine, creates the application and the main window,
// and runs the message loop until the window closes. "--version" prints the version line and
// leaves; an address on the command line replaces the home page for this start.

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ErrorReporting.h"
#include "app/Startup.h"
#include "app/WebBrowser.h"
#include "app/uMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QIcon>

#include <cstdio>

int main(int argc, char** argv) {
  if (vyn::AsksForVersion(argc, argv)) {
    const std::string line = vyn::VersionLine();
    if (line.empty()) {
      std::fprintf(stderr, "vynWebBrowser: no version note in the executable\n");
      return 1;
    }
    std::printf("%s\n", line.c_str());
    return 0;
  }
  QElapsedTimer sinceStart;
  sinceStart.start();
  QString startError;
  try {
    vyn::PrepareWebEngineEnvironment();
  } catch (...) {
    startError = vyn::CurrentExceptionText();
  }
  vyn::TApplication app(argc, argv);
  vyn::TApplication::setApplicationName(QStringLiteral("vynWebBrowser"));
  vyn::TApplication::setWindowIcon(QIcon(QStringLiteral(":/vyn/icons/vynwebbrowser.svg")));
  vyn::RegisterFonts();
  if (!startError.isEmpty()) vyn::ReportUnhandledError(startError);

  vyn::TfrmMain frmMain;
  frmMain.StartAddress = vyn::StartAddress(vyn::TApplication::arguments(), QDir::currentPath());
  // The start-up benchmark: report the first loaded page and leave.
  if (qEnvironmentVariable("VYN_BENCH_EXIT_ON_DOCUMENT_COMPLETE") == QLatin1String("1")) {
    QObject::connect(frmMain.WebBrowser, &vyn::TWebBrowser::DocumentComplete, &app, [&sinceStart] {
      std::printf("DocumentComplete %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
      std::fflush(stdout);
      vyn::TApplication::quit();
    });
  }
  frmMain.show();
  return app.exec();
}

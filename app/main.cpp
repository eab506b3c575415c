// The program entry: prepares the web engine, creates the application and the main window,
// and runs the message loop until the window closes. No command-line argument is read.

#include "app/Application.h"
#include "app/ErrorReporting.h"
#include "app/Startup.h"
#include "app/WebBrowser.h"
#include "app/uMain.h"

#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
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
  vyn::RegisterFonts();
  if (!startError.isEmpty()) vyn::ReportUnhandledError(startError);

  vyn::TfrmMain frmMain;
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

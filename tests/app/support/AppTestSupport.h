#pragma once
// Shared support of the window tests: an isolated process environment, a web engine set up for
// CI (root, no GPU), and the main() every window test uses.

#include "app/Application.h"
#include "app/Startup.h"

#include <QStringList>
#include <QTest>
#include <QVariant>

#include <functional>

class QWebEnginePage;

namespace vyn::test {

// Sets the web engine's environment for a test process: no sandbox as root, no GPU.
// Called after the folders are isolated and before the QApplication exists.
void PrepareWindowTestProcess();

// Records the errors the application reports instead of showing them, while it lives.
class TErrorRecorder {
public:
  TErrorRecorder();
  ~TErrorRecorder();
  QStringList Errors;
};

// Removes the registry store's hive files: the next read sees an empty registry.
void ClearRegistry();

// Runs the event loop until `condition` holds or `timeoutMs` passes; true when it holds.
// Unlike QTest::qWaitFor it never sleeps, which would starve the web engine's tasks.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 30000);

// Runs `script` in the page and waits for its result.
QVariant RunJavaScript(QWebEnginePage* page, const QString& script);

}  // namespace vyn::test

// main() of a window test executable: isolates HOME, XDG_*, TMPDIR and VYN_REGISTRY_DIR in a
// fresh folder, registers the program's fonts as the program does, then runs the Qt Test class.
#define VYN_WINDOW_TEST_MAIN(TestClass)                    \
  int main(int argc, char** argv) {                        \
    vyn::test::TIsolatedEnvironment environment;           \
    vyn::test::PrepareWindowTestProcess();                 \
    vyn::TApplication app(argc, argv);                     \
    vyn::TApplication::setApplicationName("vynWebBrowser");                          \
    app.setAttribute(Qt::AA_Use96Dpi, true);               \
    vyn::RegisterFonts();                                  \
    TestClass test;                                        \
    return QTest::qExec(&test, argc, argv);                \
  }

#include "TestEnvironment.h"

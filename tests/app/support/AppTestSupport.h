#pragma once
// Shared support of the window tests: an isolated process environment, a web engine set up for
// CI (root, no GPU), and the main() every window test uses.

#include <QApplication>
#include <QTest>

namespace vyn::test {

// Sets the web engine's environment for a test process: no sandbox as root, no GPU.
// Called after the folders are isolated and before the QApplication exists.
void PrepareWindowTestProcess();

}  // namespace vyn::test

// main() of a window test executable: isolates HOME, XDG_*, TMPDIR and VYN_REGISTRY_DIR in a
// fresh folder, then runs the Qt Test class.
#define VYN_WINDOW_TEST_MAIN(TestClass)                    \
  int main(int argc, char** argv) {                        \
    vyn::test::TIsolatedEnvironment environment;           \
    vyn::test::PrepareWindowTestProcess();                 \
    QApplication app(argc, argv);                          \
    app.setAttribute(Qt::AA_Use96Dpi, true);               \
    TestClass test;                                        \
    return QTest::qExec(&test, argc, argv);                \
  }

#include "TestEnvironment.h"

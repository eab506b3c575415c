// The least program that shows a web page: one QWebEngineView on the address given as the
// only argument. Prints the time to its first finished load and quits.

#include <QApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QWebEngineView>

#include <cstdio>

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  QWebEngineView view;
  QObject::connect(&view, &QWebEngineView::loadFinished, &app, [&sinceStart] {
    std::printf("DocumentComplete %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
    std::fflush(stdout);
    QApplication::quit();
  });
  view.resize(781, 480);
  view.load(QUrl::fromUserInput(QString::fromLocal8Bit(argv[1])));
  view.show();
  return app.exec();
}

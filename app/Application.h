#pragma once
// The application object: reports every error that leaves an event handler instead of ending
// the process.

#include <QApplication>

namespace vyn {

class TApplication : public QApplication {
  Q_OBJECT
public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vyn

#pragma once
// Acting on a modal dialog from a test: the dialog's exec() blocks the test's own code, so the
// action is scheduled on a timer that finds the dialog once it is shown.

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace vyn::test {

// Runs `act` on the modal dialog of type T as soon as it shows; gives up after five seconds.
// A dialog that `act` leaves open (a failed check) is rejected so the test goes on.
template <class T>
void WhenModal(std::function<void(T*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setObjectName(QStringLiteral("WhenModal"));
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, act, tries] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!dialog && ++*tries < 500)
      return;
    timer->stop();
    timer->deleteLater();
    if (!dialog)
      return;
    QPointer guard(dialog);
    act(dialog);
    if (guard && guard->isVisible())
      guard->reject();
  });
  timer->start(10);
}

}  // namespace vyn::test

#include "app/MainForm.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace vyn {

namespace {
QPointer<QWidget>& MainForm() {
  static QPointer<QWidget> form;
  return form;
}
}  // namespace

void SetMainForm(QWidget* form) {
  if (!MainForm()) MainForm() = form;
}

QWidget* DialogOwner() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return MainForm();
}

}  // namespace vyn

#include "app/PopupWindow.h"

#include <QWebEnginePage>

namespace vyn {

TPopupWindow::TPopupWindow(QWebEnginePage* page) {
  setAttribute(Qt::WA_DeleteOnClose);
  page->setParent(this);
  setPage(page);
  resize(640, 480);
  connect(page, &QWebEnginePage::titleChanged, this, &QWidget::setWindowTitle);
  connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

}  // namespace vyn

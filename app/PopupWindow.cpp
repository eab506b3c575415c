#include "app/PopupWindow.h"

#include <QWebEnginePage>

namespace vyn {

TPopupWindow::TPopupWindow(QWebEnginePage* page, QWidget* owner) : QWebEngineView(owner) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_QuitOnClose, false);
  page->setParent(this);
  setPage(page);
  resize(640, 480);
  connect(page, &QWebEnginePage::titleChanged, this, &QWidget::setWindowTitle);
  connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

}  // namespace vyn

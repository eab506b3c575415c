#include "app/WebBrowserPage.h"

#include "app/PopupWindow.h"

#include <QWebEngineSettings>

namespace vyn {

TWebBrowserPage::TWebBrowserPage(QWebEngineProfile* profile, const TFeatureSwitches& switches,
                                 QObject* parent)
    : QWebEnginePage(profile, parent), FSwitches(switches) {
  QWebEngineSettings* options = settings();
  if (FSwitches.PopupManagement)
    options->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, !*FSwitches.PopupManagement);
  if (FSwitches.DomStorage)
    options->setAttribute(QWebEngineSettings::LocalStorageEnabled, *FSwitches.DomStorage);
}

bool TWebBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
  if (FSwitches.UserNamePasswordDisable.value_or(false) &&
      (!url.userName().isEmpty() || !url.password().isEmpty())) {
    emit NavigationRefused(url);
    return false;
  }
  if (isMainFrame && FSwitches.BlocksLocalScripts())
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, !url.isLocalFile());
  emit NavigationRequested(url, isMainFrame);
  return true;
}

namespace {

// The main window above the view of `page`, through the popups that opened it.
QWidget* MainWindowOf(const QWebEnginePage* page) {
  auto* view = qobject_cast<QWidget*>(page->parent());
  if (!view) return nullptr;
  QWidget* window = view->window();
  while (window->parentWidget()) window = window->parentWidget()->window();
  return window;
}

}  // namespace

QWebEnginePage* TWebBrowserPage::createWindow(WebWindowType) {
  auto* popup = new TPopupWindow(new TWebBrowserPage(profile(), FSwitches, nullptr), MainWindowOf(this));
  popup->show();
  return popup->page();
}

}  // namespace vyn

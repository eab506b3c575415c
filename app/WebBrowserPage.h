#pragma once
// The page of the browser control: applies the feature switches to what the engine may do and
// reports each navigation before it starts.

#include "app/FeatureSwitches.h"

#include <QWebEnginePage>

namespace vyn {

class TWebBrowserPage : public QWebEnginePage {
  Q_OBJECT
public:
  TWebBrowserPage(QWebEngineProfile* profile, const TFeatureSwitches& switches, QObject* parent);

signals:
  void NavigationRequested(const QUrl& url, bool isMainFrame);
  // A navigation the switches forbid; the engine still reports an empty load for it.
  void NavigationRefused(const QUrl& url);

protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

private:
  TFeatureSwitches FSwitches;
};

}  // namespace vyn

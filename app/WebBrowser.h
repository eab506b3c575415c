#pragma once
// The browser control of the main window, over Qt WebEngine: the operations, properties and
// events the shell uses. Operations that cannot be carried out raise EWebBrowserError.
//
// Event order of a load: BeforeNavigate2, ProgressChange (percentages), NavigateComplete2 once
// the new address is committed (at the latest just before the end), ProgressChange(-1),
// DocumentComplete. A load that ends on the engine's error page reports NavigateComplete2
// once more, for the error document, which is not the requested page. Back/Forward availability arrives as CommandStateChange, and a changed
// selection as CommandStateChange(CSC_UPDATECOMMANDS) once its kind is known.

#include "app/FeatureSwitches.h"
#include "app/WebBrowserCommands.h"

#include <QString>
#include <QWidget>

class QKeyEvent;
class QWebEngineLoadingInfo;
class QWebEngineView;

namespace vyn {

class TWebBrowserPage;
class TWebDocument;

class TWebBrowser : public QWidget {
  Q_OBJECT
public:
  TWebBrowser(const TFeatureSwitches& switches, QWidget* parent);
  ~TWebBrowser() override;

  // Starts a navigation to `url`; an address without scheme is completed as typed text is.
  void Navigate2(const QString& url);
  void GoHome();
  void GoBack();
  void GoForward();
  void GoSearch();
  void Refresh();
  void Stop();
  void ExecWB(int command, int option);
  int QueryStatusWB(int command) const;

  // The current document, or nullptr before the first navigation completes.
  TWebDocument* Document() const;
  QString LocationURL() const;
  bool Busy() const { return FBusy; }

  // Acts on `key` when it is one of the control's accelerators that means something now;
  // returns whether it did, the key then being the control's and not the page's. Escape
  // stops a load only while there is one, and is the page's otherwise.
  bool TranslateAccelerator(const QKeyEvent& key);

  QWebEngineView* View() const { return FView; }

signals:
  void BeforeNavigate2(const QString& url);
  void NavigateComplete2(const QString& url);
  void DocumentComplete();
  void ProgressChange(int progress, int progressMax);
  void CommandStateChange(int command, bool enable);

private:
  void PageNavigationRequested(const QUrl& url, bool isMainFrame);
  void PageLoadStarted();
  void PageLoadProgress(int percent);
  void PageUrlChanged(const QUrl& url);
  void PageLoadingChanged(const QWebEngineLoadingInfo& info);
  void PageLoadFinished(bool errorPage);
  void PageSelectionChanged();
  void EmitHistoryState();
  void NavigateTo(const QUrl& url);

  QWebEngineView* FView;
  TWebBrowserPage* FPage;
  TWebDocument* FDocument;
  bool FHasDocument = false;
  bool FBusy = false;
  bool FNavigateCompleted = false;
  bool FIgnoreNextLoad = false;
  bool FIgnoringLoad = false;
  int FLoadSerial = 0;
};

}  // namespace vyn

#include "app/WebBrowser.h"

#include "app/BrowserAccelerators.h"
#include "app/BrowserProfile.h"
#include "app/OwnPages.h"
#include "app/PagePrinting.h"
#include "app/PageProperties.h"
#include "app/Resources.h"
#include "app/WebBrowserPage.h"
#include "app/WebDocument.h"

#include <QAction>
#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace vyn {

namespace {

const char kSelectionTypeScript[] =
    "(function() { var s = document.getSelection(); return s ? s.type : 'None'; })()";

QWebEnginePage::WebAction EditAction(int command) {
  switch (command) {
    case OLECMDID_PASTE: return QWebEnginePage::Paste;
    case OLECMDID_UNDO: return QWebEnginePage::Undo;
    case OLECMDID_REDO: return QWebEnginePage::Redo;
    case OLECMDID_SELECTALL: return QWebEnginePage::SelectAll;
    default: return QWebEnginePage::NoWebAction;
  }
}

}  // namespace

TWebBrowser::TWebBrowser(const TFeatureSwitches& switches, QWidget* parent)
    : QWidget(parent), FView(new QWebEngineView(this)) {
  EnsureAppResources();
  QWebEngineProfile* profile = BrowserProfile();
  if (switches.SpellChecking) {
    profile->setSpellCheckLanguages({QStringLiteral("fr-FR")});
    profile->setSpellCheckEnabled(*switches.SpellChecking);
  }
  FPage = new TWebBrowserPage(profile, switches, FView);
  FView->setPage(FPage);
  FDocument = new TWebDocument(FView, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FView);
  setFocusProxy(FView);

  connect(FPage, &TWebBrowserPage::NavigationRequested, this, &TWebBrowser::PageNavigationRequested);
  connect(FPage, &TWebBrowserPage::NavigationRefused, this, [this] { FIgnoreNextLoad = true; });
  connect(FPage, &QWebEnginePage::loadStarted, this, &TWebBrowser::PageLoadStarted);
  connect(FPage, &QWebEnginePage::loadProgress, this, &TWebBrowser::PageLoadProgress);
  connect(FPage, &QWebEnginePage::urlChanged, this, &TWebBrowser::PageUrlChanged);
  connect(FPage, &QWebEnginePage::loadingChanged, this, &TWebBrowser::PageLoadingChanged);
  connect(FPage, &QWebEnginePage::selectionChanged, this, &TWebBrowser::PageSelectionChanged);
  connect(FPage, &QWebEnginePage::titleChanged, this, [this] { FDocument->SetUntitled(false); });
  for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
    connect(FPage->action(action), &QAction::changed, this, &TWebBrowser::EmitHistoryState);
}

TWebBrowser::~TWebBrowser() {
  // The page must go before the profile it uses; the view is our child anyway.
  delete FView;
}

void TWebBrowser::NavigateTo(const QUrl& url) { FView->load(url); }

void TWebBrowser::Navigate2(const QString& url) {
  QUrl address(url, QUrl::StrictMode);
  if (address.isRelative()) address = QUrl::fromUserInput(url);
  if (!address.isValid() || address.isEmpty())
    throw EWebBrowserError(QStringLiteral("Adresse non valide : %1").arg(url).toStdString());
  NavigateTo(address);
}

void TWebBrowser::GoHome() { NavigateTo(OwnHomePage()); }
void TWebBrowser::GoSearch() { NavigateTo(OwnSearchPage()); }

void TWebBrowser::GoBack() {
  if (!FPage->history()->canGoBack()) throw EWebBrowserError("Aucune page précédente");
  FView->back();
}

void TWebBrowser::GoForward() {
  if (!FPage->history()->canGoForward()) throw EWebBrowserError("Aucune page suivante");
  FView->forward();
}

void TWebBrowser::Refresh() { FView->reload(); }
void TWebBrowser::Stop() { FView->stop(); }

void TWebBrowser::ExecWB(int command, int option) {
  const QWebEnginePage::WebAction action = EditAction(command);
  if (action != QWebEnginePage::NoWebAction) {
    FPage->triggerAction(action);
    return;
  }
  if (!(QueryStatusWB(command) & OLECMDF_ENABLED))
    throw EWebBrowserError("Commande non disponible");
  switch (command) {
    case OLECMDID_PRINT: PrintPage(FView, option != OLECMDEXECOPT_DONTPROMPTUSER); break;
    case OLECMDID_PRINTPREVIEW: PreviewPage(FView); break;
    case OLECMDID_PROPERTIES: TPagePropertiesDialog(FView, window()).exec(); break;
  }
}

int TWebBrowser::QueryStatusWB(int command) const {
  const QWebEnginePage::WebAction action = EditAction(command);
  if (action != QWebEnginePage::NoWebAction)
    return OLECMDF_SUPPORTED | (FPage->action(action)->isEnabled() ? OLECMDF_ENABLED : 0);
  switch (command) {
    case OLECMDID_PRINT:
    case OLECMDID_PRINTPREVIEW:
    case OLECMDID_PROPERTIES:
      return OLECMDF_SUPPORTED | (FHasDocument ? OLECMDF_ENABLED : 0);
    default:
      return 0;
  }
}

bool TWebBrowser::TranslateAccelerator(const QKeyEvent& key) {
  QWebEngineHistory* history = FPage->history();
  switch (BrowserAcceleratorOf(key.key(), key.modifiers())) {
    case baNone:
      return false;
    case baRefresh:
      Refresh();
      return true;
    case baGoBack:
      if (history->canGoBack()) GoBack();
      return true;
    case baGoForward:
      if (history->canGoForward()) GoForward();
      return true;
    case baStop:
      if (!FBusy) return false;
      Stop();
      return true;
    case baFind:
      if (TWebDocument* document = Document()) document->ShowFindDialog();
      return true;
    case baPrint:
      if (QueryStatusWB(OLECMDID_PRINT) & OLECMDF_ENABLED)
        ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
      return true;
  }
  return false;
}

TWebDocument* TWebBrowser::Document() const { return FHasDocument ? FDocument : nullptr; }

QString TWebBrowser::LocationURL() const { return FPage->url().toString(); }

void TWebBrowser::PageNavigationRequested(const QUrl& url, bool isMainFrame) {
  // A frame's navigation reports no end of its own: only while the page loads does it show.
  if (isMainFrame || FBusy) emit BeforeNavigate2(url.toString());
}

void TWebBrowser::PageLoadStarted() {
  if (FIgnoreNextLoad) {
    FIgnoreNextLoad = false;
    FIgnoringLoad = true;
    return;
  }
  FBusy = true;
  FNavigateCompleted = false;
  ++FLoadSerial;
  FDocument->SetErrorPage(false);
  FDocument->SetUntitled(false);
}

void TWebBrowser::PageLoadProgress(int percent) {
  if (FBusy && !FIgnoringLoad) emit ProgressChange(percent, 100);
}

void TWebBrowser::PageUrlChanged(const QUrl& url) {
  if (FIgnoringLoad || (FBusy && FNavigateCompleted)) return;
  FNavigateCompleted = FBusy;
  FHasDocument = true;
  emit NavigateComplete2(url.toString());
  EmitHistoryState();
}

void TWebBrowser::PageLoadingChanged(const QWebEngineLoadingInfo& info) {
  if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) PageLoadFinished(info.isErrorPage());
}

void TWebBrowser::PageLoadFinished(bool errorPage) {
  if (FIgnoringLoad) {
    FIgnoringLoad = false;
    return;
  }
  if (!FBusy) return;
  FBusy = false;
  FDocument->SetErrorPage(errorPage);
  if (!FNavigateCompleted || errorPage) {
    FHasDocument = true;
    emit NavigateComplete2(FPage->url().toString());
  }
  // The engine names a page without a title after its address: ask the document itself
  // before the end of the load is reported. A load started meanwhile supersedes this one.
  QPointer<TWebBrowser> self = this;
  const int serial = FLoadSerial;
  FPage->runJavaScript(QStringLiteral("document.title"), QWebEngineScript::ApplicationWorld,
                       [self, serial](const QVariant& title) {
                         if (!self || self->FLoadSerial != serial) return;
                         self->FDocument->SetUntitled(title.toString().isEmpty());
                         emit self->ProgressChange(-1, 100);
                         emit self->DocumentComplete();
                         self->EmitHistoryState();
                       });
}

void TWebBrowser::PageSelectionChanged() {
  QPointer<TWebBrowser> self = this;
  FPage->runJavaScript(QString::fromLatin1(kSelectionTypeScript), QWebEngineScript::ApplicationWorld,
                       [self](const QVariant& type) {
                         if (!self) return;
                         self->FDocument->SetSelectionType(type.toString() == QLatin1String("Range")
                                                               ? QStringLiteral("Text")
                                                               : QStringLiteral("None"));
                         emit self->CommandStateChange(CSC_UPDATECOMMANDS, true);
                       });
}

void TWebBrowser::EmitHistoryState() {
  emit CommandStateChange(CSC_NAVIGATEFORWARD, FPage->history()->canGoForward());
  emit CommandStateChange(CSC_NAVIGATEBACK, FPage->history()->canGoBack());
}

}  // namespace vyn

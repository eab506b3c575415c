#pragma once
// The main window: toolbar of page commands, the browser control, the status line with zone,
// padlock and address, and the configuration menu.

#include "app/config/Config.h"
#include "app/config/Settings.h"
#include "app/ZoneLookup.h"

#include <QWidget>

#include <array>

class QAbstractButton;
class QAction;
class QFrame;
class QLabel;
class QMenu;

namespace vyn {

class TGlyphButton;
class TWebBrowser;

// Where the maker publishes the browser's update control file.
inline constexpr const char* UpdateControlFileURL = "http://www.vynsoft.example/files/vynWebBrowser.INF";

class TfrmMain : public QWidget {
  Q_OBJECT
public:
  // The command of the window menu that shows the toolbar again.
  static constexpr int ShowButtonsCommand = 1025;

  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  QFrame* pnlBoutons;
  TGlyphButton* bbtGoHome;
  TGlyphButton* bbtGoBack;
  TGlyphButton* bbtGoForward;
  TGlyphButton* bbtStop;
  TGlyphButton* bbtRefresh;
  TGlyphButton* bbtGoSearch;
  TGlyphButton* bbtUndo;
  TGlyphButton* bbtRedo;
  TGlyphButton* bbtPaste;
  TGlyphButton* bbtSelectAll;
  TGlyphButton* bbtFind;
  TGlyphButton* bbtPrintPreview;
  TGlyphButton* bbtPrint;
  TGlyphButton* bbtProperties;
  TGlyphButton* bbtConfig;
  QWidget* Panel2;
  TWebBrowser* WebBrowser;
  QFrame* Panel20;
  QLabel* imgSecure;
  QWidget* Panel21;
  QLabel* imgZoneIcon;
  QLabel* lblZoneIcon;
  QWidget* Panel1;
  QLabel* lblURL;
  QLabel* imgLock;
  QMenu* pmConfiguration;
  QAction* mnuOptions;
  QAction* InternetExploreroptions1;
  QAction* mnuInternetFeatureControls;
  QAction* N1;
  QAction* mnuAproposDe;

  QString FRegPath;
  tyConfig FConfig;
  // Loaded in place of the home page when the window first shows; empty for the home page.
  QString StartAddress;

  void BuildRegPath();
  void LoadConfig();
  void SaveConfig();
  void ApplyButtonVisibility();

  // The window menu's commands; ShowButtonsCommand shows the toolbar.
  void WMSysCommand(int command);

  void bbtGoHomeClick();
  void bbtGoBackClick();
  void bbtGoForwardClick();
  void bbtStopClick();
  void bbtRefreshClick();
  void bbtGoSearchClick();
  void bbtUndoClick();
  void bbtRedoClick();
  void bbtPasteClick();
  void bbtSelectAllClick();
  void bbtFindClick();
  void bbtPrintPreviewClick();
  void bbtPrintClick();
  void bbtPropertiesClick();
  void bbtConfigClick();
  void mnuOptionsClick();
  void InternetExploreroptions1Click();
  void mnuInternetFeatureControlsClick();
  // The about box, over the update control file of VYN_UPDATE_URL when it is set, else over
  // UpdateControlFileURL.
  void mnuAproposDeClick();

  void ShowFindDialog();
  void PopupBelowButton(QAbstractButton* button, QMenu* menu);

  void WebBrowserBeforeNavigate2(const QString& url);
  void WebBrowserProgressChange(int progress, int progressMax);
  void WebBrowserNavigateComplete2(const QString& url);
  void WebBrowserDocumentComplete();
  void WebBrowserCommandStateChange(int command, bool enable);

  void GetUrlZoneAttributes(const QString& url, TZoneAttributes& attributes);

  // The window menu (standing in for the system menu), or nullptr before it is made.
  QMenu* SystemMenu() const { return FSystemMenu; }

protected:
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // The application-wide keyboard hook: the browser control acts on its accelerators typed in
  // its page, before the page sees them.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateComponents();
  void CreateConfigurationMenu();
  void FormCreate();
  void FormShow();
  void AddSystemMenuItems();
  QString DocumentTitle() const;
  std::array<TToolbarSlot, 14> ToolbarSlots() const;

  std::array<QWidget*, 13> FSpacers{};
  QMenu* FSystemMenu = nullptr;
  bool FHookInstalled = false;
  bool FShown = false;
};

}  // namespace vyn

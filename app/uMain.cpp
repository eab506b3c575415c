#include "app/uMain.h"

#include "app/BrowserAccelerators.h"
#include "app/ErrorReporting.h"
#include "app/FeatureSwitches.h"
#include "app/GlyphButton.h"
#include "app/Glyphs.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/WebBrowser.h"
#include "app/WebDocument.h"
#include "app/ZoneIcons.h"
#include "app/about/uAboutWithUpdate.h"
#include "app/config/InternetOptions.h"
#include "app/config/uConfig.h"
#include "app/features/uInternetFeatureControls.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>

namespace vyn {

namespace {

constexpr int kSpacerWidth = 8;

QWidget* Spacer(QWidget* parent, const char* name) {
  auto* spacer = new QWidget(parent);
  spacer->setObjectName(QLatin1String(name));
  spacer->setFixedWidth(kSpacerWidth);
  return spacer;
}

QLabel* Image16(QWidget* parent, const char* name) {
  auto* image = new QLabel(parent);
  image->setObjectName(QLatin1String(name));
  image->setFixedSize(16, 16);
  return image;
}

// Leading and trailing blanks and control characters removed.
QString TrimTitle(const QString& title) {
  qsizetype first = 0;
  qsizetype last = title.size();
  while (first < last && title.at(first).unicode() <= 0x20) ++first;
  while (last > first && title.at(last - 1).unicode() <= 0x20) --last;
  return title.mid(first, last - first);
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
  SetMainForm(this);
  CreateComponents();
  RunReportingErrors([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() {
  if (FHookInstalled) qApp->removeEventFilter(this);
}

void TfrmMain::CreateComponents() {
  setFont(MainFont());
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  resize(781, 480);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  pnlBoutons = new QFrame(this);
  pnlBoutons->setObjectName(QStringLiteral("pnlBoutons"));
  pnlBoutons->setFixedHeight(41);
  auto* toolbar = new QHBoxLayout(pnlBoutons);
  toolbar->setContentsMargins(4, 4, 4, 4);
  toolbar->setSpacing(0);
  struct TButtonDesign {
    TGlyphButton* TfrmMain::*Field;
    const char* Name;
    TGlyph Glyph;
    const char* Hint;
    const char* SpacerName;
    void (TfrmMain::*Click)();
  };
  const TButtonDesign design[] = {
      {&TfrmMain::bbtGoHome, "bbtGoHome", glHome, "Home", "pnlGoHome", &TfrmMain::bbtGoHomeClick},
      {&TfrmMain::bbtGoBack, "bbtGoBack", glBack, "Go Back", "pnlGoBack", &TfrmMain::bbtGoBackClick},
      {&TfrmMain::bbtGoForward, "bbtGoForward", glForward, "Go Forward", "pnlGoForward", &TfrmMain::bbtGoForwardClick},
      {&TfrmMain::bbtStop, "bbtStop", glStop, "Stop", "pnlStop", &TfrmMain::bbtStopClick},
      {&TfrmMain::bbtRefresh, "bbtRefresh", glRefresh, "Refresh", "pnlRefresh", &TfrmMain::bbtRefreshClick},
      {&TfrmMain::bbtGoSearch, "bbtGoSearch", glSearch, "Go Search", "pnlGoSearch", &TfrmMain::bbtGoSearchClick},
      {&TfrmMain::bbtUndo, "bbtUndo", glUndo, nullptr, "pnlUndo", &TfrmMain::bbtUndoClick},
      {&TfrmMain::bbtRedo, "bbtRedo", glRedo, nullptr, "pnlRedo", &TfrmMain::bbtRedoClick},
      {&TfrmMain::bbtPaste, "bbtPaste", glPaste, nullptr, "pnlPaste", &TfrmMain::bbtPasteClick},
      {&TfrmMain::bbtSelectAll, "bbtSelectAll", glSelectAll, nullptr, "pnlSelectAll", &TfrmMain::bbtSelectAllClick},
      {&TfrmMain::bbtFind, "bbtFind", glFind, nullptr, "pnlFind", &TfrmMain::bbtFindClick},
      {&TfrmMain::bbtPrintPreview, "bbtPrintPreview", glPrintPreview, nullptr, "pnlPrintPreview",
       &TfrmMain::bbtPrintPreviewClick},
      {&TfrmMain::bbtPrint, "bbtPrint", glPrint, nullptr, "pnlPrint", &TfrmMain::bbtPrintClick},
      {&TfrmMain::bbtProperties, "bbtProperties", glProperties, nullptr, nullptr, &TfrmMain::bbtPropertiesClick},
  };
  for (size_t i = 0; i < std::size(design); ++i) {
    auto* button = new TGlyphButton(design[i].Glyph, pnlBoutons);
    button->setObjectName(QLatin1String(design[i].Name));
    if (design[i].Hint) button->setToolTip(QLatin1String(design[i].Hint));
    this->*design[i].Field = button;
    connect(button, &QAbstractButton::clicked, this, design[i].Click);
    toolbar->addWidget(button);
    if (design[i].SpacerName) {
      FSpacers[i] = Spacer(pnlBoutons, design[i].SpacerName);
      toolbar->addWidget(FSpacers[i]);
    }
  }
  toolbar->addStretch(1);
  bbtConfig = new TGlyphButton(glConfig, pnlBoutons);
  bbtConfig->setObjectName(QStringLiteral("bbtConfig"));
  connect(bbtConfig, &QAbstractButton::clicked, this, &TfrmMain::bbtConfigClick);
  toolbar->addWidget(bbtConfig);
  layout->addWidget(pnlBoutons);

  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto* browserLayout = new QVBoxLayout(Panel2);
  browserLayout->setContentsMargins(4, 4, 4, 4);
  // Read once, before the control starts the engine.
  const TFeatureSwitches switches = ReadFeatureSwitches(QString::fromStdString(ExeFileName()));
  ApplyEngineStartSwitches(switches);
  WebBrowser = new TWebBrowser(switches, Panel2);
  WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
  browserLayout->addWidget(WebBrowser);
  layout->addWidget(Panel2, 1);

  Panel20 = new QFrame(this);
  Panel20->setObjectName(QStringLiteral("Panel20"));
  Panel20->setFixedHeight(24);
  auto* status = new QHBoxLayout(Panel20);
  status->setContentsMargins(4, 4, 4, 4);
  status->setSpacing(0);
  imgSecure = Image16(Panel20, "imgSecure");
  Panel21 = Spacer(Panel20, "Panel21");
  imgZoneIcon = Image16(Panel20, "imgZoneIcon");
  lblZoneIcon = new QLabel(Panel20);
  lblZoneIcon->setObjectName(QStringLiteral("lblZoneIcon"));
  Panel1 = Spacer(Panel20, "Panel1");
  lblURL = new QLabel(Panel20);
  lblURL->setObjectName(QStringLiteral("lblURL"));
  // Long texts are cut at the window's edge instead of widening the window.
  lblZoneIcon->setMinimumWidth(1);
  lblURL->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  imgLock = Image16(Panel20, "imgLock");
  imgLock->setPixmap(PadlockPicture());
  imgLock->hide();
  for (QWidget* item : {static_cast<QWidget*>(imgSecure), Panel21, static_cast<QWidget*>(imgZoneIcon),
                        static_cast<QWidget*>(lblZoneIcon), Panel1, static_cast<QWidget*>(lblURL)})
    status->addWidget(item);
  status->setStretchFactor(lblURL, 1);
  layout->addWidget(Panel20);

  connect(WebBrowser, &TWebBrowser::BeforeNavigate2, this,
          [this](const QString& url) { RunReportingErrors([&] { WebBrowserBeforeNavigate2(url); }); });
  connect(WebBrowser, &TWebBrowser::ProgressChange, this, [this](int progress, int progressMax) {
    RunReportingErrors([&] { WebBrowserProgressChange(progress, progressMax); });
  });
  connect(WebBrowser, &TWebBrowser::NavigateComplete2, this,
          [this](const QString& url) { RunReportingErrors([&] { WebBrowserNavigateComplete2(url); }); });
  connect(WebBrowser, &TWebBrowser::DocumentComplete, this,
          [this] { RunReportingErrors([&] { WebBrowserDocumentComplete(); }); });
  connect(WebBrowser, &TWebBrowser::CommandStateChange, this, [this](int command, bool enable) {
    RunReportingErrors([&] { WebBrowserCommandStateChange(command, enable); });
  });

  CreateConfigurationMenu();
}

void TfrmMain::CreateConfigurationMenu() {
  pmConfiguration = new QMenu(this);
  pmConfiguration->setObjectName(QStringLiteral("pmConfiguration"));
  mnuOptions = pmConfiguration->addAction(QStringLiteral("Options ..."));
  mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
  InternetExploreroptions1 = pmConfiguration->addAction(QStringLiteral("Options Internet ..."));
  InternetExploreroptions1->setObjectName(QStringLiteral("InternetExploreroptions1"));
  mnuInternetFeatureControls = pmConfiguration->addAction(QStringLiteral("Internet Feature Controls ..."));
  mnuInternetFeatureControls->setObjectName(QStringLiteral("mnuInternetFeatureControls"));
  N1 = pmConfiguration->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  mnuAproposDe = pmConfiguration->addAction(QStringLiteral("A propos de..."));
  mnuAproposDe->setObjectName(QStringLiteral("mnuAproposDe"));
  connect(mnuOptions, &QAction::triggered, this,
          [this] { RunReportingErrors([this] { mnuOptionsClick(); }); });
  connect(InternetExploreroptions1, &QAction::triggered, this,
          [this] { RunReportingErrors([this] { InternetExploreroptions1Click(); }); });
  connect(mnuInternetFeatureControls, &QAction::triggered, this,
          [this] { RunReportingErrors([this] { mnuInternetFeatureControlsClick(); }); });
  connect(mnuAproposDe, &QAction::triggered, this,
          [this] { RunReportingErrors([this] { mnuAproposDeClick(); }); });
}

void TfrmMain::FormCreate() {
  setWindowTitle(QApplication::applicationName());
  BuildRegPath();
  // A store that cannot be read is said once, here; the window goes on with the defaults.
  try {
    LoadConfig();
  } catch (const ESettingsUnreadable& error) {
    ReportUnhandledError(QString::fromUtf8(error.what()));
  }
  ApplyButtonVisibility();
  AddSystemMenuItems();
  qApp->installEventFilter(this);
  FHookInstalled = true;
}

void TfrmMain::AddSystemMenuItems() {
  FSystemMenu = new QMenu(this);
  FSystemMenu->setObjectName(QStringLiteral("SystemMenu"));
  struct TItem {
    const char* Caption;
    int Command;
  };
  // Window commands numbered as the system menu numbers them.
  for (const TItem& item : {TItem{"Restaurer", 0xF120}, TItem{"Réduire", 0xF020},
                            TItem{"Agrandir", 0xF030}, TItem{"Fermer", 0xF060}}) {
    QAction* action = FSystemMenu->addAction(QString::fromUtf8(item.Caption));
    action->setData(item.Command);
  }
  FSystemMenu->addSeparator();
  QAction* showButtons = FSystemMenu->addAction(QStringLiteral("Show buttons"));
  showButtons->setData(ShowButtonsCommand);
  connect(FSystemMenu, &QMenu::triggered, this, [this](QAction* action) {
    RunReportingErrors([&] { WMSysCommand(action->data().toInt()); });
  });
}

void TfrmMain::WMSysCommand(int command) {
  switch (command) {
    case ShowButtonsCommand:
      if (pnlBoutons->isHidden()) pnlBoutons->show();
      break;
    case 0xF120: showNormal(); break;
    case 0xF020: showMinimized(); break;
    case 0xF030: showMaximized(); break;
    case 0xF060: close(); break;
  }
}

void TfrmMain::contextMenuEvent(QContextMenuEvent* event) {
  if (FSystemMenu) FSystemMenu->popup(event->globalPos());
}

void TfrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FShown) return;
  FShown = true;
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  RunReportingErrors([this] { FormShow(); });
}

void TfrmMain::FormShow() {
  if (StartAddress.isEmpty()) bbtGoHomeClick();
  else WebBrowser->Navigate2(StartAddress);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !watched->isWidgetType() ||
      !WebBrowser->isAncestorOf(static_cast<QWidget*>(watched)))
    return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (type == QEvent::KeyPress) return WebBrowser->TranslateAccelerator(*key);
  // Keys typed in the page never reach the window's accelerators when the page needs them for
  // editing and scrolling, or when they are the control's own.
  switch (key->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
      break;
    default:
      if (BrowserAcceleratorOf(key->key(), key->modifiers()) == baNone) return false;
  }
  event->accept();
  return true;
}

// Settings

void TfrmMain::BuildRegPath() { FRegPath = vyn::BuildRegPath(QString::fromStdString(ExePath())); }
void TfrmMain::LoadConfig() { vyn::LoadConfig(FRegPath, FConfig); }
void TfrmMain::SaveConfig() { vyn::SaveConfig(FRegPath, FConfig); }
void TfrmMain::ApplyButtonVisibility() { vyn::ApplyButtonVisibility(FConfig, ToolbarSlots()); }

std::array<TToolbarSlot, 14> TfrmMain::ToolbarSlots() const {
  const std::array<TGlyphButton*, 14> buttons = {
      bbtGoHome, bbtGoBack, bbtGoForward, bbtStop,        bbtRefresh, bbtGoSearch, bbtUndo,
      bbtRedo,   bbtPaste,  bbtSelectAll, bbtFind, bbtPrintPreview, bbtPrint,   bbtProperties};
  std::array<TToolbarSlot, 14> toolbar;
  for (size_t i = 0; i < buttons.size(); ++i)
    toolbar[i] = {buttons[i], i < FSpacers.size() ? FSpacers[i] : nullptr};
  return toolbar;
}

// Toolbar commands

void TfrmMain::bbtGoHomeClick() {
  RunIgnoringErrors([this] {
    if (!FConfig.HomePage.isEmpty()) WebBrowser->Navigate2(FConfig.HomePage);
    else WebBrowser->GoHome();
  });
}

void TfrmMain::bbtGoBackClick() { RunIgnoringErrors([this] { WebBrowser->GoBack(); }); }
void TfrmMain::bbtGoForwardClick() { RunIgnoringErrors([this] { WebBrowser->GoForward(); }); }
void TfrmMain::bbtStopClick() { RunIgnoringErrors([this] { WebBrowser->Stop(); }); }
void TfrmMain::bbtRefreshClick() { RunIgnoringErrors([this] { WebBrowser->Refresh(); }); }
void TfrmMain::bbtGoSearchClick() { RunIgnoringErrors([this] { WebBrowser->GoSearch(); }); }

void TfrmMain::bbtUndoClick() {
  RunIgnoringErrors([this] { WebBrowser->ExecWB(OLECMDID_UNDO, OLECMDEXECOPT_PROMPTUSER); });
}
void TfrmMain::bbtRedoClick() {
  RunIgnoringErrors([this] { WebBrowser->ExecWB(OLECMDID_REDO, OLECMDEXECOPT_PROMPTUSER); });
}
void TfrmMain::bbtPasteClick() {
  RunIgnoringErrors([this] { WebBrowser->ExecWB(OLECMDID_PASTE, OLECMDEXECOPT_PROMPTUSER); });
}
void TfrmMain::bbtSelectAllClick() {
  RunIgnoringErrors([this] { WebBrowser->ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_PROMPTUSER); });
}

void TfrmMain::bbtFindClick() { ShowFindDialog(); }

void TfrmMain::ShowFindDialog() {
  TWebDocument* document = WebBrowser->Document();
  if (!document) return;
  RunIgnoringErrors([document] { document->ShowFindDialog(); });
}

// Printing is not guarded: its failures are shown.
void TfrmMain::bbtPrintPreviewClick() {
  RunReportingErrors([this] { WebBrowser->ExecWB(OLECMDID_PRINTPREVIEW, OLECMDEXECOPT_DODEFAULT); });
}
void TfrmMain::bbtPrintClick() {
  RunReportingErrors([this] { WebBrowser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER); });
}

void TfrmMain::bbtPropertiesClick() {
  RunIgnoringErrors([this] {
    if (WebBrowser->QueryStatusWB(OLECMDID_PROPERTIES) & OLECMDF_ENABLED)
      WebBrowser->ExecWB(OLECMDID_PROPERTIES, OLECMDEXECOPT_PROMPTUSER);
  });
}

void TfrmMain::bbtConfigClick() { PopupBelowButton(bbtConfig, pmConfiguration); }

void TfrmMain::PopupBelowButton(QAbstractButton* button, QMenu* menu) {
  menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void TfrmMain::mnuOptionsClick() {
  if (EditConfiguration(FConfig)) {
    SaveConfig();
    ApplyButtonVisibility();
  }
}

void TfrmMain::InternetExploreroptions1Click() { ShowInternetOptions(); }
void TfrmMain::mnuInternetFeatureControlsClick() { ShowInternetFeatureControls(); }

void TfrmMain::mnuAproposDeClick() {
  // A server of one's own (a test, a demonstration) is named in the environment.
  const QString url = qEnvironmentVariable("VYN_UPDATE_URL");
  ShowAbout(url.isEmpty() ? QString::fromLatin1(UpdateControlFileURL) : url);
}

// Navigation feedback

QString TfrmMain::DocumentTitle() const {
  TWebDocument* document = WebBrowser->Document();
  return document ? document->Title() : QString();
}

void TfrmMain::WebBrowserBeforeNavigate2(const QString& url) {
  setWindowTitle(QStringLiteral("Loading ") + url);
}

void TfrmMain::WebBrowserProgressChange(int progress, int progressMax) {
  if (progressMax == 0 || progress == -1 || progress > progressMax) {
    setWindowTitle(DocumentTitle());
    return;
  }
  const qint64 percent = static_cast<qint64>(progress) * 100 / progressMax;
  setWindowTitle(QString::number(percent) + QStringLiteral("%..."));
}

void TfrmMain::WebBrowserNavigateComplete2(const QString& url) {
  setWindowTitle(url);
  TZoneAttributes attributes;
  GetUrlZoneAttributes(WebBrowser->LocationURL(), attributes);
  const QPixmap icon = LoadZoneIcon(attributes.IconPath);
  lblZoneIcon->setText(QStringLiteral("  ") + attributes.DisplayName);
  imgZoneIcon->setPixmap(icon);
  TWebDocument* document = WebBrowser->Document();
  if (!document) throw EWebBrowserError("Aucun document");
  if (document->LocationProtocol() == QLatin1String("https:")) imgSecure->setPixmap(imgLock->pixmap());
  else imgSecure->clear();
  lblURL->setText(url);
}

void TfrmMain::WebBrowserDocumentComplete() { setWindowTitle(TrimTitle(DocumentTitle())); }

void TfrmMain::WebBrowserCommandStateChange(int command, bool enable) {
  if (command == CSC_NAVIGATEFORWARD) bbtGoForward->setEnabled(enable);
  if (command == CSC_NAVIGATEBACK) bbtGoBack->setEnabled(enable);
  if (command == CSC_UPDATECOMMANDS) {
    TWebDocument* document = WebBrowser->Document();
    if (document && document->SelectionType() == QLatin1String("Text")) WebBrowser->setFocus();
  }
}

void TfrmMain::GetUrlZoneAttributes(const QString& url, TZoneAttributes& attributes) {
  // A zone store that cannot be read is no reason to stop the page: no zone name, no icon.
  try {
    attributes = GetZoneAttributes(MapUrlToZone(url));
  } catch (const ERegistryException&) {
    attributes = TZoneAttributes();
  }
}

}  // namespace vyn

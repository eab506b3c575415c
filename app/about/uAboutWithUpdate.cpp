#include "app/about/uAboutWithUpdate.h"

#include "app/ErrorReporting.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/about/AboutGlyphs.h"
#include "app/about/AboutPicture.h"
#include "app/about/FileVersionString.h"
#include "app/about/LinkLabel.h"
#include "app/about/uNews.h"
#include "app/config/Settings.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "update/trust/UpdatePublicKey.h"
#include "update/wizard/WizardBillboard.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace vyn {

namespace {

constexpr int ClientWidth = 474;
constexpr int ClientHeight = 360;
constexpr int PanelWidth = ClientWidth - AboutPictureWidth;
constexpr int TextLeft = 16;
constexpr int TextWidth = 341;
constexpr int LineHeight = 13;
constexpr int CaptionWidth = 135;
constexpr int ValueLeft = 160;
constexpr int ValueWidth = PanelWidth - ValueLeft - 16;
constexpr int ButtonTop = 328;
constexpr int ButtonHeight = 25;

const char* const LegalWarning =
    "Avertissement : ce programme est protégé par la loi relative au droit d'auteur et par les "
    "conventions internationales. Toute reproduction ou diffusion, même partielle, par quelque "
    "procédé que ce soit, sans l'autorisation écrite de son auteur est interdite et constitue "
    "une contrefaçon passible de poursuites.";

QLabel* PlainLabel(QWidget* parent, const char* name, const QRect& geometry) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  // Texts are shown as they are: an '&' is no accelerator mark, a '<' no markup.
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(geometry);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const QRect& geometry) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(geometry);
  return button;
}

QFont WizardFont() {
  QFont font;
  // Verdana has no free twin here; DejaVu Sans has its wide shapes.
  font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(12);
  font.setBold(true);
  return font;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent), FUserInterface(this) {
  CreateComponents();
  ConfigureUpdate();
}

TfrmAbout::~TfrmAbout() = default;

void TfrmAbout::CreateComponents() {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("A propos de..."));
  setFont(MainFont());
  setFixedSize(ClientWidth, ClientHeight);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, AboutPictureWidth, ClientHeight);
  Image1->setPixmap(AboutPicture());

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(AboutPictureWidth, 0, PanelWidth, ClientHeight);

  lblApplication = PlainLabel(Panel1, "lblApplication", QRect(TextLeft, 16, TextWidth, 20));
  QFont title = font();
  title.setPixelSize(16);
  lblApplication->setFont(title);
  lblVersion = PlainLabel(Panel1, "lblVersion", QRect(TextLeft, 38, TextWidth, LineHeight));
  lblCompilerVersion = PlainLabel(Panel1, "lblCompilerVersion", QRect(TextLeft, 54, TextWidth, LineHeight));
  QFont italic = font();
  italic.setItalic(true);
  lblCompilerVersion->setFont(italic);
  lblCompilerVersion->setForegroundRole(QPalette::Shadow);

  struct TRow {
    QLabel* TfrmAbout::*Caption;
    const char* CaptionName;
    const char* Text;
    QLabel* TfrmAbout::*Value;
    const char* ValueName;
  };
  const TRow rows[] = {
      {&TfrmAbout::Label1, "Label1", "Système d'exploitation", &TfrmAbout::lblOSName, "lblOSName"},
      {&TfrmAbout::Label2, "Label2", "Résolution de l'écran", &TfrmAbout::lblScreenResolution,
       "lblScreenResolution"},
      {&TfrmAbout::Label3, "Label3", "Terminal", &TfrmAbout::lblTerminal, "lblTerminal"},
      {&TfrmAbout::Label4, "Label4", "Utilisateur", &TfrmAbout::lblUser, "lblUser"},
      {&TfrmAbout::Label5, "Label5", "Domaine", &TfrmAbout::lblDomain, "lblDomain"},
      {&TfrmAbout::Label6, "Label6", "Groupe de travail", &TfrmAbout::lblWorkGroup, "lblWorkGroup"},
  };
  QFont bold = font();
  bold.setBold(true);
  int top = 80;
  for (const TRow& row : rows) {
    QLabel* caption = PlainLabel(Panel1, row.CaptionName, QRect(TextLeft, top, CaptionWidth, LineHeight));
    caption->setText(QString::fromUtf8(row.Text));
    caption->setFont(bold);
    caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
    this->*row.Caption = caption;
    this->*row.Value = PlainLabel(Panel1, row.ValueName, QRect(ValueLeft, top, ValueWidth, LineHeight));
    top += 16;
  }

  lblWarning = PlainLabel(Panel1, "lblWarning", QRect(TextLeft, 192, TextWidth, 96));
  lblWarning->setText(QString::fromUtf8(LegalWarning));
  lblWarning->setWordWrap(true);
  lblWarning->setAlignment(Qt::AlignJustify | Qt::AlignTop);

  lblWebSite = new TLinkLabel(QLatin1String(WebSiteName), Panel1);
  lblWebSite->setObjectName(QStringLiteral("lblWebSite"));
  lblWebSite->setGeometry(TextLeft, 300, TextWidth, LineHeight);
  lblWebSite->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  bbtUpdate = Button(Panel1, "bbtUpdate", "Mise à jour du programme", QRect(16, ButtonTop, 158, ButtonHeight));
  bbtUpdate->hide();
  bbtNews = Button(Panel1, "bbtNews", "Nouveautés", QRect(180, ButtonTop, 96, ButtonHeight));
  bbtNews->setIcon(NewsGlyph());
  bbtNews->hide();
  bbtClose = Button(Panel1, "bbtClose", "&Fermer", QRect(282, ButtonTop, 75, ButtonHeight));
  bbtClose->setIcon(CloseGlyph());
  bbtClose->setDefault(true);
  bbtClose->setFocus();

  connect(bbtUpdate, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { bbtUpdateClick(); }); });
  connect(bbtNews, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { bbtNewsClick(); }); });
  connect(bbtClose, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { bbtCloseClick(); }); });
  connect(lblWebSite, &TLinkLabel::Click, this, [this] { RunReportingErrors([this] { lblWebSiteClick(); }); });
}

void TfrmAbout::ConfigureUpdate() {
  VudIvazoz.Agent = "TVudIvazoz";
  VudIvazoz.DateFormat = "dd/mm/yyyy";
  VudIvazoz.DateSeparator = '/';
  VudIvazoz.ExtractCAB = true;
  VudIvazoz.ForceUpdate = true;
  VudIvazoz.Logging = true;
  VudIvazoz.SetLogFileName("WUPDATE.LOG");
  VudIvazoz.PostUpdateInfo.Enabled = false;
  VudIvazoz.ShowDownloadProgress = true;
  VudIvazoz.Signature = "VudIvazoz";
  VudIvazoz.TempDirectory = ".";
  VudIvazoz.TimeFormat = "hh:nn";
  VudIvazoz.TimeSeparator = ':';
  VudIvazoz.UseCRC32 = true;
  // The key built in (VYN_UPDATE_PUBLIC_KEY), or the one the machine hive pins under the
  // browser's own key; empty = control files are taken unsigned.
  VudIvazoz.PublicKey = UpdatePublicKey(
      VYN_UPDATE_PUBLIC_KEY, BuildRegPath(QString::fromStdString(ExePath())).toStdString());
  VudIvazoz.SetUserInterface(&FUserInterface);

  VudIvazozWizardFrench.FailedDownload = QString::fromUtf8("Erreur de téléchargement de la mise à jour");
  VudIvazozWizardFrench.WhatsNewPopup = QStringLiteral("Voir dans le bloc notes");
  VudIvazozWizardFrench.LicensePopup = QStringLiteral("Voir dans le bloc notes");

  VudIvazozWizard.Caption = QString::fromUtf8("Mise à jour de l'application");
  VudIvazozWizard.Font = WizardFont();
  VudIvazozWizard.Language = &VudIvazozWizardFrench;
  VudIvazozWizard.VudIvazoz = &VudIvazoz;
  VudIvazozWizard.SetBillBoard(DrawWizardBillboard(QSize(164, 314)));
}

void TfrmAbout::ShowMachineFacts(const TMachineFacts& facts) {
  lblOSName->setText(facts.OSName);
  lblScreenResolution->setText(facts.ScreenResolution);
  lblTerminal->setText(facts.ComputerName + QStringLiteral("  (") + facts.Address + QStringLiteral(")"));
  lblUser->setText(facts.User);
  lblDomain->setText(facts.Domain);
  lblWorkGroup->setText(facts.WorkGroup);
}

void TfrmAbout::bbtUpdateClick() { VudIvazozWizard.Execute(true); }

void TfrmAbout::bbtNewsClick() { ShowNews(FUpdateURL); }

void TfrmAbout::bbtCloseClick() { close(); }

// The desktop would take a bare host name for a file: the address carries its scheme.
void TfrmAbout::lblWebSiteClick() { OpenWithDesktop(WebSiteAddress); }

void ShowAbout(const QString& UpdateURL) {
  TfrmAbout form(DialogOwner());
  form.FUpdateURL = UpdateURL;
  if (!UpdateURL.isEmpty()) {
    form.bbtUpdate->show();
    form.VudIvazoz.URL = UpdateURL.toStdString();
    form.bbtNews->show();
  }
  form.lblApplication->setText(QApplication::applicationName());
  form.lblVersion->setText(GetFileVersionString());
  form.lblCompilerVersion->setText(
      QStringLiteral("Compiler & RTL: %1  ").arg(QLocale().toString(25.0, 'f', 2)));
  form.ShowMachineFacts(ReadMachineFacts());
  form.exec();
}

}  // namespace vyn

#include "app/config/InternetOptions.h"

#include "app/config/DialogButtonGlyphs.h"
#include "app/MainForm.h"
#include "app/Startup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vyn {

namespace {

const std::vector<int> EditedZones = {zoneLocalIntranet, zoneTrusted, zoneRestricted};

QPushButton* BarButton(const QIcon& glyph, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(glyph, caption, parent);
  button->setFixedSize(75, 25);
  button->setAutoDefault(false);
  return button;
}

// The exceptions without "<local>", which has its own box.
QString OverrideWithoutLocal(const QString& override, bool& bypassLocal) {
  QStringList kept;
  bypassLocal = false;
  for (const QString& entry : override.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    if (entry.trimmed().compare(QLatin1String(ProxyBypassLocal), Qt::CaseInsensitive) == 0)
      bypassLocal = true;
    else
      kept << entry.trimmed();
  }
  return kept.join(QLatin1Char(';'));
}

}  // namespace

TfrmInternetOptions::TfrmInternetOptions(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmInternetOptions"));
  setWindowTitle(QStringLiteral("Options Internet"));
  setFont(MainFont());
  setFixedSize(460, 323);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  PageControl->addTab(BuildConnectionsPage(), QStringLiteral("Connexions"));
  PageControl->addTab(BuildSecurityPage(), QStringLiteral("Sécurité"));
  layout->addWidget(PageControl, 1);

  auto* bar = new QHBoxLayout;
  bar->setSpacing(8);
  bar->addStretch(1);
  bbtOk = BarButton(OkGlyph(), QStringLiteral("OK"), this);
  bbtOk->setObjectName(QStringLiteral("bbtOk"));
  bbtOk->setDefault(true);
  bbtCancel = BarButton(CancelGlyph(), QStringLiteral("Annuler"), this);
  bbtCancel->setObjectName(QStringLiteral("bbtCancel"));
  bar->addWidget(bbtOk);
  bar->addWidget(bbtCancel);
  layout->addLayout(bar);

  connect(bbtOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(bbtCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* TfrmInternetOptions::BuildConnectionsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(12, 12, 12, 12);
  chkProxyEnable = new QCheckBox(QStringLiteral("Utiliser un serveur proxy"), page);
  chkProxyEnable->setObjectName(QStringLiteral("chkProxyEnable"));
  layout->addWidget(chkProxyEnable);

  auto* form = new QFormLayout;
  form->setContentsMargins(20, 4, 0, 0);
  edtProxyServer = new QLineEdit(page);
  edtProxyServer->setObjectName(QStringLiteral("edtProxyServer"));
  edtProxyServer->setPlaceholderText(QStringLiteral("hôte:port"));
  form->addRow(QStringLiteral("Adresse :"), edtProxyServer);
  edtProxyOverride = new QLineEdit(page);
  edtProxyOverride->setObjectName(QStringLiteral("edtProxyOverride"));
  form->addRow(QStringLiteral("Exceptions :"), edtProxyOverride);
  layout->addLayout(form);
  auto* hint = new QLabel(
      QStringLiteral("Séparez les exceptions par des points-virgules (;), par exemple *.exemple.fr;10.*"), page);
  hint->setWordWrap(true);
  hint->setContentsMargins(20, 0, 0, 0);
  layout->addWidget(hint);
  chkProxyBypassLocal = new QCheckBox(
      QStringLiteral("Ne pas utiliser de serveur proxy pour les adresses locales"), page);
  chkProxyBypassLocal->setObjectName(QStringLiteral("chkProxyBypassLocal"));
  chkProxyBypassLocal->setContentsMargins(20, 0, 0, 0);
  layout->addWidget(chkProxyBypassLocal);
  layout->addStretch(1);

  connect(chkProxyEnable, &QCheckBox::toggled, this, &TfrmInternetOptions::UpdateProxyControls);
  UpdateProxyControls();
  return page;
}

QWidget* TfrmInternetOptions::BuildSecurityPage() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->addWidget(new QLabel(QStringLiteral("Zone :"), page), 0, 0);
  cbxZone = new QComboBox(page);
  cbxZone->setObjectName(QStringLiteral("cbxZone"));
  for (int zone : EditedZones)
    cbxZone->addItem(ZoneDisplayName(zone), zone);
  layout->addWidget(cbxZone, 0, 1, 1, 2);

  layout->addWidget(new QLabel(QStringLiteral("Ajouter ce site à la zone :"), page), 1, 0, 1, 3);
  edtSite = new QLineEdit(page);
  edtSite->setObjectName(QStringLiteral("edtSite"));
  edtSite->setPlaceholderText(QStringLiteral("https://www.exemple.fr ou *.exemple.fr"));
  edtSite->installEventFilter(this);
  layout->addWidget(edtSite, 2, 0, 1, 2);
  bbtAddSite = new QPushButton(QStringLiteral("Ajouter"), page);
  bbtAddSite->setObjectName(QStringLiteral("bbtAddSite"));
  bbtAddSite->setAutoDefault(false);
  layout->addWidget(bbtAddSite, 2, 2);

  layout->addWidget(new QLabel(QStringLiteral("Sites Web :"), page), 3, 0, 1, 3);
  lstSites = new QListWidget(page);
  lstSites->setObjectName(QStringLiteral("lstSites"));
  layout->addWidget(lstSites, 4, 0, 2, 2);
  bbtRemoveSite = new QPushButton(QStringLiteral("Supprimer"), page);
  bbtRemoveSite->setObjectName(QStringLiteral("bbtRemoveSite"));
  bbtRemoveSite->setAutoDefault(false);
  layout->addWidget(bbtRemoveSite, 4, 2, Qt::AlignTop);
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(5, 1);

  connect(cbxZone, &QComboBox::currentIndexChanged, this, &TfrmInternetOptions::ShowSitesOfZone);
  connect(bbtAddSite, &QPushButton::clicked, this, &TfrmInternetOptions::bbtAddSiteClick);
  connect(bbtRemoveSite, &QPushButton::clicked, this, &TfrmInternetOptions::bbtRemoveSiteClick);
  return page;
}

// Enter in the site edit adds the site instead of closing the dialog with OK.
bool TfrmInternetOptions::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtSite && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      bbtAddSiteClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmInternetOptions::UpdateProxyControls() {
  const bool enabled = chkProxyEnable->isChecked();
  edtProxyServer->setEnabled(enabled);
  edtProxyOverride->setEnabled(enabled);
  chkProxyBypassLocal->setEnabled(enabled);
}

int TfrmInternetOptions::SelectedZone() const { return cbxZone->currentData().toInt(); }

void TfrmInternetOptions::ShowSitesOfZone() {
  lstSites->clear();
  QStringList texts;
  for (const TZoneSite& site : FSites)
    if (site.Zone == SelectedZone())
      texts << site.Text();
  texts.sort();
  lstSites->addItems(texts);
}

void TfrmInternetOptions::LoadSettings() {
  const TProxySettings proxy = LoadProxySettings();
  chkProxyEnable->setChecked(proxy.Enabled);
  edtProxyServer->setText(proxy.Server);
  bool bypassLocal = false;
  edtProxyOverride->setText(OverrideWithoutLocal(proxy.Override, bypassLocal));
  chkProxyBypassLocal->setChecked(bypassLocal);
  UpdateProxyControls();

  FLoadedSites = LoadZoneSites(EditedZones);
  FSites = FLoadedSites;
  ShowSitesOfZone();
}

void TfrmInternetOptions::ApplySettings() {
  TProxySettings proxy;
  proxy.Enabled = chkProxyEnable->isChecked();
  proxy.Server = edtProxyServer->text().trimmed();
  QStringList exceptions;
  for (const QString& entry : edtProxyOverride->text().split(QLatin1Char(';'), Qt::SkipEmptyParts))
    if (!entry.trimmed().isEmpty())
      exceptions << entry.trimmed();
  if (chkProxyBypassLocal->isChecked())
    exceptions << QLatin1String(ProxyBypassLocal);
  proxy.Override = exceptions.join(QLatin1Char(';'));
  SaveProxySettings(proxy);

  SaveZoneSites(FLoadedSites, FSites);
  FLoadedSites = FSites;
}

bool TfrmInternetOptions::bbtAddSiteClick() {
  const std::optional<TZoneSite> site = ParseZoneSite(edtSite->text(), SelectedZone());
  if (!site) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("« %1 » n'est pas une adresse de site valide.").arg(edtSite->text()));
    return false;
  }
  std::erase_if(FSites, [&](const TZoneSite& s) { return s.SameEntry(*site); });
  FSites.push_back(*site);
  edtSite->clear();
  ShowSitesOfZone();
  return true;
}

void TfrmInternetOptions::bbtRemoveSiteClick() {
  const QListWidgetItem* item = lstSites->currentItem();
  if (!item)
    return;
  const QString text = item->text();
  std::erase_if(FSites, [&](const TZoneSite& s) { return s.Zone == SelectedZone() && s.Text() == text; });
  ShowSitesOfZone();
}

void ShowInternetOptions() {
  TfrmInternetOptions form(DialogOwner());
  form.LoadSettings();
  if (form.exec() == QDialog::Accepted)
    form.ApplySettings();
}

}  // namespace vyn

#pragma once
// The internet-options dialog: the proxy and the site lists of the local intranet, trusted and
// restricted zones, written where the browser control and the zone lookup read them.

#include "app/config/InternetSettings.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace vyn {

class TfrmInternetOptions : public QDialog {
  Q_OBJECT
public:
  explicit TfrmInternetOptions(QWidget* parent = nullptr);

  QTabWidget* PageControl;
  // "Connexions"
  QCheckBox* chkProxyEnable;
  QLineEdit* edtProxyServer;
  QCheckBox* chkProxyBypassLocal;
  QLineEdit* edtProxyOverride;
  // "Sécurité"
  QComboBox* cbxZone;
  QListWidget* lstSites;
  QLineEdit* edtSite;
  QPushButton* bbtAddSite;
  QPushButton* bbtRemoveSite;

  QPushButton* bbtOk;
  QPushButton* bbtCancel;

  // Reads the settings into the controls; raises on a proxy value of the wrong type.
  void LoadSettings();
  // Writes the proxy values and what changed in the site lists.
  void ApplySettings();

  // Adds the text of edtSite to the selected zone (moving it from another zone); a text that
  // is not a site shows a message and changes nothing. Returns whether it was added.
  bool bbtAddSiteClick();
  void bbtRemoveSiteClick();

  int SelectedZone() const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* BuildConnectionsPage();
  QWidget* BuildSecurityPage();
  void ShowSitesOfZone();
  void UpdateProxyControls();

  std::vector<TZoneSite> FLoadedSites;
  std::vector<TZoneSite> FSites;
};

// Runs the dialog modally over the active or main window and writes the settings when accepted.
void ShowInternetOptions();

}  // namespace vyn

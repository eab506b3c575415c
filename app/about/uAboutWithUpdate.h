#pragma once
// The about box: the application's title and version, the machine it runs on, the maker's
// web site, and the way into the update wizard and the news of the update server.

#include "app/about/MachineFacts.h"
#include "update/VudIvazoz.h"
#include "update/ui/QtUserInterface.h"
#include "update/wizard/VudIvazozWizard.h"
#include "update/wizard/WizardLanguage.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vyn {

class TLinkLabel;

// The maker's web site as the about box shows it, and the address it opens.
inline constexpr const char* WebSiteName = "www.vynsoft.example";
inline constexpr const char* WebSiteAddress = "http://www.vynsoft.example";

class TfrmAbout : public QDialog {
  Q_OBJECT
public:
  explicit TfrmAbout(QWidget* parent = nullptr);
  ~TfrmAbout() override;

  QLabel* Image1;
  QWidget* Panel1;
  QLabel* lblApplication;
  QLabel* lblVersion;
  QLabel* lblCompilerVersion;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* lblOSName;
  QLabel* lblScreenResolution;
  QLabel* lblTerminal;
  QLabel* lblUser;
  QLabel* lblDomain;
  QLabel* lblWorkGroup;
  QLabel* lblWarning;
  TLinkLabel* lblWebSite;
  QPushButton* bbtUpdate;
  QPushButton* bbtNews;
  QPushButton* bbtClose;

  QString FUpdateURL;
  // The engine's way to the user, declared first so that it outlives the engine.
  TQtUserInterface FUserInterface;
  TVudIvazoz VudIvazoz;
  TVudIvazozWizardFrench VudIvazozWizardFrench;
  TVudIvazozWizard VudIvazozWizard;

  void ShowMachineFacts(const TMachineFacts& facts);

  void bbtUpdateClick();
  void bbtNewsClick();
  void bbtCloseClick();
  void lblWebSiteClick();

private:
  void CreateComponents();
  void ConfigureUpdate();
};

// Shows the about box modally; a non-empty UpdateURL (the update control file) offers the
// update wizard and the news. Raises EOSError, showing nothing, when the executable carries no
// version.
void ShowAbout(const QString& UpdateURL);

}  // namespace vyn

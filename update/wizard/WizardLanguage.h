#pragma once
// The texts of the update wizard: TVudIvazozWizardLanguage holds the English ones, and
// TVudIvazozWizardFrench sets French ones for all but three in its constructor. An owner may
// store other values over the constructor's, as the about box does.

#include <QObject>
#include <QString>

namespace vyn {

class TVudIvazozWizardLanguage : public QObject {
  Q_OBJECT
public:
  explicit TVudIvazozWizardLanguage(QObject* AOwner = nullptr);

  // Copies the 28 texts from another text set; any other source is ignored.
  void Assign(const QObject* Source);

  QString Welcome;
  QString StartButton;
  QString NextButton;
  QString ExitButton;
  QString RestartButton;
  QString CancelButton;
  QString FailedDownload;
  QString GetUpdateButton;
  QString NewVersionFound;
  QString NewVersion;
  QString NoNewVersionAvail;
  QString NewVersionAvail;
  QString CurrentVersion;
  QString NoFilesFound;
  QString NoUpdateOnServer;
  QString CannotConnect;
  QString WhatsNew;
  QString License;
  QString AcceptLicense;
  QString NotAcceptLicense;
  QString ComponentsAvail;
  QString DownloadingFiles;
  QString CurrentProgress;
  QString TotalProgress;
  QString UpdateComplete;
  QString RestartInfo;
  QString WhatsNewPopup;
  QString LicensePopup;
};

class TVudIvazozWizardFrench : public TVudIvazozWizardLanguage {
  Q_OBJECT
public:
  explicit TVudIvazozWizardFrench(QObject* AOwner = nullptr);
};

}  // namespace vyn

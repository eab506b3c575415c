#include "update/wizard/WizardLanguage.h"

namespace vyn {

TVudIvazozWizardLanguage::TVudIvazozWizardLanguage(QObject* AOwner) : QObject(AOwner) {
  Welcome = QStringLiteral("Press start to start checking for available application updates ...");
  StartButton = QStringLiteral("Start");
  NextButton = QStringLiteral("Next");
  ExitButton = QStringLiteral("Exit");
  RestartButton = QStringLiteral("Restart");
  CancelButton = QStringLiteral("Cancel");
  FailedDownload = QStringLiteral("Failed to download updates");
  GetUpdateButton = QStringLiteral("Get update");
  NewVersionFound = QStringLiteral("New version found");
  NewVersion = QStringLiteral("New version");
  NoNewVersionAvail = QStringLiteral("No new version available.");
  NewVersionAvail = QStringLiteral("New version available.");
  CurrentVersion = QStringLiteral("Current version");
  NoFilesFound = QStringLiteral("No files found for update");
  NoUpdateOnServer = QStringLiteral("No update found on server ...");
  CannotConnect = QStringLiteral("Could not connect to update server or");
  WhatsNew = QStringLiteral("What's new");
  License = QStringLiteral("License agreement");
  AcceptLicense = QStringLiteral("I accept");
  NotAcceptLicense = QStringLiteral("I do not accept");
  ComponentsAvail = QStringLiteral("Available application components");
  DownloadingFiles = QStringLiteral("Downloading files");
  CurrentProgress = QStringLiteral("Current file progress");
  TotalProgress = QStringLiteral("Total file progress");
  UpdateComplete = QStringLiteral("Update completed ...");
  RestartInfo = QStringLiteral("Press restart to start the updated application.");
  WhatsNewPopup = QStringLiteral("View in Notepad");
  LicensePopup = QStringLiteral("View in Notepad");
}

void TVudIvazozWizardLanguage::Assign(const QObject* Source) {
  const auto* source = qobject_cast<const TVudIvazozWizardLanguage*>(Source);
  if (!source || source == this) return;
  Welcome = source->Welcome;
  StartButton = source->StartButton;
  NextButton = source->NextButton;
  ExitButton = source->ExitButton;
  RestartButton = source->RestartButton;
  CancelButton = source->CancelButton;
  FailedDownload = source->FailedDownload;
  GetUpdateButton = source->GetUpdateButton;
  NewVersionFound = source->NewVersionFound;
  NewVersion = source->NewVersion;
  NoNewVersionAvail = source->NoNewVersionAvail;
  NewVersionAvail = source->NewVersionAvail;
  CurrentVersion = source->CurrentVersion;
  NoFilesFound = source->NoFilesFound;
  NoUpdateOnServer = source->NoUpdateOnServer;
  CannotConnect = source->CannotConnect;
  WhatsNew = source->WhatsNew;
  License = source->License;
  AcceptLicense = source->AcceptLicense;
  NotAcceptLicense = source->NotAcceptLicense;
  ComponentsAvail = source->ComponentsAvail;
  DownloadingFiles = source->DownloadingFiles;
  CurrentProgress = source->CurrentProgress;
  TotalProgress = source->TotalProgress;
  UpdateComplete = source->UpdateComplete;
  RestartInfo = source->RestartInfo;
  WhatsNewPopup = source->WhatsNewPopup;
  LicensePopup = source->LicensePopup;
}

// FailedDownload and the two pop-up captions keep their English texts.
TVudIvazozWizardFrench::TVudIvazozWizardFrench(QObject* AOwner)
    : TVudIvazozWizardLanguage(AOwner) {
  Welcome = QStringLiteral("Cliquez sur Vérifier pour rechercher d'éventuelles mises à jour ...");
  StartButton = QStringLiteral("Vérifier");
  NextButton = QStringLiteral("Suivant");
  ExitButton = QStringLiteral("Quitter");
  RestartButton = QStringLiteral("Redémarrer");
  CancelButton = QStringLiteral("Annuler");
  GetUpdateButton = QStringLiteral("Mettre à jour");
  NewVersionFound = QStringLiteral("Une nouvelle version est disponible");
  NewVersion = QStringLiteral("Nouvelle version");
  NoNewVersionAvail = QStringLiteral("Pas de nouvelle version disponible.");
  NewVersionAvail = QStringLiteral("Nouvelle version disponible.");
  CurrentVersion = QStringLiteral("Version actuelle");
  NoFilesFound = QStringLiteral("pas de mises à jour disponible");
  NoUpdateOnServer = QStringLiteral("Aucune mise à jour disponible ...");
  CannotConnect = QStringLiteral("Connexion impossible avec le serveur ou");
  WhatsNew = QStringLiteral("Nouveautés");
  License = QStringLiteral("Informations de license");
  AcceptLicense = QStringLiteral("J'accepte");
  NotAcceptLicense = QStringLiteral("Je refuse");
  ComponentsAvail = QStringLiteral("Composants d'application disponible");
  DownloadingFiles = QStringLiteral("Téléchargement des fichiers");
  CurrentProgress = QStringLiteral("Progression du fichier");
  TotalProgress = QStringLiteral("Progression totale");
  UpdateComplete = QStringLiteral("Mise à jour terminée");
  RestartInfo = QStringLiteral("Cliquez sur Redémarrer pour lancer la nouvelle version");
}

}  // namespace vyn

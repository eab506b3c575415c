#include "update/wizard/FolderRightsTexts.h"

namespace vyn {

QString ElevatedUpdateQuestion() {
  return QStringLiteral(
      "Le dossier du programme n'est pas modifiable par votre compte. Le mot de passe d'un "
      "administrateur vous sera demandé au redémarrage du programme pour installer la mise à "
      "jour.\n\nContinuer ?");
}

QString PackagedUpdateNote() {
  return QStringLiteral(
      "Le dossier du programme n'est pas modifiable par votre compte. La mise à jour doit être "
      "installée par le gestionnaire de paquets du système ou par un administrateur ...");
}

QString YesText() { return QStringLiteral("Oui"); }

QString NoText() { return QStringLiteral("Non"); }

}  // namespace vyn

#include "app/features/ExploreWeb.h"

#include "platform/Process.h"

#include <QMessageBox>

#include <cerrno>

namespace vyn {

namespace {

constexpr int ShellSuccess = 42;
constexpr int ShellOutOfMemory = 0;
constexpr int ShellFileNotFound = 2;
constexpr int ShellPathNotFound = 3;
constexpr int ShellAccessDenied = 5;
constexpr int ShellBadFormat = 11;
constexpr int ShellNoAssociation = 31;

}  // namespace

int ShellOpen(const QString& address) {
  const TProcessResult result = StartProcess({"xdg-open", address.toStdString()}, false);
  if (result.Started)
    return ShellSuccess;
  switch (result.Error) {
    case ENOMEM: return ShellOutOfMemory;
    case ENOENT: return ShellFileNotFound;
    case ENOTDIR: return ShellPathNotFound;
    case EACCES:
    case EPERM: return ShellAccessDenied;
    case ENOEXEC: return ShellBadFormat;
    default: return ShellNoAssociation;
  }
}

QString ExploreWebErrorText(int shellResult) {
  switch (shellResult) {
    case ShellOutOfMemory: return QStringLiteral("Erreur: Mémoire insuffisante");
    case ShellFileNotFound: return QStringLiteral("Erreur: Fichier non trouvé");
    case ShellPathNotFound: return QStringLiteral("Erreur: Répertoire non trouvé");
    case ShellBadFormat: return QStringLiteral("Erreur: Fichier invalide");
    default: return QStringLiteral("Erreur No: %1 dans ShellExecute").arg(shellResult);
  }
}

void ExploreWeb(QWidget* Window, const QString& Address) {
  const int result = ShellOpen(Address);
  if (result > 32)
    return;
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Erreur ExploreWeb"), ExploreWebErrorText(result),
                  QMessageBox::Ok, Window);
  box.exec();
}

}  // namespace vyn

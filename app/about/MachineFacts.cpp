#include "app/about/MachineFacts.h"

#include "platform/MachineInfo.h"

#include <QGuiApplication>
#include <QScreen>

namespace vyn {

namespace {

QString PrimaryScreenResolution() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return QString();
  const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
  return QStringLiteral("%1 x %2").arg(pixels.width()).arg(pixels.height());
}

}  // namespace

TMachineFacts ReadMachineFacts() {
  TMachineFacts facts;
  facts.OSName = QString::fromStdString(OSProductName());
  facts.ScreenResolution = PrimaryScreenResolution();
  facts.ComputerName = QString::fromStdString(ComputerName());
  facts.Address = QString::fromStdString(FirstIPv4Address());
  facts.User = QString::fromStdString(UserName());
  facts.Domain = QString::fromStdString(DomainName());
  facts.WorkGroup = QString::fromStdString(WorkGroup());
  return facts;
}

}  // namespace vyn

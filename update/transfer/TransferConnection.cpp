#include <cerrno>
#include <cstdio>

#include "update/transfer/PreconfiguredProxy.h"
#include "update/log/SystemError.h"
#include "update/VudIvazoz.h"
#include "update/net/ConnectionState.h"
#include "update/net/InternetSession.h"

namespace vyn {

namespace {
constexpr unsigned KAutodialForceOnline = 1;
constexpr unsigned KAutodialForceUnattended = 2;
}  // namespace

int TVudIvazoz::StartConnection() {
  FHint.reset();
  FHintConnect.reset();
  if (UpdateType == fileUpdate) return wrOK;
  LogStatus(918, "", 3, 0);
  if (UpdateConnect == wucNone) return wrOK;
  if (!Connected() && UpdateConnect == wucNoConnect) return wrNotConnected;
  if (!Connected() &&
      (UpdateConnect == wucConnectPrompt || UpdateConnect == wucConnectPromptHangup)) {
    LogStatus(919, "", 3, 0);
    if (net::InternetAutodial(KAutodialForceOnline) == 0) {
      LogStatus(953, "", 3, 0);
      return wrDialFailed;
    }
    FDialed = true;
  }
  if (!Connected() &&
      (UpdateConnect == wucConnectSilent || UpdateConnect == wucConnectSilentHangup)) {
    LogStatus(920, "", 3, 0);
    if (net::InternetAutodial(KAutodialForceUnattended) == 0) {
      LogStatus(953, "", 3, 0);
      return wrDialFailed;
    }
    FDialed = true;
  }
  LogStatus(921, "", 3, 0);

  TSessionOptions options;
  options.Agent = Agent;
  if (Proxy.empty()) {
    const TPreconfiguredProxy preconfigured = ReadPreconfiguredProxy();
    options.Proxy = preconfigured.Server;
    options.ProxyBypass = preconfigured.Override;
  } else {
    options.Proxy = Proxy;
  }
  options.ProxyUser = ProxyUserID;
  options.ProxyPassword = ProxyPassword;
  FHint = std::make_shared<TInternetSession>(options);
  if (!FHint->IsOpen()) {
    FHint.reset();
    SetLastSystemError(ENOMEM, "Cannot create the internet session");
    Error();
    LogStatus(922, "", 1, 0);
    return wrCannotOpen;
  }
  if (TimeOut > 0) FHint->SetConnectTimeout(TimeOut);
  if (ReceiveTimeOut > 0) FHint->SetReceiveTimeout(ReceiveTimeOut);
  if (CertCheck == ccDisable) FHint->SetVerifyCertificates(false);
  FHint->SetMinimumRate(MinDownloadRate);
  // Waiting on a server keeps the windows alive, and a Cancel ends the wait at once.
  FHint->SetEventHandlers([this] { UserInterface().ProcessPendingEvents(); },
                          [this] { return FCancelled.load(); });
  if (UpdateType == httpUpdate) FHintConnect = FHint;
  FInProgress = true;
  return wrOK;
}

int TVudIvazoz::FTPConnect() {
  FFTPDirSet = false;
  LogStatus(923, Host, 3, 0);
  FHintConnect.reset();
  if (!FHint) {
    SetLastSystemError(ENOTCONN, "No internet connection is open");
    return -1;
  }
  TFtpTarget target;
  target.Host = Host;
  target.Port = static_cast<uint16_t>(Port);
  if (!UserID.empty() && !Password.empty()) {
    target.User = UserID;
    target.Password = Password;
  }
  target.Passive = FTPPassive;
  FHintConnect = FHint->ConnectFtp(target);
  if (!FHintConnect) {
    SetLastSystemError(FHint->LastError().Code, FHint->LastError().Text);
    return -1;
  }
  return 0;
}

int TVudIvazoz::StopConnection() {
  if (UpdateType != fileUpdate) {
    if (UpdateType == ftpUpdate && FHintConnect) {
      FHintConnect.reset();
      LogStatus(954, "", 3, 0);
    }
    // An HTTP run's connection handle is the root session: closing one closes both.
    FHintConnect.reset();
    if (FHint) {
      FHint.reset();
      LogStatus(949, "", 3, 0);
    }
    if (FDialed &&
        (UpdateConnect == wucConnectPromptHangup || UpdateConnect == wucConnectSilentHangup)) {
      net::InternetAutodialHangup();
      LogStatus(955, "", 3, 0);
    }
    LogStatus(949, "", 3, 0);
  }
  if (!FControlFileName.empty()) std::remove(FControlFileName.c_str());
  FInProgress = false;
  return 0;
}

bool TVudIvazoz::Connected() const {
  if (URL.find("127.0.0.1") != std::string::npos) return true;
  unsigned flags = 0;
  return net::InternetGetConnectedState(flags) != 0;
}

int TVudIvazoz::ConnectionType() const {
  unsigned flags = 0;
  return net::InternetGetConnectedState(flags) != 0 ? static_cast<int>(flags) : -1;
}

void TVudIvazoz::HangUp() {
  if (Connected()) net::InternetAutodialHangup();
}

}  // namespace vyn

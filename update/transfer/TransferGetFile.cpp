#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/Folders.h"
#include "update/transfer/Base64.h"
#include "update/transfer/CopyLocalFile.h"
#include "update/log/LogMask.h"
#include "update/log/SystemError.h"
#include "update/transfer/TransferTarget.h"
#include "update/transfer/TransferTemporary.h"
#include "update/transfer/UnpackDownload.h"
#include "update/trust/Sha256.h"
#include "update/VudIvazoz.h"
#include "update/net/InternetSession.h"

namespace vyn {

namespace {
constexpr size_t KReadBlockSize = 4096;

void RecordError(const TInternetSession* session) {
  if (session) SetLastSystemError(session->LastError().Code, session->LastError().Text);
}

// A name that would make the target the folder itself or its parent.
bool IsFileName(const std::string& name) { return !name.empty() && name != "." && name != ".."; }
}  // namespace

bool TVudIvazoz::URLGetFile(TInternetSession* hfile, const std::string& url,
                            const std::string& tgt, bool uncompress) {
  return URLGetFileChecked(hfile, url, tgt, uncompress, {});
}

bool TVudIvazoz::URLGetFileChecked(TInternetSession* hfile, const std::string& url,
                                   const std::string& tgt, bool uncompress,
                                   const TTransferCheck& check) {
  const std::string name = URLtoFile(url);
  LogStatus(915, HideURLInLogFile ? name : MaskUrlPassword(url), 3, 0);

  if (OnBeforeUrlToFile) {
    bool handled = false;
    bool success = false;
    OnBeforeUrlToFile(hfile, url, tgt, uncompress, handled, success);
    if (handled && FileExists(tgt + name)) {
      // The handler fetched the file itself: its bytes are only there to be read afterwards.
      if (!check.Sha256.empty() &&
          !Sha256Matches(check.Sha256, Sha256OfFile(tgt + name).value_or(""))) {
        DiscardTemporary(*this, tgt + name);
        return false;
      }
      CustomProcess(tgt + name);
      if (uncompress) UnpackDownload(*this, tgt + name, true);
      return success;
    }
  }

  const bool tgtHasFileName = UpdateType == fileUpdate && !tgt.empty() && tgt.back() != '/' &&
                              tgt.back() != '\\' && tgt.back() != ':';
  if (!tgtHasFileName && !IsFileName(name)) {
    SetLastSystemError(EINVAL, "The address names no file");
    Error();
    LogStatus(917, MaskUrlPassword(url), 2, 1);
    return false;
  }

  if (UpdateType == fileUpdate) {
    const std::string source = ToLocalSeparators(url);
    const std::string target = tgtHasFileName ? tgt : tgt + name;
    if (!CopyLocalFile(*this, source, target, check)) return false;
    CustomProcess(target);
    if (uncompress) UnpackDownload(*this, target, true);
    return true;
  }

  // The proxy's credentials reach the proxy through the session; the rewritten address only
  // names the transfer in the size message.
  const std::string proxyAddress = MakeProxyUrl(url, ProxyUserID, ProxyPassword);
  std::unique_ptr<TInternetRequest> request;
  int64_t size = 0;

  if (UpdateType == ftpUpdate) {
    if (!hfile || !hfile->IsFtp()) {
      SetLastSystemError(ENOTCONN, "No FTP connection is open");
    } else {
      if (!FTPDirectory.empty() && !FFTPDirSet) {
        const std::string dir = ExpandPlaceholders(FTPDirectory);
        LogStatus(974, dir, 3, 0);
        if (!hfile->FtpSetCurrentDirectory(dir)) {
          RecordError(hfile);
          LogStatus(975, dir, 3, 8);
          return false;
        }
        FFTPDirSet = true;
      }
      // The size comes with the opened download; a missing file fails both the lookup and the
      // open, anything else only the open.
      request = hfile->FtpOpenFile(name);
      if (request) {
        size = std::max<int64_t>(0, request->ContentLength());
      } else {
        RecordError(hfile);
        if (hfile->LastError().FileNotFound) LogStatus(925, name, 11, LastSystemError());
        LogStatus(946, name, 13, LastSystemError());
      }
    }
  } else {
    TRequestFlags flags;
    flags.NoCache = true;
    flags.IgnoreCertificates = CertCheck == ccDisable;
    // The prompt names the server of the address asked for, never the proxy's credentials.
    const std::string caption = "Connect to " + URLToDomain(MaskUrlPassword(url));
    // Fills UserID and Password from the login prompt; false (and message 956) when cancelled.
    const auto askLogin = [&] {
      std::string user, password;
      if (!UserInterface().ShowLoginDialog(caption, user, password)) {
        LogStatus(956, "Authentication cancelled", 0, 0);
        return false;
      }
      UserID = user;
      Password = password;
      return true;
    };
    if (Authenticate == waAlways && (UserID.empty() || Password.empty()) && !askLogin())
      return false;
    while (hfile) {
      const std::string headers =
          UserID.empty() && Password.empty()
              ? std::string()
              : "Authorization: Basic " + Base64Encode(UserID + ":" + Password) + "\r\n\r\n";
      request = hfile->OpenUrl(url, headers, flags);
      if (!request) {
        RecordError(hfile);
        break;
      }
      const long status = request->StatusCode();
      if (status == 401 && Authenticate == waAuto) {
        request.reset();
        if (!askLogin()) return false;
        continue;
      }
      if (status >= 300) {
        LogStatus(916, std::to_string(status), 6, static_cast<int>(status));
        return false;
      }
      break;
    }
    if (!hfile) SetLastSystemError(ENOTCONN, "No internet connection is open");
  }

  if (!request && hfile && hfile->LastError().Cancelled) {
    LogStatus(964, "", 0, 0);
    return false;
  }
  if (!request) {
    Error();
    LogStatus(917, MaskUrlPassword(url), 2, 1);
    return false;
  }

  const std::string target = tgt + URLtoFile(url);
  if (UpdateType == httpUpdate) size = std::max<int64_t>(0, request->ContentLength());
  const int64_t maxSize =
      check.MaxSize > 0 ? std::min(check.MaxSize, MaxDownloadSize) : MaxDownloadSize;
  // More than the engine takes fails at once, before anything is written.
  if (size > maxSize) {
    LogStatus(908, MaskUrlPassword(proxyAddress), 20, 10);
    return false;
  }
  TTemporaryFile temporary(WinTempDir(), !check.Sha256.empty());

  bool result = false;
  bool cancel = FCancelled;
  bool readError = false;
  bool tooLong = false;
  int64_t total = 0;
  if (!cancel) {
    char block[KReadBlockSize];
    for (;;) {
      UserInterface().ProcessPendingEvents();
      const long n = request->Read(block, sizeof block);
      if (n < 0) {
        readError = true;
        if (request->Cancelled()) {
          cancel = true;
          LogStatus(964, "", 0, 0);
        }
        break;
      }
      if (total + n > maxSize) {
        tooLong = true;
        break;
      }
      temporary.Write(block, static_cast<size_t>(n));
      total += n;
      DoFileProgress(target, total, size);
      cancel = FCancelled;
      DoProgressCancel(cancel);
      if (n > 0) result = true;
      if (n == 0 || cancel) break;
    }
  }

  if (readError) SetLastSystemError(request->ErrorCode(), request->ErrorText());
  request.reset();
  temporary.Close();
  FCancelled = cancel;
  // An FTP file is checked against its listed size as an HTTP body is against its length.
  if (tooLong || (size > 0 && !readError && total != size)) {
    readError = true;
    LogStatus(908, MaskUrlPassword(proxyAddress), 20, 10);
  }
  // Bytes other than the control file promised are a failed transfer like a short body.
  const bool otherBytes =
      !check.Sha256.empty() && !readError && !Sha256Matches(check.Sha256, temporary.Sha256());
  // An empty answer counts as a failed transfer, so it must not replace the target either.
  if (cancel || readError || otherBytes || !result) {
    temporary.Release();
    DiscardTemporary(*this, temporary.Path());
    return false;
  }

  const unsigned mode = TargetFileMode(target, temporary.Head());
  if (!DeleteOldTarget(*this, target)) result = false;
  temporary.Release();
  if (!MoveToTarget(*this, temporary.Path(), target, mode)) result = false;
  CustomProcess(target);
  // Only a file that is really in place is unpacked.
  if (uncompress && result) UnpackDownload(*this, target, false);
  return result;
}

}  // namespace vyn

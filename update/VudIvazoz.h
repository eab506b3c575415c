#pragma once
// TVudIvazoz: the self-update engine. Configured by its public fields (the published
// properties), extended by its events (std::function members, empty = not assigned), driven
// step by step by its operations. Every step reports through LogStatus.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "update/UserInterface.h"
#include "update/files/AppFolderRights.h"
#include "update/files/FileList.h"

namespace vyn {

// The transfer backend's session (update/net): a root session, or the FTP connection on it.
class TInternetSession;
// What one transfer's bytes must hold to (update/transfer/TransferCheck.h).
struct TTransferCheck;

enum TVudIvazozAuthentication { waAlways, waAuto, waNever };
enum TVudIvazozConnect {
  wucNoConnect,
  wucConnectPrompt,
  wucConnectSilent,
  wucConnectPromptHangup,
  wucConnectSilentHangup,
  wucNone
};
enum TVudIvazozUpdate { wuuPromptOnce, wuuPromptAll, wuuSilent };
enum TVudIvazozType { ftpUpdate, httpUpdate, fileUpdate };
enum TVudIvazozVersionCheck { vcUpdateOnly, vcAlways };
enum TVudIvazozCertCheck { ccEnable, ccDisable };
enum TLastURLReg { lurLOCALUSER, lurLOCALMACHINE };

// Results of StartConnection, GetControlFile and DoVersionCheck.
enum TVudIvazozResult : int {
  wrOK = 0,
  wrNotConnected = 1,
  wrCannotOpen = 2,
  wrDialFailed = 3,
  wrNoControlFile = 4,
  wrBadSignature = 5,
  wrNewByDate = 6,
  wrNoNewVersion = 7,
  wrUnconditional = 8,
  wrNewBySize = 9,
  wrNewByChecksum = 10,
  wrNewByVersion = 11,
  wrCustomValidated = 12
};
// "wrNewByDate" for 6; "" for a number outside the table.
const char* ResultName(int result);

// Local date and time as days since 30 December 1899 with the time of day as the fraction.
using TDateTime = double;
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0);
// 1 January 1980, 00:00: what a date that cannot be read stands for.
constexpr TDateTime KFallbackDate = 29221.0;

// A file version: major.minor in the high word, release.build in the low word. Both words with
// all bits set means "no version".
struct TVudVersion {
  uint32_t VersionMS = 0xFFFFFFFFu;
  uint32_t VersionLS = 0xFFFFFFFFu;
};

// Where LastURL, LastDate and LastTime live in the registry store.
class TLastURLEntry {
public:
  bool Save = false;
  std::string Key;
  std::string Section;
  TLastURLReg RegRoot = lurLOCALUSER;
};

// The optional HTTP POST that reports a finished update.
class TPostUpdateInfo {
public:
  std::string Server;
  std::string Action;
  std::string Data;  // the request body, sent unchanged
  bool Enabled = false;
  std::string PostResult;  // the server's reply
};

// Companion component of the patch step.
class TVudIvazozUtility {
public:
  bool ShowWindow = false;
  bool ShowAnimation = false;
  std::string StatusMessage;
  std::string StatusCaption;
};

class TVudIvazoz {
public:
  TVudIvazoz();
  virtual ~TVudIvazoz();
  TVudIvazoz(const TVudIvazoz&) = delete;
  TVudIvazoz& operator=(const TVudIvazoz&) = delete;

  // ---- Published properties ----
  std::string Agent = "TVudIvazoz";
  bool ApplyPatch = false;
  TVudIvazozAuthentication Authenticate = waNever;
  bool AutoRestart = true;
  TVudIvazozCertCheck CertCheck = ccEnable;
  std::string DateFormat = "dd/mm/yyyy";
  char DateSeparator = '/';
  bool ExtractCAB = false;
  bool ExistingConnection = false;
  bool ForceUpdate = false;
  std::string FTPDirectory;
  bool FTPPassive = false;
  std::string Host;
  bool HTTPKeepAliveAuthentication = false;
  bool KeepIntermediateFiles = false;
  std::string LanguageID;
  bool Logging = false;
  TLastURLEntry LastURLEntry;
  std::string Password;
  int Port = 21;
  TPostUpdateInfo PostUpdateInfo;
  // A minisign public key (its Base64 line or the text of its .pub file). Set, every control
  // file must carry a valid signature at its address + ".minisig", every file section a
  // sha256, and a control file signed before the last accepted one is refused. Empty = off.
  std::string PublicKey;
  std::string Proxy;
  std::string ProxyUserID;
  std::string ProxyPassword;
  bool ShowDownloadProgress = false;
  std::string Signature = "VudIvazoz";
  bool SignatureCheck = false;
  // Seconds the updater watches the restarted program; when it dies with a non-zero status
  // or a signal in that time, the updater rolls back and starts the old version. 0 = off.
  int StartCheck = 0;
  std::string TempDirectory = ".";
  std::string TimeFormat = "hh:nn";
  char TimeSeparator = ':';
  int TimeOut = 0;         // connect time-out in ms, applied when above 0
  int ReceiveTimeOut = 0;  // receive time-out in ms, applied when above 0
  // The largest file a transfer takes: a longer one fails like a body shorter than announced.
  int64_t MaxDownloadSize = int64_t{4} << 30;
  // Fewer bytes a second over a whole receive time-out is a stalled transfer; 0 = no floor.
  int MinDownloadRate = 1024;
  TVudIvazozType UpdateType = httpUpdate;
  TVudIvazozConnect UpdateConnect = wucNoConnect;
  TVudIvazozUpdate UpdateUpdate = wuuPromptOnce;
  std::string URL;
  bool HideURLInLogFile = false;
  std::string UserID;
  bool UseCRC32 = false;
  bool UseWinTempDir = true;
  TVudIvazozUtility* Utility = nullptr;  // not owned
  TVudIvazozVersionCheck VersionCheck = vcUpdateOnly;

  // Setting the name also sets the process-wide log file name.
  const std::string& LogFileName() const { return FLogFileName; }
  void SetLogFileName(const std::string& name);
  // The engine's own version, always "2.3.0.1".
  std::string Version() const;

  // Clears Utility when that component goes away.
  void Notification(const TVudIvazozUtility* removed);

  // The user interface the engine talks through; a silent one unless another is set. Not owned.
  IVudUserInterface& UserInterface() const { return *FUserInterface; }
  void SetUserInterface(IVudUserInterface* ui);

  // ---- Read-only run state ----
  const std::string& ControlFileName() const { return FControlFileName; }
  TDateTime NewVersionDate() const { return FNewVersionDate; }
  TDateTime CurVersionDate() const { return FCurVersionDate; }
  const std::string& CurVersionInfo() const { return FCurVersionInfo; }
  const std::string& NewVersionInfo() const { return FNewVersionInfo; }
  const std::string& UpdateDescription() const { return FUpdateDescription; }
  bool Cancelled() const { return FCancelled; }
  bool InProgress() const { return FInProgress; }
  bool AppNeedsRestart() const { return FAppClose && !FCancelled && FAppCompsIncluded; }
  bool AppSilentRestart() const { return FSilentRestart; }
  TInternetSession* HintConnect() const { return FHintConnect.get(); }
  TFileList& FileList() { return FFileList; }
  const TFileList& FileList() const { return FFileList; }
  bool UACEnabled() const { return true; }

  // ---- Events ----
  std::function<void(TVudIvazoz& Sender, const std::string& StatusStr, int StatusCode, int ErrCode)>
      OnStatus;
  // Raised by LogStatus right after OnStatus, with the message number as well.
  std::function<void(TVudIvazoz& Sender, int Id, const std::string& StatusStr, int StatusCode,
                     int ErrCode)>
      OnNumberedStatus;
  std::function<void(TVudIvazoz& Sender, const std::string& FileName, int64_t Pos, int64_t Size)>
      OnFileProgress;
  std::function<void(TVudIvazoz& Sender, bool& Cancel)> OnProgressCancel;
  std::function<void(TVudIvazoz& Sender, const std::string& FileName)> OnFileDownloaded;
  std::function<void(TInternetSession* hfile, const std::string& url, const std::string& tgt,
                     bool& uncompress, bool& handled, bool& success)>
      OnBeforeUrlToFile;
  std::function<void(TVudIvazoz& Sender, const std::string& URL, std::string& FName)>
      OnFileNameFromURL;
  std::function<void(TVudIvazoz& Sender, int FileIdx, const std::string& FileDescription,
                     std::string& URL)>
      OnBeforeFileDownload;
  std::function<void(TVudIvazoz& Sender, std::string& AppParams)> OnSetAppParams;
  std::function<void(TVudIvazoz& Sender, std::string& Path)> OnConvertPrefix;
  std::function<void(TVudIvazoz& Sender, const std::string& Msg, const std::string& Param,
                     bool& Allow)>
      OnCustomValidate;
  std::function<void(TVudIvazoz& Sender, const std::string& Msg, const std::string& Param)>
      OnCustomProcess;
  std::function<void(TVudIvazoz& Sender, std::string& AppParams)> OnSetAppParamBefore;
  std::function<void(TVudIvazoz& Sender, std::string& AppParams)> OnSetAppParamAfter;
  // The handler may change the text (NewWhatsNew returns it changed).
  std::function<void(TVudIvazoz& Sender, std::vector<std::string>& Text, int& Res)>
      OnDownloadedWhatsNew;
  std::function<void(TVudIvazoz& Sender, std::vector<std::string>& Text, int& Res)>
      OnDownloadedEULA;
  std::function<void(TVudIvazoz& Sender, const std::string& NewVersion,
                     const std::string& LocalVersion, bool& IsNew)>
      OnFileVersionCheck;
  std::function<void(TVudIvazoz& Sender, std::vector<std::string>& List)> OnGetFileList;
  std::function<void(TVudIvazoz& Sender, bool& AllowPost)> OnBeforePost;
  std::function<void(TVudIvazoz& Sender, bool& AllowPostResult)> OnProcessPostResult;
  std::function<void(TVudIvazoz& Sender)> OnSuccess;
  std::function<void(TVudIvazoz& Sender)> OnThreadUpdateDone;
  std::function<void(TVudIvazoz& Sender, bool& Allow)> OnAppRestart;
  std::function<void(TVudIvazoz& Sender)> OnAppDoClose;
  std::function<void(TVudIvazoz& Sender, const std::string& Action)> OnProgress;

  // ---- Virtual operations, in slot order ----
  // The what's-new and licence texts (update/actions/): 0 accepted, -1 refused. A stream is
  // the text's bytes as fetched.
  virtual int ShowWhatsNew(const std::string& Stream);
  virtual int ShowEULA(const std::string& Stream);
  virtual void LogStatus(int Id, const std::string& Text, int Status, int Error);
  // Writes the updater "dezaziz.exe" into the staging folder from the program's packed copy
  // (update/files/); throws when the program carries none or it cannot be written.
  virtual void ExtractUpdater();
  // Writes the patch tool "patcher.exe" to the staging folder (UseWinTempDir) or the current
  // folder from the program's packed copy; nothing when it carries none (update/files/).
  virtual void ExtractPatcher();
  // True when LocalFile needs the update. After a version comparison both texts are rewritten
  // to the compared versions.
  virtual bool CheckFile(std::string& NewVersion, std::string& LocalFile, int Size, int Checksum);

  virtual void DoFileProgress(const std::string& FileName, int64_t Pos, int64_t Size);  // transfer/
  virtual void DoProgressCancel(bool& Cancel);                                          // transfer/
  virtual void DoSetAppParamBefore(std::string& Params);                                // actions/
  virtual void DoSetAppParamAfter(std::string& Params);                                 // actions/
  virtual void CustomProcess(const std::string& fn);                                    // transfer/
  // Hands over to the updater, which replaces the application's components once it has ended
  // and starts it again (update/files/).
  virtual void DoRestart();
  // Whether this user can write the application folder (the current folder), and how the
  // updater is raised when not (update/files/). Asked before the download and the handoff.
  virtual TAppFolderRights AppFolderRights() const;
  // Transfer layer (update/transfer/)
  virtual int StartConnection();
  virtual int StopConnection();
  virtual int FTPConnect();
  // End of the transfer layer block

  virtual std::string GetControlFileURL();
  virtual int GetControlFile();
  virtual int DoVersionCheck();
  // Control-file actions before the download: 0 to go on, -1 to stop (update/actions/).
  virtual int HandleActions();
  // The what's-new and licence texts of the control file, fetched; none when the control file
  // names none or the fetch failed.
  virtual std::optional<std::vector<std::string>> GetWhatsNew();
  virtual std::optional<std::string> GetWhatsNewStream();
  virtual std::optional<std::vector<std::string>> GetEULA();
  virtual std::optional<std::string> GetEULAStream();
  virtual std::string GetOSVersion();
  virtual std::string GetIDE();
  virtual std::string GetIEVersion();
  virtual std::string GetInstalledIDEs();
  // File list (update/files/): fills FileList() from the control file's file sections and
  // returns the count announced; drops the files the installed copies make unnecessary (0, or
  // -1 when none is left).
  virtual int GetFileDetails();
  virtual int ProcessFileDetails();
  // Fetches the listed files (asking first as UpdateUpdate says) and post-processes each:
  // 0 when every attempted download succeeded, -1 when one failed.
  virtual int GetFileUpdates();
  // The folder for one placeholder name (upper case, without braces), ready to be followed by
  // '/' and a name.
  virtual std::string ConvertPrefix(const std::string& prefix);

  // ---- Other public operations ----
  // The whole run (update/run/). InitPath: the current folder becomes the executable's first.
  void DoUpdate(bool InitPath = true);
  // The same run on a worker thread; returns at once. ThreadDone follows on the user-interface
  // thread (UserInterface().PostToUiThread).
  void DoThreadUpdate(bool InitPath = true);
  void ThreadDone();
  // Short runs: is a newer release there; the what's-new text of a newer release.
  bool NewVersionAvailable(bool InitPath);
  std::optional<std::vector<std::string>> NewWhatsNew(bool showdialog);

  // Control-file actions after the download: 0, or -1 when cancelled or the post's result was
  // refused (update/actions/).
  int UpdateActions();
  void ShowHTMLDialog(const std::string& s);

  // Post-processing of one downloaded file F in folder D (update/files/): moved to its target,
  // expanded, extracted or applied as a patch.
  void PostProcessDownload(const std::string& F, const std::string& D,
                           const std::string& TargetDir, bool Compressed,
                           const std::string& LocalVersion);
  // Runs the command line (no shell) and waits for it; true when it ended with exit code 0.
  // With `animation`, the user interface shows a status window meanwhile.
  bool ExecAndWait(const std::string& command, bool showWindow, bool animation,
                   const std::string& caption, const std::string& message);

  void Cancel() { FCancelled = true; }
  void DoSuccess();
  // Reports the calling thread's last system error (see update/SystemError.h) as message 976.
  void Error();
  // The staging folder, with a trailing '/': TempDirectory, or with UseWinTempDir this user's
  // private folder in the system temporary folder (throws std::runtime_error when none can be
  // had).
  std::string WinTempDir() const;

  std::string ExpandPlaceholders(const std::string& path);

  TDateTime ParseDateTime(const std::string& date, const std::string& time) const;
  static TVudVersion ParseVersion(const std::string& text);
  static std::string FormatVersion(const TVudVersion& version);
  TVudVersion GetFileVersion(const std::string& FileName) const;
  static int32_t FileCRC32(const std::string& path);
  static int32_t FileByteSum(const std::string& path);
  static int32_t FileSize32(const std::string& path);

  void AddToLog(const std::string& s);
  TDateTime UpdateDateGet();
  void UpdateDatePut(TDateTime dt);
  std::string URLGet();
  void URLPut(const std::string& url);
  void DoPostUpdateInfo();

  // Transfer layer (update/transfer/)
  bool URLGetFile(TInternetSession* hfile, const std::string& url, const std::string& tgt,
                  bool uncompress);
  std::string URLtoFile(const std::string& url);
  static std::string URLToDomain(const std::string& url);
  static std::string MakeProxyUrl(const std::string& url, const std::string& proxyuser,
                                  const std::string& proxypwd);
  bool Connected() const;
  int ConnectionType() const;
  void HangUp();
  // End of the transfer layer block

protected:
  // URLGetFile holding the fetched bytes to `check`: a file that breaks it is removed and
  // replaces nothing (update/transfer/).
  bool URLGetFileChecked(TInternetSession* hfile, const std::string& url, const std::string& tgt,
                         bool uncompress, const TTransferCheck& check);

  // Signed control files (update/trust/). With PublicKey set: fetches the signature of the
  // control file `path` fetched from `address` (at address + ".minisig", the same transport),
  // verifies it and refuses a trusted timestamp older than the last one accepted; records a
  // newer one. False for a key that does not parse, a missing, malformed or wrong signature, a
  // signature without a timestamp, an older one, or one that cannot be recorded.
  bool AcceptSignedControlFile(const std::string& address, const std::string& path);
  // The trusted timestamp of the last signed control file accepted for the signing key `keyId`
  // (0 when none): beside LastDate when LastURLEntry names a key and a section (whatever Save
  // says: it guards against replays, not a preference), else in the current user's hive
  // under Software\TVudIvazoz\SignedControlFiles\<keyId> (update/log/). None when the store
  // cannot be read or holds no number; Put is false when it cannot be written.
  std::optional<long long> LastSignedTimeGet(const std::string& keyId);
  bool LastSignedTimePut(const std::string& keyId, long long value);

  // Transfer layer state (update/transfer/)
  std::shared_ptr<TInternetSession> FHint;         // root session; none when closed
  std::shared_ptr<TInternetSession> FHintConnect;  // FTP connection, or FHint for HTTP
  bool FDialed = false;
  bool FFTPDirSet = false;
  bool FInProgress = false;
  std::atomic<bool> FCancelled{false};
  bool FProgressForm = false;  // the run keeps a progress window (UserInterface().Progress*)
  // End of the transfer layer state

  std::string FLogFileName;
  IVudUserInterface* FUserInterface;
  std::unique_ptr<TSilentUserInterface> FSilentUserInterface;

  TFileList FFileList;
  std::string FControlFileName;
  TDateTime FNewVersionDate = 0;
  TDateTime FCurVersionDate = 0;
  std::string FCurVersionInfo;
  std::string FNewVersionInfo;
  std::string FUpdateDescription;

  bool FSaveUpdate = false;  // the date store is in use
  std::string FAppName;
  std::string FAppParam;
  std::string FAppComps;
  bool FAppClose = false;
  bool FAppCompsIncluded = false;
  bool FSilentRestart = false;
  std::string FLocalFileDateCheck;  // installed file whose date stands for the release

  // Whether the downloaded file F is one of the application's components, which wait in the
  // staging folder for the updater; marks the run as including one.
  bool IsApplicationComponent(const std::string& F);

  // Threaded run (update/run/)
  // The steps of DoUpdate after StartConnection.
  void RunConnected();
  std::atomic<bool> FThreaded{false};
  std::thread FThread;  // the worker of the last DoThreadUpdate, joined before the next
  // Expires with the engine, so a ThreadDone still queued for the user-interface thread
  // never reaches a destroyed engine.
  std::shared_ptr<int> FAliveToken = std::make_shared<int>(0);
};

// The process-wide log file name: the last LogFileName set by any engine.
std::string ProcessLogFileName();

}  // namespace vyn

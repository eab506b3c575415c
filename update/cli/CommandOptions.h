#pragma once
// The command line of vynupdate (check, run, news, make-patch, release, verify) and how it
// configures an engine.

#include <string>
#include <vector>

#include "update/VudIvazoz.h"

namespace vyn::cli {

enum class TCommand { cmCheck, cmRun, cmNews, cmMakePatch, cmRelease, cmVerify };
// How questions and dialogs of a run are answered.
enum class TAnswerMode { amAsk, amYes, amNo };

struct TCommandOptions {
  bool Help = false;
  TCommand Command = TCommand::cmCheck;
  std::string Address;
  // make-patch
  std::string OldFile;
  std::string NewFile;
  std::string PatchFile;
  // release
  std::string ReleaseDir;
  std::string BaseUrl;      // without a trailing '/'
  std::string ReleaseDate;  // "DD/MM/YYYY"; "" = today
  std::string AppName;      // the program under ReleaseDir whose version is the release's
  std::string AppComps;
  std::string Target = "{APP}";
  bool ChecksumCrc32 = false;
  std::string Output;
  // verify
  std::string SignedFile;
  // The text of the --public-key key (check, run, news, verify); "" = none.
  std::string PublicKey;
  TVudIvazozType Type = httpUpdate;
  bool TypeGiven = false;
  std::string Host;
  int Port = 0;  // 0: the engine's default
  std::string User;
  std::string Password;
  bool Passive = false;
  std::string FtpDirectory;
  bool FtpDirectoryGiven = false;
  std::string Proxy;
  std::string ProxyUser;
  std::string ProxyPassword;
  TVudIvazozAuthentication Auth = waNever;
  bool NoCertCheck = false;
  std::string Signature;
  bool SignatureGiven = false;
  bool SignatureCheck = false;
  std::string DateFormat;
  char DateSeparator = '\0';
  std::string TimeFormat;
  char TimeSeparator = '\0';
  TVudIvazozVersionCheck VersionCheck = vcUpdateOnly;
  bool Crc32 = false;
  std::string LogFile;
  int TimeoutMs = 0;

  // run and news
  TAnswerMode Answers = TAnswerMode::amAsk;
  bool Force = false;
  bool ExtractCab = false;
  bool ApplyPatch = false;
  bool Keep = false;
  TVudIvazozUpdate Prompt = wuuSilent;
  std::string TempDir;
  bool NoWinTempDir = false;
  std::string AppDir;
  bool Thread = false;
  bool Logging = false;
  int StartCheck = 0;
};

// Parses the arguments after the program name. False with `error` set on a bad command line.
bool ParseCommandOptions(const std::vector<std::string>& args, TCommandOptions& options,
                       std::string& error);

// Sets the engine's properties from the options; an FTP address without --host gives the host,
// port and directory.
void ConfigureEngine(const TCommandOptions& options, TVudIvazoz& engine);

const char* UsageText();

}  // namespace vyn::cli

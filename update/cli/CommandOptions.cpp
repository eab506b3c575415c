#include "update/cli/CommandOptions.h"

#include <cerrno>
#include <cstdlib>
#include <map>

#include "platform/Folders.h"

namespace vyn::cli {
namespace {

bool ParseInt(const std::string& text, int minimum, int maximum, int& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long n = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || n < minimum || n > maximum) return false;
  value = static_cast<int>(n);
  return true;
}

// "ftp://user@host:2121/dir/sub/file.inf": host, port and directory of the file.
void SplitFtpAddress(const std::string& address, std::string& host, int& port,
                     std::string& directory) {
  std::string rest = address.substr(6);
  const size_t slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  const std::string path = slash == std::string::npos ? "" : rest.substr(slash);
  if (const size_t at = authority.rfind('@'); at != std::string::npos)
    authority = authority.substr(at + 1);
  const size_t colon = authority.rfind(':');
  host = authority.substr(0, colon);
  if (colon != std::string::npos) {
    int p = 0;
    if (ParseInt(authority.substr(colon + 1), 1, 65535, p)) port = p;
  }
  // The path of an address is relative to the log-on directory.
  const size_t last = path.rfind('/');
  directory = last == std::string::npos || last == 0 ? "" : path.substr(1, last - 1);
}

}  // namespace

const char* UsageText() {
  return R"USAGE(Usage: vynupdate check ADDRESS [options]
       vynupdate run ADDRESS [options]
       vynupdate news ADDRESS [options]
       vynupdate make-patch OLD NEW PATCH

check  fetches the update control file at ADDRESS, checks whether it describes a newer
       release and prints the result code and its name as the last line, for example
       "6 wrNewByDate". Exit status: 0 a newer release exists, 1 none, 2 error (bad options,
       no connection, no control file, bad signature).
run    the whole update: control file, release check, its messages, questions and programs,
       what's new and licence, the file list, downloads, unpacking, patches and the actions
       after them. Dialog texts are printed on standard output; questions are answered by
       --yes or --no, else asked on the terminal when standard input is one, else refused.
       A progress bar is drawn on standard error when that is a terminal. Exit status: 0
       updated, 1 ended without an update (nothing newer, refused, nothing to fetch), 2 error
       (no control file, a failed download or step).
news   prints the what's-new text of a newer release, a rich-text one as its plain text.
       Exit status: 0 printed, 1 none (or a text with nothing to read), 2 error.
make-patch
       for publishers: writes to PATCH the binary delta that turns the file OLD into NEW
       (zstd "patch from", with a content checksum), the form the patch tool applies to an
       installed file as a .PAT download. Prints "old N bytes, new N bytes, patch N bytes".
       Exit status: 0 made, 2 error.

Every step is reported on standard error as "[number] text (status, error)".

Transport:
  --type http|ftp|file     how to fetch ADDRESS (default: ftp for ftp:// addresses, file for
                           paths, http otherwise; http covers https)
  --host HOST              FTP host (default: the host of an ftp:// ADDRESS)
  --port PORT              FTP port (default: the port of ADDRESS, else 21)
  --user USER              user name (FTP log-on and HTTP basic authentication)
  --password PASSWORD      its password
  --passive                passive FTP
  --ftp-dir DIR            FTP directory of the file (default: the directory of an ftp://
                           ADDRESS when --host is not given)
  --proxy HOST:PORT        HTTP proxy
  --proxy-user USER        proxy user name
  --proxy-password PASS    proxy password
  --auth always|auto|never HTTP authentication (default never: credentials are sent when
                           given, a 401 answer is an error; no prompt is ever shown here)
  --no-cert-check          accept any server certificate
  --timeout MS             connect and receive time-out in milliseconds

Control file:
  --signature TEXT         expected signature (default VudIvazoz)
  --signature-check        reject a control file whose signature differs
  --date-format FORMAT     order of day, month and year (default dd/mm/yyyy)
  --date-separator CHAR    date separator (default /)
  --time-format FORMAT     time format (default hh:nn)
  --time-separator CHAR    time separator (default :)
  --version-check update-only|always
                           whether a missing local file counts as outdated (default
                           update-only)
  --crc32                  checksums in the control file are CRC-32 style, not byte sums

Run (run and news):
  --yes                    answer Yes, OK and accept to every question and dialog
  --no                     answer No and refuse
  --force                  skip the release check: go on as if a newer release existed
  --extract-cab            expand LZ files and extract cabinets marked compressed
  --apply-patch            apply .PAT files with the patch tool
  --keep                   keep cabinets and patch files after use
  --prompt once|all|silent ask before the downloads: once, for every file, or never
                           (default silent)
  --temp-dir DIR           folder for downloads when --no-win-temp-dir is given
  --no-win-temp-dir        download into each file's target folder (or --temp-dir) instead
                           of the private staging folder
  --app-dir DIR            the application folder the control file means: {APP} stands for
                           it and the run works in it (default: the folder of vynupdate)
  --thread                 run the update on a worker thread
  --logging                write the update log (WUPDATE.LOG in the documents folder)

Other:
  --log FILE               also append every message to FILE (relative to the current
                           folder; {APP} stands for the program's folder)
  --help                   this text

An FTP log-on that fails is reported as "2 wrCannotOpen".

Examples:
  vynupdate check https://updates.example.com/files/vynWebBrowser.INF --timeout 10000
  vynupdate run https://updates.example.com/files/vynWebBrowser.INF --app-dir ~/vyn \
      --extract-cab --yes
)USAGE";
}

bool ParseCommandOptions(const std::vector<std::string>& args, TCommandOptions& o, std::string& error) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto character = [&](char& out) {
      std::string text;
      if (!value(text)) return false;
      if (text.size() != 1) {
        error = "option " + arg + " takes one character";
        return false;
      }
      out = text[0];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      o.Help = true;
    } else if (arg == "--type") {
      if (!value(text)) return false;
      static const std::map<std::string, TVudIvazozType> types = {
          {"http", httpUpdate}, {"ftp", ftpUpdate}, {"file", fileUpdate}};
      const auto it = types.find(text);
      if (it == types.end()) return error = "unknown --type " + text, false;
      o.Type = it->second;
      o.TypeGiven = true;
    } else if (arg == "--host") {
      if (!value(o.Host)) return false;
    } else if (arg == "--port") {
      if (!value(text)) return false;
      if (!ParseInt(text, 1, 65535, o.Port)) return error = "bad --port " + text, false;
    } else if (arg == "--user") {
      if (!value(o.User)) return false;
    } else if (arg == "--password") {
      if (!value(o.Password)) return false;
    } else if (arg == "--passive") {
      o.Passive = true;
    } else if (arg == "--ftp-dir") {
      if (!value(o.FtpDirectory)) return false;
      o.FtpDirectoryGiven = true;
    } else if (arg == "--proxy") {
      if (!value(o.Proxy)) return false;
    } else if (arg == "--proxy-user") {
      if (!value(o.ProxyUser)) return false;
    } else if (arg == "--proxy-password") {
      if (!value(o.ProxyPassword)) return false;
    } else if (arg == "--auth") {
      if (!value(text)) return false;
      static const std::map<std::string, TVudIvazozAuthentication> modes = {
          {"always", waAlways}, {"auto", waAuto}, {"never", waNever}};
      const auto it = modes.find(text);
      if (it == modes.end()) return error = "unknown --auth " + text, false;
      o.Auth = it->second;
    } else if (arg == "--no-cert-check") {
      o.NoCertCheck = true;
    } else if (arg == "--signature") {
      if (!value(o.Signature)) return false;
      o.SignatureGiven = true;
    } else if (arg == "--signature-check") {
      o.SignatureCheck = true;
    } else if (arg == "--date-format") {
      if (!value(o.DateFormat)) return false;
    } else if (arg == "--date-separator") {
      if (!character(o.DateSeparator)) return false;
    } else if (arg == "--time-format") {
      if (!value(o.TimeFormat)) return false;
    } else if (arg == "--time-separator") {
      if (!character(o.TimeSeparator)) return false;
    } else if (arg == "--version-check") {
      if (!value(text)) return false;
      if (text == "update-only")
        o.VersionCheck = vcUpdateOnly;
      else if (text == "always")
        o.VersionCheck = vcAlways;
      else
        return error = "unknown --version-check " + text, false;
    } else if (arg == "--crc32") {
      o.Crc32 = true;
    } else if (arg == "--log") {
      if (!value(o.LogFile)) return false;
    } else if (arg == "--timeout") {
      if (!value(text)) return false;
      if (!ParseInt(text, 0, 2147483647, o.TimeoutMs)) return error = "bad --timeout " + text, false;
    } else if (arg == "--yes") {
      o.Answers = TAnswerMode::amYes;
    } else if (arg == "--no") {
      o.Answers = TAnswerMode::amNo;
    } else if (arg == "--force") {
      o.Force = true;
    } else if (arg == "--extract-cab") {
      o.ExtractCab = true;
    } else if (arg == "--apply-patch") {
      o.ApplyPatch = true;
    } else if (arg == "--keep") {
      o.Keep = true;
    } else if (arg == "--prompt") {
      if (!value(text)) return false;
      static const std::map<std::string, TVudIvazozUpdate> prompts = {
          {"once", wuuPromptOnce}, {"all", wuuPromptAll}, {"silent", wuuSilent}};
      const auto it = prompts.find(text);
      if (it == prompts.end()) return error = "unknown --prompt " + text, false;
      o.Prompt = it->second;
    } else if (arg == "--temp-dir") {
      if (!value(o.TempDir)) return false;
      if (o.TempDir.empty()) return error = "empty --temp-dir", false;
      // The run may change its folder; the option means the folder it was given in.
      if (o.TempDir[0] != '/') o.TempDir = CurrentDir() + "/" + o.TempDir;
    } else if (arg == "--no-win-temp-dir") {
      o.NoWinTempDir = true;
    } else if (arg == "--app-dir") {
      if (!value(o.AppDir)) return false;
      if (!DirectoryExists(o.AppDir)) return error = "--app-dir " + o.AppDir + " is not a folder", false;
      if (o.AppDir[0] != '/') o.AppDir = CurrentDir() + "/" + o.AppDir;
    } else if (arg == "--thread") {
      o.Thread = true;
    } else if (arg == "--logging") {
      o.Logging = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return error = "unknown option " + arg, false;
    } else {
      positional.push_back(arg);
    }
  }
  if (o.Help) return true;
  static const std::map<std::string, TCommand> commands = {
      {"check", TCommand::cmCheck}, {"run", TCommand::cmRun}, {"news", TCommand::cmNews},
      {"make-patch", TCommand::cmMakePatch}};
  if (positional.empty()) return error = "missing command (check, run, news or make-patch)", false;
  const auto command = commands.find(positional[0]);
  if (command == commands.end()) return error = "unknown command " + positional[0], false;
  o.Command = command->second;
  if (o.Command == TCommand::cmMakePatch) {
    if (positional.size() != 4) return error = "make-patch needs OLD NEW PATCH", false;
    o.OldFile = positional[1];
    o.NewFile = positional[2];
    o.PatchFile = positional[3];
    if (o.OldFile.empty() || o.NewFile.empty() || o.PatchFile.empty())
      return error = "empty file name", false;
    return true;
  }
  if (positional.size() != 2) return error = positional[0] + " needs exactly one ADDRESS", false;
  o.Address = positional[1];
  if (o.Address.empty()) return error = "empty ADDRESS", false;
  if (!o.TypeGiven) {
    if (o.Address.rfind("ftp://", 0) == 0)
      o.Type = ftpUpdate;
    else if (o.Address.find("://") == std::string::npos)
      o.Type = fileUpdate;
  }
  return true;
}

void ConfigureEngine(const TCommandOptions& o, TVudIvazoz& engine) {
  engine.URL = o.Address;
  engine.UpdateType = o.Type;
  engine.UpdateUpdate = wuuSilent;
  engine.Host = o.Host;
  if (o.Type == ftpUpdate && o.Host.empty() && o.Address.rfind("ftp://", 0) == 0) {
    std::string directory;
    SplitFtpAddress(o.Address, engine.Host, engine.Port, directory);
    if (!o.FtpDirectoryGiven) engine.FTPDirectory = directory;
  }
  if (o.Port != 0) engine.Port = o.Port;
  if (o.FtpDirectoryGiven) engine.FTPDirectory = o.FtpDirectory;
  engine.UserID = o.User;
  engine.Password = o.Password;
  engine.FTPPassive = o.Passive;
  engine.Proxy = o.Proxy;
  engine.ProxyUserID = o.ProxyUser;
  engine.ProxyPassword = o.ProxyPassword;
  engine.Authenticate = o.Auth;
  engine.CertCheck = o.NoCertCheck ? ccDisable : ccEnable;
  if (o.SignatureGiven) engine.Signature = o.Signature;
  engine.SignatureCheck = o.SignatureCheck;
  if (!o.DateFormat.empty()) engine.DateFormat = o.DateFormat;
  if (o.DateSeparator != '\0') engine.DateSeparator = o.DateSeparator;
  if (!o.TimeFormat.empty()) engine.TimeFormat = o.TimeFormat;
  if (o.TimeSeparator != '\0') engine.TimeSeparator = o.TimeSeparator;
  engine.VersionCheck = o.VersionCheck;
  engine.UseCRC32 = o.Crc32;
  engine.TimeOut = o.TimeoutMs;
  engine.ReceiveTimeOut = o.TimeoutMs;
  engine.ForceUpdate = o.Force;
  engine.ExtractCAB = o.ExtractCab;
  engine.ApplyPatch = o.ApplyPatch;
  engine.KeepIntermediateFiles = o.Keep;
  if (o.Command == TCommand::cmRun) engine.UpdateUpdate = o.Prompt;
  if (!o.TempDir.empty()) engine.TempDirectory = o.TempDir;
  engine.UseWinTempDir = !o.NoWinTempDir;
  engine.Logging = o.Logging;
  if (!o.LogFile.empty()) {
    engine.Logging = true;
    // The engine puts a bare log name in the documents folder; here it means the current one.
    const bool bareName = o.LogFile.find_first_of("\\/:") == std::string::npos;
    engine.SetLogFileName(bareName ? CurrentDir() + "/" + o.LogFile : o.LogFile);
  }
}

}  // namespace vyn::cli

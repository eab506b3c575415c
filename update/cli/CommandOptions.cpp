#include "update/cli/CommandOptions.h"

#include <cerrno>
#include <cstdlib>
#include <map>

#include "platform/Folders.h"
#include "update/cli/PublicKeyOption.h"
#include "update/cli/ReleaseDate.h"

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

// A value that goes into a control-file line as it is.
bool FitsControlFileLine(const std::string& text) {
  for (const unsigned char c : text)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

std::string WithoutTrailingSlashes(std::string text) {
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

const char* UsageText() {
  return R"USAGE(Usage: vynupdate check ADDRESS [options]
       vynupdate run ADDRESS [options]
       vynupdate news ADDRESS [options]
       vynupdate make-patch OLD NEW PATCH
       vynupdate release DIR --base-url URL -o FILE.INF [release options]
       vynupdate verify FILE.INF --public-key KEY

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
release
       for publishers: writes the control file FILE.INF for every regular file under DIR,
       subfolders included (sorted by name, so the same folder gives the same file): [update]
       date and newversion, [files] count and for each file url, newsize, newchecksum,
       filesize, newversion when it has one, sha256 and targetdir; [application] with
       --appcomps. A file under a subfolder is fetched from URL/subfolder/name into
       TARGET/subfolder. A symbolic link or any other entry that is not a regular file or a
       folder is refused, as are file names an address would have to percent-encode and two
       files of one name. FILE.INF and FILE.INF.minisig are never listed, even inside DIR;
       FILE.INF is replaced whole or not at all. Sign it with "minisign -Sm FILE.INF".
       Exit status: 0 written, 2 error.
verify for publishers and support: checks FILE.INF against FILE.INF.minisig the way the
       engine does (key id, signature, trusted comment and its timestamp) and prints the
       trusted comment and the result. Exit status: 0 valid, 1 invalid (or no readable signature), 2 bad options
       or key.

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
  --public-key KEY|FILE    a minisign public key (its Base64 line, or its .pub file): the
                           control file must carry a valid signature at its address +
                           ".minisig" and every file a matching sha256, and a control file
                           signed before the last one accepted is refused (check, run, news,
                           verify)

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
  --start-check SECONDS    the updater watches the restarted program for SECONDS and rolls
                           the update back when it dies with a non-zero status or a signal
                           (default 0: off)

Release:
  --base-url URL           the address the files will lie under (required)
  -o, --output FILE.INF    the control file to write (required)
  --date DD/MM/YYYY        the release date (default today)
  --app NAME               the program's file under DIR: its version note or version resource
                           is the release's newversion, and with --appcomps the updater starts
                           TARGET/NAME again (NAME_NEW: TARGET/NAME)
  --appcomps "A B"         files at the top of DIR that are parts of the running program, for
                           the updater: NAME_NEW replaces NAME, .PAT patches, .CAB cabinets,
                           .INF component lists, .EXE programs run, LZ files; anything else is
                           refused. Writes [application] with appupdate=1 (needs --app)
  --target DIR             the installed folder the files go to (default {APP})
  --checksum crc32|sum     newchecksum as the engine computes it with --crc32, or its byte sum
                           (default sum)

Other:
  --log FILE               also append every message to FILE (relative to the current
                           folder; {APP} stands for the program's folder)
  --help                   this text

An FTP log-on that fails is reported as "2 wrCannotOpen".

The updater (dezaziz.exe, written out beside the program by a run): "dezaziz.exe --recover
STAGING" rolls back an apply that was interrupted, using the journal in the staging folder,
and exits; STARTCHECK=N in the handoff file (--start-check) makes it watch the restarted
program N seconds and roll back when it dies with a non-zero status or a signal.

Examples:
  vynupdate check https://updates.example.com/files/vynWebBrowser.INF --timeout 10000
  vynupdate run https://updates.example.com/files/vynWebBrowser.INF --app-dir ~/vyn \
      --extract-cab --yes
  vynupdate release dist/1.1 --base-url https://updates.example.com/files/1.1 \
      --app vynWebBrowser_NEW --appcomps vynWebBrowser_NEW -o dist/vynWebBrowser.INF
  minisign -Sm dist/vynWebBrowser.INF
  vynupdate verify dist/vynWebBrowser.INF --public-key minisign.pub
)USAGE";
}

bool ParseCommandOptions(const std::vector<std::string>& args, TCommandOptions& o, std::string& error) {
  std::vector<std::string> positional;
  std::string releaseOption;  // the first option only release takes
  bool publicKeyGiven = false;
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
    } else if (arg == "--start-check") {
      if (!value(text)) return false;
      if (!ParseInt(text, 0, 86400, o.StartCheck)) return error = "bad --start-check " + text, false;
    } else if (arg == "--public-key") {
      if (!value(text)) return false;
      if (!ReadPublicKeyOption(text, o.PublicKey, error)) return false;
      publicKeyGiven = true;
    } else if (arg == "--base-url" || arg == "--date" || arg == "--app" || arg == "--appcomps" ||
               arg == "--target" || arg == "--checksum" || arg == "-o" || arg == "--output") {
      if (!value(text)) return false;
      if (releaseOption.empty()) releaseOption = arg;
      if (!FitsControlFileLine(text)) return error = "option " + arg + " takes one line of text", false;
      if (arg == "--base-url") {
        o.BaseUrl = WithoutTrailingSlashes(text);
        if (o.BaseUrl.empty()) return error = "empty --base-url", false;
      } else if (arg == "--date") {
        const auto date = NormalReleaseDate(text);
        if (!date) return error = "bad --date " + text + " (DD/MM/YYYY, from 1980)", false;
        o.ReleaseDate = *date;
      } else if (arg == "--app") {
        if (text.empty()) return error = "empty --app", false;
        o.AppName = text;
      } else if (arg == "--appcomps") {
        o.AppComps = text;
      } else if (arg == "--target") {
        o.Target = WithoutTrailingSlashes(text);
        if (o.Target.empty()) return error = "empty --target", false;
      } else if (arg == "--checksum") {
        if (text != "crc32" && text != "sum") return error = "unknown --checksum " + text, false;
        o.ChecksumCrc32 = text == "crc32";
      } else {
        if (text.empty()) return error = "empty " + arg, false;
        o.Output = text;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return error = "unknown option " + arg, false;
    } else {
      positional.push_back(arg);
    }
  }
  if (o.Help) return true;
  static const std::map<std::string, TCommand> commands = {
      {"check", TCommand::cmCheck}, {"run", TCommand::cmRun}, {"news", TCommand::cmNews},
      {"make-patch", TCommand::cmMakePatch}, {"release", TCommand::cmRelease},
      {"verify", TCommand::cmVerify}};
  if (positional.empty())
    return error = "missing command (check, run, news, make-patch, release or verify)", false;
  const auto command = commands.find(positional[0]);
  if (command == commands.end()) return error = "unknown command " + positional[0], false;
  o.Command = command->second;
  if (o.Command != TCommand::cmRelease && !releaseOption.empty())
    return error = "option " + releaseOption + " is for release", false;
  if ((o.Command == TCommand::cmRelease || o.Command == TCommand::cmMakePatch) && publicKeyGiven)
    return error = "--public-key is for check, run, news and verify", false;
  if (o.Command == TCommand::cmRelease) {
    if (positional.size() != 2) return error = "release needs exactly one DIR", false;
    o.ReleaseDir = positional[1];
    if (o.ReleaseDir.empty()) return error = "empty DIR", false;
    if (o.BaseUrl.empty()) return error = "release needs --base-url URL", false;
    if (o.Output.empty()) return error = "release needs -o FILE", false;
    // Without a program to start again the engine would not hand the components over.
    if (!o.AppComps.empty() && o.AppName.empty())
      return error = "--appcomps needs --app (the program the updater starts again)", false;
    return true;
  }
  if (o.Command == TCommand::cmVerify) {
    if (positional.size() != 2) return error = "verify needs exactly one FILE", false;
    o.SignedFile = positional[1];
    if (o.SignedFile.empty()) return error = "empty FILE", false;
    if (!publicKeyGiven) return error = "verify needs --public-key KEY", false;
    return true;
  }
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
  engine.PublicKey = o.PublicKey;
  engine.StartCheck = o.StartCheck;
  if (!o.LogFile.empty()) {
    engine.Logging = true;
    // The engine puts a bare log name in the documents folder; here it means the current one.
    const bool bareName = o.LogFile.find_first_of("\\/:") == std::string::npos;
    engine.SetLogFileName(bareName ? CurrentDir() + "/" + o.LogFile : o.LogFile);
  }
}

}  // namespace vyn::cli

#pragma once
// The command line of "vynupdate check" and how it configures an engine.

#include <string>
#include <vector>

#include "update/VudIvazoz.h"

namespace vyn::cli {

struct TCheckOptions {
  bool Help = false;
  std::string Address;
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
};

// Parses the arguments after the program name. False with `error` set on a bad command line.
bool ParseCheckOptions(const std::vector<std::string>& args, TCheckOptions& options,
                       std::string& error);

// Sets the engine's properties from the options; an FTP address without --host gives the host,
// port and directory.
void ConfigureEngine(const TCheckOptions& options, TVudIvazoz& engine);

const char* UsageText();

}  // namespace vyn::cli

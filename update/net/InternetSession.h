#pragma once
// The engine's internet connection over libcurl. A root session carries the agent, proxy,
// time-outs and certificate policy and keeps the pool of open connections, so the files of one
// run reuse them. An FTP connection is a session bound to one server, made from a root session
// and sharing its pool.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "update/net/InternetRequest.h"

namespace vyn {

namespace net {
struct TCurlCore;
}

// What went wrong in the last failed call of a session: a libcurl code (never 0 on failure)
// and a readable text.
struct TNetError {
  int Code = 0;
  std::string Text;
  bool FileNotFound = false;  // the server says the file is not there
  bool Cancelled = false;     // ended by CancelRequested
};

struct TSessionOptions {
  std::string Agent;
  // "host:port", an address, or one per scheme ("http=host:port;https=host:port"); empty =
  // direct, whatever the environment says.
  std::string Proxy;
  std::string ProxyBypass;  // host names that go direct (see net::ProxyForAddress)
  std::string ProxyUser;
  std::string ProxyPassword;
  long ConnectTimeoutMs = 0;  // 0 = the library's default
  long ReceiveTimeoutMs = 0;  // longest silence of a server; 0 = KDefaultReceiveTimeoutMs
  // Fewer bytes a second than this over a whole receive time-out is a stall; 0 = no floor.
  long MinimumRate = 1024;
  bool VerifyCertificates = true;
  // Certificate authorities to trust instead of the system's; empty = the environment variable
  // VYN_CA_FILE when set, else the system's.
  std::string CAFile;
  // Called while a request waits for its server, so a window stays alive; may be empty.
  std::function<void()> ProcessEvents;
  // Asked while a request waits: true ends it at once. A request that starts while it is
  // already true is not ended by it.
  std::function<bool()> CancelRequested;
};

// A receive with no time-out of its own gives up after this much silence.
constexpr long KDefaultReceiveTimeoutMs = 60000;

struct TFtpTarget {
  std::string Host;
  int Port = 21;
  std::string User;  // empty = anonymous
  std::string Password;
  bool Passive = false;
};

// Extra behaviour of one HTTP request.
struct TRequestFlags {
  bool NoCache = true;              // ask every cache on the way for a fresh copy
  bool IgnoreCertificates = false;  // accept an unknown authority, wrong name or date
};

class TInternetSession {
public:
  // A root session. Never fails: errors show when a request is made.
  explicit TInternetSession(const TSessionOptions& options);
  ~TInternetSession();
  TInternetSession(const TInternetSession&) = delete;
  TInternetSession& operator=(const TInternetSession&) = delete;

  // False when the library could not make the session (out of memory).
  bool IsOpen() const;

  void SetConnectTimeout(long ms);
  void SetReceiveTimeout(long ms);
  void SetMinimumRate(long bytesPerSecond);
  void SetEventHandlers(std::function<void()> processEvents, std::function<bool()> cancelRequested);
  void SetVerifyCertificates(bool verify);
  const TSessionOptions& Options() const;

  // Connects and logs on to an FTP server; none on failure (see LastError).
  std::shared_ptr<TInternetSession> ConnectFtp(const TFtpTarget& target);
  bool IsFtp() const { return FFtp != nullptr; }
  const TFtpTarget* FtpTarget() const { return FFtp.get(); }

  // Opens an address (HTTP, HTTPS or FTP) with extra header lines (separated by CR LF; empty
  // lines are dropped). Returns once the final response's headers are in; redirections are
  // followed, except one from HTTPS to anything else, which is the final response. None when
  // no response came (see LastError); an HTTP error status is a response.
  std::unique_ptr<TInternetRequest> OpenUrl(const std::string& url, const std::string& headers,
                                            const TRequestFlags& flags);

  // FTP connection only. The current directory starts at the log-on directory; a relative
  // directory is taken from the current one. False when the server refuses it.
  bool FtpSetCurrentDirectory(const std::string& directory);
  const std::string& FtpCurrentDirectory() const { return FFtpDirectory; }
  // Starts the download of a file of the current directory (binary); its ContentLength is the
  // file's size when the server tells it. None when refused (LastError tells whether the file
  // is missing).
  std::unique_ptr<TInternetRequest> FtpOpenFile(const std::string& name);

  const TNetError& LastError() const { return FLastError; }

private:
  TInternetSession(std::shared_ptr<net::TCurlCore> core, const TFtpTarget& target);
  // The address of a file (or, with an empty name, a folder); none when a part climbs up.
  std::optional<std::string> FtpUrl(const std::string& directory, const std::string& name) const;
  // Runs a transfer that carries no body; true when it succeeded.
  bool FtpProbe(const std::string& url, int64_t* size);
  std::unique_ptr<TInternetRequest> Start(const std::string& url, const std::string& headers,
                                          const TRequestFlags& flags, bool noBody);

  std::shared_ptr<net::TCurlCore> FCore;
  std::unique_ptr<TFtpTarget> FFtp;
  std::string FFtpDirectory;  // relative to the log-on directory unless it starts with '/'
  TNetError FLastError;
};

}  // namespace vyn

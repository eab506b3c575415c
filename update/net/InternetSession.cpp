#include "update/net/InternetSession.h"

#include <optional>

#include "update/net/CurlCore.h"
#include "update/net/ProxyChoice.h"

namespace vyn {

namespace {
std::vector<std::string> SplitHeaderLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Escape(const std::string& segment) {
  char* escaped = curl_easy_escape(nullptr, segment.c_str(), static_cast<int>(segment.size()));
  std::string result = escaped ? escaped : "";
  curl_free(escaped);
  return result;
}

bool HasHttpScheme(const std::string& url) {
  std::string scheme = url.substr(0, url.find(':'));
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return scheme == "http" || scheme == "https";
}

std::string JoinDirectory(const std::string& current, const std::string& directory) {
  if (!directory.empty() && directory[0] == '/') return directory;
  if (current.empty()) return directory;
  if (current.back() == '/') return current + directory;
  return current + "/" + directory;
}
}  // namespace

TInternetSession::TInternetSession(const TSessionOptions& options)
    : FCore(std::make_shared<net::TCurlCore>(options)) {}

TInternetSession::TInternetSession(std::shared_ptr<net::TCurlCore> core, const TFtpTarget& target)
    : FCore(std::move(core)), FFtp(std::make_unique<TFtpTarget>(target)) {}

TInternetSession::~TInternetSession() = default;

bool TInternetSession::IsOpen() const { return FCore->Multi != nullptr; }

void TInternetSession::SetConnectTimeout(long ms) { FCore->Options.ConnectTimeoutMs = ms; }
void TInternetSession::SetReceiveTimeout(long ms) { FCore->Options.ReceiveTimeoutMs = ms; }
void TInternetSession::SetMinimumRate(long bytesPerSecond) {
  FCore->Options.MinimumRate = bytesPerSecond;
}
void TInternetSession::SetEventHandlers(std::function<void()> processEvents,
                                        std::function<bool()> cancelRequested) {
  FCore->Options.ProcessEvents = std::move(processEvents);
  FCore->Options.CancelRequested = std::move(cancelRequested);
}
void TInternetSession::SetVerifyCertificates(bool verify) {
  FCore->Options.VerifyCertificates = verify;
}
const TSessionOptions& TInternetSession::Options() const { return FCore->Options; }

std::unique_ptr<TInternetRequest> TInternetSession::Start(const std::string& url,
                                                          const std::string& headers,
                                                          const TRequestFlags& flags,
                                                          bool noBody) {
  const TSessionOptions& options = FCore->Options;
  std::unique_ptr<net::TCurlEasy> easy = FCore->Acquire();
  CURL* h = easy->Handle;
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  const bool http = HasHttpScheme(url);
  if (FFtp) {
    if (!FFtp->User.empty()) {
      curl_easy_setopt(h, CURLOPT_USERNAME, FFtp->User.c_str());
      curl_easy_setopt(h, CURLOPT_PASSWORD, FFtp->Password.c_str());
    }
    curl_easy_setopt(h, CURLOPT_FTPPORT, FFtp->Passive ? nullptr : "-");
    curl_easy_setopt(h, CURLOPT_PROXY, "");  // FTP goes to its server directly
  } else {
    const std::string proxy = net::ProxyForAddress(options.Proxy, options.ProxyBypass, url);
    curl_easy_setopt(h, CURLOPT_PROXY, proxy.c_str());  // "" also ignores *_proxy
    if (!proxy.empty() && !options.ProxyUser.empty()) {
      curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, options.ProxyUser.c_str());
      curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, options.ProxyPassword.c_str());
      curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    }
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    std::vector<std::string> lines = SplitHeaderLines(headers);
    if (flags.NoCache) {
      lines.emplace_back("Pragma: no-cache");
      lines.emplace_back("Cache-Control: no-cache");
    }
    easy->SetHeaders(lines);
  }
  if (flags.IgnoreCertificates) {
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  }
  if (noBody) curl_easy_setopt(h, CURLOPT_NOBODY, 1L);

  const long receive =
      options.ReceiveTimeoutMs > 0 ? options.ReceiveTimeoutMs : KDefaultReceiveTimeoutMs;
  std::unique_ptr<TInternetRequest> request(
      new TInternetRequest(FCore, std::move(easy), http && !FFtp, receive));
  if (!request->WaitForResponse()) {
    FLastError = {request->ErrorCode(), request->ErrorText(),
                  request->ErrorCode() == CURLE_REMOTE_FILE_NOT_FOUND, request->Cancelled()};
    return nullptr;
  }
  FLastError = {};
  return request;
}

std::unique_ptr<TInternetRequest> TInternetSession::OpenUrl(const std::string& url,
                                                            const std::string& headers,
                                                            const TRequestFlags& flags) {
  return Start(url, headers, flags, false);
}

std::optional<std::string> TInternetSession::FtpUrl(const std::string& directory,
                                                   const std::string& name) const {
  // The library would fold a ".." into the folder above and list that folder instead.
  if (name == "." || name == "..") return std::nullopt;
  std::string url = "ftp://" + FFtp->Host + ":" + std::to_string(FFtp->Port) + "/";
  if (!directory.empty() && directory[0] == '/') url += "%2F/";
  size_t start = 0;
  while (start < directory.size()) {
    size_t end = directory.find('/', start);
    if (end == std::string::npos) end = directory.size();
    const std::string segment = directory.substr(start, end - start);
    if (segment == "..") return std::nullopt;
    if (!segment.empty() && segment != ".") url += Escape(segment) + "/";
    start = end + 1;
  }
  return url + Escape(name);
}

bool TInternetSession::FtpProbe(const std::string& url, int64_t* size) {
  std::unique_ptr<TInternetRequest> request = Start(url, "", TRequestFlags{false, false}, true);
  if (!request) return false;
  char none[1];
  if (request->Read(none, sizeof none) < 0) {
    FLastError = {request->ErrorCode(), request->ErrorText(), false, request->Cancelled()};
    return false;
  }
  if (size) *size = request->ContentLength();
  return true;
}

std::shared_ptr<TInternetSession> TInternetSession::ConnectFtp(const TFtpTarget& target) {
  std::shared_ptr<TInternetSession> ftp(new TInternetSession(FCore, target));
  if (!ftp->FtpProbe(*ftp->FtpUrl("", ""), nullptr)) {
    FLastError = ftp->FLastError;
    return nullptr;
  }
  FLastError = {};
  return ftp;
}

bool TInternetSession::FtpSetCurrentDirectory(const std::string& directory) {
  const std::string next = JoinDirectory(FFtpDirectory, directory);
  const std::optional<std::string> url = FtpUrl(next, "");
  if (!url) {
    FLastError = {CURLE_URL_MALFORMAT, "A folder named \"..\" is refused", false};
    return false;
  }
  if (!FtpProbe(*url, nullptr)) return false;
  FFtpDirectory = next;
  return true;
}

std::unique_ptr<TInternetRequest> TInternetSession::FtpOpenFile(const std::string& name) {
  if (name.empty()) {
    FLastError = {CURLE_REMOTE_FILE_NOT_FOUND, "No file name", true};
    return nullptr;
  }
  const std::optional<std::string> url = FtpUrl(FFtpDirectory, name);
  if (!url) {
    FLastError = {CURLE_URL_MALFORMAT, "A name \".\" or \"..\" is refused", false};
    return nullptr;
  }
  return Start(*url, "", TRequestFlags{false, false}, false);
}

}  // namespace vyn

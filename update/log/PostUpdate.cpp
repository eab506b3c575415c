#include <curl/curl.h>

#include <memory>

#include "update/transfer/PreconfiguredProxy.h"
#include "update/VudIvazoz.h"
#include "update/net/ProxyChoice.h"

namespace vyn {
namespace {

using TCurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using TCurlUrl = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;
using TCurlHeaders = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

struct TPostTransfer {
  TVudIvazoz* Engine;
  std::string* Result;
  bool RequestOpened;      // Action can be named in a request line
  bool Connected = false;  // the server (or the proxy) accepted the connection
};

// Runs once connected and before anything is sent: the connection is tried first, as a failed
// connection and a resource that cannot be asked for are told apart.
int OnConnected(void* user, char*, char*, int, int) {
  auto* transfer = static_cast<TPostTransfer*>(user);
  transfer->Connected = true;
  if (!transfer->RequestOpened) return CURL_PREREQFUNC_ABORT;
  transfer->Result->clear();
  return CURL_PREREQFUNC_OK;
}

size_t AppendReply(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<TPostTransfer*>(user);
  transfer->Engine->UserInterface().ProcessPendingEvents();
  transfer->Result->append(data, size * count);
  return size * count;
}

// A host name, optionally with ":port": nothing that would add a user, a path or a query.
bool IsServerName(const std::string& server) {
  for (const unsigned char c : server)
    if (c <= ' ' || c == 0x7F || c == '/' || c == '\\' || c == '?' || c == '#' || c == '@')
      return false;
  return true;
}

// None when the address cannot be sent as it is: blanks, control characters (a line break
// would add header lines of its own) or a malformed host or port.
TCurlUrl ParseAddress(const std::string& address) {
  TCurlUrl url(nullptr, curl_url_cleanup);
  if (address.find('\0') != std::string::npos) return url;
  url.reset(curl_url());
  if (url && curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK)
    url.reset();
  return url;
}

}  // namespace

void TVudIvazoz::DoPostUpdateInfo() {
  if (PostUpdateInfo.Server.empty() || PostUpdateInfo.Action.empty()) return;
  // Server is a host name, optionally with ":port" (80 otherwise); Action is the resource path.
  const std::string origin = "http://" + PostUpdateInfo.Server;
  const std::string address = origin + (PostUpdateInfo.Action.front() == '/' ? "" : "/") +
                              PostUpdateInfo.Action;
  // A Server that names no host is a connection that cannot be made.
  const TCurlUrl server = IsServerName(PostUpdateInfo.Server)
                              ? ParseAddress(origin + "/")
                              : TCurlUrl(nullptr, curl_url_cleanup);
  const TCurlHandle curl(server ? curl_easy_init() : nullptr, curl_easy_cleanup);
  if (!curl) {
    LogStatus(951, "", 16, 5);
    return;
  }
  const TCurlUrl resource = ParseAddress(address);
  TPostTransfer transfer{this, &PostUpdateInfo.PostResult, resource != nullptr};
  const TCurlHeaders headers(
      curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded"),
      curl_slist_free_all);

  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_CURLU, resource ? resource.get() : server.get());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_USERAGENT, Agent.c_str());
  // The internet options' proxy, never the engine's own Proxy properties.
  const TPreconfiguredProxy preconfigured = ReadPreconfiguredProxy();
  const std::string proxy =
      net::ProxyForAddress(preconfigured.Server, preconfigured.Override, address);
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(c, CURLOPT_PREREQDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_POST, 1L);
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, PostUpdateInfo.Data.data());
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE,
                   static_cast<curl_off_t>(PostUpdateInfo.Data.size()));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, AppendReply);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  if (TimeOut > 0) curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(TimeOut));
  if (ReceiveTimeOut > 0) {
    // A server that stops answering must not hold the update for ever.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, (ReceiveTimeOut + 999L) / 1000L);
  }

  // A failed send or read leaves what was received and is not reported.
  curl_easy_perform(c);
  if (!transfer.Connected)
    LogStatus(951, "", 16, 5);
  else if (!transfer.RequestOpened)
    LogStatus(952, "", 17, 5);
}

}  // namespace vyn

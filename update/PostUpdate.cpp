#include <curl/curl.h>

#include "update/PreconfiguredProxy.h"
#include "update/VudIvazoz.h"
#include "update/net/ProxyChoice.h"

namespace vyn {
namespace {

struct TPostReply {
  TVudIvazoz* Engine;
  std::string* Result;
};

size_t AppendReply(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<TPostReply*>(user);
  reply->Engine->UserInterface().ProcessPendingEvents();
  reply->Result->append(data, size * count);
  return size * count;
}

}  // namespace

void TVudIvazoz::DoPostUpdateInfo() {
  if (PostUpdateInfo.Server.empty() || PostUpdateInfo.Action.empty()) return;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    LogStatus(952, "", 17, 5);
    return;
  }
  // Server is a host name, optionally with ":port" (80 otherwise); Action is the resource path.
  const std::string action =
      PostUpdateInfo.Action.front() == '/' ? PostUpdateInfo.Action : "/" + PostUpdateInfo.Action;
  const std::string address = "http://" + PostUpdateInfo.Server + action;
  curl_slist* headers =
      curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
  PostUpdateInfo.PostResult.clear();
  TPostReply reply{this, &PostUpdateInfo.PostResult};

  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, Agent.c_str());
  // The internet options' proxy, never the engine's own Proxy properties.
  const TPreconfiguredProxy preconfigured = ReadPreconfiguredProxy();
  const std::string proxy =
      net::ProxyForAddress(preconfigured.Server, preconfigured.Override, address);
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, PostUpdateInfo.Data.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                   static_cast<curl_off_t>(PostUpdateInfo.Data.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendReply);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  if (TimeOut > 0) curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(TimeOut));
  if (ReceiveTimeOut > 0) {
    // A server that stops answering must not hold the update for ever.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, (ReceiveTimeOut + 999L) / 1000L);
  }

  // A failed send or read leaves what was received; only a connection never made is reported.
  if (curl_easy_perform(curl) != CURLE_OK) {
    curl_off_t connectTime = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
    if (connectTime == 0) LogStatus(951, "", 16, 5);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
}

}  // namespace vyn

#include "update/net/CurlCore.h"

#include <cstdlib>
#include <mutex>

namespace vyn::net {

namespace {
// Network reads twice the default size. One pull of the multi handle may make up to a hundred
// of them, so this also bounds what waits in memory for the engine's 4096-byte reads.
constexpr long KReceiveBufferSize = 32 * 1024;
}

TCurlCore::TCurlCore(const TSessionOptions& options) : Options(options) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  Multi = curl_multi_init();
}

TCurlCore::~TCurlCore() {
  for (CURL* handle : Idle) curl_easy_cleanup(handle);
  curl_multi_cleanup(Multi);
}

std::unique_ptr<TCurlEasy> TCurlCore::Acquire() {
  CURL* handle;
  if (!Idle.empty()) {
    handle = Idle.back();
    Idle.pop_back();
    curl_easy_reset(handle);  // keeps the connections, the DNS and TLS session caches
  } else {
    handle = curl_easy_init();
  }
  auto easy = std::make_unique<TCurlEasy>(shared_from_this(), handle);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, easy->ErrorBuffer);
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, KReceiveBufferSize);
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  if (!Options.Agent.empty()) curl_easy_setopt(handle, CURLOPT_USERAGENT, Options.Agent.c_str());
  if (Options.ConnectTimeoutMs > 0)
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Options.ConnectTimeoutMs);
  std::string caFile = Options.CAFile;
  if (caFile.empty())
    if (const char* env = std::getenv("VYN_CA_FILE"); env && *env) caFile = env;
  if (!caFile.empty()) {
    curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_PROXY_CAINFO, caFile.c_str());
  }
  const long verify = Options.VerifyCertificates ? 1L : 0L;
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, verify);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, verify * 2);
  curl_easy_setopt(handle, CURLOPT_PROXY_SSL_VERIFYPEER, verify);
  curl_easy_setopt(handle, CURLOPT_PROXY_SSL_VERIFYHOST, verify * 2);
  return easy;
}

TCurlEasy::~TCurlEasy() {
  curl_slist_free_all(Headers);
  // Unhook everything that points into this object before the handle waits for reuse.
  curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(Handle, CURLOPT_ERRORBUFFER, nullptr);
  Core->Idle.push_back(Handle);
}

void TCurlEasy::SetHeaders(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) Headers = curl_slist_append(Headers, line.c_str());
  curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, Headers);
}

}  // namespace vyn::net

#pragma once
// What the sessions and requests of one root session share: the multi handle that keeps the
// open connections, and the easy handles waiting to be used again.

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

#include "update/net/InternetSession.h"

namespace vyn::net {

struct TCurlEasy;

struct TCurlCore : std::enable_shared_from_this<TCurlCore> {
  explicit TCurlCore(const TSessionOptions& options);
  ~TCurlCore();
  TCurlCore(const TCurlCore&) = delete;
  TCurlCore& operator=(const TCurlCore&) = delete;

  // An easy handle with the session's options applied, taken from the idle ones when possible.
  std::unique_ptr<TCurlEasy> Acquire();

  CURLM* Multi = nullptr;
  std::vector<CURL*> Idle;
  TSessionOptions Options;
};

// An easy handle lent to one request; it goes back to the core's idle list afterwards.
struct TCurlEasy {
  TCurlEasy(std::shared_ptr<TCurlCore> core, CURL* handle) : Core(std::move(core)), Handle(handle) {}
  ~TCurlEasy();
  TCurlEasy(const TCurlEasy&) = delete;
  TCurlEasy& operator=(const TCurlEasy&) = delete;

  void SetHeaders(const std::vector<std::string>& lines);

  std::shared_ptr<TCurlCore> Core;
  CURL* Handle;
  curl_slist* Headers = nullptr;
  char ErrorBuffer[CURL_ERROR_SIZE] = {};
};

}  // namespace vyn::net

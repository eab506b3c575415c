#include "update/net/InternetRequest.h"

#include <algorithm>
#include <cstring>

#include "update/net/CurlCore.h"

namespace vyn {

namespace {
// Once this much has been read from the front of the buffer it may be given back.
constexpr size_t KCompactThreshold = 1 << 20;
constexpr int KLongestWaitMs = 50;

bool StartsWithNoCase(const char* data, size_t size, const char* prefix) {
  const size_t n = std::strlen(prefix);
  if (size < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(data[i])) != prefix[i]) return false;
  return true;
}

bool FollowedRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
}  // namespace

TInternetRequest::TInternetRequest(std::shared_ptr<net::TCurlCore> core,
                                   std::unique_ptr<net::TCurlEasy> easy, bool http,
                                   long receiveTimeoutMs)
    : FCore(std::move(core)),
      FEasy(std::move(easy)),
      FHttp(http),
      FReceiveTimeoutMs(receiveTimeoutMs > 0 ? receiveTimeoutMs : 0),
      FLastActivity(std::chrono::steady_clock::now()) {
  CURL* h = FEasy->Handle;
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &TInternetRequest::WriteCallback);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &TInternetRequest::HeaderCallback);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
  curl_multi_add_handle(FCore->Multi, h);
}

TInternetRequest::~TInternetRequest() {
  // A transfer removed before its end loses its connection; a finished one keeps it pooled.
  curl_multi_remove_handle(FCore->Multi, FEasy->Handle);
  FEasy.reset();
}

size_t TInternetRequest::WriteCallback(char* data, size_t size, size_t count, void* self) {
  auto* r = static_cast<TInternetRequest*>(self);
  const size_t n = size * count;
  if (r->FBufferStart == r->FBuffer.size()) {
    r->FBuffer.clear();
    r->FBufferStart = 0;
  }
  r->FBuffer.insert(r->FBuffer.end(), data, data + n);
  r->FLastActivity = std::chrono::steady_clock::now();
  return n;
}

size_t TInternetRequest::HeaderCallback(char* data, size_t size, size_t count, void* self) {
  auto* r = static_cast<TInternetRequest*>(self);
  const size_t n = size * count;
  r->FLastActivity = std::chrono::steady_clock::now();
  if (!r->FHttp) return n;
  if (StartsWithNoCase(data, n, "http/")) {
    // A new response: whatever body came before belonged to a redirection or an interim answer.
    const char* space = static_cast<const char*>(std::memchr(data, ' ', n));
    r->FHeaderStatus = space ? std::strtol(space + 1, nullptr, 10) : 0;
    r->FHeaderIsRedirect = false;
    r->FBuffer.clear();
    r->FBufferStart = 0;
  } else if (StartsWithNoCase(data, n, "location:")) {
    r->FHeaderIsRedirect = true;
  } else if ((n == 2 && data[0] == '\r') || (n == 1 && data[0] == '\n')) {
    if (r->FHeaderStatus >= 200 && !(r->FHeaderIsRedirect && FollowedRedirect(r->FHeaderStatus)))
      r->FHeadersDone = true;
  }
  return n;
}

void TInternetRequest::Finish(int code) {
  FDone = true;
  if (code == CURLE_PARTIAL_FILE) code = CURLE_OK;  // the caller's length check tells
  FErrorCode = code;
  if (code != CURLE_OK && FErrorText.empty())
    FErrorText = FEasy->ErrorBuffer[0] ? FEasy->ErrorBuffer
                                       : curl_easy_strerror(static_cast<CURLcode>(code));
}

template <class TPredicate>
void TInternetRequest::Drive(TPredicate enough) {
  using namespace std::chrono;
  CURLM* multi = FCore->Multi;
  while (!FDone && !enough()) {
    int running = 0;
    const CURLMcode mc = curl_multi_perform(multi, &running);
    if (mc != CURLM_OK) {
      FErrorText = curl_multi_strerror(mc);
      Finish(CURLE_RECV_ERROR);
      break;
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == FEasy->Handle) Finish(msg->data.result);
    if (FDone || enough()) break;

    const auto now = steady_clock::now();
    if (!FConnected) {
      // The receive clock starts once the request is on its way; connecting has its own.
      curl_off_t sent = 0;
      curl_easy_getinfo(FEasy->Handle, CURLINFO_PRETRANSFER_TIME_T, &sent);
      if (sent > 0) {
        FConnected = true;
        FLastActivity = now;
      }
    }
    // Short waits: libcurl does not always hand over every socket it waits on (the listening
    // socket of an active FTP transfer), so it is driven again soon anyway.
    int waitMs = KLongestWaitMs;
    if (FConnected && FReceiveTimeoutMs > 0) {
      const long silent = duration_cast<milliseconds>(now - FLastActivity).count();
      if (silent >= FReceiveTimeoutMs) {
        FErrorText = "No data received for " + std::to_string(FReceiveTimeoutMs) + " ms";
        Finish(CURLE_OPERATION_TIMEDOUT);
        break;
      }
      waitMs = static_cast<int>(std::min<long>(waitMs, FReceiveTimeoutMs - silent));
    }
    curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
  }
}

bool TInternetRequest::WaitForResponse() {
  Drive([this] { return FHttp ? FHeadersDone : FBuffer.size() > FBufferStart; });
  if (FDone && FErrorCode != CURLE_OK && !FHeadersDone) return false;
  long status = 0;
  curl_easy_getinfo(FEasy->Handle, CURLINFO_RESPONSE_CODE, &status);
  FStatus = FHttp ? (status ? status : FHeaderStatus) : 0;
  curl_off_t length = -1;
  curl_easy_getinfo(FEasy->Handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  FContentLength = length;
  return true;
}

long TInternetRequest::Read(char* buffer, size_t size) {
  Drive([this, size] { return FBuffer.size() - FBufferStart >= size; });
  const size_t available = FBuffer.size() - FBufferStart;
  if (available == 0) return FErrorCode != CURLE_OK ? -1 : 0;
  const size_t n = std::min(available, size);
  std::memcpy(buffer, FBuffer.data() + FBufferStart, n);
  FBufferStart += n;
  if (FBufferStart == FBuffer.size()) {
    FBuffer.clear();
    FBufferStart = 0;
  } else if (FBufferStart >= KCompactThreshold && FBufferStart >= FBuffer.size() - FBufferStart) {
    // Only once most of the buffer is read, so each byte is moved at most once on average.
    FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(FBufferStart));
    FBufferStart = 0;
  }
  return static_cast<long>(n);
}

}  // namespace vyn

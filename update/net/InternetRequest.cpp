#include "update/net/InternetRequest.h"

#include <algorithm>
#include <cctype>
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
      FLastActivity(std::chrono::steady_clock::now()),
      FLastEvents(FLastActivity) {
  const auto& cancelRequested = FCore->Options.CancelRequested;
  FCancelledAtStart = cancelRequested && cancelRequested();
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
  r->FWindowBytes += static_cast<int64_t>(n);
  r->FAnswered = true;
  return n;
}

size_t TInternetRequest::HeaderCallback(char* data, size_t size, size_t count, void* self) {
  auto* r = static_cast<TInternetRequest*>(self);
  const size_t n = size * count;
  r->FLastActivity = std::chrono::steady_clock::now();
  r->FWindowBytes += static_cast<int64_t>(n);
  r->FAnswered = true;
  if (!r->FHttp) return n;
  if (StartsWithNoCase(data, n, "http/")) {
    // A new response: whatever body came before belonged to a redirection or an interim answer.
    const char* space = static_cast<const char*>(std::memchr(data, ' ', n));
    r->FHeaderStatus = space ? std::strtol(space + 1, nullptr, 10) : 0;
    r->FHeaderIsRedirect = false;
    r->FHeaderLocation.clear();
    r->FBuffer.clear();
    r->FBufferStart = 0;
  } else if (StartsWithNoCase(data, n, "location:")) {
    r->FHeaderIsRedirect = true;
    r->FHeaderLocation.assign(data + 9, n - 9);
  } else if (((n == 2 && data[0] == '\r') || (n == 1 && data[0] == '\n')) &&
             r->FHeaderStatus >= 200) {
    const bool followed = r->FHeaderIsRedirect && FollowedRedirect(r->FHeaderStatus);
    if (!followed) {
      r->FHeadersDone = true;
    } else if (r->RedirectLeavesHttps()) {
      // Not followed: this redirection is the answer. Ending here keeps the library from
      // sending the request in the clear.
      r->FHeadersDone = true;
      return 0;
    }
  }
  return n;
}

bool TInternetRequest::RedirectLeavesHttps() const {
  const char* current = nullptr;
  curl_easy_getinfo(FEasy->Handle, CURLINFO_EFFECTIVE_URL, &current);
  if (!current || !StartsWithNoCase(current, std::strlen(current), "https:")) return false;
  // A location without a scheme of its own stays on the current one.
  const size_t first = FHeaderLocation.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const std::string location = FHeaderLocation.substr(first);
  size_t i = 0;
  while (i < location.size() && (std::isalnum(static_cast<unsigned char>(location[i])) ||
                                 location[i] == '+' || location[i] == '-' || location[i] == '.'))
    ++i;
  const bool hasScheme = i > 0 && i < location.size() && location[i] == ':' &&
                         std::isalpha(static_cast<unsigned char>(location[0]));
  return hasScheme && !StartsWithNoCase(location.data(), location.size(), "https:");
}

void TInternetRequest::Finish(int code) {
  FDone = true;
  if (code == CURLE_PARTIAL_FILE) code = CURLE_OK;  // the caller's length check tells
  FErrorCode = code;
  // An FTP transfer's error buffer keeps the first complaint of the transfer, which may be a
  // step the library recovered from (an active transfer's first try at its address); the
  // code always names the step that failed.
  if (code != CURLE_OK && FErrorText.empty())
    FErrorText = FEasy->ErrorBuffer[0] && FHttp ? FEasy->ErrorBuffer
                                                : curl_easy_strerror(static_cast<CURLcode>(code));
}

long TInternetRequest::AllowedSilenceMs() const {
  // Until the server's first byte the connect time-out adds to the receive time-out: together
  // they cover reaching the server, a handshake or greeting, and its answer.
  const long connect = FCore->Options.ConnectTimeoutMs;
  return FReceiveTimeoutMs + (FAnswered || connect <= 0 ? 0 : connect);
}

bool TInternetRequest::Stalled(std::chrono::steady_clock::time_point now,
                               std::chrono::milliseconds driven) {
  using namespace std::chrono;
  const TSessionOptions& options = FCore->Options;
  if (options.CancelRequested && !FCancelledAtStart && options.CancelRequested()) {
    FCancelled = true;
    FErrorText = "Cancelled";
    Finish(CURLE_ABORTED_BY_CALLBACK);
    return true;
  }
  if (FReceiveTimeoutMs <= 0) return false;
  if (duration_cast<milliseconds>(now - FLastActivity).count() >= AllowedSilenceMs()) {
    FErrorText = "No data received for " + std::to_string(AllowedSilenceMs()) + " ms";
    Finish(CURLE_OPERATION_TIMEDOUT);
    return true;
  }
  if (!FAnswered) return false;
  // Only the time spent waiting counts: the owner may take its time between two reads.
  FWindowDriven += driven;
  if (FWindowDriven.count() >= FReceiveTimeoutMs) {
    if (options.MinimumRate > 0 && FWindowBytes * 1000 < options.MinimumRate * FReceiveTimeoutMs) {
      FErrorText = "Less than " + std::to_string(options.MinimumRate) + " bytes a second for " +
                   std::to_string(FReceiveTimeoutMs) + " ms";
      Finish(CURLE_OPERATION_TIMEDOUT);
      return true;
    }
    FWindowDriven = milliseconds(0);
    FWindowBytes = 0;
  }
  return false;
}

template <class TPredicate>
void TInternetRequest::Drive(TPredicate enough) {
  using namespace std::chrono;
  CURLM* multi = FCore->Multi;
  while (!FDone && !enough()) {
    const auto started = steady_clock::now();
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

    // Short waits: libcurl does not always hand over every socket it waits on (the listening
    // socket of an active FTP transfer), so it is driven again soon anyway.
    int waitMs = KLongestWaitMs;
    if (FReceiveTimeoutMs > 0) {
      const long silent = duration_cast<milliseconds>(started - FLastActivity).count();
      waitMs = static_cast<int>(std::clamp<long>(AllowedSilenceMs() - silent, 0, waitMs));
    }
    curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
    const auto now = steady_clock::now();
    if (FCore->Options.ProcessEvents && now - FLastEvents >= milliseconds(KLongestWaitMs)) {
      FLastEvents = now;
      FCore->Options.ProcessEvents();
    }
    if (Stalled(now, duration_cast<milliseconds>(now - started))) break;
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

#pragma once
// One transfer in progress, read by its owner in blocks: nothing is fetched ahead beyond what
// one network read brings, so memory stays small whatever the size of the file.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vyn {

namespace net {
struct TCurlCore;
struct TCurlEasy;
}

class TInternetRequest {
public:
  ~TInternetRequest();
  TInternetRequest(const TInternetRequest&) = delete;
  TInternetRequest& operator=(const TInternetRequest&) = delete;

  // Reads up to `size` bytes: the count read, 0 at the end of the data, -1 on failure (see
  // ErrorCode). A body cut short by the server ends like a complete one; the caller compares
  // the total with ContentLength.
  long Read(char* buffer, size_t size);

  // The numeric status of the final HTTP response, 0 for other protocols.
  long StatusCode() const { return FStatus; }
  // The announced length of the body, -1 when unknown.
  int64_t ContentLength() const { return FContentLength; }

  int ErrorCode() const { return FErrorCode; }
  const std::string& ErrorText() const { return FErrorText; }
  // Ended because the session's CancelRequested said so.
  bool Cancelled() const { return FCancelled; }

private:
  friend class TInternetSession;
  TInternetRequest(std::shared_ptr<net::TCurlCore> core, std::unique_ptr<net::TCurlEasy> easy,
                   bool http, long receiveTimeoutMs);

  // Waits for the response: true when it came (or the transfer ended cleanly).
  bool WaitForResponse();
  // Drives the transfer until `enough` holds or it ends.
  template <class TPredicate>
  void Drive(TPredicate enough);
  // The longest silence of the server allowed now.
  long AllowedSilenceMs() const;
  // Ends the transfer when the server is silent or too slow, or the owner cancels; true then.
  bool Stalled(std::chrono::steady_clock::time_point now, std::chrono::milliseconds driven);
  void Finish(int code);
  // At the end of a redirection's headers: its target leaves HTTPS.
  bool RedirectLeavesHttps() const;

  static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
  static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);

  std::shared_ptr<net::TCurlCore> FCore;
  std::unique_ptr<net::TCurlEasy> FEasy;
  bool FHttp;
  long FReceiveTimeoutMs;

  std::vector<char> FBuffer;  // received and not yet read: [FBufferStart, size)
  size_t FBufferStart = 0;
  bool FHeadersDone = false;
  bool FHeaderIsRedirect = false;
  std::string FHeaderLocation;
  long FHeaderStatus = 0;
  bool FDone = false;
  bool FAnswered = false;  // the server has sent something
  bool FCancelledAtStart = false;
  bool FCancelled = false;
  std::chrono::steady_clock::time_point FLastActivity;
  std::chrono::steady_clock::time_point FLastEvents;
  // The rate window: time spent waiting on the server, and what came meanwhile.
  std::chrono::milliseconds FWindowDriven{0};
  int64_t FWindowBytes = 0;

  long FStatus = 0;
  int64_t FContentLength = -1;
  int FErrorCode = 0;
  std::string FErrorText;
};

}  // namespace vyn

#pragma once
// A server that takes connections on 127.0.0.1 and never says a word: no TLS handshake, no
// FTP greeting, no HTTP answer. The system completes each connection for it.

namespace vyn::test {

class TSilentListener {
public:
  TSilentListener();
  ~TSilentListener();
  TSilentListener(const TSilentListener&) = delete;
  TSilentListener& operator=(const TSilentListener&) = delete;

  int Port() const { return FPort; }

private:
  int FSocket = -1;
  int FPort = 0;
};

}  // namespace vyn::test

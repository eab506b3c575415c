#include "SilentListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace vyn::test {

TSilentListener::TSilentListener() {
  FSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (FSocket < 0 || bind(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(FSocket, 16) != 0 ||
      getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("Cannot listen on 127.0.0.1");
  FPort = ntohs(address.sin_port);
}

TSilentListener::~TSilentListener() { close(FSocket); }

}  // namespace vyn::test

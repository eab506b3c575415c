#include "update/net/ConnectionState.h"

#include <ifaddrs.h>
#include <net/if.h>

namespace vyn::net {

int InternetGetConnectedState(unsigned& flags) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return 0;
  bool up = false;
  for (ifaddrs* a = list; a && !up; a = a->ifa_next)
    up = a->ifa_addr && (a->ifa_flags & IFF_UP) && (a->ifa_flags & IFF_RUNNING) &&
         !(a->ifa_flags & IFF_LOOPBACK);
  freeifaddrs(list);
  if (!up) return 0;
  flags = KConnectionLan;
  return 1;
}

int InternetAutodial(unsigned) { return -1; }

int InternetAutodialHangup() { return -1; }

}  // namespace vyn::net

#pragma once
// The connection-state, dial-up and hang-up functions the engine asks for on every call. This
// system has no dial-up: those two report themselves missing (-1), which the engine reads as a
// successful dial, like a machine whose library lacks them.

namespace vyn::net {

// Flag of InternetGetConnectedState: the machine reaches the network through a local network.
constexpr unsigned KConnectionLan = 0x02;

// Non-zero with `flags` set when a network interface other than loopback is up; 0 otherwise.
int InternetGetConnectedState(unsigned& flags);
// -1: not available on this system.
int InternetAutodial(unsigned flags);
int InternetAutodialHangup();

}  // namespace vyn::net

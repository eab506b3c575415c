#pragma once
// The proxy the user set in the internet options (current user): what the engine's connections
// use when the engine names no proxy of its own.

#include <string>

namespace vyn {

struct TPreconfiguredProxy {
  std::string Server;    // "" when the options use no proxy
  std::string Override;  // host names that go direct, separated by ';'
};

// Unreadable or mistyped values read as "no proxy".
TPreconfiguredProxy ReadPreconfiguredProxy();

}  // namespace vyn

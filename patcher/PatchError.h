#pragma once
// Why a patch was not applied; the text is shown to the user as it is.

#include <stdexcept>
#include <string>

namespace vyn::patcher {

class TPatchError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "what: strerror(errno)" for a failed system call.
[[noreturn]] void ThrowSystemError(const std::string& what);

}  // namespace vyn::patcher

#pragma once
// The system's own error, raised the way the program reports a failed system call: its code
// and the system's description of it.

#include <stdexcept>

namespace vyn {

class EOSError : public std::runtime_error {
public:
  explicit EOSError(int code);
  int ErrorCode() const { return FErrorCode; }

private:
  int FErrorCode;
};

// "Erreur système.  Code : <code>." followed by a line break and the system's description.
[[noreturn]] void RaiseOSError(int code);

}  // namespace vyn

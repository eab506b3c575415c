#include "app/about/OSError.h"

#include <cstring>
#include <string>

namespace vyn {

namespace {

std::string SystemDescription(int code) {
  char buffer[256] = {};
  return strerror_r(code, buffer, sizeof buffer);
}

std::string OSErrorText(int code) {
  return "Erreur système.  Code : " + std::to_string(code) + ".\n" + SystemDescription(code);
}

}  // namespace

EOSError::EOSError(int code) : std::runtime_error(OSErrorText(code)), FErrorCode(code) {}

void RaiseOSError(int code) { throw EOSError(code); }

}  // namespace vyn

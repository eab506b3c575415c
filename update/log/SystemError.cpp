#include "update/log/SystemError.h"

namespace vyn {
namespace {
thread_local int GLastError = 0;
thread_local std::string GLastErrorText;
}  // namespace

void SetLastSystemError(int code, const std::string& text) {
  GLastError = code;
  GLastErrorText = code == 0 ? std::string() : text;
}

int LastSystemError() { return GLastError; }

const std::string& LastSystemErrorText() { return GLastErrorText; }

}  // namespace vyn

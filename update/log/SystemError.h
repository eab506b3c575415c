#pragma once
// The calling thread's last system error, standing in for the platform's last-error value: the
// transfer backend records each failure here and TVudIvazoz::Error reports it.

#include <string>

namespace vyn {

// Records an error of the calling thread; code 0 clears it.
void SetLastSystemError(int code, const std::string& text);
int LastSystemError();
const std::string& LastSystemErrorText();

}  // namespace vyn

#include "update/trust/Sha256Text.h"

#include <algorithm>
#include <cctype>

namespace vyn {

bool IsSha256Text(std::string_view Text) {
  return Text.size() == 64 && std::all_of(Text.begin(), Text.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

}  // namespace vyn

#include <algorithm>
#include <cctype>

#include "update/VudIvazoz.h"

namespace vyn {

namespace {
std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}
}  // namespace

bool TVudIvazoz::IsApplicationComponent(const std::string& F) {
  // A substring of the whole list, as publishers' control files have always been read: p.exe
  // is a component when app.exe is listed.
  if (F.empty() || Upper(FAppComps).find(Upper(F)) == std::string::npos) return false;
  FAppCompsIncluded = true;
  LogStatus(962, F, 0, 0);
  return true;
}

}  // namespace vyn

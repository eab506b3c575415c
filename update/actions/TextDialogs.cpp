#include "platform/IniFile.h"
#include "update/VudIvazoz.h"
#include "update/actions/RichText.h"
#include "update/actions/StringList.h"

namespace vyn {

namespace {

// The text for the dialog: rich text as its bytes, plain text as UTF-8 lines.
std::string DialogText(const std::string& stream, bool rich) {
  if (rich) return stream;
  std::string text;
  for (const std::string& line : LoadStringList(stream)) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

std::string ReadOr(const TIniFile& ini, const std::string& section, const std::string& key,
                   const std::string& fallback) {
  const std::string value = ini.ReadString(section, key, "");
  return value.empty() ? fallback : value;
}

}  // namespace

int TVudIvazoz::ShowWhatsNew(const std::string& Stream) {
  const bool rich = IsRichText(Stream);
  if (OnDownloadedWhatsNew && !rich) {
    std::vector<std::string> lines = LoadStringList(Stream);
    int res = 1;
    OnDownloadedWhatsNew(*this, lines, res);
    return res == 1 ? 0 : -1;
  }
  const TIniFile ini(FControlFileName);
  const bool accepted = UserInterface().ShowWhatsNewDialog(
      ReadOr(ini, "whatsnew", "caption", "What's new"), DialogText(Stream, rich), rich,
      ReadOr(ini, "whatsnew", "okbtn", "Ok"), ReadOr(ini, "whatsnew", "cancelbtn", "Cancel"));
  if (accepted) return 0;
  LogStatus(938, "", 14, 0);
  return -1;
}

int TVudIvazoz::ShowEULA(const std::string& Stream) {
  const bool rich = IsRichText(Stream);
  int result = 0;
  if (OnDownloadedEULA) {
    // Only a handler that says so accepts: one that leaves Res alone has refused.
    std::vector<std::string> lines = LoadStringList(Stream);
    int res = 0;
    OnDownloadedEULA(*this, lines, res);
    if (res != 1) result = -1;
    if (rich) return result;
  }
  const TIniFile ini(FControlFileName);
  const bool accepted = UserInterface().ShowEULADialog(
      ini.ReadString("eula", "caption", ""), DialogText(Stream, rich), rich,
      ReadOr(ini, "eula", "okbtn", "Ok"), ReadOr(ini, "eula", "accept", "I accept"),
      ReadOr(ini, "eula", "notaccept", "I do not accept"));
  return accepted ? result : -1;
}

}  // namespace vyn

#include "ScriptedUserInterface.h"

namespace vyn::test {

TMessageResult TScriptedUserInterface::MessageBox(const std::string& text, const std::string&,
                                                  TMessageKind, TMessageButtons buttons) {
  Calls.push_back("MessageBox:" + text);
  if (MessageBoxAnswers.empty())
    return TSilentUserInterface().MessageBox(text, "", TMessageKind::mkInformation, buttons);
  const TMessageResult answer = MessageBoxAnswers.front();
  MessageBoxAnswers.pop_front();
  return answer;
}

bool TScriptedUserInterface::ShowTextDialog(const std::string& caption,
                                            const std::vector<std::string>&, const std::string&,
                                            const std::string&) {
  Calls.push_back("TextDialog:" + caption);
  if (TextDialogAnswers.empty()) return true;
  const bool answer = TextDialogAnswers.front();
  TextDialogAnswers.pop_front();
  return answer;
}

bool TScriptedUserInterface::ShowLoginDialog(const std::string& caption, std::string& userName,
                                             std::string& password) {
  Calls.push_back("Login:" + caption);
  if (LoginAnswers.empty()) return false;
  const TLoginAnswer answer = LoginAnswers.front();
  LoginAnswers.pop_front();
  if (!answer.Ok) return false;
  userName = answer.UserName;
  password = answer.Password;
  return true;
}

void TScriptedUserInterface::ProgressShow() { Calls.push_back("ProgressShow"); }

void TScriptedUserInterface::ProgressUpdate(const std::string& fileLabel, long long pos,
                                            long long size) {
  Calls.push_back("ProgressUpdate:" + fileLabel + ":" + std::to_string(pos) + ":" +
                  std::to_string(size));
}

void TScriptedUserInterface::ProgressHide() { Calls.push_back("ProgressHide"); }

void TScriptedUserInterface::ShowHTMLDialog(const std::string& address) {
  Calls.push_back("HTMLDialog:" + address);
}

void TScriptedUserInterface::ProcessPendingEvents() {
  ++PendingEventsCalls;
  if (OnPendingEvents) OnPendingEvents();
}

void TScriptedUserInterface::RunOnUiThread(const std::function<void()>& work) { work(); }

int TScriptedUserInterface::CountCalls(const std::string& prefix) const {
  int n = 0;
  for (const std::string& call : Calls)
    if (call.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

}  // namespace vyn::test

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

namespace {
bool NextAnswer(std::deque<bool>& answers) {
  if (answers.empty()) return true;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}
}  // namespace

bool TScriptedUserInterface::ShowWhatsNewDialog(const std::string& caption,
                                                const std::string& text, bool richText,
                                                const std::string&, const std::string&) {
  Calls.push_back("WhatsNew:" + caption + ":" + (richText ? "rich:" : "plain:") + text);
  return NextAnswer(WhatsNewAnswers);
}

bool TScriptedUserInterface::ShowEULADialog(const std::string& caption, const std::string& text,
                                            bool richText, const std::string&,
                                            const std::string&, const std::string&) {
  Calls.push_back("EULA:" + caption + ":" + (richText ? "rich:" : "plain:") + text);
  return NextAnswer(EULAAnswers);
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

void TScriptedUserInterface::StatusWindowShow(const std::string& caption,
                                              const std::string& message) {
  Calls.push_back("StatusShow:" + caption + ":" + message);
}

void TScriptedUserInterface::StatusWindowHide() { Calls.push_back("StatusHide"); }

void TScriptedUserInterface::ProcessPendingEvents() {
  ++PendingEventsCalls;
  if (OnPendingEvents) OnPendingEvents();
}

void TScriptedUserInterface::RunOnUiThread(const std::function<void()>& work) { work(); }

void TScriptedUserInterface::PostToUiThread(std::function<void()> work) {
  {
    const std::lock_guard<std::mutex> lock(FPostedLock);
    FPosted.push_back(std::move(work));
  }
  FPostedChanged.notify_all();
}

void TScriptedUserInterface::TerminateApplication() { Calls.push_back("Terminate"); }

bool TScriptedUserInterface::RunPosted(int timeoutMs) {
  std::deque<std::function<void()>> work;
  {
    std::unique_lock<std::mutex> lock(FPostedLock);
    if (!FPostedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return !FPosted.empty(); }))
      return false;
    work.swap(FPosted);
  }
  for (auto& item : work) item();
  return true;
}

int TScriptedUserInterface::CountCalls(const std::string& prefix) const {
  int n = 0;
  for (const std::string& call : Calls)
    if (call.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

}  // namespace vyn::test

#pragma once
// A scripted IVudUserInterface for tests: answers come from queues the test fills (the silent
// default when a queue is empty), and every call is recorded.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "update/UserInterface.h"

namespace vyn::test {

struct TLoginAnswer {
  bool Ok = false;
  std::string UserName;
  std::string Password;
};

class TScriptedUserInterface : public IVudUserInterface {
public:
  std::deque<TMessageResult> MessageBoxAnswers;
  std::deque<bool> WhatsNewAnswers;  // empty: accepted
  std::deque<bool> EULAAnswers;      // empty: accepted
  std::deque<TLoginAnswer> LoginAnswers;  // empty: the prompt is cancelled

  // One entry per call, e.g. "MessageBox:text", "Login:caption", "ProgressUpdate:label:pos:size",
  // "WhatsNew:caption:rich|plain:text", "EULA:caption:rich|plain:text",
  // "StatusShow:caption:message", "StatusHide", "Terminate".
  std::vector<std::string> Calls;
  int PendingEventsCalls = 0;
  // Runs at each ProcessPendingEvents, as a click on Cancel would.
  std::function<void()> OnPendingEvents;

  TMessageResult MessageBox(const std::string& text, const std::string& caption,
                            TMessageKind kind, TMessageButtons buttons) override;
  bool ShowWhatsNewDialog(const std::string& caption, const std::string& text, bool richText,
                          const std::string& okCaption, const std::string& cancelCaption) override;
  bool ShowEULADialog(const std::string& caption, const std::string& text, bool richText,
                      const std::string& okCaption, const std::string& acceptCaption,
                      const std::string& refuseCaption) override;
  bool ShowLoginDialog(const std::string& caption, std::string& userName,
                       std::string& password) override;
  void ProgressShow() override;
  void ProgressUpdate(const std::string& fileLabel, long long pos, long long size) override;
  void ProgressHide() override;
  void ShowHTMLDialog(const std::string& address) override;
  void StatusWindowShow(const std::string& caption, const std::string& message) override;
  void StatusWindowHide() override;
  void ProcessPendingEvents() override;
  void RunOnUiThread(const std::function<void()>& work) override;
  // Queued, from any thread; the test's thread plays the user-interface thread and runs them.
  void PostToUiThread(std::function<void()> work) override;
  void TerminateApplication() override;
  // Waits up to `timeoutMs` for posted work, then runs everything queued; false on time-out.
  bool RunPosted(int timeoutMs);

  int CountCalls(const std::string& prefix) const;

private:
  std::mutex FPostedLock;
  std::condition_variable FPostedChanged;
  std::deque<std::function<void()>> FPosted;
};

}  // namespace vyn::test

#pragma once
// A scripted IVudUserInterface for tests: answers come from queues the test fills (the silent
// default when a queue is empty), and every call is recorded.

#include <deque>
#include <functional>
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
  std::deque<bool> TextDialogAnswers;
  std::deque<TLoginAnswer> LoginAnswers;  // empty: the prompt is cancelled

  // One entry per call, e.g. "MessageBox:text", "Login:caption", "ProgressUpdate:label:pos:size".
  std::vector<std::string> Calls;
  int PendingEventsCalls = 0;
  // Runs at each ProcessPendingEvents, as a click on Cancel would.
  std::function<void()> OnPendingEvents;

  TMessageResult MessageBox(const std::string& text, const std::string& caption,
                            TMessageKind kind, TMessageButtons buttons) override;
  bool ShowTextDialog(const std::string& caption, const std::vector<std::string>& lines,
                      const std::string& acceptCaption, const std::string& refuseCaption) override;
  bool ShowLoginDialog(const std::string& caption, std::string& userName,
                       std::string& password) override;
  void ProgressShow() override;
  void ProgressUpdate(const std::string& fileLabel, long long pos, long long size) override;
  void ProgressHide() override;
  void ShowHTMLDialog(const std::string& address) override;
  void ProcessPendingEvents() override;
  void RunOnUiThread(const std::function<void()>& work) override;

  int CountCalls(const std::string& prefix) const;
};

}  // namespace vyn::test

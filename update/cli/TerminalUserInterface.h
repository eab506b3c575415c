#pragma once
// The user interface of "vynupdate run" and "news": dialog texts on standard output, answers
// from --yes / --no or, without either, from the terminal when standard input is one (refused
// otherwise), a progress bar on standard error when that is a terminal, and a queue that the
// main thread drains for what a threaded run posts to it.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "update/cli/CommandOptions.h"
#include "update/cli/SignalCancel.h"

namespace vyn::cli {

class TTerminalUserInterface : public TSignalCancel {
public:
  TTerminalUserInterface(TVudIvazoz& engine, TAnswerMode answers);

  TMessageResult MessageBox(const std::string& text, const std::string& caption,
                            TMessageKind kind, TMessageButtons buttons) override;
  bool ShowWhatsNewDialog(const std::string& caption, const std::string& text, bool richText,
                          const std::string& okCaption, const std::string& cancelCaption) override;
  bool ShowEULADialog(const std::string& caption, const std::string& text, bool richText,
                      const std::string& okCaption, const std::string& acceptCaption,
                      const std::string& refuseCaption) override;
  void ProgressShow() override;
  void ProgressUpdate(const std::string& fileLabel, long long pos, long long size) override;
  void ProgressHide() override;
  void ShowHTMLDialog(const std::string& address) override;
  void StatusWindowShow(const std::string& caption, const std::string& message) override;
  void PostToUiThread(std::function<void()> work) override;

  // Runs what was posted until `done` holds; `done` is read after each piece of work. A caught
  // signal cancels the run meanwhile.
  void RunPostedUntil(const std::function<bool()>& done);

  // Whether stderr shows a progress bar.
  static bool ProgressBarWanted();

private:
  // Yes for the accepting answer, no for the refusing one.
  bool Answer(const std::string& question);

  TAnswerMode FAnswers;
  std::mutex FOutputLock;  // a threaded run prints from its worker
  bool FBarShown = false;
  std::mutex FPostedLock;
  std::condition_variable FPostedChanged;
  std::deque<std::function<void()>> FPosted;
};

}  // namespace vyn::cli

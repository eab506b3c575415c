#include "update/cli/TerminalUserInterface.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "update/actions/RtfPlainText.h"

namespace vyn::cli {

namespace {

constexpr int KBarWidth = 40;

void PrintBlock(const std::string& title, const std::string& text) {
  if (!title.empty()) std::printf("== %s ==\n", title.c_str());
  std::fputs(text.c_str(), stdout);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Control-file texts break lines with a carriage return alone.
std::string WithNewlines(std::string text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    if (i + 1 < text.size() && text[i + 1] == '\n')
      text.erase(i, 1);
    else
      text[i] = '\n';
  }
  return text;
}

std::string DialogText(const std::string& text, bool richText) {
  return richText ? RtfToPlainText(text) : WithNewlines(text);
}

}  // namespace

TTerminalUserInterface::TTerminalUserInterface(TVudIvazoz& engine, TAnswerMode answers)
    : TSignalCancel(engine), FAnswers(answers) {}

bool TTerminalUserInterface::ProgressBarWanted() { return isatty(STDERR_FILENO) == 1; }

bool TTerminalUserInterface::Answer(const std::string& question) {
  if (FAnswers == TAnswerMode::amYes) return true;
  if (FAnswers == TAnswerMode::amNo) return false;
  if (isatty(STDIN_FILENO) != 1) {
    std::fprintf(stderr, "vynupdate: no terminal to answer \"%s\": refused (use --yes or --no)\n",
                 question.c_str());
    return false;
  }
  for (;;) {
    std::printf("%s [y/n] ", question.c_str());
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    if (line == "y" || line == "Y" || line == "yes" || line == "o" || line == "oui") return true;
    if (line == "n" || line == "N" || line == "no" || line == "non") return false;
  }
}

TMessageResult TTerminalUserInterface::MessageBox(const std::string& text,
                                                  const std::string& caption, TMessageKind,
                                                  TMessageButtons buttons) {
  const std::lock_guard<std::mutex> lock(FOutputLock);
  PrintBlock(caption, WithNewlines(text));
  switch (buttons) {
    case TMessageButtons::mbOK:
      return TMessageResult::mrOK;
    case TMessageButtons::mbOKCancel:
      return Answer("OK?") ? TMessageResult::mrOK : TMessageResult::mrCancel;
    case TMessageButtons::mbYesNo:
    case TMessageButtons::mbYesNoCancel:
      return Answer("Yes?") ? TMessageResult::mrYes : TMessageResult::mrNo;
  }
  return TMessageResult::mrNone;
}

bool TTerminalUserInterface::ShowWhatsNewDialog(const std::string& caption,
                                                const std::string& text, bool richText,
                                                const std::string& okCaption,
                                                const std::string& cancelCaption) {
  const std::lock_guard<std::mutex> lock(FOutputLock);
  PrintBlock(caption, DialogText(text, richText));
  return Answer(okCaption + " (or " + cancelCaption + ")?");
}

bool TTerminalUserInterface::ShowEULADialog(const std::string& caption, const std::string& text,
                                            bool richText, const std::string&,
                                            const std::string& acceptCaption,
                                            const std::string& refuseCaption) {
  const std::lock_guard<std::mutex> lock(FOutputLock);
  PrintBlock(caption, DialogText(text, richText));
  return Answer(acceptCaption + " (or " + refuseCaption + ")?");
}

void TTerminalUserInterface::ProgressShow() { FBarShown = false; }

void TTerminalUserInterface::ProgressUpdate(const std::string& fileLabel, long long pos,
                                            long long size) {
  const std::lock_guard<std::mutex> lock(FOutputLock);
  const int filled = size > 0 ? static_cast<int>(std::min(pos, size) * KBarWidth / size) : 0;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(KBarWidth, '.');
  if (size > 0)
    std::fprintf(stderr, "\r%s [%s] %3lld%%", fileLabel.c_str(), bar.c_str(),
                 std::min(pos, size) * 100 / size);
  else
    std::fprintf(stderr, "\r%s %lld bytes", fileLabel.c_str(), pos);
  std::fflush(stderr);
  FBarShown = true;
}

void TTerminalUserInterface::ProgressHide() {
  const std::lock_guard<std::mutex> lock(FOutputLock);
  if (FBarShown) std::fputc('\n', stderr);
  FBarShown = false;
}

void TTerminalUserInterface::ShowHTMLDialog(const std::string& address) {
  const std::lock_guard<std::mutex> lock(FOutputLock);
  PrintBlock("HTML", address);
}

void TTerminalUserInterface::StatusWindowShow(const std::string& caption,
                                              const std::string& message) {
  if (caption.empty() && message.empty()) return;
  const std::lock_guard<std::mutex> lock(FOutputLock);
  std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", message.c_str());
}

void TTerminalUserInterface::PostToUiThread(std::function<void()> work) {
  {
    const std::lock_guard<std::mutex> lock(FPostedLock);
    FPosted.push_back(std::move(work));
  }
  FPostedChanged.notify_all();
}

void TTerminalUserInterface::RunPostedUntil(const std::function<bool()>& done) {
  while (!done()) {
    std::function<void()> work;
    {
      std::unique_lock<std::mutex> lock(FPostedLock);
      FPostedChanged.wait_for(lock, std::chrono::milliseconds(50),
                              [this] { return !FPosted.empty(); });
      if (!FPosted.empty()) {
        work = std::move(FPosted.front());
        FPosted.pop_front();
      }
    }
    if (work) work();
    ProcessPendingEvents();
  }
}

}  // namespace vyn::cli

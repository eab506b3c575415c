#pragma once
// The only way the update engine reaches the user. update/ui implements it with Qt; tests use a
// scripted fake; a program without a user interface gets TSilentUserInterface.
// Every call may come from the engine's worker thread: a Qt implementation must carry it out on
// the user-interface thread and wait for the answer.

#include <functional>
#include <string>

namespace vyn {

enum class TMessageKind { mkInformation, mkWarning, mkError, mkQuestion };
enum class TMessageButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };
enum class TMessageResult { mrNone, mrOK, mrCancel, mrYes, mrNo };

class IVudUserInterface {
public:
  virtual ~IVudUserInterface() = default;

  virtual TMessageResult MessageBox(const std::string& text, const std::string& caption,
                                    TMessageKind kind, TMessageButtons buttons) = 0;

  // The what's-new window: `text` (RTF when `richText`, else UTF-8) with an accept and a
  // refuse button; true when closed by the accept button.
  virtual bool ShowWhatsNewDialog(const std::string& caption, const std::string& text,
                                  bool richText, const std::string& okCaption,
                                  const std::string& cancelCaption) = 0;
  // The licence window: the text, one button and the accept and refuse choices (refuse
  // selected at first); true when the accept choice is selected once the window is closed.
  virtual bool ShowEULADialog(const std::string& caption, const std::string& text, bool richText,
                              const std::string& okCaption, const std::string& acceptCaption,
                              const std::string& refuseCaption) = 0;

  // Asks for a user name and password; on OK fills both and returns true, otherwise leaves them.
  virtual bool ShowLoginDialog(const std::string& caption, std::string& userName,
                               std::string& password) = 0;

  // The download progress window.
  virtual void ProgressShow() = 0;
  virtual void ProgressUpdate(const std::string& fileLabel, long long pos, long long size) = 0;
  virtual void ProgressHide() = 0;

  // A modal dialog holding a web view on the address.
  virtual void ShowHTMLDialog(const std::string& address) = 0;

  // The status window shown while a started program runs (caption, message, an animation);
  // it stays until StatusWindowHide.
  virtual void StatusWindowShow(const std::string& caption, const std::string& message) = 0;
  virtual void StatusWindowHide() = 0;

  // Lets the user interface handle what is pending (repaints, clicks on Cancel) between blocks.
  virtual void ProcessPendingEvents() = 0;

  // Runs `work` on the user-interface thread (at once when there is none) and waits for it.
  virtual void RunOnUiThread(const std::function<void()>& work) = 0;
  // Queues `work` for the user-interface thread and returns at once (with no such thread, runs
  // it at once).
  virtual void PostToUiThread(std::function<void()> work) = 0;

  // Asks the application to end once the current event is handled (the updater waits for it).
  virtual void TerminateApplication() = 0;
};

// Answers every question with its default (OK / Yes / accept), asks for no login, shows nothing.
class TSilentUserInterface : public IVudUserInterface {
public:
  TMessageResult MessageBox(const std::string&, const std::string&, TMessageKind,
                            TMessageButtons buttons) override {
    return buttons == TMessageButtons::mbYesNo || buttons == TMessageButtons::mbYesNoCancel
               ? TMessageResult::mrYes
               : TMessageResult::mrOK;
  }
  bool ShowWhatsNewDialog(const std::string&, const std::string&, bool, const std::string&,
                          const std::string&) override {
    return true;
  }
  bool ShowEULADialog(const std::string&, const std::string&, bool, const std::string&,
                      const std::string&, const std::string&) override {
    return true;
  }
  bool ShowLoginDialog(const std::string&, std::string&, std::string&) override { return false; }
  void ProgressShow() override {}
  void ProgressUpdate(const std::string&, long long, long long) override {}
  void ProgressHide() override {}
  void ShowHTMLDialog(const std::string&) override {}
  void StatusWindowShow(const std::string&, const std::string&) override {}
  void StatusWindowHide() override {}
  void ProcessPendingEvents() override {}
  void RunOnUiThread(const std::function<void()>& work) override { work(); }
  void PostToUiThread(std::function<void()> work) override { work(); }
  // A program without a user interface ends itself; see OnAppDoClose.
  void TerminateApplication() override {}
};

}  // namespace vyn

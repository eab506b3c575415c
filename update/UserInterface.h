#pragma once
// The only way the update engine reaches the user. update/ui implements it with Qt; tests use a
// scripted fake; a program without a user interface gets TSilentUserInterface.
// Every call may come from the engine's worker thread: a Qt implementation must carry it out on
// the user-interface thread and wait for the answer.

#include <functional>
#include <string>
#include <vector>

namespace vyn {

enum class TMessageKind { mkInformation, mkWarning, mkError, mkQuestion };
enum class TMessageButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };
enum class TMessageResult { mrNone, mrOK, mrCancel, mrYes, mrNo };

class IVudUserInterface {
public:
  virtual ~IVudUserInterface() = default;

  virtual TMessageResult MessageBox(const std::string& text, const std::string& caption,
                                    TMessageKind kind, TMessageButtons buttons) = 0;

  // A text shown in a scrolling box with accept/refuse buttons (what's new, licence);
  // true when accepted.
  virtual bool ShowTextDialog(const std::string& caption, const std::vector<std::string>& lines,
                              const std::string& acceptCaption, const std::string& refuseCaption) = 0;

  // Asks for a user name and password; on OK fills both and returns true, otherwise leaves them.
  virtual bool ShowLoginDialog(const std::string& caption, std::string& userName,
                               std::string& password) = 0;

  // The download progress window.
  virtual void ProgressShow() = 0;
  virtual void ProgressUpdate(const std::string& fileLabel, long long pos, long long size) = 0;
  virtual void ProgressHide() = 0;

  // A modal dialog holding a web view on the address.
  virtual void ShowHTMLDialog(const std::string& address) = 0;

  // Lets the user interface handle what is pending (repaints, clicks on Cancel) between blocks.
  virtual void ProcessPendingEvents() = 0;

  // Runs `work` on the user-interface thread (at once when there is none) and waits for it.
  virtual void RunOnUiThread(const std::function<void()>& work) = 0;
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
  bool ShowTextDialog(const std::string&, const std::vector<std::string>&, const std::string&,
                      const std::string&) override {
    return true;
  }
  bool ShowLoginDialog(const std::string&, std::string&, std::string&) override { return false; }
  void ProgressShow() override {}
  void ProgressUpdate(const std::string&, long long, long long) override {}
  void ProgressHide() override {}
  void ShowHTMLDialog(const std::string&) override {}
  void ProcessPendingEvents() override {}
  void RunOnUiThread(const std::function<void()>& work) override { work(); }
};

}  // namespace vyn

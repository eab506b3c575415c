#include "platform/Folders.h"
#include "update/files/MoveDownload.h"
#include "update/log/Messages.h"
#include "update/transfer/TransferCheck.h"
#include "update/trust/Sha256Text.h"
#include "update/VudIvazoz.h"

namespace vyn {

namespace {
bool AskYesNo(IVudUserInterface& ui, const std::string& text) {
  return ui.MessageBox(text, "", TMessageKind::mkQuestion, TMessageButtons::mbYesNo) ==
         TMessageResult::mrYes;
}

// Hides the progress window again however the transfer ends.
class TProgressShown {
public:
  TProgressShown(IVudUserInterface& ui, bool shown) : FUi(ui), FShown(shown) {
    if (FShown) FUi.ProgressShow();
  }
  ~TProgressShown() {
    if (FShown) FUi.ProgressHide();
  }
  TProgressShown(const TProgressShown&) = delete;
  TProgressShown& operator=(const TProgressShown&) = delete;

private:
  IVudUserInterface& FUi;
  bool FShown;
};
}  // namespace

int TVudIvazoz::GetFileUpdates() {
  // With a key, every file is bound to the signed control file by its hash: a release with a
  // file that is not is refused whole, before anything is asked or fetched.
  if (!PublicKey.empty()) {
    bool unbound = false;
    for (int i = 0; i < FFileList.Count(); ++i) {
      if (IsSha256Text(FFileList.Items(i).Sha256)) continue;
      LogStatus(946, FFileList.Items(i).URL, 2, 9);
      unbound = true;
    }
    if (unbound) {
      FAppClose = false;
      return -1;
    }
  }
  int result = 0;
  TVudIvazozUpdate mode = UpdateUpdate;
  const int count = FFileList.Count();
  for (int fileIdx = 1; fileIdx <= count; ++fileIdx) {
    // A handler may have shortened the list meanwhile.
    if (fileIdx > FFileList.Count()) break;
    // A copy: a handler that removes items must not pull the record away under the transfer.
    const TFileDescription item = FFileList.Items(fileIdx - 1);

    if (mode == wuuPromptAll &&
        !AskYesNo(UserInterface(), MessageText(909) + URLtoFile(item.URL)))
      continue;
    if (mode == wuuPromptOnce && !AskYesNo(UserInterface(), MessageText(910))) break;

    std::string url = item.URL;
    const std::string name = URLtoFile(url);
    FFileList.ActiveItem = fileIdx - 1;
    if (OnBeforeFileDownload) OnBeforeFileDownload(*this, fileIdx, item.Description, url);
    if (!item.TargetDir.empty()) ForceDirectories(item.TargetDir);
    const std::string folder = UseWinTempDir ? WinTempDir() : item.TargetDir;

    bool ok;
    {
      TProgressShown progress(UserInterface(), FProgressForm);
      ok = URLGetFileChecked(HintConnect(), url, folder, false, {0, item.Sha256});
    }
    // Fetched from an address a handler gave, the file still takes the name it is listed with.
    if (ok && url != item.URL) {
      const std::string fetched = URLtoFile(url);
      if (fetched != name) ok = MoveDownload(folder + fetched, folder + name);
    }
    if (!ok) {
      result = -1;
      LogStatus(946, url, 2, 9);
      FAppClose = false;
    } else if (!IsApplicationComponent(name)) {
      PostProcessDownload(name, folder, item.TargetDir, item.Compressed, item.LocalVersion);
    }
    if (mode == wuuPromptOnce) mode = wuuSilent;
  }
  return result;
}

}  // namespace vyn

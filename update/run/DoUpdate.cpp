#include <stdexcept>

#include "update/VudIvazoz.h"
#include "update/run/RunSteps.h"

namespace vyn {

namespace {

// The download progress window lives for the downloads of one run, also when they throw.
class TRunProgressWindow {
public:
  TRunProgressWindow(bool show, bool& progressForm, IVudUserInterface& ui)
      : FShown(show), FProgressForm(progressForm), FUi(ui) {
    if (FShown) FProgressForm = true;
  }
  ~TRunProgressWindow() {
    if (FShown && FProgressForm) {
      FUi.ProgressHide();
      FProgressForm = false;
    }
  }
  TRunProgressWindow(const TRunProgressWindow&) = delete;
  TRunProgressWindow& operator=(const TRunProgressWindow&) = delete;

private:
  bool FShown;
  bool& FProgressForm;
  IVudUserInterface& FUi;
};

}  // namespace

void TVudIvazoz::DoUpdate(bool InitPath) {
  FCancelled = false;
  if (InitPath) ChangeToExecutableDir();
  LogStatus(968, FThreaded ? "Threaded update" : "Non threaded update", 0, 0);
  LogStatus(966, GetOSVersion(), 0, 0);
  LogStatus(967, GetIEVersion(), 0, 0);
  LogStatus(969, GetIDE(), 0, 0);
  LogStatus(970, GetInstalledIDEs(), 0, 0);
  FAppCompsIncluded = false;
  FFTPDirSet = false;
  FControlFileName.clear();
  LogStatus(963, Version(), 0, 0);

  if (StartConnection() != wrOK) return;
  WithConnectionClosedOnThrow(*this, [this] { RunConnected(); });
}

void TVudIvazoz::RunConnected() {
  if (UpdateType == ftpUpdate) {
    if (Host.empty()) throw std::runtime_error("No host specified");
    if (FTPConnect() == -1) Error();
  }

  const auto stop = [this] { StopConnection(); };
  if (!HintConnect() && UpdateType != fileUpdate) return stop();
  if (GetControlFile() != wrOK) return stop();
  if (!ForceUpdate && DoVersionCheck() == wrNoNewVersion) {
    FAppClose = false;
    return stop();
  }
  if (HandleActions() != 0) return stop();

  int refusal = 0;
  if (const auto whatsNew = GetWhatsNewStream()) refusal = ShowWhatsNew(*whatsNew);
  // The licence is fetched even after a refused what's new, but not shown.
  if (const auto eula = GetEULAStream(); eula && refusal == 0) refusal = ShowEULA(*eula);
  if (refusal != 0) {
    FAppClose = false;
    return stop();
  }
  if (GetFileDetails() <= 0) {
    FAppClose = false;
    return stop();
  }

  int result = ProcessFileDetails();
  if (result == 0) {
    {
      const TRunProgressWindow progress(ShowDownloadProgress, FProgressForm, UserInterface());
      result = GetFileUpdates();
    }
    UpdateActions();
  }
  StopConnection();
  if (result == 0 && !FCancelled) DoSuccess();
  if (AppNeedsRestart() && !FThreaded) DoRestart();
}

}  // namespace vyn

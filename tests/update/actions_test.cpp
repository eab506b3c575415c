// The control file's actions, the what's-new and licence texts and the actions after the
// download, against a real local HTTP server and stand-in programs that record their arguments.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "EngineProbe.h"
#include "ScriptedUserInterface.h"
#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "platform/Folders.h"
#include "update/actions/StringList.h"

namespace vyn {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::ReadFileText;
using test::WriteFileText;

// Opens the run state that the actions read and write.
class TActionsEngine : public test::TEngineProbe {
public:
  void SetAppClose(bool close) { FAppClose = close; }
  void SetNewRelease(TDateTime date) {
    FSaveUpdate = true;
    FNewVersionDate = date;
  }
  void ExtractPatcher() override { ++PatcherExtractions; }
  int PatcherExtractions = 0;
};

// Records the captions of the text dialogs, which the scripted interface leaves out.
class TCaptionRecorder : public test::TScriptedUserInterface {
public:
  bool ShowWhatsNewDialog(const std::string& caption, const std::string& text, bool richText,
                          const std::string& okCaption, const std::string& cancelCaption) override {
    Buttons = okCaption + "|" + cancelCaption;
    return TScriptedUserInterface::ShowWhatsNewDialog(caption, text, richText, okCaption,
                                                      cancelCaption);
  }
  bool ShowEULADialog(const std::string& caption, const std::string& text, bool richText,
                      const std::string& okCaption, const std::string& acceptCaption,
                      const std::string& refuseCaption) override {
    Buttons = okCaption + "|" + acceptCaption + "|" + refuseCaption;
    return TScriptedUserInterface::ShowEULADialog(caption, text, richText, okCaption,
                                                  acceptCaption, refuseCaption);
  }
  std::string Buttons;
};

class ActionsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FFolder = test::TestRoot() + "/actions";
    std::filesystem::create_directories(FFolder + "/bin");
    FEngine.SetUserInterface(&FUi);
    // The desktop opener is a stand-in that records what it was asked to open.
    WriteRecorder(FFolder + "/bin/xdg-open");
    FPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (FFolder + "/bin:" + FPath).c_str(), 1);
  }

  void TearDown() override {
    setenv("PATH", FPath.c_str(), 1);
    FEngine.StopConnection();
  }

  void WriteControl(const std::string& text) {
    WriteFileText(FFolder + "/control.inf", text);
    FEngine.UseControlFile(FFolder + "/control.inf");
  }

  // A program that writes each of its arguments on a line of `path`.args.
  static void WriteRecorder(const std::string& path) {
    WriteFileText(path,
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.$$\" && mv \"$0.$$\" \"$0.args\"\n");
    chmod(path.c_str(), 0755);
  }

  // The arguments the recorder at `path` was started with; none when it was not started.
  static std::optional<std::vector<std::string>> RecordedArguments(
      const std::string& path, std::chrono::milliseconds wait = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!FileExists(path + ".args")) {
      if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
      std::this_thread::sleep_for(10ms);
    }
    return LoadStringList(ReadFileText(path + ".args"));
  }

  // What the desktop opener received.
  std::optional<std::vector<std::string>> Opened(std::chrono::milliseconds wait = 5s) const {
    return RecordedArguments(FFolder + "/bin/xdg-open", wait);
  }

  void Connect() {
    FServer.Start();
    FEngine.URL = FServer.Url("/control.inf");
    ASSERT_EQ(FEngine.StartConnection(), wrOK);
  }

  test::TIsolatedEnvironment FEnvironment;
  TActionsEngine FEngine;
  TCaptionRecorder FUi;
  test::TTestHttpServer FServer;
  std::string FFolder;
  std::string FPath;
};

using Lines = std::vector<std::string>;

// ---- Before the download ----

TEST_F(ActionsTest, ActionsRunInOrderAndTheQuestionComesLast) {
  const std::string program = FEngine.WinTempDir() + "before.sh";
  WriteRecorder(program);
  WriteControl(
      "[action]\nmsg=first\\nsecond\nhtmldlg={APP}\\page.html\n"
      "runbefore={TMP}\\before.sh\nrunbeforeparam=one \"two words\"\n"
      "showURL=http://127.0.0.1/news\nquery=Go on?\n"
      "[custom]\nprocessmsg=hello\nprocessparam=42\n");
  std::vector<std::string> order;
  FEngine.OnSetAppParamBefore = [&](TVudIvazoz&, std::string& params) {
    order.push_back("before:" + params);
    params += " added";
  };
  FEngine.OnCustomProcess = [&](TVudIvazoz&, const std::string& msg, const std::string& param) {
    order.push_back("custom:" + msg + ":" + param);
  };

  EXPECT_EQ(FEngine.HandleActions(), 0);

  EXPECT_EQ(FUi.Calls, (Lines{"MessageBox:first\rsecond", "HTMLDialog:" + ExeDir() + "\\page.html",
                              "MessageBox:Go on?"}));
  EXPECT_EQ(order, (Lines{"before:one \"two words\"", "custom:hello:42"}));
  EXPECT_EQ(FEngine.MessageIds(), (std::vector<int>{934, 935, 942, 936}));
  EXPECT_EQ(FEngine.FindMessage(934)->Status, 3);
  EXPECT_EQ(FEngine.FindMessage(935)->Status, 7);
  EXPECT_EQ(FEngine.FindMessage(942)->Status, 3);
  EXPECT_EQ(FEngine.FindMessage(936)->Status, 3);
  EXPECT_EQ(RecordedArguments(program), (Lines{"one", "two words", "added"}));
  EXPECT_EQ(Opened(), (Lines{"http://127.0.0.1/news"}));
}

TEST_F(ActionsTest, QuestionAnsweredNoStopsAfterTheProgramStarted) {
  const std::string program = FFolder + "/before.sh";
  WriteRecorder(program);
  WriteControl("[action]\nrunbefore=" + program + "\nrunbeforeparam=x\nquery=Update now?\n");
  for (TMessageResult answer : {TMessageResult::mrNo, TMessageResult::mrCancel}) {
    FEngine.SetAppClose(true);
    FUi.MessageBoxAnswers = {answer};
    EXPECT_EQ(FEngine.HandleActions(), -1);
    EXPECT_FALSE(FEngine.AppClose());
    EXPECT_EQ(RecordedArguments(program), (Lines{"x"}));
    std::filesystem::remove(program + ".args");
  }
  FEngine.SetAppClose(true);
  FUi.MessageBoxAnswers = {TMessageResult::mrYes};
  EXPECT_EQ(FEngine.HandleActions(), 0);
  EXPECT_TRUE(FEngine.AppClose());
  EXPECT_EQ(RecordedArguments(program), (Lines{"x"}));
}

TEST_F(ActionsTest, CancelledStopsBothActionSteps) {
  WriteControl("[action]\nupdateURL=http://127.0.0.1/next.inf\n");
  FEngine.Cancel();
  EXPECT_EQ(FEngine.HandleActions(), -1);
  EXPECT_EQ(FEngine.UpdateActions(), -1);
  EXPECT_TRUE(FEngine.Messages.empty());
}

TEST_F(ActionsTest, ParametersWithoutProgramRaiseTheHandlerOnly) {
  WriteControl("[action]\nrunbefore=\nrunbeforeparam=" + FFolder + "/bin/xdg-open\n");
  std::string seen;
  FEngine.OnSetAppParamBefore = [&](TVudIvazoz&, std::string& params) { seen = params; };
  EXPECT_EQ(FEngine.HandleActions(), 0);
  EXPECT_EQ(seen, FFolder + "/bin/xdg-open");
  EXPECT_FALSE(Opened(300ms));
  EXPECT_TRUE(FEngine.Messages.empty());
}

// No word of the control file ever reaches a shell: shell syntax stays plain text.
TEST_F(ActionsTest, ShellSyntaxIsNeverExecuted) {
  const std::string program = FFolder + "/before.sh";
  WriteRecorder(program);
  const std::string trap = FFolder + "/pwned";
  const std::string params = "a;touch " + trap + "1 \"$(touch " + trap + "2)\" `touch " + trap +
                             "3` |touch " + trap + "4";
  WriteControl("[action]\nrunbefore=" + program + "\nrunbeforeparam=" + params + "\n");
  EXPECT_EQ(FEngine.HandleActions(), 0);
  EXPECT_EQ(RecordedArguments(program),
            (Lines{"a;touch", trap + "1", "$(touch " + trap + "2)", "`touch", trap + "3`",
                   "|touch", trap + "4"}));

  WriteControl("[action]\nrunbefore=" + program + ";touch " + trap + "5\n");
  std::filesystem::remove(program + ".args");
  EXPECT_EQ(FEngine.HandleActions(), 0);
  EXPECT_FALSE(RecordedArguments(program, 300ms));
  for (int i = 1; i <= 5; ++i) EXPECT_FALSE(FileExists(trap + std::to_string(i))) << i;
}

TEST_F(ActionsTest, ShowURLEmbedsProxyCredentialsAndRefusesOptions) {
  FEngine.ProxyUserID = "user";
  FEngine.ProxyPassword = "pw";
  struct TCase {
    std::string Address;
    std::optional<Lines> Opened;
  };
  const TCase cases[] = {
      {"http://example.test/page", Lines{"http://user:pw@example.test/page"}},
      {"https://example.test/page", Lines{"https://example.test/page"}},
      {"--help", std::nullopt},
  };
  for (const TCase& c : cases) {
    WriteControl("[action]\nshowURL=" + c.Address + "\n");
    std::filesystem::remove(FFolder + "/bin/xdg-open.args");
    EXPECT_EQ(FEngine.HandleActions(), 0);
    EXPECT_EQ(Opened(c.Opened ? 5000ms : 300ms), c.Opened) << c.Address;
  }
}

// ---- What's new and licence texts ----

TEST_F(ActionsTest, WhatsNewComesFromTheLanguageSection) {
  FServer.Serve("/fr.txt", "\xEF\xBB\xBFNouveaut\xC3\xA9s\r\nligne 2\r\n");
  FServer.Serve("/en.txt", "News\n");
  FServer.Serve("/other.txt", "Autre\rtexte");
  Connect();
  WriteControl("[whatsnew]\nfile=" + FServer.Url("/en.txt") + "\n[whatsnewFR]\nfile=" +
               FServer.Url("/fr.txt") + "\n");
  FEngine.LanguageID = "FR";
  std::vector<std::string> announced;
  FEngine.OnBeforeFileDownload = [&](TVudIvazoz&, int index, const std::string& description,
                                     std::string& url) {
    announced.push_back(std::to_string(index) + ":" + description + ":" + url);
  };

  EXPECT_EQ(FEngine.GetWhatsNew(), (Lines{"Nouveaut\xC3\xA9s", "ligne 2"}));
  EXPECT_EQ(announced, (Lines{"0:" + FServer.Url("/fr.txt") + ":" + FServer.Url("/fr.txt")}));
  EXPECT_EQ(FEngine.FindMessage(937)->Status, 12);
  EXPECT_FALSE(FileExists(FEngine.WinTempDir() + "fr.txt"));

  // The handler may send the fetch elsewhere.
  FEngine.OnBeforeFileDownload = [&](TVudIvazoz&, int, const std::string& description,
                                     std::string& url) {
    url = FServer.Url("/other.txt");
    EXPECT_EQ(description, FServer.Url("/fr.txt"));
  };
  EXPECT_EQ(FEngine.GetWhatsNewStream(), std::optional<std::string>("Autre\rtexte"));
  EXPECT_FALSE(FileExists(FEngine.WinTempDir() + "other.txt"));
}

TEST_F(ActionsTest, LicenceStreamKeepsItsBytes) {
  const std::string licence = "{\\rtf1 \\b Terms\\b0\\par}\r\n\0\xFF"s;
  FServer.Serve("/eula.rtf", licence);
  Connect();
  WriteControl("[eula]\nfile=" + FServer.Url("/eula.rtf") + "\n");
  bool announced = false;
  FEngine.OnBeforeFileDownload = [&](TVudIvazoz&, int, const std::string&, std::string&) {
    announced = true;
  };
  EXPECT_EQ(FEngine.GetEULAStream(), std::optional<std::string>(licence));
  EXPECT_FALSE(announced);
  EXPECT_EQ(FEngine.FindMessage(939)->Status, 13);
  EXPECT_FALSE(FEngine.HasMessage(937));
}

TEST_F(ActionsTest, TextsThatCannotBeHadAreNone) {
  Connect();
  WriteControl("[whatsnew]\nfile=" + FServer.Url("/missing.txt") + "\n[eula]\nfile=" +
               FServer.Url("/") + "\n");
  EXPECT_FALSE(FEngine.GetWhatsNew());
  EXPECT_FALSE(FEngine.GetWhatsNewStream());
  EXPECT_FALSE(FEngine.GetEULA());
  EXPECT_FALSE(FEngine.GetEULAStream());

  // A section for another language does not stand in for the missing one.
  FEngine.Messages.clear();
  FEngine.LanguageID = "DE";
  EXPECT_FALSE(FEngine.GetWhatsNew());
  EXPECT_FALSE(FEngine.GetEULAStream());
  EXPECT_TRUE(FEngine.Messages.empty());
}

TEST(StringListTest, LinesFromBytesAndBack) {
  struct TCase {
    std::string Bytes;
    Lines Expected;
  };
  const TCase cases[] = {
      {"", {}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"a\n\nb\n\n", {"a", "", "b", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\xEF\xBB\xBFtext", {"text"}},
      // Not UTF-8: the Windows Western code page.
      {"caf\xE9 \x80", {"caf\xC3\xA9 \xE2\x82\xAC"}},
  };
  for (const TCase& c : cases) EXPECT_EQ(LoadStringList(c.Bytes), c.Expected) << c.Bytes;
  EXPECT_EQ(SaveStringList({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(LoadStringList(SaveStringList({"x", "y"})), (Lines{"x", "y"}));
}

constexpr char KRich[] = "{\\rtf1\\ansi {\\b New}\\par}";

TEST_F(ActionsTest, WhatsNewHandlerDecidesPlainTextAlone) {
  WriteControl("");
  for (int res : {1, 0, 2}) {
    Lines seen;
    FEngine.OnDownloadedWhatsNew = [&](TVudIvazoz&, std::vector<std::string>& text, int& r) {
      EXPECT_EQ(r, 1);
      seen = text;
      r = res;
    };
    EXPECT_EQ(FEngine.ShowWhatsNew("one\r\ntw\xF6"), res == 1 ? 0 : -1) << res;
    EXPECT_EQ(seen, (Lines{"one", "tw\xC3\xB6"}));
  }
  EXPECT_EQ(FUi.CountCalls("WhatsNew"), 0);
  EXPECT_FALSE(FEngine.HasMessage(938));
}

TEST_F(ActionsTest, RichWhatsNewIsShownWithoutTheHandler) {
  WriteControl("[whatsnew]\ncaption=Nouveau\nokbtn=Oui\ncancelbtn=Non\n");
  bool called = false;
  FEngine.OnDownloadedWhatsNew = [&](TVudIvazoz&, std::vector<std::string>&, int&) {
    called = true;
  };
  FUi.WhatsNewAnswers = {false};
  EXPECT_EQ(FEngine.ShowWhatsNew(KRich), -1);
  EXPECT_FALSE(called);
  EXPECT_EQ(FUi.Calls, (Lines{std::string("WhatsNew:Nouveau:rich:") + KRich}));
  EXPECT_EQ(FUi.Buttons, "Oui|Non");
  EXPECT_EQ(FEngine.FindMessage(938)->Status, 14);
}

TEST_F(ActionsTest, WhatsNewDialogDefaults) {
  WriteControl("[whatsnew]\ncaption=\n");
  EXPECT_EQ(FEngine.ShowWhatsNew("\xEF\xBB\xBFline 1\rline 2\r\n"), 0);
  EXPECT_EQ(FUi.Calls, (Lines{"WhatsNew:What's new:plain:line 1\nline 2"}));
  EXPECT_EQ(FUi.Buttons, "Ok|Cancel");
  EXPECT_TRUE(FEngine.Messages.empty());
}

TEST_F(ActionsTest, LicenceNeedsHandlerAndDialogForPlainText) {
  WriteControl("");
  struct TCase {
    std::optional<int> HandlerRes;  // none: the handler leaves Res alone
    bool DialogAccepts;
    int Expected;
  };
  const TCase cases[] = {
      {0, true, -1}, {1, false, -1}, {1, true, 0}, {std::nullopt, true, -1},
  };
  for (const TCase& c : cases) {
    FUi.Calls.clear();
    FUi.EULAAnswers = {c.DialogAccepts};
    FEngine.OnDownloadedEULA = [&](TVudIvazoz&, std::vector<std::string>& text, int& res) {
      EXPECT_EQ(text, (Lines{"Terms"}));
      if (c.HandlerRes) res = *c.HandlerRes;
    };
    EXPECT_EQ(FEngine.ShowEULA("Terms\n"), c.Expected);
    EXPECT_EQ(FUi.Calls, (Lines{"EULA::plain:Terms"}));
  }
  EXPECT_EQ(FUi.Buttons, "Ok|I accept|I do not accept");
  EXPECT_TRUE(FEngine.Messages.empty());  // a refused licence is not logged
}

TEST_F(ActionsTest, RichLicenceWithHandlerShowsNoDialog) {
  WriteControl("[eula]\ncaption=Licence\nokbtn=Fermer\naccept=J'accepte\nnotaccept=Je refuse\n");
  for (int res : {1, 0}) {
    FEngine.OnDownloadedEULA = [&](TVudIvazoz&, std::vector<std::string>&, int& r) { r = res; };
    EXPECT_EQ(FEngine.ShowEULA(KRich), res == 1 ? 0 : -1);
  }
  EXPECT_EQ(FUi.CountCalls("EULA"), 0);

  FEngine.OnDownloadedEULA = nullptr;
  FUi.EULAAnswers = {false};
  EXPECT_EQ(FEngine.ShowEULA(KRich), -1);
  EXPECT_EQ(FUi.Calls, (Lines{std::string("EULA:Licence:rich:") + KRich}));
  EXPECT_EQ(FUi.Buttons, "Fermer|J'accepte|Je refuse");
}

// ---- After the download ----

class UpdateActionsTest : public ActionsTest {
protected:
  void SetUp() override {
    ActionsTest::SetUp();
    FServer.Server().Post("/report", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> guard(FLock);
      FPosted = req.body;
      res.set_content("thanks", "text/plain");
    });
    FServer.Start();
    FEngine.PostUpdateInfo.Enabled = true;
    FEngine.PostUpdateInfo.Server = "127.0.0.1:" + std::to_string(FServer.Port());
    FEngine.PostUpdateInfo.Action = "/report";
    FEngine.PostUpdateInfo.Data = "id=7";
    FEngine.LastURLEntry = {true, "Software\\Vendor", "Update", lurLOCALUSER};
    FEngine.SetNewRelease(FRelease);
    FAfter = FFolder + "/after.sh";
    WriteRecorder(FAfter);
    WriteControl("[action]\nupdateURL=http://127.0.0.1/next.inf\nrunafter=" + FAfter +
                 "\nrunafterparam=--done\n");
  }

  std::string Posted() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FPosted;
  }

  const TDateTime FRelease = EncodeDateTime(2024, 5, 6, 7, 8);
  std::string FAfter;
  mutable std::mutex FLock;
  std::string FPosted;
};

TEST_F(UpdateActionsTest, VetoedPostGoesOnWithTheRest) {
  FEngine.OnBeforePost = [](TVudIvazoz&, bool& allow) {
    EXPECT_TRUE(allow);
    allow = false;
  };
  bool resultAsked = false;
  FEngine.OnProcessPostResult = [&](TVudIvazoz&, bool&) { resultAsked = true; };
  std::string after;
  FEngine.OnSetAppParamAfter = [&](TVudIvazoz&, std::string& params) { after = params; };

  EXPECT_EQ(FEngine.UpdateActions(), 0);
  EXPECT_EQ(Posted(), "");
  EXPECT_FALSE(resultAsked);
  EXPECT_NEAR(FEngine.UpdateDateGet(), FRelease, 1.0 / 86400);
  EXPECT_EQ(FEngine.URLGet(), "http://127.0.0.1/next.inf");
  EXPECT_EQ(after, "--done");
  EXPECT_EQ(RecordedArguments(FAfter), (Lines{"--done"}));
  EXPECT_EQ(FEngine.MessageIds(), (std::vector<int>{941, 948}));
  EXPECT_EQ(FEngine.FindMessage(941)->Status, 3);
  EXPECT_EQ(FEngine.FindMessage(948)->Status, 3);
}

TEST_F(UpdateActionsTest, RefusedPostResultStopsEverythingAfter) {
  FEngine.OnProcessPostResult = [&](TVudIvazoz& sender, bool& allow) {
    EXPECT_EQ(sender.PostUpdateInfo.PostResult, "thanks");
    allow = false;
  };
  EXPECT_EQ(FEngine.UpdateActions(), -1);
  EXPECT_EQ(Posted(), "id=7");
  EXPECT_EQ(FEngine.URLGet(), "");
  EXPECT_NEAR(FEngine.UpdateDateGet(), KFallbackDate, 1e-9);
  EXPECT_FALSE(RecordedArguments(FAfter, 300ms));
  EXPECT_TRUE(FEngine.Messages.empty());
}

TEST_F(UpdateActionsTest, PatcherOnlyWithUtilityAndApplyPatch) {
  TVudIvazozUtility utility;
  FEngine.PostUpdateInfo.Enabled = false;
  struct TCase {
    TVudIvazozUtility* Utility;
    bool ApplyPatch;
    int Extractions;
  };
  for (const TCase& c : {TCase{nullptr, true, 0}, TCase{&utility, false, 0},
                         TCase{&utility, true, 1}}) {
    FEngine.Utility = c.Utility;
    FEngine.ApplyPatch = c.ApplyPatch;
    FEngine.PatcherExtractions = 0;
    EXPECT_EQ(FEngine.UpdateActions(), 0);
    EXPECT_EQ(FEngine.PatcherExtractions, c.Extractions);
    EXPECT_EQ(RecordedArguments(FAfter), (Lines{"--done"}));
    std::filesystem::remove(FAfter + ".args");
  }
  EXPECT_EQ(Posted(), "");
}

TEST_F(UpdateActionsTest, DocumentToRunAfterIsOpenedWithTheDesktop) {
  FEngine.PostUpdateInfo.Enabled = false;
  WriteFileText(FFolder + "/readme.txt", "read me");
  WriteControl("[action]\nrunafter=" + FFolder + "\\readme.txt\nrunafterparam=ignored\n");
  EXPECT_EQ(FEngine.UpdateActions(), 0);
  EXPECT_EQ(Opened(), (Lines{FFolder + "/readme.txt"}));
}

}  // namespace
}  // namespace vyn

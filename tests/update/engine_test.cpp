// The engine's data model: defaults, result names, cancellation and system errors.

#include <gtest/gtest.h>

#include "EngineProbe.h"
#include "ScriptedUserInterface.h"
#include "update/log/SystemError.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

TEST(EngineModelTest, Defaults) {
  TVudIvazoz e;
  EXPECT_EQ(e.Agent, "TVudIvazoz");
  EXPECT_EQ(e.Authenticate, waNever);
  EXPECT_TRUE(e.AutoRestart);
  EXPECT_EQ(e.CertCheck, ccEnable);
  EXPECT_EQ(e.DateFormat, "dd/mm/yyyy");
  EXPECT_EQ(e.DateSeparator, '/');
  EXPECT_EQ(e.TimeFormat, "hh:nn");
  EXPECT_EQ(e.TimeSeparator, ':');
  EXPECT_EQ(e.LogFileName(), "WUPDATE.LOG");
  EXPECT_EQ(e.Port, 21);
  EXPECT_EQ(e.Signature, "VudIvazoz");
  EXPECT_EQ(e.TempDirectory, ".");
  EXPECT_EQ(e.UpdateType, httpUpdate);
  EXPECT_EQ(e.UpdateConnect, wucNoConnect);
  EXPECT_EQ(e.UpdateUpdate, wuuPromptOnce);
  EXPECT_EQ(e.VersionCheck, vcUpdateOnly);
  EXPECT_TRUE(e.UseWinTempDir);
  EXPECT_FALSE(e.Logging || e.SignatureCheck || e.UseCRC32 || e.ForceUpdate || e.FTPPassive);
  EXPECT_EQ(e.TimeOut, 0);
  EXPECT_EQ(e.ReceiveTimeOut, 0);
  EXPECT_FALSE(e.LastURLEntry.Save);
  EXPECT_EQ(e.LastURLEntry.RegRoot, lurLOCALUSER);
  EXPECT_FALSE(e.PostUpdateInfo.Enabled);
  EXPECT_EQ(e.Version(), "2.3.0.1");
  EXPECT_FALSE(e.InProgress());
  EXPECT_FALSE(e.Cancelled());
  EXPECT_FALSE(e.AppNeedsRestart());
  EXPECT_TRUE(e.UACEnabled());
  EXPECT_EQ(e.HintConnect(), nullptr);
  EXPECT_EQ(e.ControlFileName(), "");
}

TEST(EngineModelTest, ResultNames) {
  EXPECT_STREQ(ResultName(wrOK), "wrOK");
  EXPECT_STREQ(ResultName(6), "wrNewByDate");
  EXPECT_STREQ(ResultName(wrCustomValidated), "wrCustomValidated");
  EXPECT_STREQ(ResultName(13), "");
  EXPECT_STREQ(ResultName(-1), "");
}

TEST(EngineModelTest, CancelSuccessAndUtility) {
  TVudIvazoz e;
  e.Cancel();
  EXPECT_TRUE(e.Cancelled());
  int successes = 0;
  e.OnSuccess = [&](TVudIvazoz&) { ++successes; };
  e.DoSuccess();
  EXPECT_EQ(successes, 1);

  TVudIvazozUtility utility, other;
  e.Utility = &utility;
  e.Notification(&other);
  EXPECT_EQ(e.Utility, &utility);
  e.Notification(&utility);
  EXPECT_EQ(e.Utility, nullptr);
}

TEST(EngineErrorTest, ReportsTheThreadsLastError) {
  test::TScriptedUserInterface ui;
  test::TEngineProbe e;
  e.SetUserInterface(&ui);
  SetLastSystemError(0, "");
  e.Error();
  EXPECT_TRUE(e.Messages.empty());

  SetLastSystemError(7, "Couldn't connect to server");
  e.Error();
  ASSERT_EQ(e.Messages.size(), 1u);
  EXPECT_EQ(e.Messages[0].Id, 976);
  EXPECT_EQ(e.Messages[0].Text, "System error : Couldn't connect to server");
  EXPECT_EQ(e.Messages[0].Status, 1);
  EXPECT_EQ(e.Messages[0].Error, 7);
  // No OnStatus handler and not silent: the user sees the system's text too.
  EXPECT_EQ(ui.Calls, std::vector<std::string>{"MessageBox:Couldn't connect to server"});

  e.UpdateUpdate = wuuSilent;
  e.Error();
  EXPECT_EQ(ui.CountCalls("MessageBox:"), 1);
  e.UpdateUpdate = wuuPromptOnce;
  e.OnStatus = [](TVudIvazoz&, const std::string&, int, int) {};
  e.Error();
  EXPECT_EQ(ui.CountCalls("MessageBox:"), 1);
  SetLastSystemError(0, "");
}

}  // namespace
}  // namespace vyn

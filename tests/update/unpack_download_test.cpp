// Unpacking right after a transfer: LZ files expanded, cabinets extracted beside them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestHttpServer.h"
#include "transfer_fixture.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::WriteFileText;

class UnpackDownload : public test::TTransferTest {
protected:
  void SetUp() override {
    TTransferTest::SetUp();
    FSource = test::TestRoot() + "/src/";
    fs::create_directories(FSource + "pack/docs");
    WriteFileText(FSource + "pack/docs/a.txt", "alpha");
    WriteFileText(FSource + "pack/b.txt", "beta");
    ASSERT_EQ(Run("cd '" + FSource + "pack' && gcab -c -z ../pack.cab docs/a.txt b.txt"), 0);
    // mscompress stores no name character: the header gets the 't' of "notes.txt".
    WriteFileText(FSource + "notes.txt", "hello, hello, hello");
    ASSERT_EQ(Run("cd '" + FSource + "' && mscompress notes.txt && mv notes.txt_ notes.tx_"), 0);
    std::string szdd = ReadFileText(FSource + "notes.tx_");
    ASSERT_GT(szdd.size(), 9u);
    szdd[9] = 't';
    WriteFileText(FSource + "notes.tx_", szdd);
    fs::remove(FSource + "notes.txt");
  }
  static int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }
  std::string FSource;
};

TEST_F(UnpackDownload, AFetchedCabinetIsExtractedAndAnLzFileExpanded) {
  test::TTestHttpServer server;
  server.Serve("/d/pack.cab", ReadFileText(FSource + "pack.cab"));
  server.Serve("/d/notes.tx_", ReadFileText(FSource + "notes.tx_"));
  server.Serve("/d/broken.cab", ReadFileText(FSource + "pack.cab").substr(0, 60));
  server.Start();
  FEngine.URL = server.Url("/control.ini");
  ASSERT_EQ(FEngine.StartConnection(), wrOK);
  const auto get = [&](const std::string& path, bool uncompress) {
    return FEngine.URLGetFile(FEngine.HintConnect(), server.Url(path), FTarget, uncompress);
  };

  EXPECT_TRUE(get("/d/pack.cab", false));  // not asked: left as it came
  EXPECT_FALSE(fs::exists(FTarget + "b.txt"));
  EXPECT_TRUE(get("/d/pack.cab", true));
  EXPECT_EQ(ReadFileText(FTarget + "docs/a.txt"), "alpha");
  EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "beta");
  EXPECT_FALSE(fs::exists(FTarget + "pack.cab"));
  EXPECT_FALSE(FEngine.HasMessage(965));

  EXPECT_TRUE(get("/d/notes.tx_", true));
  EXPECT_EQ(ReadFileText(FTarget + "notes.txt"), "hello, hello, hello");
  EXPECT_FALSE(fs::exists(FTarget + "notes.tx_"));

  // A cabinet that does not extract keeps its data.
  EXPECT_TRUE(get("/d/broken.cab", true));
  ExpectMessage(947, "Error decompressing CAB file : " + FTarget + "broken.cab", 8, 0);
  EXPECT_TRUE(fs::exists(FTarget + "broken.cab"));

  FEngine.KeepIntermediateFiles = true;
  fs::remove_all(FTarget + "docs");
  EXPECT_TRUE(get("/d/pack.cab", true));
  EXPECT_TRUE(fs::exists(FTarget + "docs/a.txt"));
  EXPECT_TRUE(fs::exists(FTarget + "pack.cab"));
  FEngine.StopConnection();
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(UnpackDownload, ACopiedOrHandledCabinetIsAnnounced) {
  FEngine.UpdateType = fileUpdate;
  fs::rename(FSource + "pack.cab", FSource + "pack.CAB");
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "pack.CAB", FTarget, true));
  ExpectMessage(965, "Extract CAB file : " + FTarget + "pack.CAB", 3, 0);
  EXPECT_EQ(ReadFileText(FTarget + "docs/a.txt"), "alpha");
  EXPECT_FALSE(fs::exists(FTarget + "pack.CAB"));

  // A handler that fetched the file itself may ask for it to be unpacked.
  FEngine.OnBeforeUrlToFile = [&](TInternetSession*, const std::string&, const std::string& tgt,
                                  bool& uncompress, bool& handled, bool& success) {
    fs::copy_file(FSource + "notes.tx_", tgt + "notes.tx_");
    uncompress = true;
    handled = true;
    success = true;
  };
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, "http://h/notes.tx_", FTarget, false));
  EXPECT_EQ(ReadFileText(FTarget + "notes.txt"), "hello, hello, hello");
}

}  // namespace
}  // namespace vyn

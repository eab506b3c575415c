// The publisher's side of vynupdate: release writes a control file the engine takes, verify
// checks its signature, --public-key hands the key to the engine.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "MinisignTool.h"
#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "VynupdateProcess.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::RunVynupdate;
using test::TRun;
using test::WriteFileText;

// What `sha256sum` says of a file.
std::string Sha256Sum(const std::string& path) {
  FILE* pipe = popen(("sha256sum " + test::Quote(path)).c_str(), "r");
  char digest[65] = {};
  const bool read = pipe && std::fread(digest, 1, 64, pipe) == 64;
  if (pipe) pclose(pipe);
  return read ? digest : "";
}

class ReleaseTest : public ::testing::Test {
protected:
  void SetUp() override {
    ForceDirectories(FDist + "/data");
    WriteFileText(FDist + "/a.txt", "abc");
    WriteFileText(FDist + "/data/fr.dat", "donnees\n");
    fs::copy_file(VYN_VERSIONED_FIXTURE, FDist + "/prog");
    chmod((FDist + "/prog").c_str(), 0755);
  }

  TRun Release(std::vector<std::string> more) {
    std::vector<std::string> args = {"release", FDist, "--base-url", "http://example.com/rel/",
                                     "--date", "5/6/2030", "-o", FInf};
    args.insert(args.end(), more.begin(), more.end());
    return RunVynupdate(args);
  }

  test::TIsolatedEnvironment FEnvironment;
  std::string FDist = FEnvironment.Root() + "/dist";
  std::string FInf = FEnvironment.Root() + "/out/app.INF";
};

TEST_F(ReleaseTest, EveryFileWithItsFacts) {
  ForceDirectories(FEnvironment.Root() + "/out");
  fs::rename(FDist + "/prog", FDist + "/prog_NEW");  // a component that replaces prog
  const std::vector<std::string> component = {"--app", "prog_NEW", "--appcomps", "prog_new"};
  const TRun run = Release(component);
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "a.txt  3 bytes\ndata/fr.dat  8 bytes\nprog_NEW  " +
                std::to_string(fs::file_size(FDist + "/prog_NEW")) + " bytes  3.1.4.1\n" + FInf +
                ": 3 files, date 05/06/2030, newversion 3.1.4.1\n");
  const TIniFile inf(FInf);
  EXPECT_EQ(inf.ReadString("update", "date", ""), "05/06/2030");
  EXPECT_EQ(inf.ReadString("update", "newversion", ""), "3.1.4.1");
  EXPECT_EQ(inf.ReadString("application", "appupdate", ""), "1");
  EXPECT_EQ(inf.ReadString("application", "appname", ""), "{APP}/prog");
  EXPECT_EQ(inf.ReadString("application", "appcomps", ""), "prog_new");
  EXPECT_EQ(inf.ReadInteger("files", "count", 0), 3);

  struct TExpected {
    std::string Path, Url, Target, Version;
    int Checksum;  // the byte sum
  } expected[] = {
      {"a.txt", "http://example.com/rel/a.txt", "{APP}", "", 293},
      {"data/fr.dat", "http://example.com/rel/data/fr.dat", "{APP}/data", "", -1 + 'd' + 'o' +
       'n' + 'n' + 'e' + 'e' + 's' + '\n'},
      {"prog_NEW", "http://example.com/rel/prog_NEW", "{APP}", "3.1.4.1", 0},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const TExpected& e = expected[i];
    SCOPED_TRACE(e.Path);
    const std::string section = "file" + std::to_string(i + 1);
    const std::string size = std::to_string(fs::file_size(FDist + "/" + e.Path));
    EXPECT_EQ(inf.ReadString(section, "url", ""), e.Url);
    EXPECT_EQ(inf.ReadString(section, "newsize", ""), size);
    EXPECT_EQ(inf.ReadString(section, "filesize", ""), size);
    if (e.Checksum != 0) {
      EXPECT_EQ(inf.ReadInteger(section, "newchecksum", 0), e.Checksum);
    }
    EXPECT_EQ(inf.ReadString(section, "newversion", ""), e.Version);
    EXPECT_EQ(inf.ValueExists(section, "newversion"), !e.Version.empty());
    EXPECT_EQ(inf.ReadString(section, "sha256", ""), Sha256Sum(FDist + "/" + e.Path));
    EXPECT_EQ(inf.ReadString(section, "targetdir", ""), e.Target);
  }

  // The same folder gives the same text; CRC-32 style sums on request ("abc" gives 0x6C8D9D41),
  // another target folder for every file.
  const std::string first = ReadFileText(FInf);
  ASSERT_EQ(Release(component).Exit, 0);
  EXPECT_EQ(ReadFileText(FInf), first);
  ASSERT_EQ(Release({"--checksum", "crc32", "--target", "{LAD}/vyn/"}).Exit, 0);
  const TIniFile crc(FInf);
  EXPECT_EQ(crc.ReadInteger("file1", "newchecksum", 0), 0x6C8D9D41);
  EXPECT_EQ(crc.ReadString("file2", "targetdir", ""), "{LAD}/vyn/data");
  EXPECT_FALSE(crc.SectionExists("application"));
  EXPECT_FALSE(crc.ValueExists("update", "newversion"));
}

TEST_F(ReleaseTest, TheControlFileInsideTheFolderIsNotListed) {
  const std::string inside = FDist + "/app.INF";
  WriteFileText(inside + ".minisig", "an old signature");
  for (int pass = 0; pass < 2; ++pass) {  // the second finds the first's file
    const TRun run = RunVynupdate(
        {"release", "dist", "--base-url", "http://h", "-o", "dist/../dist/app.INF"});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const TIniFile inf(inside);
    EXPECT_EQ(inf.ReadInteger("files", "count", 0), 3);
    EXPECT_EQ(ReadFileText(inside).find("app.INF"), std::string::npos);
    EXPECT_EQ(inf.ReadString("update", "date", "").size(), 10u);  // today
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(FDist)) left.push_back(entry.path().filename());
  EXPECT_EQ(left.size(), 5u);  // no temporary file stays behind
}

TEST_F(ReleaseTest, RefusedFolders) {
  ForceDirectories(FEnvironment.Root() + "/out");
  WriteFileText(FInf, "previous release");
  struct TCase {
    const char* Name;
    std::function<void(const std::string&)> Prepare;
    std::vector<std::string> Options;
    std::string Message;
  } cases[] = {
      {"a link to a file",
       [](const std::string& d) { fs::create_symlink(d + "/a.txt", d + "/link"); }, {},
       "/link is a symbolic link"},
      {"a link to a folder",
       [](const std::string& d) { fs::create_directory_symlink("/etc", d + "/data/etc"); }, {},
       "data/etc is a symbolic link"},
      {"a FIFO", [](const std::string& d) { mkfifo((d + "/pipe").c_str(), 0600); }, {},
       "/pipe is not a regular file"},
      {"a missing folder", [](const std::string& d) { fs::remove_all(d); }, {},
       "cannot read the folder"},
      {"an empty folder",
       [](const std::string& d) {
         fs::remove_all(d);
         fs::create_directory(d);
       },
       {}, "holds no file"},
      {"a name an address must encode",
       [](const std::string& d) { WriteFileText(d + "/two words.txt", "x"); }, {},
       "two words.txt: an address must encode this name"},
      {"one name twice", [](const std::string& d) { WriteFileText(d + "/data/A.TXT", "x"); }, {},
       "have one name"},
      {"a subfolder with braces",
       [](const std::string& d) {
         ForceDirectories(d + "/{APP}");
         WriteFileText(d + "/{APP}/x", "x");
       },
       {},
       "cannot be a target folder"},
      {"an --app that is not there", [](const std::string&) {}, {"--app", "nothere"},
       "--app nothere is no file of the release"},
      {"a component in a subfolder", [](const std::string&) {},
       {"--app", "prog", "--appcomps", "data/fr.dat"}, "--appcomps names data/fr.dat, which is no"},
      {"a component the updater would leave unused", [](const std::string&) {},
       {"--app", "prog", "--appcomps", "prog"}, "publish it as prog_NEW to replace prog"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(FDist);
    SetUp();
    c.Prepare(FDist);
    const TRun run = Release(c.Options);
    EXPECT_EQ(run.Exit, 2);
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFileText(FInf), "previous release");
  }
}

TEST(ReleaseCommandLineTest, HelpAndBadOptions) {
  const TRun help = RunVynupdate({"--help"});
  for (const char* word : {"vynupdate release DIR --base-url URL -o FILE.INF",
                           "vynupdate verify FILE.INF --public-key KEY", "--public-key KEY|FILE",
                           "--checksum crc32|sum", "--start-check SECONDS", "--recover"})
    EXPECT_NE(help.Out.find(word), std::string::npos) << word;

  test::TIsolatedEnvironment environment;
  const std::string dir = environment.Root();
  mkfifo((dir + "/fifo.pub").c_str(), 0600);
  const auto keys = test::MakeMinisignKeyPair(dir + "/keys");
  const std::string unreadable = dir + "/unreadable.pub";
  fs::copy_file(keys.PublicKeyFile, unreadable);
  chmod(unreadable.c_str(), 0);
  const bool root = geteuid() == 0;  // root reads any file
  const std::vector<std::vector<std::string>> bad = {
      {"release", dir},
      {"release", dir, "--base-url", "http://h"},
      {"release", dir, "-o", "x.inf"},
      {"release", dir, "--base-url", "http://h", "-o", "x.inf", "--date", "31/02/2030"},
      {"release", dir, "--base-url", "http://h", "-o", "x.inf", "--date", "2030-01-01"},
      {"release", dir, "--base-url", "http://h", "-o", "x.inf", "--checksum", "md5"},
      {"release", dir, "--base-url", "http://h", "-o", "x.inf", "--appcomps", "a"},
      {"release", dir, "--base-url", "http://h\nx", "-o", "x.inf"},
      {"release", dir, "--base-url", "http://h", "-o", "x.inf", "--public-key",
       keys.PublicKeyLine},
      {"check", "x", "-o", "x.inf"},
      {"verify", "x.inf"},
      {"check", "x", "--public-key", "RWQnotakey"},
      {"run", "x", "--public-key", dir + "/missing.pub"},
      {"news", "x", "--public-key", keys.SecretKeyFile},
      {"check", "x", "--public-key", dir},
      {"verify", "x.inf", "--public-key", dir + "/fifo.pub"},
      {"run", "x", "--start-check", "-1"},
  };
  for (const auto& args : bad) {
    const TRun run = RunVynupdate(args);
    EXPECT_EQ(run.Exit, 2) << args.back();
    EXPECT_NE(run.Err.find("vynupdate: "), std::string::npos);
    EXPECT_EQ(run.Out, "");
  }
  if (!root) {
    const TRun run = RunVynupdate({"check", "x", "--public-key", unreadable});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_NE(run.Err.find("Permission denied"), std::string::npos) << run.Err;
  }
}

class VerifyTest : public ::testing::Test {
protected:
  void SetUp() override { WriteFileText(FInf, "[update]\ndate=05/06/2030\n"); }

  TRun Verify(const std::string& key) { return RunVynupdate({"verify", FInf, "--public-key", key}); }

  test::TIsolatedEnvironment FEnvironment;
  test::TMinisignKeyPair FKeys = test::MakeMinisignKeyPair(FEnvironment.Root() + "/keys");
  std::string FInf = FEnvironment.Root() + "/app.INF";
};

TEST_F(VerifyTest, ValidSignaturesByLineOrFile) {
  for (const bool legacy : {false, true}) {
    SCOPED_TRACE(legacy);
    test::MinisignSign(FKeys, FInf, "timestamp:1900000000\tfile:app.INF", legacy);
    for (const std::string& key : {FKeys.PublicKeyLine, FKeys.PublicKeyFile}) {
      const TRun run = Verify(key);
      EXPECT_EQ(run.Exit, 0) << run.Err;
      EXPECT_EQ(run.Out,
                "trusted comment: timestamp:1900000000\tfile:app.INF\n"
                "Signature and trusted comment verified\n");
    }
  }
}

TEST_F(VerifyTest, EveryRefusalIsExitOne) {
  const test::TMinisignKeyPair other = test::MakeMinisignKeyPair(FEnvironment.Root() + "/other");
  const std::string signature = FInf + ".minisig";
  struct TCase {
    const char* Name;
    std::function<void()> Spoil;
    std::string Key;
    std::string Out;
  } cases[] = {
      {"a changed file", [&] { WriteFileText(FInf, "[update]\ndate=05/06/2031\n"); },
       FKeys.PublicKeyLine, "The signature does not match the file\n"},
      {"a changed trusted comment",
       [&] {
         std::string text = ReadFileText(signature);
         const size_t at = text.find("timestamp:");
         text.replace(at, 11, "timestamp:9");
         WriteFileText(signature, text);
       },
       FKeys.PublicKeyLine, "The trusted comment does not match its signature\n"},
      {"another key", [] {}, other.PublicKeyLine, "The file was signed with another key\n"},
      {"a malformed signature", [&] { WriteFileText(signature, "untrusted comment: x\nxyz\n"); },
       FKeys.PublicKeyLine, "The signature is not a minisign signature\n"},
      {"no signature", [&] { fs::remove(signature); }, FKeys.PublicKeyLine, ""},
      {"no file", [&] { fs::remove(FInf); }, FKeys.PublicKeyLine,
       "The signed file cannot be read\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetUp();
    test::MinisignSign(FKeys, FInf);
    c.Spoil();
    const TRun run = Verify(c.Key);
    EXPECT_EQ(run.Exit, 1) << run.Err;
    EXPECT_EQ(run.Out, c.Out);
    EXPECT_EQ(run.Out.find("trusted comment:"), std::string::npos);
  }
  SetUp();
  test::MinisignSign(FKeys, FInf, "file:app.INF");
  const TRun undated = Verify(FKeys.PublicKeyLine);
  EXPECT_EQ(undated.Exit, 1);
  EXPECT_EQ(undated.Out,
            "trusted comment: file:app.INF\n"
            "The trusted comment carries no timestamp: the engine refuses it\n");
  fs::remove(signature);
  EXPECT_NE(Verify(FKeys.PublicKeyLine).Err.find("cannot read " + signature), std::string::npos);
}

// The engine takes what release writes: a release folder served over HTTP updates an
// application folder, subfolders included.
TEST_F(ReleaseTest, TheEngineFetchesTheRelease) {
  test::TTestHttpServer server;
  ASSERT_TRUE(server.Server().set_mount_point("/rel", FDist));
  server.Start();
  ForceDirectories(FDist + "/my data");  // an address carries it as my%20data
  WriteFileText(FDist + "/my data/notes.txt", "notes");
  const std::string inf = FDist + "/app.INF";
  ASSERT_EQ(RunVynupdate({"release", FDist, "--base-url", server.Url("/rel"), "--date",
                          "01/01/2099", "--checksum", "crc32", "-o", inf})
                .Exit,
            0);
  const TRun check = RunVynupdate({"check", server.Url("/rel/app.INF"), "--crc32"});
  EXPECT_EQ(check.Exit, 0) << check.Err;
  EXPECT_EQ(check.LastLine(), "6 wrNewByDate");

  const std::string app = FEnvironment.Root() + "/app";
  ForceDirectories(app);
  WriteFileText(app + "/a.txt", "old");
  const TRun run = RunVynupdate({"run", server.Url("/rel/app.INF"), "--app-dir", app, "--yes"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(ReadFileText(app + "/a.txt"), "abc");
  EXPECT_EQ(ReadFileText(app + "/data/fr.dat"), "donnees\n");
  EXPECT_EQ(ReadFileText(app + "/prog"), ReadFileText(FDist + "/prog"));
  EXPECT_EQ(ReadFileText(app + "/my data/notes.txt"), "notes");
  EXPECT_NE(run.Err.find(server.Url("/rel/my%20data/notes.txt")), std::string::npos);
}

// With --appcomps the new program is left for the updater, which puts prog_NEW in place as
// prog once vynupdate has ended and starts it again.
TEST_F(ReleaseTest, ComponentsReachTheUpdater) {
  using namespace std::chrono_literals;
  test::TTestHttpServer server;
  ASSERT_TRUE(server.Server().set_mount_point("/rel", FDist));
  server.Start();
  fs::rename(FDist + "/prog", FDist + "/prog_NEW");
  const std::string inf = FDist + "/app.INF";
  ASSERT_EQ(RunVynupdate({"release", FDist, "--base-url", server.Url("/rel"), "--date",
                          "01/01/2099", "--app", "prog_NEW", "--appcomps", "prog_NEW", "-o", inf})
                .Exit,
            0);
  const std::string app = FEnvironment.Root() + "/app";
  ForceDirectories(app);
  WriteFileText(app + "/prog", "#!/bin/sh\n");
  chmod((app + "/prog").c_str(), 0755);
  const TRun run = RunVynupdate({"run", server.Url("/rel/app.INF"), "--app-dir", app, "--yes"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_NE(run.Err.find("[958] Spawn "), std::string::npos) << run.Err;
  const std::string fresh = ReadFileText(FDist + "/prog_NEW");
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (ReadFileText(app + "/prog") != fresh && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(ReadFileText(app + "/prog") == fresh);  // binary: no dump of either
  EXPECT_EQ(ReadFileText(app + "/a.txt"), "abc");  // not a component: placed by the run
}

// The publisher's whole path: release, minisign, any static server; an engine with the public
// key applies it, and refuses a release changed after it was signed.
TEST_F(ReleaseTest, ASignedReleaseIsAppliedAndATamperedOneRefused) {
  const test::TMinisignKeyPair keys = test::MakeMinisignKeyPair(FEnvironment.Root() + "/keys");
  const test::TMinisignKeyPair other = test::MakeMinisignKeyPair(FEnvironment.Root() + "/other");
  test::TTestHttpServer server;
  ASSERT_TRUE(server.Server().set_mount_point("/rel", FDist));
  server.Start();
  const std::string inf = FDist + "/app.INF";
  const std::string address = server.Url("/rel/app.INF");
  ASSERT_EQ(RunVynupdate({"release", FDist, "--base-url", server.Url("/rel"), "--date",
                          "01/01/2099", "-o", inf})
                .Exit,
            0);
  test::MinisignSign(keys, inf);
  EXPECT_EQ(RunVynupdate({"verify", inf, "--public-key", keys.PublicKeyFile}).Exit, 0);

  const TRun otherKey = RunVynupdate({"check", address, "--public-key", other.PublicKeyLine});
  EXPECT_EQ(otherKey.Exit, 2);
  EXPECT_EQ(otherKey.LastLine(), "5 wrBadSignature");
  EXPECT_NE(otherKey.Err.find("[927] Invalid signature in update control file (11, 4)"),
            std::string::npos);

  const std::string app = FEnvironment.Root() + "/app";
  ForceDirectories(app);
  WriteFileText(app + "/a.txt", "old");
  const TRun run = RunVynupdate(
      {"run", address, "--app-dir", app, "--yes", "--public-key", keys.PublicKeyFile});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(ReadFileText(app + "/a.txt"), "abc");
  EXPECT_EQ(ReadFileText(app + "/data/fr.dat"), "donnees\n");

  // A file swapped on the server after signing: its download fails, the installed copy stays.
  WriteFileText(FDist + "/a.txt", "xyz");
  WriteFileText(app + "/a.txt", "old");
  const TRun swapped = RunVynupdate(
      {"run", address, "--app-dir", app, "--yes", "--public-key", keys.PublicKeyLine});
  EXPECT_EQ(swapped.Exit, 2) << swapped.Err;
  EXPECT_NE(swapped.Err.find("[946] Cannot download update file : " + server.Url("/rel/a.txt")),
            std::string::npos)
      << swapped.Err;
  EXPECT_EQ(ReadFileText(app + "/a.txt"), "old");

  // A control file changed after signing is refused whole.
  WriteFileText(inf, ReadFileText(inf) + "[action]\nrunafter=/bin/false\n");
  const TRun edited = RunVynupdate({"check", address, "--public-key", keys.PublicKeyLine});
  EXPECT_EQ(edited.LastLine(), "5 wrBadSignature");
}

}  // namespace
}  // namespace vyn

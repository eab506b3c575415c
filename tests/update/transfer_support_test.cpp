#include <gtest/gtest.h>

#include "EngineProbe.h"
#include "update/transfer/Base64.h"

namespace vyn {
namespace {

TEST(TransferAddress, FileNameDomainAndProxyAddress) {
  test::TEngineProbe engine;
  for (const auto& [url, name] : std::vector<std::pair<std::string, std::string>>{
           {"http://host/dir/get.php?setup.exe", "setup.exe"},
           {"http://host/dir/file.zip", "file.zip"},
           {"http://host/dir/", ""},
           {"C:\\updates\\pack.cab", "pack.cab"},
           {"plain.txt", "plain.txt"}})
    EXPECT_EQ(engine.URLtoFile(url), name) << url;
  engine.OnFileNameFromURL = [](TVudIvazoz&, const std::string& url, std::string& name) {
    name = "x-" + name + (url.empty() ? "" : "!");
  };
  EXPECT_EQ(engine.URLtoFile("http://h/a.txt"), "x-a.txt!");

  EXPECT_EQ(TVudIvazoz::URLToDomain("https://me:pw@example.org:8080/path/file"),
            "me:pw@example.org:8080");
  EXPECT_EQ(TVudIvazoz::URLToDomain("example.org"), "example.org");
  EXPECT_EQ(TVudIvazoz::URLToDomain("\\\\server\\share"), "");

  EXPECT_EQ(TVudIvazoz::MakeProxyUrl("HtTp://host/f", "u", "p"), "http://u:p@host/f");
  EXPECT_EQ(TVudIvazoz::MakeProxyUrl("https://host/f", "u", "p"), "https://host/f");
  EXPECT_EQ(TVudIvazoz::MakeProxyUrl("ftp://host/f", "u", "p"), "ftp://host/f");
  EXPECT_EQ(TVudIvazoz::MakeProxyUrl("http://host/f", "", "p"), "http://host/f");
}

TEST(TransferSupport, Base64OfOneBytePerCharacter) {
  for (const auto& [text, encoded] : std::vector<std::pair<std::string, std::string>>{
           {"", ""},
           {"f", "Zg=="},
           {"fo", "Zm8="},
           {"foo", "Zm9v"},
           {"user:pw", "dXNlcjpwdw=="},
           {"\xC5\x81", "QQ=="},          // U+0141 keeps only its low byte, like "A"
           {"\xC3\xA9", "6Q=="},          // U+00E9 is one byte 0xE9
           {"\xFF", "/w=="}})             // a stray byte stands for itself
    EXPECT_EQ(Base64Encode(text), encoded) << text;
}

TEST(TransferConnection, StartAndStopOverHttpAndWithoutConnecting) {
  test::TEngineProbe engine;
  // Elsewhere the machine's interfaces decide; an address on the loopback needs none of them.
  engine.URL = "http://updates.example/control.ini";
  EXPECT_EQ(engine.Connected(), engine.ConnectionType() != -1);
  engine.URL = "http://127.0.0.1:1/control.ini";
  EXPECT_TRUE(engine.Connected());
  ASSERT_EQ(engine.StartConnection(), wrOK);
  EXPECT_EQ(engine.MessageIds(), (std::vector<int>{918, 921}));
  EXPECT_TRUE(engine.InProgress());
  EXPECT_NE(engine.HintConnect(), nullptr);
  engine.Messages.clear();
  EXPECT_EQ(engine.StopConnection(), 0);
  EXPECT_EQ(engine.MessageIds(), (std::vector<int>{949, 949}));
  EXPECT_FALSE(engine.InProgress());
  EXPECT_EQ(engine.HintConnect(), nullptr);

  test::TEngineProbe none;
  none.UpdateConnect = wucNone;
  EXPECT_EQ(none.StartConnection(), wrOK);
  EXPECT_EQ(none.MessageIds(), std::vector<int>{918});
  EXPECT_FALSE(none.InProgress());
  EXPECT_EQ(none.HintConnect(), nullptr);
  // Without a connection handle a download fails as a missing file.
  EXPECT_FALSE(none.URLGetFile(none.HintConnect(), "http://127.0.0.1:1/x", "/tmp/", false));
  EXPECT_TRUE(none.HasMessage(917));
}

}  // namespace
}  // namespace vyn

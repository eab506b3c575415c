// The registry store of the installed release's date and of the next control file's address.

#include <gtest/gtest.h>

#include "EngineProbe.h"
#include "TestEnvironment.h"
#include "platform/Registry.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

using test::TEngineProbe;

void Configure(TVudIvazoz& engine, bool save, TLastURLReg root = lurLOCALUSER) {
  engine.LastURLEntry.Key = "\\Software\\Vendor";
  engine.LastURLEntry.Section = "Update";
  engine.LastURLEntry.Save = save;
  engine.LastURLEntry.RegRoot = root;
}

std::string Stored(const std::string& name, THiveRoot root = THiveRoot::HKEY_CURRENT_USER) {
  TRegistry reg(root);
  if (!reg.OpenKey("Software\\Vendor\\Update", false) || !reg.ValueExists(name)) return "<none>";
  return reg.ReadString(name);
}

// Every case starts from an empty registry store.
class DateStoreTest : public ::testing::Test {
  test::TIsolatedEnvironment FFolder;
};

using SystemProbeTest = DateStoreTest;

TEST_F(DateStoreTest, RoundTripWithTime) {
  TEngineProbe engine;
  Configure(engine, true);
  engine.UpdateDatePut(EncodeDateTime(2017, 3, 13, 10, 15, 2));
  EXPECT_EQ(Stored("LastDate"), "13/03/2017");
  EXPECT_EQ(Stored("LastTime"), "10:15:02");
  EXPECT_NEAR(engine.UpdateDateGet(), EncodeDateTime(2017, 3, 13, 10, 15, 2), 1e-6);
  EXPECT_TRUE(engine.SaveUpdate());
}

TEST_F(DateStoreTest, MidnightWritesOnlyTheDate) {
  TVudIvazoz engine;
  Configure(engine, true);
  engine.UpdateDatePut(EncodeDateTime(2021, 12, 31));
  EXPECT_EQ(Stored("LastDate"), "31/12/2021");
  EXPECT_EQ(Stored("LastTime"), "<none>");
}

// A release without time of day after one with: the old time must not make the stored moment
// later than the release, or a second release of that day would be missed.
TEST_F(DateStoreTest, MidnightDropsAnOlderTime) {
  TVudIvazoz engine;
  Configure(engine, true);
  engine.UpdateDatePut(EncodeDateTime(2021, 12, 30, 18, 45));
  engine.UpdateDatePut(EncodeDateTime(2021, 12, 31));
  EXPECT_EQ(Stored("LastDate"), "31/12/2021");
  EXPECT_EQ(Stored("LastTime"), "<none>");
  EXPECT_NEAR(engine.UpdateDateGet(), EncodeDateTime(2021, 12, 31), 1e-6);
}

// A hive file that does not parse is never overwritten by the store, and the engine goes on as
// if nothing had been stored.
TEST_F(DateStoreTest, UnreadableStoreIsNotReported) {
  for (TLastURLReg root : {lurLOCALUSER, lurLOCALMACHINE}) {
    const std::string hive = HiveFilePath(root == lurLOCALUSER ? THiveRoot::HKEY_CURRENT_USER
                                                               : THiveRoot::HKEY_LOCAL_MACHINE);
    const std::string junk = "not a registry file\n[\n";
    test::WriteFileText(hive, junk);
    TEngineProbe engine;
    Configure(engine, true, root);
    EXPECT_NO_THROW(engine.UpdateDatePut(EncodeDateTime(2021, 12, 31, 10, 0)));
    EXPECT_NO_THROW(engine.UpdateDatePut(EncodeDateTime(2021, 12, 31)));
    EXPECT_NO_THROW(engine.URLPut("http://127.0.0.1/next.inf"));
    EXPECT_NEAR(engine.UpdateDateGet(), KFallbackDate, 1e-9);
    EXPECT_EQ(engine.URLGet(), "");
    EXPECT_TRUE(engine.SaveUpdate());
    EXPECT_TRUE(engine.Messages.empty());
    EXPECT_EQ(test::ReadFileText(hive), junk);
  }
}

TEST_F(DateStoreTest, WithoutSaveNothingIsWrittenButTheDateIsRead) {
  TEngineProbe engine;
  Configure(engine, false);
  engine.UpdateDatePut(EncodeDateTime(2021, 12, 31));
  engine.URLPut("http://example.invalid/x.inf");
  EXPECT_EQ(Stored("LastDate"), "<none>");
  EXPECT_EQ(Stored("LastURL"), "<none>");
  EXPECT_NEAR(engine.UpdateDateGet(), KFallbackDate, 1e-9);
  EXPECT_TRUE(engine.SaveUpdate());
  EXPECT_EQ(engine.URLGet(), "");
}

TEST_F(DateStoreTest, WithoutKeyNothingIsTouched) {
  TEngineProbe engine;
  engine.LastURLEntry.Save = true;
  engine.LastURLEntry.Section = "Update";
  engine.UpdateDatePut(EncodeDateTime(2021, 12, 31));
  EXPECT_NEAR(engine.UpdateDateGet(), KFallbackDate, 1e-9);
  EXPECT_FALSE(engine.SaveUpdate());
}

TEST_F(DateStoreTest, BadStoredValues) {
  struct TCase {
    const char* Date;
    const char* Time;
    TDateTime Expected;
  } cases[] = {
      {"31/02/2020", "10:00:00", KFallbackDate},  // a bad date skips the time
      {"01/02/2020", "99:99", EncodeDateTime(2020, 2, 1)},
      {"", "10:00:00", EncodeDateTime(1980, 1, 1, 10, 0)},
      {"junk", "", KFallbackDate},
  };
  for (const auto& c : cases) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vendor\\Update", true));
    reg.WriteString("LastDate", c.Date);
    reg.WriteString("LastTime", c.Time);
    TVudIvazoz engine;
    Configure(engine, false);
    EXPECT_NEAR(engine.UpdateDateGet(), c.Expected, 1e-6) << c.Date << " " << c.Time;
  }
}

TEST_F(DateStoreTest, AddressStoreAndLocalMachineHive) {
  TVudIvazoz engine;
  Configure(engine, true, lurLOCALMACHINE);
  EXPECT_EQ(engine.URLGet(), "");
  engine.URLPut("http://127.0.0.1/next.inf");
  EXPECT_EQ(engine.URLGet(), "http://127.0.0.1/next.inf");
  EXPECT_EQ(Stored("LastURL", THiveRoot::HKEY_LOCAL_MACHINE), "http://127.0.0.1/next.inf");
  EXPECT_EQ(Stored("LastURL"), "<none>");
}

TEST_F(DateStoreTest, StoredAddressTakesPrecedence) {
  TVudIvazoz engine;
  engine.URL = "{WIN}/first.inf";
  EXPECT_EQ(engine.GetControlFileURL(), "/usr/first.inf");
  Configure(engine, true);
  engine.URLPut("{SYS}/stored.inf");
  EXPECT_EQ(engine.GetControlFileURL(), "/usr/lib/stored.inf");
}

TEST_F(SystemProbeTest, RegistryProbes) {
  TVudIvazoz engine;
  EXPECT_EQ(engine.GetIEVersion(), "(not found)");
  EXPECT_EQ(engine.GetInstalledIDEs(), "");
  {
    TRegistry reg(THiveRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Internet Explorer\\Version Vector", true));
    reg.WriteString("IE", "11.0000");
    ASSERT_TRUE(reg.CreateKey("\\Software\\Embarcadero\\BDS\\15.0"));
    ASSERT_TRUE(reg.CreateKey("\\Software\\Borland\\Delphi\\5.0"));
    ASSERT_TRUE(reg.CreateKey("\\Software\\Embarcadero\\BDS\\13.0"));  // no such generation
  }
  EXPECT_EQ(engine.GetIEVersion(), "11.0000");
  EXPECT_EQ(engine.GetInstalledIDEs(), "D5DXE7");
}

TEST_F(SystemProbeTest, ThisSystemAndCompiler) {
  TVudIvazoz engine;
  EXPECT_FALSE(engine.GetOSVersion().empty());
  EXPECT_NE(engine.GetOSVersion(), "Unknown");
  EXPECT_EQ(engine.GetIDE().rfind("GCC ", 0), 0u);
}

}  // namespace
}  // namespace vyn

// Which key the browser's engine checks its control files with: the one built in, or the one
// the machine hive pins; never the user's hive.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TestEnvironment.h"
#include "platform/Registry.h"
#include "update/trust/MinisignKey.h"
#include "update/trust/UpdatePublicKey.h"

namespace vyn {
namespace {

const std::string KRegPath = "Software\\www.vynsoft.example\\WebBrowservynWebBrowser";
const std::string KBuilt = "RWQf6LRCGA9i53mlYecO4IzT51TGPpvWucNSCh1CBM0QTaLn73Y7GFO3";
const std::string KPinned = "RWTAnotherKeyLineOfTheAdministratorsSignerForThisInstall1";

void Store(THiveRoot root, const std::string& value) {
  TRegistry reg(root);
  ASSERT_TRUE(reg.OpenKey(KRegPath, true));
  reg.WriteString("UpdatePublicKey", value);
}

TEST(UpdatePublicKey, TheMachinePinWinsAndNothingElseReplacesTheBuiltInKey) {
  const struct {
    const char* Name;
    std::string Built;
    std::optional<std::string> Machine;
    std::optional<std::string> User;
    std::string Expected;
  } cases[] = {
      {"none anywhere", "", std::nullopt, std::nullopt, ""},
      {"built in", KBuilt, std::nullopt, std::nullopt, KBuilt},
      {"pinned by the machine", "", KPinned, std::nullopt, KPinned},
      {"the pin replaces the built-in key", KBuilt, KPinned, std::nullopt, KPinned},
      {"an empty pin does not empty the built-in key", KBuilt, "", std::nullopt, KBuilt},
      {"the user's hive cannot replace it", KBuilt, std::nullopt, KPinned, KBuilt},
      {"the user's hive cannot empty it", KBuilt, std::nullopt, "", KBuilt},
      {"the user's hive cannot turn the check on either", "", std::nullopt, KPinned, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    test::TIsolatedEnvironment environment;
    if (c.Machine) Store(THiveRoot::HKEY_LOCAL_MACHINE, *c.Machine);
    if (c.User) Store(THiveRoot::HKEY_CURRENT_USER, *c.User);
    EXPECT_EQ(UpdatePublicKey(c.Built, KRegPath), c.Expected);
  }
}

TEST(UpdatePublicKey, AMachineHiveThatCannotBeReadRefusesEveryControlFile) {
  const struct {
    const char* Name;
    std::string Hive;
  } cases[] = {
      {"not a hive", "this is not a registry file\n"},
      {"not text",
       "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" + KRegPath +
           "]\r\n\"UpdatePublicKey\"=dword:00000001\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    test::TIsolatedEnvironment environment;
    test::WriteFileText(HiveFilePath(THiveRoot::HKEY_LOCAL_MACHINE), c.Hive);
    for (const std::string& built : {std::string(), KBuilt}) {
      const std::string key = UpdatePublicKey(built, KRegPath);
      EXPECT_FALSE(key.empty());
      EXPECT_FALSE(ParseMinisignPublicKey(key));
    }
  }
}

}  // namespace
}  // namespace vyn

#include "archive/CabinetName.h"

#include <gtest/gtest.h>

namespace vyn {
namespace {

TEST(CabinetNameTest, ExtensionIsComparedUpperCased) {
  const struct {
    const char* Path;
    bool Cabinet;
  } cases[] = {
      {"setup.cab", true},     {"SETUP.CAB", true},   {"/srv/files/Data.Cab", true},
      {"dir\\pack.cab", true}, {".cab", true},        {"setup.cab.txt", false},
      {"setup.cabx", false},   {"setupcab", false},   {"pack.cab/readme", false},
      {"pack.cab\\x", false},  {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Cabinet, HasCabinetExtension(c.Path)) << c.Path;
}

}  // namespace
}  // namespace vyn

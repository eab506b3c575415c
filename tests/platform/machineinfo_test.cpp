#include "platform/MachineInfo.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <pwd.h>
#include <unistd.h>

#include "TestEnvironment.h"

namespace {

std::string WriteSample(const std::string& name, const std::string& text) {
  const std::string path = vyn::test::TestRoot() + "/" + name;
  vyn::test::WriteFileText(path, text);
  return path;
}

struct TTextCase {
  const char* Text;
  const char* Expected;
};

TEST(MachineInfo, PrettyNameOfOSRelease) {
  const TTextCase cases[] = {
      {"NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
       "Debian GNU/Linux 12 (bookworm)"},
      {"PRETTY_NAME='Single \"quoted\"'\n", "Single \"quoted\""},
      {"PRETTY_NAME=Bare\n", "Bare"},
      {"PRETTY_NAME=\"Say \\\"hi\\\" \\$5 \\\\ \\n\"  # trailing\n", "Say \"hi\" $5 \\ \\n"},
      {"# PRETTY_NAME=\"comment\"\nMY_PRETTY_NAME=\"other\"\nNAME=x\n", ""},
      {"PRETTY_NAME=\"\"\n", ""},
      {"", ""},
  };
  for (const TTextCase& c : cases)
    EXPECT_EQ(vyn::PrettyNameOfOSRelease(WriteSample("os-release", c.Text)), c.Expected) << c.Text;
  EXPECT_EQ(vyn::PrettyNameOfOSRelease(vyn::test::TestRoot() + "/missing"), "");
}

TEST(MachineInfo, WorkGroupOfSambaConfig) {
  const TTextCase cases[] = {
      {"# Samba\n[global]\n   workgroup = OFFICE\n   server string = %h\n[homes]\nworkgroup = NO\n",
       "OFFICE"},
      {"[homes]\nworkgroup = NO\n[Global]\nWorkGroup=Team\n", "Team"},
      {"[homes]\nworkgroup = NO\n", ""},
      {"", ""},
  };
  for (const TTextCase& c : cases)
    EXPECT_EQ(vyn::WorkGroupOfSambaConfig(WriteSample("smb.conf", c.Text)), c.Expected) << c.Text;
  EXPECT_EQ(vyn::WorkGroupOfSambaConfig(vyn::test::TestRoot() + "/missing"), "");
}

TEST(MachineInfo, FactsOfThisMachineArePlausible) {
  const std::string computer = vyn::ComputerName();
  EXPECT_FALSE(computer.empty());
  EXPECT_LE(computer.size(), 15u);
  EXPECT_EQ(computer.find('.'), std::string::npos);
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  EXPECT_EQ(std::string(host).rfind(computer, 0), 0u) << "not a prefix of the host name";

  // An address is optional (a machine without one shows nothing), but when given it is dotted.
  const std::string address = vyn::FirstIPv4Address();
  in_addr parsed{};
  if (!address.empty()) {
    EXPECT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
  }

  // The account comes from the user database before the environment.
  setenv("USER", "someone-else", 1);
  const std::string user = vyn::UserName();
  EXPECT_FALSE(user.empty());
  if (getpwuid(geteuid())) {
    EXPECT_NE(user, "someone-else");
  }

  const std::string domain = vyn::DomainName();
  EXPECT_NE(domain, "(none)");
  if (!domain.empty()) {
    EXPECT_NE(domain.front(), '.');
  }
  if (access("/etc/os-release", R_OK) == 0) {
    EXPECT_EQ(vyn::OSProductName(), vyn::PrettyNameOfOSRelease("/etc/os-release"));
  }
  vyn::WorkGroup();
}

}  // namespace

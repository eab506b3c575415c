// A child program for the registry store tests: writes COUNT integer values named PREFIX0 ..
// PREFIX<COUNT-1> into Software\Shared of the current user's hive, one write at a time.
//   registry_writer COUNT PREFIX

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Registry.h"

int main(int argc, char** argv) {
  if (argc != 3) return 100;
  const int count = std::atoi(argv[1]);
  const std::string prefix = argv[2];
  try {
    vyn::TRegistry reg;
    if (!reg.OpenKey("Software\\Shared", true)) return 2;
    for (int i = 0; i < count; ++i) reg.WriteInteger(prefix + std::to_string(i), i);
  } catch (const vyn::ERegistryException& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}

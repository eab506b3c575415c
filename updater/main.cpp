// dezaziz.exe PID L|X PROGRAM PARAMETERS STAGING COMPONENT...
// dezaziz.exe --recover STAGING
#include <string>
#include <vector>

#include "updater/Recovery.h"
#include "updater/Updater.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (!words.empty() && words[0] == "--recover")
    return vyn::RunRecovery(std::vector<std::string>(words.begin() + 1, words.end()));
  vyn::RunUpdater(words);
  return 0;
}

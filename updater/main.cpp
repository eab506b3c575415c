// dezaziz.exe PID L|X PROGRAM PARAMETERS STAGING COMPONENT...
#include <string>
#include <vector>

#include "updater/Updater.h"

int main(int argc, char** argv) {
  vyn::RunUpdater(std::vector<std::string>(argv + 1, argv + argc));
  return 0;
}

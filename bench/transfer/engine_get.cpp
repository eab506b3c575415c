// Fetches addresses through the update engine on one started connection, the way an update run
// does, into FOLDER. Prints the wall time of the transfers in seconds and the peak resident
// memory of the process in KiB: "SECONDS 1.234 PEAK_KIB 5678".
//
// usage: bench_engine_get FOLDER ADDRESS...    (a single "@FILE" reads the addresses from FILE)

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "update/VudIvazoz.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bench_engine_get FOLDER ADDRESS...\n";
    return 2;
  }
  std::string folder = argv[1];
  if (folder.back() != '/') folder += '/';
  std::vector<std::string> addresses;
  if (argc == 3 && argv[2][0] == '@') {
    std::ifstream list(argv[2] + 1);
    for (std::string line; std::getline(list, line);)
      if (!line.empty()) addresses.push_back(line);
  } else {
    addresses.assign(argv + 2, argv + argc);
  }

  vyn::TVudIvazoz engine;
  engine.URL = addresses.front();
  if (engine.StartConnection() != vyn::wrOK) return 1;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& address : addresses)
    if (!engine.URLGetFile(engine.HintConnect(), address, folder, false)) {
      std::cerr << "failed: " << address << "\n";
      return 1;
    }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  engine.StopConnection();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("SECONDS %.4f PEAK_KIB %ld\n", seconds, usage.ru_maxrss);
  return 0;
}

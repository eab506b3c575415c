// bench_cab_extract CABINET TARGET: extracts the cabinet into TARGET; exit status 0 on success.
#include <cstdio>

#include "archive/CabinetExtract.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_cab_extract CABINET TARGET\n");
    return 2;
  }
  return vyn::ExtractCabinet(argv[1], argv[2]) == 0 ? 0 : 1;
}

// bench_lz_expand FILE: expands the SZDD file beside itself; exit status 0 when it was expanded.
#include <cstdio>

#include "archive/LZExpand.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_lz_expand FILE\n");
    return 2;
  }
  return vyn::ExpandLZFile(argv[1]) != argv[1] ? 0 : 1;
}

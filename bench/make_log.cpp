// Writes a benchmark log: make_log PATH [ROWS]
#include <cstdio>
#include <cstdlib>

#include "log_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PATH [ROWS]\n", argv[0]);
    return 2;
  }
  const long long rows = argc > 2 ? std::atoll(argv[2]) : 1000000;
  if (!WriteBenchLog(argv[1], rows)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

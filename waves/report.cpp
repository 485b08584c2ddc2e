#include "waves/report.h"

#include <cstdio>
#include <cstring>

void Complain(const std::string& path, const std::string& what, int error) {
  std::fflush(stdout);
  if (error != 0) {
    std::fprintf(stderr, "wavesplice: %s: %s: %s\n", path.c_str(), what.c_str(),
                 std::strerror(error));
  } else {
    std::fprintf(stderr, "wavesplice: %s: %s\n", path.c_str(), what.c_str());
  }
}

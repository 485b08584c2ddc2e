// wavesplice: copies the waves of part files over a container's bytes at the
// offsets their names give.
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/find.h"
#include "platform/path.h"
#include "waves/part_search.h"
#include "waves/report.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wavesplice CONTAINER-OR-PATTERN\n");
    return 2;
  }
  // The search returns bare names; they are opened where the user pointed.
  const std::string pattern = argv[1];
  const std::string dir = pattern.substr(0, DirPartLength(pattern));
  bool done = true;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(argv[1], &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::printf("Replacing waves in %s\n", found.cFileName);
      // A directory has no bytes to replace: not a failure.
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      if (!ReplaceWaves(dir, found.cFileName)) done = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Complain("standard output", "cannot write", errno);
    return 1;
  }
  return done ? 0 : 1;
}

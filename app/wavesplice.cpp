// wavesplice: copies the waves of part files over a container's bytes at the
// offsets their names give.
#include <cstdio>
#include <string>

#include "platform/console.h"
#include "waves/containers.h"
#include "waves/part_search.h"
#include "waves/report.h"

int main(int argc, char** argv) {
  PrepareConsole();
  if (argc < 2) {
    std::fprintf(stderr, "usage: wavesplice CONTAINER-OR-PATTERN\n");
    return 2;
  }
  const bool done = ForEachContainer(
      argv[1], [](const std::string& dir, const std::string& name, bool directory) {
        std::printf("Replacing waves in %s\n", name.c_str());
        // A directory has no bytes to replace: not a failure.
        return directory || ReplaceWaves(dir, name);
      });
  if (!FinishOutput()) return 1;
  return done ? 0 : 1;
}

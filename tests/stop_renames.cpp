// Loaded with LD_PRELOAD into the programs under test: the program is
// killed, as by a power cut, at the rename after the first
// STOP_AFTER_RENAMES ones, before it is made.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>

#include <cstdlib>

namespace {

void CountOrStop() {
  static int made = 0;
  const char* limit = std::getenv("STOP_AFTER_RENAMES");
  if (limit != nullptr && made++ >= std::atoi(limit)) raise(SIGKILL);
}

}  // namespace

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to,
                         unsigned int flags) {
  CountOrStop();
  using Call = int (*)(int, const char*, int, const char*, unsigned int);
  return reinterpret_cast<Call>(dlsym(RTLD_NEXT, "renameat2"))(fromDir, from, toDir, to, flags);
}

extern "C" int rename(const char* from, const char* to) {
  CountOrStop();
  using Call = int (*)(const char*, const char*);
  return reinterpret_cast<Call>(dlsym(RTLD_NEXT, "rename"))(from, to);
}

// Loaded with LD_PRELOAD into the programs under test, to fail calls as
// disks, signals and file systems do. FAIL_WRITES chooses how:
// - unset: every other positioned write fails with EIO, after the one
//   before it wrote half of what it was asked, as a disk that fails partway
//   through a wave does;
// - "short": the first positioned write writes half of what it was asked,
//   and every later one all of it, as a write cut short by a signal does;
// - "eintr": the first positioned write is interrupted before it writes
//   anything (EINTR), and every later one succeeds;
// - "nolink": no hard link can be made (EPERM), as on FAT or exFAT.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);

bool Mode(const char* mode) {
  const char* chosen = std::getenv("FAIL_WRITES");
  return chosen != nullptr && std::strcmp(chosen, mode) == 0;
}

ssize_t Fail(const char* name, int fd, const void* bytes, size_t count, off_t offset) {
  static int calls = 0;
  const auto real = reinterpret_cast<Pwrite>(dlsym(RTLD_NEXT, name));
  const bool first = ++calls == 1;
  if (Mode("nolink")) return real(fd, bytes, count, offset);
  if (Mode("short")) return real(fd, bytes, first && count > 1 ? count / 2 : count, offset);
  if (Mode("eintr")) {
    if (!first) return real(fd, bytes, count, offset);
    errno = EINTR;
    return -1;
  }
  if (calls % 2 == 1 && count > 1) return real(fd, bytes, count / 2, offset);
  errno = EIO;
  return -1;
}

}  // namespace

extern "C" ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
  return Fail("pwrite", fd, bytes, count, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset) {
  return Fail("pwrite64", fd, bytes, count, offset);
}

extern "C" int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  if (Mode("nolink")) {
    errno = EPERM;
    return -1;
  }
  using Linkat = int (*)(int, const char*, int, const char*, int);
  return reinterpret_cast<Linkat>(dlsym(RTLD_NEXT, "linkat"))(fromDir, from, toDir, to, flags);
}

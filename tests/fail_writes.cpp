// Loaded with LD_PRELOAD into the programs under test: every other
// positioned write fails with EIO, after the one before it wrote half of
// what it was asked, as a disk that fails partway through a wave does.
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

namespace {

using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);

ssize_t HalfThenFail(const char* name, int fd, const void* bytes, size_t count, off_t offset) {
  static int calls = 0;
  if (++calls % 2 == 1 && count > 1) {
    const auto real = reinterpret_cast<Pwrite>(dlsym(RTLD_NEXT, name));
    return real(fd, bytes, count / 2, offset);
  }
  errno = EIO;
  return -1;
}

}  // namespace

extern "C" ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
  return HalfThenFail("pwrite", fd, bytes, count, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset) {
  return HalfThenFail("pwrite64", fd, bytes, count, offset);
}

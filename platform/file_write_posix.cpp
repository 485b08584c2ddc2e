#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_write.h"
#include "platform/system_error.h"

namespace {

// The process's file-size limit, asked once: a write past it would fail
// partway, or, where the signal is not ignored, end the run.
std::uint64_t SizeLimit() {
  static const std::uint64_t limit = [] {
    rlimit size{};
    if (getrlimit(RLIMIT_FSIZE, &size) != 0 || size.rlim_cur == RLIM_INFINITY) return UINT64_MAX;
    return static_cast<std::uint64_t>(size.rlim_cur);
  }();
  return limit;
}

// False with *err the system's words for error.
bool Failed(int error, std::string* err) {
  *err = SystemMessage(static_cast<unsigned long>(error));
  return false;
}

}  // namespace

bool MakeRoom(std::FILE* file, std::uint64_t offset, std::uint64_t length, bool allocate,
              std::string* err) {
  if (offset + length > SizeLimit()) return Failed(EFBIG, err);
  if (!allocate) return true;
  const int fd = fileno(file);
  struct stat info {};
  if (fstat(fd, &info) != 0) return Failed(errno, err);
  const int error = posix_fallocate(fd, static_cast<off_t>(offset), static_cast<off_t>(length));
  if (error == 0) return true;
  // Where the file system cannot allocate, the C library writes zeros
  // instead, and may have lengthened the file before it failed.
  if (ftruncate(fd, info.st_size) != 0) {
    *err = SystemMessage(static_cast<unsigned long>(error)) +
           ", and it could not be put back to its length: " + SystemMessage(errno);
    return false;
  }
  return Failed(error, err);
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const unsigned char* bytes, std::size_t count,
             std::string* err) {
  // Nothing of an unbuffered stream is pending, so its descriptor is
  // written directly: one call where the stream takes a seek and a write.
  const int fd = fileno(file);
  while (count > 0) {
    const ssize_t wrote = pwrite(fd, bytes, count, static_cast<off_t>(offset));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return Failed(wrote == 0 ? EIO : errno, err);
    bytes += wrote;
    count -= static_cast<std::size_t>(wrote);
    offset += static_cast<std::uint64_t>(wrote);
  }
  return true;
}

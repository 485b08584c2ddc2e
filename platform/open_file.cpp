#include "platform/open_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#ifdef _WIN32
#include <io.h>

namespace {

bool IsRegular(const struct _stat64& info) { return (info.st_mode & _S_IFMT) == _S_IFREG; }

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, bool* regular) {
  *regular = true;
  // A folder cannot be opened as a file here at all, and "NUL" or "CON"
  // open as devices: both are told apart before and after opening.
  struct _stat64 info {};
  if (_stat64(path.c_str(), &info) == 0 && !IsRegular(info)) {
    *regular = false;
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  if (_fstat64(_fileno(file), &info) != 0 || !IsRegular(info)) {
    *regular = false;
    std::fclose(file);
    return nullptr;
  }
  return file;
}

std::FILE* CreateNewFile(const std::string& path) {
  const int fd =
      _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    _close(fd);
    errno = error;
  }
  return file;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }
#else
#include <unistd.h>

#include "platform/listing.h"

std::FILE* OpenRegularFile(const std::string& path, bool* regular) {
  *regular = true;
  // stat first so that a device is not even opened; the fstat below then
  // covers a file swapped in between.
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    *regular = false;
    return nullptr;
  }
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *regular = false;
    close(fd);
    return nullptr;
  }
  std::FILE* file = fcntl(fd, F_SETFL, 0) == 0 ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

std::FILE* CreateNewFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  ListingGained(path);
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

bool RemoveFile(const std::string& path) {
  if (std::remove(path.c_str()) != 0) return false;
  ListingLost(path);
  return true;
}
#endif

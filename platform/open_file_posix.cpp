#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/listing.h"
#include "platform/open_file.h"

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

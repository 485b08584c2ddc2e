#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/open_file.h"

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

#include "platform/open_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include <cstdlib>

namespace {

bool IsRegular(const struct _stat64& info) { return (info.st_mode & _S_IFMT) == _S_IFREG; }

// A folder cannot be opened as a file here at all, and "NUL" or "CON" open
// as devices: both are told apart before and after opening.
std::FILE* OpenRegular(const std::string& path, const char* mode, std::uint64_t* size,
                       bool* regular) {
  struct _stat64 info {};
  *regular = _stat64(path.c_str(), &info) != 0 || IsRegular(info);
  _doserrno = 0;  // for OpenFailure: the open's own Windows error, or none
  std::FILE* file = *regular ? std::fopen(path.c_str(), mode) : nullptr;
  if (file == nullptr) return nullptr;
  if (_fstat64(_fileno(file), &info) != 0 || !IsRegular(info)) {
    *regular = false;
    std::fclose(file);
    return nullptr;
  }
  *size = static_cast<std::uint64_t>(info.st_size);
  return file;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::uint64_t* size, bool* regular) {
  return OpenRegular(path, "rb", size, regular);
}

std::FILE* OpenForUpdate(const std::string& path, std::uint64_t* size, bool* holes, bool* regular) {
  *holes = false;  // Windows allocates what SetEndOfFile adds
  std::FILE* file = OpenRegular(path, "r+b", size, regular);
  if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

std::FILE* CreateNewFile(const std::string& path) {
  _doserrno = 0;
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

namespace {

// Why writing path was refused (errno EACCES), where the C library says
// only "Permission denied".
std::string Denied(const std::string& path, int error) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (error == EACCES && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return "read-only: its Read-only attribute is set";
  }
  return std::strerror(error);
}

}  // namespace

std::string OpenFailure(const std::string& path, bool writing) {
  // The Windows error the C library kept of the failed call, cleared
  // before it: none when the library failed on its own. It says only
  // "Permission denied" for a file another program has opened without
  // sharing it, the commonest cause here.
  const int error = errno;
  const unsigned long cause = _doserrno;
  if (cause == ERROR_SHARING_VIOLATION || cause == ERROR_LOCK_VIOLATION) {
    return "in use by another program";
  }
  return writing ? Denied(path, error) : std::strerror(error);
}

std::string CannotWrite(const std::string& path) {
  return _access(path.c_str(), 2) == 0 ? "" : Denied(path, errno);
}

bool IsRegularFile(const std::string& path) {
  struct _stat64 info {};
  return _stat64(path.c_str(), &info) == 0 && IsRegular(info);
}
#else
#include <unistd.h>

#include "platform/listing.h"

namespace {

// The stream of an open descriptor; null, with the descriptor closed and
// errno kept, when there is none.
std::FILE* StreamOf(int fd, const char* mode) {
  std::FILE* file = fdopen(fd, mode);
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

// Opens path with flags, never waiting: O_NONBLOCK keeps a FIFO without a
// writer from holding up the open, and changes nothing for a regular file,
// so it is left set. Then the one fstat says both whether it is a regular
// file and how big.
std::FILE* OpenRegular(const std::string& path, int flags, const char* mode, struct stat* info,
                       bool* regular) {
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  const bool known = fstat(fd, info) == 0;
  *regular = !known || S_ISREG(info->st_mode);
  if (known && *regular) return StreamOf(fd, mode);
  const int error = errno;
  close(fd);
  errno = error;
  return nullptr;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::uint64_t* size, bool* regular) {
  // No stat before the open: a device is opened and at once closed unread,
  // which costs less than a stat on every part, and a file swapped for a
  // FIFO between a stat and the open could still make us wait.
  struct stat info {};
  std::FILE* file = OpenRegular(path, O_RDONLY, "rb", &info, regular);
  if (file != nullptr) *size = static_cast<std::uint64_t>(info.st_size);
  return file;
}

std::FILE* OpenForUpdate(const std::string& path, std::uint64_t* size, bool* holes, bool* regular) {
  // Once for a container, a stat keeps a device from being opened for
  // writing at all; the fstat after it covers a file swapped in between.
  struct stat info {};
  *regular = stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode);
  std::FILE* file = *regular ? OpenRegular(path, O_RDWR, "r+b", &info, regular) : nullptr;
  if (file == nullptr) return nullptr;
  std::setvbuf(file, nullptr, _IONBF, 0);
  *size = static_cast<std::uint64_t>(info.st_size);
  // A hole before the end, or fewer blocks than the size takes (a file
  // system that compresses): either way a write may need room it has not
  // got. The blocks alone can miss holes where room was kept past the end.
  const off_t hole = lseek(fileno(file), 0, SEEK_HOLE);
  *holes = (hole >= 0 && static_cast<std::uint64_t>(hole) < *size) ||
           static_cast<std::uint64_t>(info.st_blocks) * 512 < *size;
  return file;
}

std::FILE* CreateNewFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  ListingGained(path);
  return StreamOf(fd, "wb");
}

bool RemoveFile(const std::string& path) {
  if (std::remove(path.c_str()) != 0) return false;
  ListingLost(path);
  return true;
}

std::string OpenFailure(const std::string& /*path*/, bool /*writing*/) {
  return std::strerror(errno);
}

std::string CannotWrite(const std::string& path) {
  return access(path.c_str(), W_OK) == 0 ? "" : std::strerror(errno);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
#endif

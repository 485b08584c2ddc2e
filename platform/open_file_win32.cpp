#include "platform/open_file.h"
#include "platform/system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
  // An administrator may open a file whose Read-only attribute is set for
  // writing; the user who set it meant it to be left alone.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    *regular = true;
    _doserrno = ERROR_ACCESS_DENIED;
    errno = EACCES;
    return nullptr;
  }
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

Linked LinkFile(const std::string& from, const std::string& to) {
  if (CreateHardLinkA(to.c_str(), from.c_str(), nullptr)) return Linked::kDone;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Linked::kExists
                                                                     : Linked::kCannot;
}

bool RenameNew(const std::string& from, const std::string& to, std::string* why) {
  // Without MOVEFILE_REPLACE_EXISTING, a name that is taken is refused.
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  *why = SystemMessage(GetLastError());
  return false;
}

// A file's Read-only attribute is all that would make it less open, and a
// part that has it is never replaced.
bool KeepMode(const std::string& /*from*/, std::FILE* /*to*/) { return true; }

bool SyncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool RenameOver(const std::string& from, const std::string& to, std::string* why) {
  // The C library's rename refuses a name that is taken.
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *why = SystemMessage(GetLastError());
  return false;
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

std::string NotAFolder(const std::string& path) {
  // The C library's stat refuses a folder named with a slash at its end.
  std::string bare = path;
  while (bare.size() > 1 && (bare.back() == '/' || bare.back() == '\\') &&
         bare[bare.size() - 2] != ':') {
    bare.pop_back();
  }
  struct _stat64 info {};
  if (_stat64(bare.c_str(), &info) != 0) return std::strerror(errno);
  return (info.st_mode & _S_IFMT) == _S_IFDIR ? "" : "not a folder";
}

bool IsRegularFile(const std::string& path) {
  struct _stat64 info {};
  return _stat64(path.c_str(), &info) == 0 && IsRegular(info);
}

std::string CannotReplace(const std::string& path) {
  // Moving or removing a file takes leave to delete it, which a program
  // that holds it open without sharing that refuses everyone.
  const HANDLE file =
      CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return "";
  }
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
             ? "in use by another program"
             : "";  // said, if it matters, by the step that fails
}

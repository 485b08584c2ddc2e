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

// Why an open of path just failed, with _doserrno cleared before it: the
// Windows error the C library kept of it, or none when the library failed
// on its own. The library says only "Permission denied" for a file another
// program has opened without sharing it, the commonest cause here.
bool OpenFailed(const std::string& path, bool writing, std::string* err) {
  const int error = errno;
  const unsigned long cause = _doserrno;
  if (cause == ERROR_SHARING_VIOLATION || cause == ERROR_LOCK_VIOLATION) {
    *err = "in use by another program";
  } else {
    *err = writing ? Denied(path, error) : std::strerror(error);
  }
  return false;
}

// Why the C library's call just failed: errno in its words.
bool Failed(std::string* err) {
  *err = std::strerror(errno);
  return false;
}

// A folder cannot be opened as a file here at all, and "NUL" or "CON" open
// as devices: both are told apart before and after opening.
bool OpenRegular(const std::string& path, bool writing, std::FILE** file, std::uint64_t* size,
                 bool* regular, std::string* err) {
  struct _stat64 info {};
  *regular = _stat64(path.c_str(), &info) != 0 || IsRegular(info);
  if (!*regular) {
    *err = kNotAFile;
    return false;
  }
  _doserrno = 0;
  *file = std::fopen(path.c_str(), writing ? "r+b" : "rb");
  if (*file == nullptr) return OpenFailed(path, writing, err);
  if (_fstat64(_fileno(*file), &info) != 0 || !IsRegular(info)) {
    *regular = false;
    *err = kNotAFile;
    std::fclose(*file);
    return false;
  }
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

}  // namespace

bool OpenRegularFile(const std::string& path, std::FILE** file, std::uint64_t* size, bool* regular,
                     std::string* err) {
  return OpenRegular(path, false, file, size, regular, err);
}

bool OpenForUpdate(const std::string& path, std::FILE** file, std::uint64_t* size, bool* holes,
                   bool* regular, std::string* err) {
  *holes = false;  // Windows allocates what SetEndOfFile adds
  // An administrator may open a file whose Read-only attribute is set for
  // writing; the user who set it meant it to be left alone.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    *regular = true;
    *err = Denied(path, EACCES);
    return false;
  }
  if (!OpenRegular(path, true, file, size, regular, err)) return false;
  std::setvbuf(*file, nullptr, _IONBF, 0);
  return true;
}

bool CreateNewFile(const std::string& path, std::FILE** file, bool* exists, std::string* err) {
  _doserrno = 0;
  const int fd =
      _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  *exists = fd < 0 && errno == EEXIST;
  if (fd < 0) return OpenFailed(path, true, err);
  *file = _fdopen(fd, "wb");
  if (*file != nullptr) return true;
  Failed(err);
  _close(fd);
  return false;
}

Linked LinkFile(const std::string& from, const std::string& to) {
  if (CreateHardLinkA(to.c_str(), from.c_str(), nullptr)) return Linked::kDone;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Linked::kExists
                                                                     : Linked::kCannot;
}

bool RenameNew(const std::string& from, const std::string& to, std::string* err) {
  // Without MOVEFILE_REPLACE_EXISTING, a name that is taken is refused.
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  *err = SystemMessage(GetLastError());
  return false;
}

// A file's Read-only attribute is all that would make it less open, and a
// part that has it is never replaced.
bool KeepMode(const std::string& /*from*/, std::FILE* /*to*/, std::string* /*err*/) { return true; }

bool SyncFile(std::FILE* file, std::string* err) {
  return (std::fflush(file) == 0 && _commit(_fileno(file)) == 0) || Failed(err);
}

bool RenameOver(const std::string& from, const std::string& to, std::string* err) {
  // The C library's rename refuses a name that is taken.
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *err = SystemMessage(GetLastError());
  return false;
}

bool RemoveFile(const std::string& path, std::string* err) {
  return std::remove(path.c_str()) == 0 || Failed(err);
}

bool CanWrite(const std::string& path, std::string* err) {
  if (_access(path.c_str(), 2) == 0) return true;
  *err = Denied(path, errno);
  return false;
}

bool IsFolder(const std::string& path, std::string* err) {
  // The C library's stat refuses a folder named with a slash at its end.
  std::string bare = path;
  while (bare.size() > 1 && (bare.back() == '/' || bare.back() == '\\') &&
         bare[bare.size() - 2] != ':') {
    bare.pop_back();
  }
  struct _stat64 info {};
  if (_stat64(bare.c_str(), &info) != 0) return Failed(err);
  if ((info.st_mode & _S_IFMT) == _S_IFDIR) return true;
  *err = "not a folder";
  return false;
}

bool IsRegularFile(const std::string& path) {
  struct _stat64 info {};
  return _stat64(path.c_str(), &info) == 0 && IsRegular(info);
}

bool CanReplace(const std::string& path, std::string* err) {
  // Moving or removing a file takes leave to delete it, which a program
  // that holds it open without sharing that refuses everyone.
  const HANDLE file =
      CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  const DWORD error = GetLastError();
  if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) {
    return true;  // said, if it matters, by the step that fails
  }
  *err = "in use by another program";
  return false;
}

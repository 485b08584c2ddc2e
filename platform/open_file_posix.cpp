#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/listing_notes.h"
#include "platform/open_file.h"

namespace {

// Why the call just made failed: errno in the system's words.
bool Failed(std::string* err) {
  *err = std::strerror(errno);
  return false;
}

// The stream of an open descriptor; false, with the descriptor closed, when
// there is none.
bool StreamOf(int fd, const char* mode, std::FILE** file, std::string* err) {
  *file = fdopen(fd, mode);
  if (*file != nullptr) return true;
  Failed(err);
  close(fd);
  return false;
}

// Opens path with flags, never waiting: O_NONBLOCK keeps a FIFO without a
// writer from holding up the open, and changes nothing for a regular file,
// so it is left set. Then the one fstat says both whether it is a regular
// file and how big.
bool OpenRegular(const std::string& path, int flags, const char* mode, std::FILE** file,
                 struct stat* info, bool* regular, std::string* err) {
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Failed(err);
  const bool known = fstat(fd, info) == 0;
  *regular = !known || S_ISREG(info->st_mode);
  if (known && *regular) return StreamOf(fd, mode, file, err);
  if (*regular) {
    Failed(err);
  } else {
    *err = kNotAFile;
  }
  close(fd);
  return false;
}

}  // namespace

bool OpenRegularFile(const std::string& path, std::FILE** file, std::uint64_t* size, bool* regular,
                     std::string* err) {
  // No stat before the open: a device is opened and at once closed unread,
  // which costs less than a stat on every part, and a file swapped for a
  // FIFO between a stat and the open could still make us wait.
  struct stat info {};
  *regular = true;
  if (!OpenRegular(path, O_RDONLY, "rb", file, &info, regular, err)) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool OpenForUpdate(const std::string& path, std::FILE** file, std::uint64_t* size, bool* holes,
                   bool* regular, std::string* err) {
  // Once for a container, a stat keeps a device from being opened for
  // writing at all; the fstat after it covers a file swapped in between.
  struct stat info {};
  *regular = stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode);
  if (!*regular) {
    *err = kNotAFile;
    return false;
  }
  if (!OpenRegular(path, O_RDWR, "r+b", file, &info, regular, err)) return false;
  std::setvbuf(*file, nullptr, _IONBF, 0);
  *size = static_cast<std::uint64_t>(info.st_size);
  // A hole before the end, or fewer blocks than the size takes (a file
  // system that compresses): either way a write may need room it has not
  // got. The blocks alone can miss holes where room was kept past the end.
  const off_t hole = lseek(fileno(*file), 0, SEEK_HOLE);
  *holes = (hole >= 0 && static_cast<std::uint64_t>(hole) < *size) ||
           static_cast<std::uint64_t>(info.st_blocks) * 512 < *size;
  return true;
}

bool CreateNewFile(const std::string& path, std::FILE** file, bool* exists, std::string* err) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  *exists = fd < 0 && errno == EEXIST;
  if (fd < 0) return Failed(err);
  NoteCreated(path);  // there now, whether or not a stream can be had
  return StreamOf(fd, "wb", file, err);
}

Linked LinkFile(const std::string& from, const std::string& to) {
  // A symbolic link is followed: what is kept is the file it leads to.
  if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    NoteCreated(to);
    return Linked::kDone;
  }
  return errno == EEXIST ? Linked::kExists : Linked::kCannot;
}

namespace {

// A name moved: the listings lose one and gain the other.
bool Moved(const std::string& from, const std::string& to) {
  NoteRemoved(from);
  NoteCreated(to);
  return true;
}

}  // namespace

bool RenameNew(const std::string& from, const std::string& to, std::string* err) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return Moved(from, to);
  }
  if (errno == EINVAL || errno == ENOSYS) {
    // A file system that cannot promise it: the name is looked at first,
    // which leaves a moment in which another program could take it.
    struct stat info {};
    if (lstat(to.c_str(), &info) == 0) {
      errno = EEXIST;
    } else if (errno == ENOENT && std::rename(from.c_str(), to.c_str()) == 0) {
      return Moved(from, to);
    }
  }
  return Failed(err);
}

bool KeepMode(const std::string& from, std::FILE* to, std::string* err) {
  struct stat info {};
  return (stat(from.c_str(), &info) == 0 && fchmod(fileno(to), info.st_mode & 07777) == 0) ||
         Failed(err);
}

bool SyncFile(std::FILE* file, std::string* err) {
  return (std::fflush(file) == 0 && fsync(fileno(file)) == 0) || Failed(err);
}

bool RenameOver(const std::string& from, const std::string& to, std::string* err) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return Moved(from, to);
  return Failed(err);
}

bool RemoveFile(const std::string& path, std::string* err) {
  if (std::remove(path.c_str()) != 0) return Failed(err);
  NoteRemoved(path);
  return true;
}

bool CanWrite(const std::string& path, std::string* err) {
  return access(path.c_str(), W_OK) == 0 || Failed(err);
}

bool IsFolder(const std::string& path, std::string* err) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return Failed(err);
  if (S_ISDIR(info.st_mode)) return true;
  *err = "not a folder";
  return false;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A file open elsewhere is replaced all the same: the folder decides.
bool CanReplace(const std::string& /*path*/, std::string* /*err*/) { return true; }

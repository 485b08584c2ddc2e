#include "platform/file_position.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
bool SeekTo(std::FILE* file, std::uint64_t position) {
  return _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
}

bool FileSize(std::FILE* file, std::uint64_t* size) {
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}
#else
static_assert(sizeof(off_t) >= 8, "needs a 64-bit off_t (_FILE_OFFSET_BITS=64)");

bool SeekTo(std::FILE* file, std::uint64_t position) {
  return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool FileSize(std::FILE* file, std::uint64_t* size) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}
#endif

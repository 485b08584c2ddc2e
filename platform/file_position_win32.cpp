#include <sys/types.h>

#include <cerrno>
#include <cstring>

#include "platform/file_position.h"

bool SeekTo(std::FILE* file, std::uint64_t position, std::string* err) {
  if (_fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0) return true;
  *err = std::strerror(errno);
  return false;
}

#include <sys/types.h>

#include <cerrno>
#include <cstring>

#include "platform/file_position.h"

static_assert(sizeof(off_t) >= 8, "needs a 64-bit off_t (_FILE_OFFSET_BITS=64)");

bool SeekTo(std::FILE* file, std::uint64_t position, std::string* err) {
  if (fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0) return true;
  *err = std::strerror(errno);
  return false;
}

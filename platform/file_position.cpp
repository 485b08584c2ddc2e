#include "platform/file_position.h"

#include <sys/types.h>

#ifdef _WIN32
bool SeekTo(std::FILE* file, std::uint64_t position) {
  return _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
}
#else
static_assert(sizeof(off_t) >= 8, "needs a 64-bit off_t (_FILE_OFFSET_BITS=64)");

bool SeekTo(std::FILE* file, std::uint64_t position) {
  return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}
#endif

#include "platform/file_position.h"

#include <sys/types.h>

#ifdef _WIN32
#define seek64 _fseeki64
#define tell64 _ftelli64
using Position = __int64;
#else
#define seek64 fseeko
#define tell64 ftello
using Position = off_t;
static_assert(sizeof(off_t) >= 8, "needs a 64-bit off_t (_FILE_OFFSET_BITS=64)");
#endif

bool SeekTo(std::FILE* file, std::uint64_t position) {
  return seek64(file, static_cast<Position>(position), SEEK_SET) == 0;
}

bool FileSize(std::FILE* file, std::uint64_t* size) {
  if (seek64(file, 0, SEEK_END) != 0) return false;
  const Position end = tell64(file);
  if (end < 0) return false;
  *size = static_cast<std::uint64_t>(end);
  return true;
}

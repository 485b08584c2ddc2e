#include <sys/types.h>

#include "platform/file_position.h"

bool SeekTo(std::FILE* file, std::uint64_t position) {
  return _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
}

#include <unistd.h>

#include <cerrno>

#include "platform/file_data.h"

std::uint64_t NextData(std::FILE* file, std::uint64_t offset, std::uint64_t size) {
  const off_t data = lseek(fileno(file), static_cast<off_t>(offset), SEEK_DATA);
  if (data >= 0)
    return static_cast<std::uint64_t>(data) < size ? static_cast<std::uint64_t>(data) : size;
  // ENXIO: nothing but a hole up to the end. Anything else (a file system
  // that cannot say) leaves every byte to be read.
  return errno == ENXIO ? size : offset;
}

#include "platform/path.h"

// Either slash, or a drive's colon ("D:*.dat"), ends the folder part.
std::size_t DirPartLength(const std::string& pattern) {
  const std::size_t end = pattern.find_last_of("/\\:");
  return end == std::string::npos ? 0 : end + 1;
}

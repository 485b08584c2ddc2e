#include "platform/path.h"

std::size_t DirPartLength(const std::string& pattern) {
  const std::size_t end = pattern.rfind('/');
  return end == std::string::npos ? 0 : end + 1;
}

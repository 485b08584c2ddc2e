// Where the directory part of a user's pattern ends.
#pragma once

#include <string>

// Length of the directory part, separator included: the bare names a search
// returns are opened as this prefix plus the name.
inline std::size_t DirPartLength(const std::string& pattern) {
#ifdef _WIN32
  const std::size_t end = pattern.find_last_of("/\\:");
#else
  const std::size_t end = pattern.rfind('/');
#endif
  return end == std::string::npos ? 0 : end + 1;
}

// The bytes of RIFF chunk headers.
#pragma once

#include <cstddef>
#include <cstdint>

// The count bytes at bytes as a little-endian number.
inline std::uint32_t LittleEndian(const unsigned char* bytes, std::size_t count = 4) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

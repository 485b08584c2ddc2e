// The bytes of RIFF chunk headers.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kChunkHeader = 8;  // the tag and the little-endian size
constexpr std::size_t kRiffHeader = 12;  // "RIFF", the size, and the form, "WAVE"

// The count bytes at bytes as a little-endian number.
inline std::uint32_t LittleEndian(const unsigned char* bytes, std::size_t count = 4) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

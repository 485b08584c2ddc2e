#include "waves/wave_format.h"

#include <algorithm>
#include <cstring>

#include "platform/file_position.h"
#include "waves/riff.h"

namespace {

// Enough for any real wave's chunks before its data; a bound on the reads
// a wave of garbage can cost.
constexpr int kMostChunks = 64;

std::string FormatName(std::uint32_t tag) {
  switch (tag) {
    case 0x0001:
      return "PCM";
    case 0x0002:
      return "MS ADPCM";
    case 0x0003:
      return "IEEE float";
    case 0x0006:
      return "A-law";
    case 0x0007:
      return "mu-law";
    case 0x0011:
      return "IMA ADPCM";
    case 0x0055:
      return "MPEG layer 3";
    case 0xfffe:
      return "extensible";
    default:
      break;
  }
  char text[24];
  std::snprintf(text, sizeof text, "format 0x%04x", static_cast<unsigned>(tag));
  return text;
}

bool ReadAt(std::FILE* file, std::uint64_t position, unsigned char* bytes, std::size_t count) {
  return SeekTo(file, position) && std::fread(bytes, 1, count, file) == count;
}

}  // namespace

bool DescribeWave(std::FILE* container, std::uint64_t offset, std::uint64_t length,
                  std::string* text) {
  const std::uint64_t end = offset + length;
  unsigned char format[16] = {};
  bool hasFormat = false;
  std::uint64_t dataBytes = 0;
  bool hasData = false;
  std::uint64_t at = offset + 12;
  for (int chunk = 0; chunk < kMostChunks && at + 8 <= end && !(hasFormat && hasData); ++chunk) {
    unsigned char header[8];
    if (!ReadAt(container, at, header, sizeof header)) return false;
    const std::uint64_t size = LittleEndian(header + 4);
    const std::uint64_t inside = std::min(size, end - at - 8);
    if (std::memcmp(header, "fmt ", 4) == 0 && inside >= sizeof format && !hasFormat) {
      if (!ReadAt(container, at + 8, format, sizeof format)) return false;
      hasFormat = true;
    } else if (std::memcmp(header, "data", 4) == 0 && !hasData) {
      dataBytes = inside;
      hasData = true;
    }
    at += 8 + size + (size & 1);  // chunks are padded to even sizes
  }
  if (!hasFormat) {
    *text = "no fmt chunk";
    return true;
  }
  const std::uint32_t channels = LittleEndian(format + 2, 2);
  const std::uint32_t byteRate = LittleEndian(format + 8);
  *text = FormatName(LittleEndian(format, 2)) + ", " + std::to_string(channels) +
          (channels == 1 ? " channel, " : " channels, ") +
          std::to_string(LittleEndian(format + 4)) + " Hz, " +
          std::to_string(LittleEndian(format + 14, 2)) + " bits";
  if (hasData && byteRate != 0) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, ", %.3f s",
                  static_cast<double>(dataBytes) / static_cast<double>(byteRate));
    *text += seconds;
  }
  return true;
}

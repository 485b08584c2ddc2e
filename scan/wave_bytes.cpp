#include "scan/wave_bytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "waves/reading.h"

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

}  // namespace

bool HashBytes(std::FILE* file, std::uint64_t offset, std::uint64_t length, std::uint64_t* hash,
               std::string* err) {
  // FNV-1a over 64-bit words, with a final mix: fast, and only a hint, since
  // waves whose hashes agree are compared byte for byte.
  std::vector<unsigned char> block(
      static_cast<std::size_t>(std::min<std::uint64_t>(length, kBlock)));
  std::uint64_t value = 0xcbf29ce484222325u ^ length;
  for (std::uint64_t done = 0; done < length;) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kBlock));
    if (!ReadAt(file, offset + done, block.data(), count, kShrank, err)) return false;
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, &block[i], 8);
      value = (value ^ word) * 0x100000001b3u;
      value ^= value >> 29;
    }
    for (; i < count; ++i) value = (value ^ block[i]) * 0x100000001b3u;
    done += count;
  }
  *hash = value ^ (value >> 32);
  return true;
}

bool SameBytes(std::FILE* a, std::uint64_t offsetA, std::FILE* b, std::uint64_t offsetB,
               std::uint64_t length, bool* same, std::string* err) {
  const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(length, kBlock));
  std::vector<unsigned char> left(size);
  std::vector<unsigned char> right(size);
  *same = true;
  for (std::uint64_t done = 0; done < length && *same;) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kBlock));
    if (!ReadAt(a, offsetA + done, left.data(), count, kShrank, err) ||
        !ReadAt(b, offsetB + done, right.data(), count, kShrank, err)) {
      return false;
    }
    *same = std::memcmp(left.data(), right.data(), count) == 0;
    done += count;
  }
  return true;
}

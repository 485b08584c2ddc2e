#include "scan/find_waves.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_data.h"
#include "platform/file_position.h"
#include "waves/riff.h"

namespace {

constexpr std::size_t kStride = 64;

// The first i in [from, to) where "RIFF" starts, or to. Most blocks hold
// none, so each stride is first tested as a whole for an 'R' with an 'F'
// three bytes on, in a loop without early exit that the compiler turns
// into vector compares; only a stride that has one is looked at byte by
// byte. Reads up to to + 2.
std::size_t FindRiff(const unsigned char* bytes, std::size_t from, std::size_t to) {
  std::size_t i = from;
  while (i < to) {
    if (i + kStride <= to) {
      unsigned char any = 0;
      for (std::size_t j = i; j < i + kStride; ++j) {
        any |= static_cast<unsigned char>((bytes[j] == 'R') & (bytes[j + 3] == 'F'));
      }
      if (any == 0) {
        i += kStride;
        continue;
      }
    }
    for (const std::size_t end = std::min(i + kStride, to); i < end; ++i) {
      if (std::memcmp(bytes + i, "RIFF", 4) == 0) return i;
    }
  }
  return to;
}

}  // namespace

bool FindWaves(std::FILE* container, std::uint64_t size, std::size_t blockSize,
               const std::function<void(std::uint64_t offset, std::uint64_t length)>& found) {
  std::vector<unsigned char> block(std::max(blockSize, kRiffHeader));
  std::uint64_t base = 0;  // the container's offset of block[0]
  std::size_t have = 0;    // bytes read into block
  std::uint64_t next = 0;  // where a wave may start that has not been ruled out
  while (next + kRiffHeader <= size) {
    if (next + kRiffHeader > base + have) {
      // Keep the tail from next on, and read after it; the stream is
      // positioned each time, since found may have moved it. Where nothing
      // is kept, a hole (all zeros, no "RIFF") is passed over unread.
      const std::size_t keep =
          next < base + have ? static_cast<std::size_t>(base + have - next) : 0;
      if (keep == 0) {
        next = NextData(container, next, size);
        if (next + kRiffHeader > size) break;
      }
      std::memmove(block.data(), block.data() + (have - keep), keep);
      base = next;
      have = keep;
      const std::size_t want = static_cast<std::size_t>(
          std::min<std::uint64_t>(block.size() - have, size - next - have));
      if (!SeekTo(container, base + have) || std::fread(&block[have], 1, want, container) != want) {
        return false;
      }
      have += want;
    }
    const std::size_t last = have - kRiffHeader + 1;  // a header needs kRiffHeader bytes
    const std::size_t at = FindRiff(block.data(), static_cast<std::size_t>(next - base), last);
    if (at == last) {
      next = base + last;
      continue;
    }
    const std::uint64_t offset = base + at;
    const std::uint64_t length = LittleEndian(&block[at + 4]) + std::uint64_t{kChunkHeader};
    if (std::memcmp(&block[at + 8], "WAVE", 4) == 0 && length >= kRiffHeader &&
        length <= size - offset) {
      found(offset, length);
      next = offset + length;
    } else {
      next = offset + 1;
    }
  }
  return true;
}

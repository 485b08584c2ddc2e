#include "scan/find_waves.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_data.h"
#include "platform/file_position.h"
#include "waves/reading.h"
#include "waves/riff.h"

namespace {

constexpr std::size_t kStride = 256;

// Whether the kStride bytes from stretch on hold an 'R' with an 'F' three
// bytes on, as every "RIFF" does. A loop of fixed length without early exit
// on its own: compilers turn it into vector compares even at -O2, where the
// same loop inside the search's was left byte by byte. Reads kStride + 3.
bool MayHoldRiff(const unsigned char* stretch) {
  unsigned char any = 0;
  for (std::size_t j = 0; j < kStride; ++j) {
    any |= static_cast<unsigned char>((stretch[j] == 'R') & (stretch[j + 3] == 'F'));
  }
  return any != 0;
}

// The first i in [from, to) where "RIFF" starts, or to. Most stretches hold
// none; only one that may is looked at byte by byte. Reads up to to + 2.
std::size_t FindRiff(const unsigned char* bytes, std::size_t from, std::size_t to) {
  std::size_t i = from;
  while (i < to) {
    if (i + kStride <= to && !MayHoldRiff(bytes + i)) {
      i += kStride;
      continue;
    }
    for (const std::size_t end = std::min(i + kStride, to); i < end; ++i) {
      if (std::memcmp(bytes + i, "RIFF", 4) == 0) return i;
    }
  }
  return to;
}

// What of the container is in memory: block[0, have) holds its bytes from
// base on. A block is read whole after the few bytes kept of a header it
// may finish, so that each read asks for the same size: stdio hands such a
// read to the system as it is, in one call, when it is a multiple of its
// buffer. placed: whether the stream is at base + have.
struct Window {
  std::vector<unsigned char> block;
  std::size_t blockSize;
  std::uint64_t base;
  std::size_t have;
  bool placed;
};

// Moves the window on to *next, keeping the fewer than kRiffHeader bytes
// it holds from there on. Where nothing is kept, a hole (all zeros, no
// "RIFF") is passed over unread, and *next moves past it. False when the
// container could not be read.
bool Refill(std::FILE* container, std::uint64_t size, std::uint64_t* next, Window* w,
            std::string* err) {
  const std::size_t keep =
      *next < w->base + w->have ? static_cast<std::size_t>(w->base + w->have - *next) : 0;
  if (keep == 0) {
    *next = NextData(container, *next, size);
    w->placed = false;
    if (*next + kRiffHeader > size) return true;
  }
  std::memmove(w->block.data(), w->block.data() + (w->have - keep), keep);
  w->base = *next;
  w->have = keep;
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(w->blockSize, size - *next - keep));
  if (!w->placed && !SeekTo(container, w->base + keep, err)) {
    *err = "cannot read: " + *err;
    return false;
  }
  if (std::fread(&w->block[keep], 1, want, container) != want) {
    return ReadFailed(container, kShrank, err);
  }
  w->have += want;
  w->placed = true;
  return true;
}

}  // namespace

bool FindWaves(std::FILE* container, std::uint64_t size, std::size_t blockSize,
               const std::function<void(std::uint64_t offset, std::uint64_t length)>& found,
               std::string* err) {
  blockSize = std::max(blockSize, kRiffHeader);
  Window w{std::vector<unsigned char>(kRiffHeader - 1 + blockSize), blockSize, 0, 0, false};
  std::uint64_t next = 0;  // where a wave may start that has not been ruled out
  while (next + kRiffHeader <= size) {
    if (next + kRiffHeader > w.base + w.have) {
      if (!Refill(container, size, &next, &w, err)) return false;
      continue;  // a hole may have ended the search
    }
    const std::size_t last = w.have - kRiffHeader + 1;  // a header needs kRiffHeader bytes
    const std::size_t at = FindRiff(w.block.data(), static_cast<std::size_t>(next - w.base), last);
    if (at == last) {
      next = w.base + last;
      continue;
    }
    const std::uint64_t offset = w.base + at;
    const std::uint64_t length = LittleEndian(&w.block[at + 4]) + std::uint64_t{kChunkHeader};
    if (std::memcmp(&w.block[at + 8], "WAVE", 4) == 0 && length >= kRiffHeader &&
        length <= size - offset) {
      found(offset, length);
      w.placed = false;  // found may have moved the stream
      next = offset + length;
    } else {
      next = offset + 1;
    }
  }
  return true;
}

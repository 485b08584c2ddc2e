#include "sound/g711.h"

#include <cstdlib>
#include <initializer_list>

namespace {

constexpr int kMuBias = 0x84;  // mu-law's offset, which makes its segments start at powers of 2
constexpr int kMuClip = 8159;  // the largest 14-bit magnitude it holds
// The largest magnitude of each segment: mu-law's, biased, and A-law's.
constexpr int kMuEnds[8] = {0x3f, 0x7f, 0xff, 0x1ff, 0x3ff, 0x7ff, 0xfff, 0x1fff};
constexpr int kAEnds[8] = {0x1f, 0x3f, 0x7f, 0xff, 0x1ff, 0x3ff, 0x7ff, 0xfff};

// The segment a magnitude lies in: 8 when it is beyond the last.
int Segment(int magnitude, const int (&ends)[8]) {
  int segment = 0;
  while (segment < 8 && magnitude > ends[segment]) ++segment;
  return segment;
}

// The code of the level nearest sample among code, the standard segment
// encoding's, and the codes of the levels either side of it: the standard
// encoding drops the low bits before it chooses, so at a step's edge it can
// miss the nearer level by a fraction of a 16-bit step. flip is the law's
// mask, under which a code's low 7 bits count its magnitude's levels up.
std::uint8_t Nearest(std::uint8_t code, int sample, int flip,
                     std::int16_t (*decode)(std::uint8_t)) {
  const int level = (code ^ flip) & 0x7f;
  std::uint8_t best = code;
  int least = std::abs(sample - decode(code));
  for (int other : {level - 1, level + 1}) {
    if (other < 0 || other > 0x7f) continue;
    const auto tried = static_cast<std::uint8_t>((((code ^ flip) & 0x80) | other) ^ flip);
    const int miss = std::abs(sample - decode(tried));
    if (miss < least) {
      least = miss;
      best = tried;
    }
  }
  return best;
}

}  // namespace

std::int16_t MuLawToLinear(std::uint8_t code) {
  const int u = ~code & 0xff;
  const int magnitude = (((u & 0x0f) << 3) + kMuBias) << ((u & 0x70) >> 4);
  return static_cast<std::int16_t>((u & 0x80) != 0 ? kMuBias - magnitude : magnitude - kMuBias);
}

std::int16_t ALawToLinear(std::uint8_t code) {
  const int a = code ^ 0x55;
  const int segment = (a & 0x70) >> 4;
  int magnitude = (a & 0x0f) << 4;
  if (segment == 0) {
    magnitude += 8;
  } else {
    magnitude = (magnitude + 0x108) << (segment - 1);
  }
  return static_cast<std::int16_t>((a & 0x80) != 0 ? magnitude : -magnitude);
}

std::uint8_t StandardMuLaw(std::int16_t sample) {
  int value = sample >> 2;  // 14 bits
  int mask = 0xff;
  if (value < 0) {
    value = -value;
    mask = 0x7f;
  }
  if (value > kMuClip) value = kMuClip;
  value += kMuBias >> 2;
  const int segment = Segment(value, kMuEnds);
  if (segment >= 8) return static_cast<std::uint8_t>(0x7f ^ mask);
  return static_cast<std::uint8_t>(((segment << 4) | ((value >> (segment + 1)) & 0x0f)) ^ mask);
}

std::uint8_t StandardALaw(std::int16_t sample) {
  int value = sample >> 3;  // 13 bits
  int mask = 0xd5;
  if (value < 0) {
    mask = 0x55;
    value = -value - 1;
  }
  const int segment = Segment(value, kAEnds);
  if (segment >= 8) return static_cast<std::uint8_t>(0x7f ^ mask);
  const int step = segment < 2 ? 1 : segment;
  return static_cast<std::uint8_t>(((segment << 4) | ((value >> step) & 0x0f)) ^ mask);
}

std::uint8_t LinearToMuLaw(std::int16_t sample) {
  return Nearest(StandardMuLaw(sample), sample, 0xff, MuLawToLinear);
}

std::uint8_t LinearToALaw(std::int16_t sample) {
  return Nearest(StandardALaw(sample), sample, 0x55, ALawToLinear);
}

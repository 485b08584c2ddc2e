// IMA ADPCM (tag 0x0011) blocks: for each channel a 4-byte header (its first
// sample, a step index 0-88 and a zero byte), then groups of 4 bytes for each
// channel in turn, 8 samples each, low nibble first.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

constexpr int kImaLastIndex = 88;

// A channel's decoder between samples: the sample it predicts and its step
// index.
struct ImaState {
  int sample = 0;
  int index = 0;
};

// The step of each step index.
inline constexpr int kImaSteps[kImaLastIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How each code's magnitude moves the step index.
inline constexpr int kImaIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

// Decodes a 4-bit code: its sign bit (8) and three bits of the step (4, 2,
// 1) and an eighth of it, added to the prediction; the step index moved.
// Returns the sample. Inline: the encoder's search calls it most.
inline int ImaStep(ImaState* state, int code) {
  const int step = kImaSteps[state->index];
  int change = step >> 3;
  if ((code & 4) != 0) change += step;
  if ((code & 2) != 0) change += step >> 1;
  if ((code & 1) != 0) change += step >> 2;
  const int sample = (code & 8) != 0 ? state->sample - change : state->sample + change;
  state->sample = std::min(std::max(sample, -32768), 32767);
  state->index = std::min(std::max(state->index + kImaIndexMoves[code & 7], 0), kImaLastIndex);
  return state->sample;
}

// The code a plain encoder gives sample x: the step's binary fractions of
// the difference, each taken while it fits.
inline int ImaGreedyCode(const ImaState& state, int x) {
  int difference = x - state.sample;
  int code = 0;
  if (difference < 0) {
    code = 8;
    difference = -difference;
  }
  int step = kImaSteps[state.index];
  for (int bit = 4; bit != 0; bit >>= 1, step >>= 1) {
    if (difference >= step) {
      code |= bit;
      difference -= step;
    }
  }
  return code;
}

// The samples of each channel that `bytes` of a block hold: a whole block
// holds samplesPerBlock, a part block its header's sample and the whole
// groups after it, fewer than its headers none.
std::size_t ImaSamples(std::size_t bytes, unsigned channels, std::size_t samplesPerBlock);

// Decodes a block, or the part block that ends a wave, of `bytes` into
// interleaved samples at out, ImaSamples of them a channel.
void DecodeImaBlock(const unsigned char* block, std::size_t bytes, unsigned channels,
                    std::size_t samplesPerBlock, std::int16_t* out);

// Encodes ImaSamples(bytes, ...) interleaved frames from in into a block of
// `bytes` at out: for each channel the starting step index that a greedy
// encoder's error over the block's first samples finds best, then the codes
// a search over several paths at once chooses, each sample's code with
// regard to the samples after it. Bytes no sample is in are 0.
void EncodeImaBlock(const std::int16_t* in, unsigned channels, std::size_t samplesPerBlock,
                    std::size_t bytes, unsigned char* out);

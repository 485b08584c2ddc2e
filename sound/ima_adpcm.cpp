#include "sound/ima_adpcm.h"

#include <algorithm>
#include <vector>

#include "sound/ima_search.h"

namespace {

constexpr std::size_t kHeader = 4;  // bytes of a channel's block header

constexpr int kSteps[kImaLastIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr int kIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

// Where nibble k of a channel's samples after the first lies in a block.
std::size_t NibbleByte(std::size_t k, unsigned channel, unsigned channels) {
  return kHeader * channels + (k / 8) * 4 * channels + std::size_t{4} * channel + (k % 8) / 2;
}

}  // namespace

int ImaStep(ImaState* state, int code) {
  const int step = kSteps[state->index];
  int change = step >> 3;
  if ((code & 4) != 0) change += step;
  if ((code & 2) != 0) change += step >> 1;
  if ((code & 1) != 0) change += step >> 2;
  state->sample =
      Clamp((code & 8) != 0 ? state->sample - change : state->sample + change, -32768, 32767);
  state->index = Clamp(state->index + kIndexMoves[code & 7], 0, kImaLastIndex);
  return state->sample;
}

int ImaGreedyCode(const ImaState& state, int x) {
  int difference = x - state.sample;
  int code = 0;
  if (difference < 0) {
    code = 8;
    difference = -difference;
  }
  int step = kSteps[state.index];
  for (int bit = 4; bit != 0; bit >>= 1, step >>= 1) {
    if (difference >= step) {
      code |= bit;
      difference -= step;
    }
  }
  return code;
}

std::size_t ImaSamples(std::size_t bytes, unsigned channels, std::size_t samplesPerBlock) {
  const std::size_t header = kHeader * channels;
  if (bytes < header) return 0;
  return std::min(samplesPerBlock, 1 + (bytes - header) / (std::size_t{4} * channels) * 8);
}

void DecodeImaBlock(const unsigned char* block, std::size_t bytes, unsigned channels,
                    std::size_t samplesPerBlock, std::int16_t* out) {
  const std::size_t samples = ImaSamples(bytes, channels, samplesPerBlock);
  for (unsigned c = 0; c < channels && samples > 0; ++c) {
    const unsigned char* header = block + kHeader * c;
    ImaState state;
    state.sample = static_cast<std::int16_t>(header[0] | header[1] << 8);
    state.index = std::min<int>(header[2], kImaLastIndex);
    out[c] = static_cast<std::int16_t>(state.sample);
    for (std::size_t k = 0; k + 1 < samples; ++k) {
      const unsigned char byte = block[NibbleByte(k, c, channels)];
      const int code = k % 2 == 0 ? byte & 0x0f : byte >> 4;
      out[(k + 1) * channels + c] = static_cast<std::int16_t>(ImaStep(&state, code));
    }
  }
}

void EncodeImaBlock(const std::int16_t* in, unsigned channels, std::size_t samplesPerBlock,
                    std::size_t bytes, unsigned char* out) {
  std::fill(out, out + bytes, 0);
  const std::size_t samples = ImaSamples(bytes, channels, samplesPerBlock);
  std::vector<unsigned char> codes(samples);
  for (unsigned c = 0; c < channels && samples > 0; ++c) {
    const int index = SearchImaCodes(in + c, channels, samples, codes.data());
    unsigned char* header = out + kHeader * c;
    header[0] = static_cast<unsigned char>(in[c] & 0xff);
    header[1] = static_cast<unsigned char>((in[c] >> 8) & 0xff);
    header[2] = static_cast<unsigned char>(index);
    for (std::size_t k = 0; k + 1 < samples; ++k) {
      out[NibbleByte(k, c, channels)] |= static_cast<unsigned char>(codes[k + 1] << (4 * (k % 2)));
    }
  }
}

#include "sound/ima_adpcm.h"

#include <algorithm>
#include <vector>

#include "sound/ima_search.h"

namespace {

constexpr std::size_t kHeader = 4;  // bytes of a channel's block header

// Where nibble k of a channel's samples after the first lies in a block.
std::size_t NibbleByte(std::size_t k, unsigned channel, unsigned channels) {
  return kHeader * channels + (k / 8) * 4 * channels + std::size_t{4} * channel + (k % 8) / 2;
}

}  // namespace

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

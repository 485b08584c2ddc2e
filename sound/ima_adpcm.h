// IMA ADPCM (tag 0x0011) blocks: for each channel a 4-byte header (its first
// sample, a step index 0-88 and a zero byte), then groups of 4 bytes for each
// channel in turn, 8 samples each, low nibble first.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kImaLastIndex = 88;

// A channel's decoder between samples: the sample it predicts and its step
// index.
struct ImaState {
  int sample = 0;
  int index = 0;
};

// Decodes a 4-bit code: its sign bit (8) and three bits of the step (4, 2,
// 1) and an eighth of it, added to the prediction; the step index moved.
// Returns the sample.
int ImaStep(ImaState* state, int code);

// The code a plain encoder gives sample x: the step's binary fractions of
// the difference, each taken while it fits.
int ImaGreedyCode(const ImaState& state, int x);

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

// Microsoft ADPCM (tag 0x0002) blocks: for each channel a predictor index,
// then for each its delta, its second sample and its first (16 bits each;
// the first is played first), then the codes of the channels' samples in
// turn, high nibble first. A predictor is a pair of coefficients from the
// wave's own fmt chunk.
#pragma once

#include <cstddef>
#include <cstdint>

// The 7 pairs every MS ADPCM wave's table starts with, in 1/256.
constexpr std::size_t kMsStandardPairs = 7;
extern const std::int16_t kMsStandardCoefficients[2 * kMsStandardPairs];

// The smallest delta: decoders never let it fall below.
constexpr int kMsLeastDelta = 16;

// The samples of each channel that `bytes` of a block hold: a whole block
// holds samplesPerBlock, a part block its header's two and the codes after
// them, fewer than its headers none.
std::size_t MsSamples(std::size_t bytes, unsigned channels, std::size_t samplesPerBlock);

// Decodes a block, or the part block that ends a wave, of `bytes` into
// interleaved samples at out, MsSamples of them a channel. coefficients
// holds `pairs` pairs; a predictor beyond them is taken as the first.
void DecodeMsBlock(const unsigned char* block, std::size_t bytes, unsigned channels,
                   std::size_t samplesPerBlock, const std::int16_t* coefficients, std::size_t pairs,
                   std::int16_t* out);

// Encodes MsSamples(bytes, ...) interleaved frames from in into a block of
// `bytes` at out: for each channel the two predictors of the `pairs` pairs
// that predict its samples best, each coded from the starting delta that
// does best over the first samples, and the one of least squared error
// over the block kept; its codes then chosen by a search over several
// paths. Bytes no sample is in are 0.
void EncodeMsBlock(const std::int16_t* in, unsigned channels, std::size_t samplesPerBlock,
                   std::size_t bytes, const std::int16_t* coefficients, std::size_t pairs,
                   unsigned char* out);
